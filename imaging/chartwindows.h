#pragma once
// What the image documents show in chart windows, which live above them:
// the colour histograms in the histogram window and the intensity profile
// in the line chart of a chart document. The ui targets install the
// implementation; without one the documents say that charts are missing.

#include "platform/core/cstring.h"
#include "platform/core/types.h"

#include <span>
#include <vector>

class CDataFilter;
class CDocument;

struct sProfileCurve
{
    CString name;
    COLORREF colour = 0;
    std::vector<float> values;
};

class CChartWindows
{
public:
    virtual ~CChartWindows() = default;
    // The series (red, green, blue) in the histogram window, modally.
    virtual void ShowHistogram(std::span<CDataFilter* const> series) = 0;
    // The curves, against "Position", in the line chart of the chart
    // document, replacing what it showed; FALSE when the document shows no
    // line chart.
    virtual BOOL ShowProfile(CDocument* pChartDoc, std::span<const sProfileCurve> curves) = 0;
};

namespace kestrun {

// The installed chart windows; null before a ui target installs them.
CChartWindows* ChartWindows();
// Installs them and returns the previous ones; null uninstalls.
CChartWindows* SetChartWindows(CChartWindows* windows);

} // namespace kestrun
