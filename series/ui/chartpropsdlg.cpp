// CChartPropertiesDlg: the line chart's properties dialog.

#include "series/ui/chartpropsdlg.h"

#include "series/curvechart.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/listboxes.h"

#include <algorithm>
#include <mutex>

IMPLEMENT_DYNAMIC(CChartPropertiesDlg, CDialog)

namespace {

constexpr const char* kFilters[] = {"Off", "Mean", "Median", "Regression"};
constexpr const char* kLines[] = {"None", "Solid", "Dashed", "Dotted"};

void RegisterPropertiesTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using D = CChartPropertiesDlg;
        RegisterDialogTemplate(D::IDD, {"Chart Properties",
                                        CRect(0, 0, 230, 150),
                                        {
                                            LText("X title:", IDC_STATIC, 7, 9, 45, 8),
                                            EditText(D::IDC_X_TITLE, 55, 7, 110, 12),
                                            LText("Y title:", IDC_STATIC, 7, 25, 45, 8),
                                            EditText(D::IDC_Y_TITLE, 55, 23, 110, 12),
                                            LText("X range:", IDC_STATIC, 7, 41, 45, 8),
                                            EditText(D::IDC_X_MIN, 55, 39, 53, 12),
                                            EditText(D::IDC_X_MAX, 112, 39, 53, 12),
                                            LText("Y range:", IDC_STATIC, 7, 57, 45, 8),
                                            EditText(D::IDC_Y_MIN, 55, 55, 53, 12),
                                            EditText(D::IDC_Y_MAX, 112, 55, 53, 12),
                                            LText("Filter:", IDC_STATIC, 7, 73, 45, 8),
                                            ComboBox(D::IDC_FILTER_TYPE, 55, 71, 70, 60),
                                            LText("Width:", IDC_STATIC, 130, 73, 25, 8),
                                            EditText(D::IDC_FILTER_WIDTH, 157, 71, 30, 12),
                                            LText("Line:", IDC_STATIC, 7, 89, 45, 8),
                                            ComboBox(D::IDC_LINE, 55, 87, 70, 60),
                                            LText("Marker:", IDC_STATIC, 130, 89, 25, 8),
                                            EditText(D::IDC_MARKER, 157, 87, 30, 12),
                                            DefPushButton("OK", IDOK, 118, 129, 50, 14),
                                            PushButton("Cancel", IDCANCEL, 173, 129, 50, 14),
                                        }});
    });
}

void FillCombo(CWnd* item, std::span<const char* const> names, int selection)
{
    auto* combo = dynamic_cast<CComboBox*>(item);
    if (combo == nullptr)
        return;
    for (const char* name : names)
        combo->AddString(name);
    combo->SetCurSel(selection);
}

} // namespace

CChartPropertiesDlg::CChartPropertiesDlg(CCurveChart& chart, CWnd* pParent)
    : CDialog((RegisterPropertiesTemplate(), IDD), pParent), m_chart(chart)
{
    const CCurveChartData& data = chart.Data();
    m_strXTitle = data.m_strXTitle;
    m_strYTitle = data.m_strYTitle;
    m_dXMin = data.m_dXMin;
    m_dXMax = data.m_dXMax;
    m_dYMin = data.m_dYMin;
    m_dYMax = data.m_dYMax;
    m_nFilterType = std::min<int>(data.m_nFilterType, CDataFilter::filterRegression);
    m_nFilterWidth = data.m_nFilterWidth;
    if (!data.m_Curves.empty()) {
        const DWORD style = data.m_Curves.front().m_dwStyle;
        m_nLine = std::min<int>(static_cast<int>((style & CCurveChart::kLineMask) >> 24), 3);
        m_nMarker = static_cast<int>(style & CCurveChart::kMarkerMask);
    }
    BuildMessageMap();
}

CChartPropertiesDlg::~CChartPropertiesDlg()
{
    DestroyHandleNow();
}

BOOL CChartPropertiesDlg::OnInitDialog()
{
    FillCombo(GetDlgItem(IDC_FILTER_TYPE), kFilters, m_nFilterType);
    FillCombo(GetDlgItem(IDC_LINE), kLines, m_nLine);
    return CDialog::OnInitDialog();
}

void CChartPropertiesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_X_TITLE, m_strXTitle);
    DDX_Text(pDX, IDC_Y_TITLE, m_strYTitle);
    DDX_Text(pDX, IDC_X_MIN, m_dXMin);
    DDX_Text(pDX, IDC_X_MAX, m_dXMax);
    DDX_Text(pDX, IDC_Y_MIN, m_dYMin);
    DDX_Text(pDX, IDC_Y_MAX, m_dYMax);
    DDX_CBIndex(pDX, IDC_FILTER_TYPE, m_nFilterType);
    DDX_Text(pDX, IDC_FILTER_WIDTH, m_nFilterWidth);
    DDV_MinMaxInt(pDX, m_nFilterWidth, 1, CCurveChart::kMaxFilterWidth);
    DDX_CBIndex(pDX, IDC_LINE, m_nLine);
    DDX_Text(pDX, IDC_MARKER, m_nMarker);
    DDV_MinMaxInt(pDX, m_nMarker, 0, CCurveChart::kMaxMarker);
}

BOOL CChartPropertiesDlg::Apply()
{
    if (!(m_dXMin < m_dXMax) || !(m_dYMin < m_dYMax)) {
        AfxMessageBox("Each range needs a minimum below its maximum.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    try {
        m_chart.SetXTitle(m_strXTitle);
        m_chart.SetYTitle(m_strYTitle);
        m_chart.SetXMin(m_dXMin);
        m_chart.SetXMax(m_dXMax);
        m_chart.SetYMin(m_dYMin);
        m_chart.SetYMax(m_dYMax);
        m_chart.SetFilter(static_cast<WORD>(std::max(m_nFilterType, 0)), static_cast<SHORT>(m_nFilterWidth));
        const DWORD style = (static_cast<DWORD>(std::clamp(m_nLine, 0, 3)) << 24) | static_cast<DWORD>(m_nMarker);
        for (int curve = 0; curve < m_chart.GetCurveCount(); ++curve)
            m_chart.SetCurveStyle(curve, style);
    } catch (const CInvalidArgException&) {
        AfxMessageBox("The chart cannot take these values.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

void CChartPropertiesDlg::OnOK()
{
    if (!UpdateData(TRUE) || !Apply())
        return;
    EndDialog(IDOK);
}
