// CHistDlg: the histogram window of the image documents.

#include "imaging/ui/histdlg.h"

#include "objectmodel/dataarray.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CHistDlg, CResizingDialog)

namespace {

constexpr double kValueMax = 255.0;

void RegisterHistogramTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        CDialogTemplate layout{"Histogram",
                               CRect(0, 0, 298, 186),
                               {
                                   PushButton("Properties", CHistDlg::IDC_PROPERTIES, 187, 165, 50, 14),
                                   DefPushButton("Close", IDOK, 241, 165, 50, 14),
                               }};
        layout.style |= WS_THICKFRAME;
        RegisterDialogTemplate(CHistDlg::IDD, std::move(layout));
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CHistDlg, CResizingDialog)
    ON_BN_CLICKED(IDC_PROPERTIES, OnProperties)
END_MESSAGE_MAP()

CHistDlg::CHistDlg(CWnd* pParent) : CResizingDialog((RegisterHistogramTemplate(), IDD), pParent)
{
    BuildMessageMap();
}

CHistDlg::~CHistDlg()
{
    DestroyHandleNow();
}

void CHistDlg::OnCreateControls()
{
    // The chart is our own window, laid out where the template's control sat.
    m_wndChart.Create("Chart", WS_VISIBLE, kestrun::DialogUnitsToPixels(CRect(7, 7, 291, 158)), this, IDC_CHART);
}

BOOL CHistDlg::OnInitDialog()
{
    AddAnchor(IDC_CHART, kStretchX | kStretchY);
    AddAnchor(IDOK, kMoveX | kMoveY);
    AddAnchor(IDC_PROPERTIES, kMoveX | kMoveY);
    CResizingDialog::OnInitDialog();
    SetUpGroup();
    SetUpChart();
    return TRUE;
}

void CHistDlg::SetUpGroup()
{
    m_GroupAttrib.m_strXName = "Value";
    m_GroupAttrib.m_strSecondName = "Number";
    m_GroupAttrib.m_dYMin = 0.0;
    m_GroupAttrib.m_dYMax = kValueMax;
    m_GroupAttrib.AddItemAttrib(CDataItemAttrib("Red", RGB(255, 0, 0), 0, 0, 1, 0));
    m_GroupAttrib.AddItemAttrib(CDataItemAttrib("Green", RGB(0, 255, 0), 0, 1, 1, 0));
    m_GroupAttrib.AddItemAttrib(CDataItemAttrib("Blue", RGB(0, 0, 255), 0, 2, 1, 0));
}

void CHistDlg::SetUpChart()
{
    CCurveChart& chart = m_wndChart.GetControl();
    chart.m_crBackground = RGB(255, 255, 255);
    chart.m_crTitle = RGB(0, 0, 0);
    chart.SetXTitle(m_GroupAttrib.m_strXName);
    chart.SetYTitle(m_GroupAttrib.m_strSecondName);
    chart.SetXKind(static_cast<int>(m_arrSeries.size()));
    const CDataGroupAttrib::ItemList& items = m_GroupAttrib.GetItems();
    for (size_t i = 0; i < m_arrSeries.size(); ++i) {
        const CDataItemAttrib* item = i < items.size() ? items[i].get() : nullptr;
        const int curve = chart.AddCurve(item != nullptr ? item->m_strName : CString("Undefined"),
                                         item != nullptr ? item->m_Color : RGB(0, 0, 0));
        std::vector<float> values;
        if (const CDataArray* series = m_arrSeries[i]) {
            values.resize(static_cast<size_t>(series->GetSize()));
            for (int k = 0; k < series->GetSize(); ++k)
                values[static_cast<size_t>(k)] = static_cast<float>(series->GetAt(k));
        }
        chart.SetCurveValues(values, curve);
    }
    chart.SetXMin(0.0);
    chart.SetXMax(kValueMax);
    double low = 0.0;
    double high = 0.0;
    if (chart.GetNeededRange(low, high)) {
        chart.SetYMin(low);
        chart.SetYMax(high);
    }
    m_wndChart.Invalidate(FALSE);
}

void CHistDlg::OnProperties()
{
    m_wndChart.ShowProperties();
}

void CHistDlg::PostNcDestroy()
{
    CResizingDialog::PostNcDestroy();
    if (m_bAutoDelete)
        delete this;
}
