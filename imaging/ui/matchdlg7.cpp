#include "imaging/ui/matchdlg7.h"

#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CMatchDlg7, CDialog)

namespace {

void RegisterSettingsTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CMatchDlg7;
        RegisterDialogTemplate(Dlg::IDD,
                               {"Einstellungen",
                                CRect(0, 0, 200, 150),
                                {
                                    CheckBox("Messung nach Bildeinzug", Dlg::IDC_MEASURE_AFTER_GRAB, 7, 7, 120, 10),
                                    CheckBox("Muster Suche", Dlg::IDC_PATTERN_SEARCH, 7, 21, 120, 10),
                                    LText("Profile Start Thres", IDC_STATIC, 7, 37, 70, 8),
                                    EditText(Dlg::IDC_PROFILE_START, 80, 35, 40, 12),
                                    LText("Profile Start Position", IDC_STATIC, 7, 53, 70, 8),
                                    EditText(Dlg::IDC_PROFILE_POSITION, 80, 51, 40, 12),
                                    RadioButton("Vertikal", Dlg::IDC_VERTICAL, 130, 35, 60, 10, WS_GROUP),
                                    RadioButton("Horizontal", Dlg::IDC_HORIZONTAL, 130, 51, 60, 10),
                                    GroupBox("Schwellwert Gut/Schlecht", IDC_STATIC, 7, 70, 186, 48),
                                    LText("von [unten/links]:", IDC_STATIC, 14, 84, 70, 8),
                                    EditText(Dlg::IDC_LOWER, 90, 82, 50, 12),
                                    LText("bis [oben/rechts]:", IDC_STATIC, 14, 100, 70, 8),
                                    EditText(Dlg::IDC_UPPER, 90, 98, 50, 12),
                                    DefPushButton("OK", IDOK, 86, 128, 50, 14),
                                    PushButton("Cancel", IDCANCEL, 143, 128, 50, 14),
                                }});
    });
}

} // namespace

CMatchDlg7::CMatchDlg7(CWnd* pParent) : CDialog(IDD, pParent)
{
    RegisterSettingsTemplate();
}

void CMatchDlg7::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_MEASURE_AFTER_GRAB, m_bMeasureAfterGrab);
    DDX_Check(pDX, IDC_PATTERN_SEARCH, m_bPatternSearch);
    DDX_Text(pDX, IDC_PROFILE_START, m_nProfileStart);
    DDX_Text(pDX, IDC_PROFILE_POSITION, m_nProfilePosition);
    DDX_Radio(pDX, IDC_VERTICAL, m_nDirection);
    DDX_Text(pDX, IDC_LOWER, m_fLower);
    DDX_Text(pDX, IDC_UPPER, m_fUpper);
}
