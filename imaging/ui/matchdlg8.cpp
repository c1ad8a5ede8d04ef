#include "imaging/ui/matchdlg8.h"

#include "imaging/ui/matchdlg7.h"
#include "imaging/dibdocex.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoipatterns.h"
#include "objectmodel/toolfunctions.h"
#include "outside/grabwell/fgboard.h"

#include "platform/core/exceptions.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>
#include <vector>

IMPLEMENT_DYNAMIC(CMatchDlg8, CMatchDlg)

UINT CMatchDlg8::s_msgGrabber = 0;
std::atomic<bool> CMatchDlg8::s_bFrameBusy{false};

namespace {

constexpr const char* kSection = "MatchDlg8";

void RegisterMatchTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CMatchDlg8;
        RegisterDialogTemplate(
            Dlg::IDD,
            {"Pattern Matching Control",
             CRect(0, 0, 212, 370),
             {
                 // The window's menu as a row of buttons.
                 PushButton("&Settings", Dlg::ID_MATCH_SETTINGS, 7, 7, 64, 14),
                 PushButton("&Learn", Dlg::ID_MATCH_LEARN, 74, 7, 64, 14),
                 PushButton("&Match", Dlg::ID_MATCH_MATCH, 141, 7, 64, 14),
                 PushButton("&Draw", Dlg::ID_MATCH_DRAW, 7, 24, 64, 14),
                 PushButton("Learn &Profile", Dlg::ID_MATCH_LEARN_PROFILE, 74, 24, 64, 14),
                 PushButton("&Move Back ROIs", Dlg::ID_MATCH_MOVE_BACK, 141, 24, 64, 14),
                 ListControl(Dlg::IDC_LIST, 7, 44, 198, 214, LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED),
                 RadioButton("Lines", Dlg::IDC_LINES, 7, 266, 80, 10, WS_GROUP),
                 RadioButton("Hexagones", Dlg::IDC_HEXAGONES, 7, 279, 80, 10),
                 RadioButton("Area Pattern", Dlg::IDC_AREA_PATTERN, 7, 292, 80, 10),
                 PushButton("", Dlg::IDC_SIGNAL, 150, 266, 24, 24, BS_OWNERDRAW | WS_GROUP),
                 PushButton("Start", Dlg::IDC_START, 7, 310, 50, 14),
                 PushButton("Stop", Dlg::IDC_STOP, 62, 310, 50, 14),
                 DefPushButton("OK", IDOK, 155, 310, 50, 14),
                 LText("Status:", IDC_STATIC, 7, 330, 50, 8),
                 LText("", Dlg::IDC_STATUS, 7, 341, 198, 22, WS_BORDER),
             }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CMatchDlg8, CMatchDlg)
    ON_BN_CLICKED(ID_MATCH_SETTINGS, OnSettings)
    ON_BN_CLICKED(ID_MATCH_LEARN, OnLearn)
    ON_BN_CLICKED(ID_MATCH_MATCH, OnMatch)
    ON_BN_CLICKED(ID_MATCH_DRAW, OnDraw)
    ON_BN_CLICKED(ID_MATCH_LEARN_PROFILE, OnLearnProfile)
    ON_BN_CLICKED(ID_MATCH_MOVE_BACK, OnMoveBack)
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_LINES, OnMethod)
    ON_BN_CLICKED(IDC_HEXAGONES, OnMethod)
    ON_BN_CLICKED(IDC_AREA_PATTERN, OnMethod)
    ON_REGISTERED_MESSAGE(s_msgGrabber, OnGrabber)
END_MESSAGE_MAP()

CMatchDlg8::CMatchDlg8() : CMatchDlg(IDD)
{
    s_msgGrabber = RegisterWindowMessage("MSG_GRABBER");
    BuildMessageMap();
}

CMatchDlg8::~CMatchDlg8()
{
    // No frame may reach a window that is gone.
    RemoveCallBack();
    DestroyHandleNow();
}

BOOL CMatchDlg8::Create(CWnd* pOwner)
{
    RegisterMatchTemplate();
    if (m_pBoard == nullptr)
        m_pBoard = GetFG();
    return CreateTool(IDD, pOwner);
}

void CMatchDlg8::ReadProfile()
{
    m_Match.m_fLower = static_cast<float>(GetProfileDouble(kSection, "PatternThreshold", 0.0));
    m_Match.m_fUpper = static_cast<float>(GetProfileDouble(kSection, "PatternThreshold2", 0.0));
    m_Match.m_nSearchDirection = static_cast<int>(GetProfileInt(kSection, "SearchStartMethod", 0));
    m_Match.m_nProfileStart = static_cast<int>(GetProfileInt(kSection, "PatternProfileStart", 40));
    m_nMethod = static_cast<int>(GetProfileInt(kSection, "Method", 0));
}

void CMatchDlg8::WriteProfile()
{
    WriteProfileDouble(kSection, "PatternThreshold", m_Match.m_fLower);
    WriteProfileDouble(kSection, "PatternThreshold2", m_Match.m_fUpper);
    WriteProfileInt(kSection, "SearchStartMethod", m_Match.m_nSearchDirection);
    WriteProfileInt(kSection, "PatternProfileStart", m_Match.m_nProfileStart);
    WriteProfileInt(kSection, "Method", m_nMethod);
    m_List.SaveColumnWidths(kSection);
}

BOOL CMatchDlg8::OnInitDialog()
{
    ReadProfile();
    m_List.SubclassDlgItem(IDC_LIST, this);
    m_Signal.SubclassDlgItem(IDC_SIGNAL, this);
    m_Signal.LoadBitmaps("SIGNAL_IO", nullptr, nullptr, "SIGNAL_NIO");
    m_Signal.SizeToContent();
    m_Signal.EnableWindow(FALSE);
    m_List.CreateColumns(kSection, "Wert", "Status");
    CMatchDlg::OnInitDialog();
    FillList();
    return TRUE;
}

void CMatchDlg8::DoDataExchange(CDataExchange* pDX)
{
    CMatchDlg::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_LINES, m_nMethod);
}

void CMatchDlg8::OnMethod()
{
    UpdateData(TRUE);
}

void CMatchDlg8::OnSettings()
{
    CMatchDlg7 settings(this);
    settings.m_bPatternSearch = m_Match.m_bPatternSearch;
    settings.m_nProfileStart = m_Match.m_nProfileStart;
    settings.m_nProfilePosition = m_Match.m_nProfilePosition;
    settings.m_nDirection = m_Match.m_nSearchDirection;
    settings.m_fLower = m_Match.m_fLower;
    settings.m_fUpper = m_Match.m_fUpper;
    if (settings.DoModal() != IDOK)
        return;
    m_Match.m_bPatternSearch = settings.m_bPatternSearch;
    m_Match.m_nProfileStart = settings.m_nProfileStart;
    m_Match.m_nProfilePosition = settings.m_nProfilePosition;
    m_Match.m_nSearchDirection = settings.m_nDirection;
    m_Match.m_fLower = settings.m_fLower;
    m_Match.m_fUpper = settings.m_fUpper;
    FillList();
}

void CMatchDlg8::OnLearn()
{
    if (m_pDocument != nullptr)
        m_Match.Learn(*m_pDocument);
}

void CMatchDlg8::OnMatch()
{
    if (m_pDocument == nullptr)
        return;
    RunMatch();
    SetDlgItemText(IDC_STATUS, m_strStatus);
}

void CMatchDlg8::RunMatch()
{
    m_Match.Run(*m_pDocument);
    FillList();
    m_strStatus = m_Match.GetStatusText();
    RedrawViews();
}

void CMatchDlg8::FillList()
{
    if (m_List.GetSafeHwnd() == nullptr)
        return;
    const int count = m_pDocument != nullptr
                          ? static_cast<int>(CPatternMatch::CollectAreas(m_pDocument->GetDataDoc()).areas.size())
                          : 0;
    std::vector<double> values(static_cast<size_t>(count), 0.0);
    std::vector<bool> ok(static_cast<size_t>(count), false);
    bool allOK = count > 0;
    for (int i = 0; i < count; ++i) {
        if (i < m_Match.GetAreaCount())
            values[static_cast<size_t>(i)] = m_Match.GetValues()[static_cast<size_t>(i)];
        ok[static_cast<size_t>(i)] = m_Match.IsOK(i);
        allOK = allOK && ok[static_cast<size_t>(i)];
    }
    m_List.Fill(values, ok);
    m_Signal.EnableWindow(allOK ? TRUE : FALSE);
}

void CMatchDlg8::RedrawViews()
{
    if (m_pDocument != nullptr)
        m_pDocument->UpdateAllViews(nullptr);
}

void CMatchDlg8::OnDraw()
{
    if (m_pDocument == nullptr)
        return;
    CAOIDoc* areas = m_pDocument->GetDataDoc();
    CAOI* active = areas != nullptr ? areas->GetActiveAOI(false) : nullptr;
    CDIB* page = m_pDocument->GetActiveDIB();
    if (active == nullptr || page == nullptr || active->GetPatternCount() == 0)
        return;
    const CDIB* pattern = active->GetPattern(0);
    // A pattern of another size stays where it is.
    if (pattern == nullptr || pattern->GetWidth() != active->GetWidth() || pattern->GetHeight() != active->GetHeight())
        return;
    m_pDocument->PushUndo(FALSE);
    PastePattern(*active, pattern, *page);
    RedrawViews();
}

void CMatchDlg8::OnLearnProfile()
{
    if (m_pDocument == nullptr)
        return;
    m_Match.LearnProfile(*m_pDocument);
    RedrawViews();
}

void CMatchDlg8::OnMoveBack()
{
    if (m_pDocument == nullptr)
        return;
    m_Match.MoveBack(*m_pDocument);
    RedrawViews();
}

void CMatchDlg8::OnUpdateNotice(int nKind, int)
{
    if (nKind == noticeAreasChanged || nKind == noticeAreaDeleted)
        FillList();
}

void CMatchDlg8::OnStart()
{
    if (m_bLive || m_pBoard == nullptr)
        return;
    m_bLive = 1;
    m_nTimer = SetTimer(kTimer, kTimerPeriod);
    m_strStatus = "--- Running ---";
    m_Match.ResetStatistics();
    m_bFramePending = false;
    m_hFrameTarget = GetSafeHwnd();
    m_pBoard->SetCallBack(&CMatchDlg8::GrabberCallback, this);
}

void CMatchDlg8::OnStop()
{
    if (!m_bLive)
        return;
    RemoveCallBack();
    KillTimer(kTimer);
    m_nTimer = 0;
    m_strStatus = "Ready";
    SetDlgItemText(IDC_STATUS, m_strStatus);
}

void CMatchDlg8::RemoveCallBack()
{
    // Only this window's own callback: another window's on the one board stays.
    if (m_bLive && m_pBoard != nullptr)
        m_pBoard->SetCallBack(nullptr, nullptr);
    m_hFrameTarget = nullptr;
    m_bLive = 0;
}

int CMatchDlg8::GrabberCallback(void* context)
{
    auto* dialog = static_cast<CMatchDlg8*>(context);
    if (dialog == nullptr)
        return 0;
    const HWND target = dialog->m_hFrameTarget.load();
    if (target != nullptr && !dialog->m_bFramePending.exchange(true))
        ::PostMessage(target, s_msgGrabber, kPictureReady, 0);
    return 0;
}

LRESULT CMatchDlg8::OnGrabber(WPARAM wParam, LPARAM)
{
    if (wParam != kPictureReady)
        return 0;
    m_bFramePending = false;
    if (!m_bLive || m_pBoard == nullptr || m_pDocument == nullptr)
        return 0;
    if (s_bFrameBusy.exchange(true))
        return 0;
    // Cleared whatever happens: a frame whose buffer stayed locked must
    // not stop live matching for good.
    struct sRelease
    {
        ~sRelease() { s_bFrameBusy = false; }
    } release;
    if (!m_pBoard->LockBuffer(kBufferWait)) {
        ++m_nMissedFrames;
        return 0;
    }
    try {
        RunMatch();
    } catch (const CException& e) {
        m_strStatus = e.GetErrorMessage();
    } catch (const std::exception& e) {
        m_strStatus = e.what();
    }
    m_pBoard->UnlockBuffer();
    return 0;
}

void CMatchDlg8::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTimer) {
        CMatchDlg::OnTimer(nIDEvent);
        return;
    }
    m_bTick = 1;
    SetDlgItemText(IDC_STATUS, m_strStatus);
}

void CMatchDlg8::OnDestroy()
{
    WriteProfile();
    if (m_nTimer != 0)
        KillTimer(kTimer);
    RemoveCallBack();
    CMatchDlg::OnDestroy();
}
