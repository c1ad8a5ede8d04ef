#pragma once
// CStatusBarProgress: the progress of an engine run as a bar over the
// message pane of a status bar, there for as long as the run lasts. The
// bar repaints as it moves, so it shows while the run holds the thread.

#include "analysis/analysisprogress.h"

#include <memory>

class CProgressCtrl;
class CStatusBar;

class CStatusBarProgress : public IAnalysisProgress
{
public:
    explicit CStatusBarProgress(CStatusBar& bar);
    ~CStatusBarProgress() override;
    CStatusBarProgress(const CStatusBarProgress&) = delete;
    CStatusBarProgress& operator=(const CStatusBarProgress&) = delete;

    // Without a status-bar window there is nothing to show.
    void BeginProgress(int lower, int upper) override;
    void SetProgressPos(int position) override;
    void EndProgress() override;

    // The bar of the running run; null between runs.
    CProgressCtrl* GetProgressCtrl() const { return m_pCtrl.get(); }

private:
    CStatusBar& m_bar;
    std::unique_ptr<CProgressCtrl> m_pCtrl;
};
