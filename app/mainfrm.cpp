#include "app/mainfrm.h"

#include "app/aboutdlg.h"
#include "app/kestrunapp.h"
#include "app/registeredmessages.h"
#include "app/resource.h"

#include "analysis/bv.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/resources.h"
#include "scripthost/scriptengine.h"

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

namespace {

constexpr const char* kBarStateSection = "General04";
// The tool-bar buttons the video-source combo box and its gap replace.
constexpr int kComboButton = 7;
constexpr int kComboGapButton = 8;
constexpr int kComboWidth = 130;
constexpr int kComboGapWidth = 6;
constexpr int kComboDropHeight = 500;
constexpr DWORD kBarStyle = CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;

} // namespace

CMainFrame::CMainFrame() : m_camBox(nullptr)
{
    BuildMessageMap();
    m_camBox.m_pWnd = this;
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::StartSplash()
{
    const CString version = CAboutDlg::VersionText();
    const CAppServices* services = kestrun::AppServices();
    const int mode = services ? services->GetMode() : 0;

    m_pSplash = std::make_unique<CSplashThreadDemo>();
    m_pSplash->AddTitleLine("A TarvexAV Product");
    m_pSplash->SetBitmap("SPLASH");
    m_pSplash->SetFont(1, 36, FW_BOLD, true, 4, "Courier New");
    m_pSplash->SetTextPosition(1, 22, 80);
    m_pSplash->SetTextPosition(2, 120, 148);
    m_pSplash->SetFont(2, 20, FW_BOLD, false, 0, "MS Sans Serif");
    m_pSplash->SetTextPosition(3, 195, 148);
    m_pSplash->SetFont(3, 20, FW_BOLD, false, 0, "MS Sans Serif");
    m_pSplash->AddBodyLine(version.Left(4));
    m_pSplash->SetCloseTime(mode == 1 ? 500 : 3500);
    m_pSplash->SetOwner(this);
    // Start-up goes on whether or not the splash could show.
    m_pSplash->CreateThread();
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    StartSplash();
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!CreateToolBar() || !CreateDatabaseToolBar() || !CreateStatusBar())
        return -1;
    if (CKestrunApp* app = KestrunApp())
        app->GetEngine()->SetProgressDisplay(&m_progress);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    DockControlBar(&m_wndDBToolBar);
    LoadBarState(kBarStateSection);
    const CAppServices* services = kestrun::AppServices();
    const int mode = services ? services->GetMode() : 0;
    ShowControlBar(&m_wndDBToolBar, mode == 2 || mode == 3, FALSE);
    // Without the source manager library the scan commands say so.
    LoadSourceManager(GetSafeHwnd());
    return 0;
}

BOOL CMainFrame::CreateToolBar()
{
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINTOOLBAR))
        return FALSE;
    if (!CreateVideoSourceCombo())
        return FALSE;
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | kBarStyle);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    m_wndToolBar.SetWindowText("Standard");
    return TRUE;
}

BOOL CMainFrame::CreateVideoSourceCombo()
{
    const char* face = AfxLoadString(IDS_COMBO_FONT);
    m_wndToolBar.m_font.CreateFont(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0x22, face ? face : "MS Sans Serif");
    if (!m_wndToolBar.CreateComboBox(m_wndToolBar.m_wndComboBox1, kComboButton, IDC_VIDEO_SOURCE, kComboWidth,
                                     kComboDropHeight, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST))
        return FALSE;
    m_wndToolBar.SetButtonInfo(kComboGapButton, ID_SEPARATOR, TBBS_SEPARATOR, kComboGapWidth);
    FillVideoSourceCombo();
    return TRUE;
}

void CMainFrame::FillVideoSourceCombo()
{
    CComboBox& combo = m_wndToolBar.m_wndComboBox1;
    combo.ResetContent();
    FGBoard* board = GetFG();
    // Each entry keeps its source's index: slots without a source are left
    // out.
    for (int source = 0; source < FGBoard::kSourceSlots; ++source) {
        const CString name = board->GetVideoSourceNameAt(source);
        if (!name.IsEmpty())
            combo.SetItemData(combo.AddString(name), static_cast<DWORD_PTR>(source));
    }
    const int current = board->GetVideoSource();
    for (int i = 0; i < combo.GetCount(); ++i) {
        if (static_cast<int>(combo.GetItemData(i)) == current)
            combo.SetCurSel(i);
    }
}

BOOL CMainFrame::CreateDatabaseToolBar()
{
    if (!m_wndDBToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, IDW_DBTOOLBAR) ||
        !m_wndDBToolBar.LoadToolBar(IDR_DBTOOLBAR))
        return FALSE;
    m_wndDBToolBar.SetBarStyle(m_wndDBToolBar.GetBarStyle() | kBarStyle);
    m_wndDBToolBar.EnableDocking(CBRS_ALIGN_ANY);
    m_wndDBToolBar.SetWindowText("DataBase");
    return TRUE;
}

BOOL CMainFrame::CreateStatusBar()
{
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    return m_wndStatusBar.Create(this) && m_wndStatusBar.SetIndicators(indicators, 4);
}

void CMainFrame::OnClose()
{
    CloseScriptEngine();
    CKestrunApp* app = KestrunApp();
    if (app != nullptr && app->GetTablon().IsInterfaceSet())
        app->SetTrayvoInterface(nullptr);
    UnloadSourceManager();
    FGBoard* board = GetFG();
    // Continuous grabbing from a camera ends with one still frame.
    if (board->GetVideoSource() == 2 && board->GetGrabModeWord() == 0)
        board->GrabFrame(0);
    if (board->GetOwnerWnd() == GetSafeHwnd())
        board->SetOwnerWnd(nullptr);
    SaveBarState(kBarStateSection);
    m_persist.SaveWindowPlacement();
    CMDIFrameWnd::OnClose();
}

void CMainFrame::OnDestroy()
{
    // No notice may reach a window that goes.
    m_dlgDirCheck.GetWatcher().Stop();
    if (m_nNewImageTimer != 0)
        KillTimer(m_nNewImageTimer);
    m_nNewImageTimer = 0;
    // The engine outlives the window.
    if (CKestrunApp* app = KestrunApp())
        app->GetEngine()->SetProgressDisplay(nullptr);
    m_progress.EndProgress();
    CMDIFrameWnd::OnDestroy();
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (m_nNewImageTimer != 0 && nIDEvent == m_nNewImageTimer) {
        TakeNewImages();
        return;
    }
    if (m_nTimerID != 0 && nIDEvent == m_nTimerID) {
        KillTimer(m_nTimerID);
        m_nTimerID = 0;
        SendMessage(WM_COMMAND, ID_INIT_VIDEO);
    }
    CMDIFrameWnd::OnTimer(nIDEvent);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CMDIFrameWnd::OnSize(nType, cx, cy);
    // The children hear that their frame was maximised (SIZE_MAXSHOW).
    constexpr WPARAM kSizeMaxShow = 3;
    if (IsZoomed())
        SendMessageToDescendants(WM_SIZE, kSizeMaxShow, 0, TRUE, FALSE);
}

int CMainFrame::OnDirChange(CFileInformation fileInformation, int nKind)
{
    // Deleted and changed files, and new folders, are no new images.
    if (nKind == CFileInformation::kCreated && !fileInformation.IsDirectory()) {
        m_newImages.Push(fileInformation.GetFullPath());
        PostMessage(kestrun::AppMessages().imageCreated, 0, 0);
    }
    return 0;
}
