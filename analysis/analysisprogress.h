#pragma once
// IAnalysisProgress: the progress display of an analysis run. The status
// bar of the main window implements it; a run with progress shows it for
// as long as the run lasts, also when the run ends by an exception.

class IAnalysisProgress
{
public:
    virtual ~IAnalysisProgress() = default;

    // The run starts: the display shows the range lower .. upper.
    virtual void BeginProgress(int lower, int upper) = 0;
    virtual void SetProgressPos(int position) = 0;
    // The run is over: the display goes away.
    virtual void EndProgress() = 0;

protected:
    IAnalysisProgress() = default;
    IAnalysisProgress(const IAnalysisProgress&) = default;
    IAnalysisProgress& operator=(const IAnalysisProgress&) = default;
};
