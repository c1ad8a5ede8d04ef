// The chart windows of the image documents: the histogram window and the
// profile chart's line chart. Installed while this library is loaded.

#include "imaging/chartwindows.h"
#include "imaging/ui/histdlg.h"

#include "series/chartdoc.h"
#include "series/curvechart.h"

#include "objectmodel/datafilter.h"
#include "platform/ui/winapp.h"

#include <algorithm>

namespace {

constexpr double kIntensityMax = 255.0;

class CUiChartWindows : public CChartWindows
{
public:
    void ShowHistogram(std::span<CDataFilter* const> series) override
    {
        CHistDlg dialog(AfxGetMainWnd());
        dialog.m_arrSeries.assign(series.begin(), series.end());
        dialog.DoModal();
    }

    BOOL ShowProfile(CDocument* pChartDoc, std::span<const sProfileCurve> curves) override
    {
        auto* doc = dynamic_cast<CChartDoc*>(pChartDoc);
        CCurveChart* chart = doc != nullptr ? doc->GetChartControl() : nullptr;
        if (chart == nullptr)
            return FALSE;
        size_t longest = 0;
        for (const sProfileCurve& curve : curves)
            longest = std::max(longest, curve.values.size());
        const double last = longest > 1 ? static_cast<double>(longest - 1) : 1.0;
        chart->ClearCurves();
        chart->SetXKind(CAxis::labelInteger);
        chart->SetXRange(0.0, last, 1.0);
        chart->SetXMin(0.0);
        chart->SetXMax(last);
        chart->SetYMin(0.0);
        chart->SetYMax(kIntensityMax);
        chart->SetXTitle("Position");
        chart->SetYTitle("Intensity");
        for (const sProfileCurve& curve : curves)
            chart->SetCurveValues(curve.values, chart->AddCurve(curve.name, curve.colour));
        doc->UpdateAllViews(nullptr);
        return TRUE;
    }
};

// Puts the chart windows in place for as long as the library is loaded.
struct CChartWindowsInstaller
{
    CChartWindowsInstaller() { kestrun::SetChartWindows(&m_windows); }
    ~CChartWindowsInstaller()
    {
        if (kestrun::ChartWindows() == &m_windows)
            kestrun::SetChartWindows(nullptr);
    }
    CUiChartWindows m_windows;
};

const CChartWindowsInstaller g_installer;

} // namespace
