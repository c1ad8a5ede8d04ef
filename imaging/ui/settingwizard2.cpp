// CSettingWizard2: the colour histograms of the active area with each
// channel's range around its peak.

#include "imaging/ui/settingwizard.h"

#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/aoistatistics.h"
#include "objectmodel/datafilter.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"

#include <array>
#include <mutex>
#include <vector>

IMPLEMENT_DYNCREATE(CSettingWizard2, CPropertyPage)

namespace {

constexpr int kBins = 256;
const CRect kChartPlace(7, 7, 233, 100);

void RegisterWizardPage2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Page = CSettingWizard2;
        RegisterDialogTemplate(Page::IDD, {"Setup Microscope Illumination",
                                           CRect(0, 0, 300, 130),
                                           {
                                               LText("Minimum", IDC_STATIC, 245, 7, 30, 8),
                                               LText("Maximum", IDC_STATIC, 245, 62, 30, 8),
                                               LText("Red:", IDC_STATIC, 245, 19, 20, 8),
                                               EditText(Page::IDC_RED_MIN, 268, 17, 25, 12, ES_READONLY),
                                               LText("Green:", IDC_STATIC, 245, 33, 22, 8),
                                               EditText(Page::IDC_GREEN_MIN, 268, 31, 25, 12, ES_READONLY),
                                               LText("Blue:", IDC_STATIC, 245, 47, 20, 8),
                                               EditText(Page::IDC_BLUE_MIN, 268, 45, 25, 12, ES_READONLY),
                                               LText("Red:", IDC_STATIC, 245, 74, 20, 8),
                                               EditText(Page::IDC_RED_MAX, 268, 72, 25, 12, ES_READONLY),
                                               LText("Green:", IDC_STATIC, 245, 88, 22, 8),
                                               EditText(Page::IDC_GREEN_MAX, 268, 86, 25, 12, ES_READONLY),
                                               LText("Blue:", IDC_STATIC, 245, 102, 20, 8),
                                               EditText(Page::IDC_BLUE_MAX, 268, 100, 25, 12, ES_READONLY),
                                           }});
    });
}

} // namespace

CSettingWizard2::CSettingWizard2() : CPropertyPage((RegisterWizardPage2(), IDD))
{
}

CSettingWizard2::~CSettingWizard2()
{
    DestroyHandleNow();
}

void CSettingWizard2::OnCreateControls()
{
    m_wndChart.Create("Chart", WS_VISIBLE, kestrun::DialogUnitsToPixels(kChartPlace), this, IDC_CHART);
}

BOOL CSettingWizard2::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CCurveChart& chart = m_wndChart.GetControl();
    chart.SetXTitle("Value");
    chart.SetYTitle("Number");
    chart.SetXKind(0);
    FillHistograms();
    return TRUE;
}

void CSettingWizard2::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RED_MIN, m_nRedMin);
    DDX_Text(pDX, IDC_RED_MAX, m_nRedMax);
    DDX_Text(pDX, IDC_GREEN_MIN, m_nGreenMin);
    DDX_Text(pDX, IDC_GREEN_MAX, m_nGreenMax);
    DDX_Text(pDX, IDC_BLUE_MIN, m_nBlueMin);
    DDX_Text(pDX, IDC_BLUE_MAX, m_nBlueMax);
}

CSettingWizard2::sRange CSettingWizard2::FindRange(const CDataArray& smoothed)
{
    sRange range;
    if (smoothed.GetUsedCount() == 0)
        return range;
    double low = 0.0, high = 0.0, iLow = 0.0, iHigh = 0.0;
    smoothed.GetMinMax(low, high, iLow, iHigh);
    range.peak = static_cast<int>(iHigh);
    smoothed.FindValleyExtent(range.peak, range.minimum, range.maximum);
    return range;
}

void CSettingWizard2::FillHistograms()
{
    const CDIB* page = m_pDoc != nullptr ? m_pDoc->GetActiveDIB() : nullptr;
    CAOIDoc* areas = m_pDoc != nullptr ? m_pDoc->GetDataDoc() : nullptr;
    CAOI* area = areas != nullptr ? areas->GetActiveAOI(true) : nullptr;
    if (page == nullptr || area == nullptr)
        return;
    std::array<CDataFilter, 3> counts{CDataFilter(CDataArray::typeLong), CDataFilter(CDataArray::typeLong),
                                      CDataFilter(CDataArray::typeLong)};
    for (CDataFilter& series : counts)
        series.SetSize(kBins);
    ComputeColorHistogram(*area, *page, counts[0], counts[1], counts[2]);
    // The counts end at the last occupied bin; the smoothing must see the
    // empty bins above it as zeros, not stop short of them.
    for (CDataFilter& series : counts)
        series.SetAtWrapped(kBins - 1, series.CDataArray::GetAt(kBins - 1));

    CCurveChart& chart = m_wndChart.GetControl();
    chart.m_crBackground = RGB(255, 255, 255);
    chart.ClearCurves();
    const std::array<std::pair<const char*, COLORREF>, 3> curves{
        {{"Red", RGB(255, 0, 0)}, {"Green", RGB(0, 255, 0)}, {"Blue", RGB(0, 0, 255)}}};
    std::array<sRange, 3> ranges{};
    for (size_t c = 0; c < counts.size(); ++c) {
        counts[c].SetFilter(CDataFilter::filterMean, kFilterWidth);
        std::vector<float> values(kBins);
        CDataArray smoothed(CDataArray::typeFloat);
        for (int i = 0; i < kBins; ++i) {
            values[static_cast<size_t>(i)] = static_cast<float>(counts[c].GetAt(i));
            smoothed.AddDouble(values[static_cast<size_t>(i)]);
        }
        const int curve = chart.AddCurve(curves[c].first, curves[c].second);
        chart.SetCurveValues(values, curve);
        ranges[c] = FindRange(smoothed);
    }
    chart.SetXMin(0.0);
    chart.SetXMax(kBins - 1);
    double low = 0.0;
    double high = 0.0;
    if (chart.GetNeededRange(low, high)) {
        chart.SetYMin(low);
        chart.SetYMax(high);
    }
    if (m_wndChart.GetSafeHwnd() != nullptr)
        m_wndChart.Invalidate(FALSE);

    m_nRedMin = ranges[0].minimum;
    m_nRedMax = ranges[0].maximum;
    m_nGreenMin = ranges[1].minimum;
    m_nGreenMax = ranges[1].maximum;
    m_nBlueMin = ranges[2].minimum;
    m_nBlueMax = ranges[2].maximum;
    m_nOverall = static_cast<int>((ranges[0].peak + ranges[1].peak + ranges[2].peak) / 3.0);
    if (GetSafeHwnd() != nullptr)
        UpdateData(FALSE);
}

BOOL CSettingWizard2::OnSetActive()
{
    if (CPropertySheet* sheet = GetSheet())
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    // The image may have changed since the page was last shown.
    if (GetSafeHwnd() != nullptr)
        FillHistograms();
    return CPropertyPage::OnSetActive();
}

void CSettingWizard2::PostCloseReport()
{
    if (m_pOwnerView != nullptr && m_pOwnerView->GetSafeHwnd() != nullptr)
        m_pOwnerView->PostMessage(CSettingWizard1::kCloseReport, 0, CSettingWizard1::kReportId);
}

BOOL CSettingWizard2::OnWizardFinish()
{
    PostCloseReport();
    return CPropertyPage::OnWizardFinish();
}

void CSettingWizard2::OnCancel()
{
    PostCloseReport();
    CPropertyPage::OnCancel();
}
