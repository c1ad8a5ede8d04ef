#include "imaging/ui/matchdlg0.h"

#include "imaging/dibdocex.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoipatterns.h"

#include "platform/core/clock.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"

#include <cstdlib>
#include <mutex>

IMPLEMENT_DYNAMIC(CMatchDlg0, CMatchDlg)

namespace {

constexpr const char* kSection = "MatchDlg0";

void RegisterCheckTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CMatchDlg0;
        RegisterDialogTemplate(Dlg::IDD,
                               {"Pattern Matching Control",
                                CRect(0, 0, 208, 226),
                                {
                                    GroupBox("Method", IDC_STATIC, 7, 4, 90, 52),
                                    RadioButton("Off", Dlg::IDC_OFF, 14, 15, 70, 10, WS_GROUP),
                                    RadioButton("Border", Dlg::IDC_BORDER, 14, 28, 70, 10),
                                    RadioButton("Area", Dlg::IDC_AREA, 14, 41, 70, 10),
                                    LText("Threshold:", IDC_STATIC, 104, 8, 40, 8),
                                    EditText(Dlg::IDC_THRESHOLD, 146, 6, 55, 12, ES_AUTOHSCROLL | WS_GROUP),
                                    RadioButton("low", Dlg::IDC_LOW, 104, 24, 40, 10, WS_GROUP),
                                    RadioButton("high", Dlg::IDC_HIGH, 146, 24, 40, 10),
                                    PushButton("Show", Dlg::IDC_SHOW, 104, 40, 50, 14, WS_GROUP),
                                    ListControl(Dlg::IDC_LIST, 7, 62, 194, 134,
                                                LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED),
                                    DefPushButton("OK", IDOK, 151, 205, 50, 14),
                                    PushButton("Learn", Dlg::IDC_LEARN, 7, 205, 50, 14),
                                    PushButton("Match", Dlg::IDC_MATCH, 62, 205, 50, 14),
                                }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CMatchDlg0, CMatchDlg)
    ON_BN_CLICKED(IDC_LEARN, OnLearn)
    ON_BN_CLICKED(IDC_MATCH, OnMatch)
    ON_BN_CLICKED(IDC_SHOW, OnShow)
    ON_BN_CLICKED(IDC_OFF, OnChoice)
    ON_BN_CLICKED(IDC_BORDER, OnChoice)
    ON_BN_CLICKED(IDC_AREA, OnChoice)
    ON_BN_CLICKED(IDC_LOW, OnChoice)
    ON_BN_CLICKED(IDC_HIGH, OnChoice)
    ON_EN_CHANGE(IDC_THRESHOLD, OnThresholdChanged)
END_MESSAGE_MAP()

CMatchDlg0::CMatchDlg0() : CMatchDlg(IDD)
{
    BuildMessageMap();
}

CMatchDlg0::~CMatchDlg0()
{
    DestroyHandleNow();
}

BOOL CMatchDlg0::Create(CWnd* pOwner)
{
    RegisterCheckTemplate();
    if (m_pDocument != nullptr) {
        m_nMethod = m_pDocument->m_nAOIMatchMethod;
        m_dThreshold = m_pDocument->m_dAOIMatchThreshold;
    }
    m_nDirection = CAreaPatternCheck::judgeLow;
    return CreateTool(IDD, pOwner);
}

BOOL CMatchDlg0::OnInitDialog()
{
    m_List.SubclassDlgItem(IDC_LIST, this);
    m_List.CreateColumns(kSection, "Pattern Matching", "State");
    return CMatchDlg::OnInitDialog();
}

void CMatchDlg0::DoDataExchange(CDataExchange* pDX)
{
    CMatchDlg::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_OFF, m_nMethod);
    DDX_Text(pDX, IDC_THRESHOLD, m_dThreshold);
    DDX_Radio(pDX, IDC_LOW, m_nDirection);
}

void CMatchDlg0::OnChoice()
{
    // The radio groups alone: a threshold being typed is taken by its edit.
    const int methods[] = {IDC_OFF, IDC_BORDER, IDC_AREA};
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(methods[i]))
            m_nMethod = i;
    if (IsDlgButtonChecked(IDC_LOW))
        m_nDirection = CAreaPatternCheck::judgeLow;
    else if (IsDlgButtonChecked(IDC_HIGH))
        m_nDirection = CAreaPatternCheck::judgeHigh;
}

void CMatchDlg0::OnThresholdChanged()
{
    // Taken while it reads as a number; a half-typed one waits for OK.
    CString text;
    GetDlgItemText(IDC_THRESHOLD, text);
    if (text.IsEmpty())
        return;
    char* end = nullptr;
    const double value = std::strtod(text.GetString(), &end);
    if (end != nullptr && *end == '\0' && end != text.GetString())
        m_dThreshold = value;
}

void CMatchDlg0::OnLearn()
{
    if (m_pDocument == nullptr)
        return;
    if (m_Check.Learn(*m_pDocument, m_nMethod) == CAreaPatternCheck::wrongMethod)
        AfxMessageBox("Wrong method selected");
}

void CMatchDlg0::OnMatch()
{
    if (m_pDocument == nullptr)
        return;
    CWaitCursor wait;
    const DWORD start = GetTickCount();
    switch (m_Check.Match(*m_pDocument, m_nMethod, m_dThreshold, m_nDirection)) {
    case CAreaPatternCheck::noAreas:
        AfxMessageBox("No region of interest defined");
        return;
    case CAreaPatternCheck::noPattern:
        AfxMessageBox("No pattern defined");
        return;
    default:
        break;
    }
    FillList();
    CString text;
    text.Format("Time: %ld", static_cast<long>(GetTickCount() - start));
    if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        frame->SetMessageText(text);
    m_pDocument->UpdateAllViews(nullptr);
}

void CMatchDlg0::FillList()
{
    const std::vector<double>& values = m_Check.GetValues();
    std::vector<bool> ok(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        ok[i] = !CAreaPatternCheck::IsFailed(values[i], m_dThreshold, m_nDirection);
    m_List.Fill(values, ok);
}

void CMatchDlg0::OnShow()
{
    if (m_pDocument == nullptr)
        return;
    CAOIDoc* areas = m_pDocument->GetDataDoc();
    CAOI* active = areas != nullptr ? areas->GetActiveAOI(false) : nullptr;
    CDIB* page = m_pDocument->GetActiveDIB();
    if (active == nullptr || page == nullptr || active->GetPatternCount() == 0)
        return;
    m_pDocument->PushUndo(FALSE);
    PastePattern(*active, active->GetPattern(0), *page);
    m_pDocument->UpdateAllViews(nullptr);
}

void CMatchDlg0::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_pDocument != nullptr) {
        m_pDocument->m_arrPoints2.RemoveAll();
        m_pDocument->m_nAOIMatchMethod = m_nMethod;
        m_pDocument->m_dAOIMatchThreshold = m_dThreshold;
    }
    DestroyWindow();
}

void CMatchDlg0::OnDestroy()
{
    m_List.SaveColumnWidths(kSection);
    CMatchDlg::OnDestroy();
}
