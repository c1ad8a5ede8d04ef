// The image document's charts: the colour histograms of the active area in
// the histogram window, and the intensity profile along the active
// parallelogram area or the marked points in a chart window of its own.

#include "imaging/dibdocex.h"

#include "imaging/chartwindows.h"
#include "imaging/intensityprofile.h"
#include "imaging/src.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoistatistics.h"
#include "objectmodel/datafilter.h"
#include "platform/core/messagebox.h"
#include "platform/ui/appservices.h"
#include "platform/ui/doctemplate.h"

#include <array>
#include <memory>
#include <span>

namespace {

constexpr int kHistogramBins = 256;

// Without a ui target's chart windows there is nothing to show them in.
CChartWindows* ChartWindowsOrSay()
{
    CChartWindows* windows = kestrun::ChartWindows();
    if (windows == nullptr)
        AfxMessageBox("Chart windows are not available in this build.", MB_ICONINFORMATION);
    return windows;
}

// The profile's curves in the chart, which is made on first use.
void ShowProfileCurves(CDocument*& pChart, const sIntensityProfile& profile)
{
    std::vector<sProfileCurve> curves;
    if (profile.channels.size() == 3) {
        curves.push_back({"Color", RGB(255, 0, 0), profile.channels[0]});
        curves.push_back({"Green", RGB(0, 255, 0), profile.channels[1]});
        curves.push_back({"Blue", RGB(0, 0, 255), profile.channels[2]});
    } else if (profile.channels.size() == 1) {
        curves.push_back({"Intensity", RGB(0, 0, 0), profile.channels[0]});
    }
    CChartWindows* windows = ChartWindowsOrSay();
    if (windows == nullptr)
        return;
    if (pChart == nullptr) {
        CAppServices* services = kestrun::AppServices();
        CSRC* templates = services != nullptr ? services->GetTemplates() : nullptr;
        CMultiDocTemplate* chartTemplate =
            templates != nullptr ? templates->GetTemplate(CSRC::kChartTemplate) : nullptr;
        if (chartTemplate == nullptr) {
            AfxMessageBox("There is no chart template for the intensity profile.", MB_ICONEXCLAMATION);
            return;
        }
        pChart = chartTemplate->OpenDocumentFile(nullptr);
        if (pChart == nullptr)
            return;
    }
    windows->ShowProfile(pChart, curves);
}

} // namespace

void CDIBDocEx::ShowHistogram(int nShow)
{
    if (nShow == 0)
        return;
    CDIB* page = GetActiveDIB();
    CAOIDoc* areas = GetDataDoc();
    if (page == nullptr || areas == nullptr)
        return;
    PrepareAreas();
    const CAOI* area = areas->GetActiveAOI(true);
    if (area == nullptr)
        return;
    std::array<std::unique_ptr<CDataFilter>, 3> series;
    for (auto& s : series) {
        s = std::make_unique<CDataFilter>(CDataArray::typeLong);
        s->SetSize(kHistogramBins);
    }
    ComputeColorHistogram(*area, *page, *series[0], *series[1], *series[2]);
    CChartWindows* windows = ChartWindowsOrSay();
    if (windows == nullptr)
        return;
    const std::array<CDataFilter*, 3> shown = {series[0].get(), series[1].get(), series[2].get()};
    windows->ShowHistogram(shown);
}

void CDIBDocEx::ShowIntensityProfile(BOOL bCreate)
{
    // The views ask for a refresh of a chart that may not exist.
    if (!bCreate && m_pProfileChart == nullptr)
        return;
    CDIB* page = GetActiveDIB();
    CAOIDoc* areas = GetDataDoc();
    if (page == nullptr || areas == nullptr)
        return;
    // Marked points, when there are enough for a line, come before the area.
    if (m_Points.GetSize() >= 2) {
        const std::span<const POINT> points(m_Points.GetData(), static_cast<size_t>(m_Points.GetSize()));
        ShowProfileCurves(m_pProfileChart, MeasurePolylineProfile(*page, points));
        return;
    }
    PrepareAreas();
    const auto* parallelogram = dynamic_cast<const CAOI3*>(areas->GetActiveAOI(false));
    if (parallelogram == nullptr) {
        AfxMessageBox("No Parallelogram AOI active");
        return;
    }
    ShowProfileCurves(m_pProfileChart, MeasureParallelogramProfile(*page, *parallelogram));
}

void CDIBDocEx::ShowLineProfile(CPoint from, CPoint to)
{
    if (CDIB* page = GetActiveDIB())
        ShowProfileCurves(m_pProfileChart, MeasureLineProfile(*page, from, to));
}

void CDIBDocEx::OnHistogram()
{
    ShowHistogram(1);
}

void CDIBDocEx::OnScanParallelogram()
{
    ShowIntensityProfile(TRUE);
}
