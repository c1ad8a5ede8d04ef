#include "platform/ui/frame.h"

#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/document.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/winapp.h"

#include <QCoreApplication>
#include <QStatusTipEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault;

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
{
    BuildMessageMap();
}

CFrameWnd::~CFrameWnd() = default;

namespace kestrun {
namespace {

// Hands the prompts of buttons and menu items to the frame's message pane
// instead of the toolkit's temporary message, which would hide every pane.
class CFrameMainWindow : public QMainWindow
{
public:
    CFrameMainWindow(CFrameWnd& frame, QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags), m_frame(frame)
    {
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::StatusTip)
            return QMainWindow::event(event);
        // A frame without a message pane lets the prompt go on to its parent.
        bool shown = false;
        GuardedCall([&] { shown = m_frame.ShowPrompt(FromQString(static_cast<QStatusTipEvent*>(event)->tip())); });
        event->setAccepted(shown);
        return shown;
    }

private:
    CFrameWnd& m_frame;
};

} // namespace
} // namespace kestrun

QMainWindow* CFrameWnd::CreateMainWindow(QWidget* parent, bool topLevel)
{
    m_pMainWindow = new kestrun::CFrameMainWindow(*this, parent, topLevel ? Qt::Window : Qt::Widget);
    m_pMainWindow->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    return m_pMainWindow;
}

QWidget* CFrameWnd::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    QMainWindow* window = CreateMainWindow(parent, true);
    window->resize(800, 600);
    return window;
}

QMainWindow* CFrameWnd::MainWindow() const
{
    return GetWidget() ? m_pMainWindow : nullptr;
}

QWidget* CFrameWnd::GetClientWidget() const
{
    return MainWindow();
}

void CFrameWnd::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    QMainWindow* window = MainWindow();
    if (window && DYNAMIC_DOWNCAST(CControlBar, &child) == nullptr &&
        (DYNAMIC_DOWNCAST(CView, &child) || static_cast<UINT>(child.GetDlgCtrlID()) == AFX_IDW_PANE_FIRST)) {
        window->setCentralWidget(child.GetWidget());
        return;
    }
    if (DYNAMIC_DOWNCAST(CControlBar, &child) || DYNAMIC_DOWNCAST(CStatusBarCtrl, &child))
        return; // bars put themselves in place
    CWnd::PlaceChildWidget(child, rect);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString title;
    if (const char* text = AfxLoadString(nIDResource)) {
        title = text;
        const int nl = title.Find('\n');
        if (nl >= 0)
            title = title.Left(nl);
    }
    m_strTitle = title;
    if (kestrun::HasMenuResource(nIDResource))
        m_menu.LoadMenu(nIDResource);
    if (!Create(nullptr, title, dwDefaultStyle, rectDefault, pParentWnd, nullptr, 0, pContext))
        return FALSE;
    if (m_menu.GetSafeHmenu() && ShowsOwnMenu())
        ShowMenu(&m_menu);
    if (pContext == nullptr)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR, DWORD dwExStyle, CCreateContext* pContext)
{
    if (lpszWindowName)
        m_strTitle = lpszWindowName;
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, 0, pContext);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    auto* context = lpCreateStruct ? static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams) : nullptr;
    return OnCreateClient(lpCreateStruct, context) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr)
        return nullptr;
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    auto* view = DYNAMIC_DOWNCAST(CWnd, object);
    if (view == nullptr) {
        delete object;
        return nullptr;
    }
    // A view whose creation fails deletes itself.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this, nID, pContext))
        return nullptr;
    return view;
}

// ---- views ---------------------------------------------------------------------------------

CView* CFrameWnd::GetActiveView() const
{
    return m_pViewActive;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* old = m_pViewActive;
    if (old == pViewNew)
        return;
    m_pViewActive = pViewNew;
    if (!bNotify)
        return;
    if (old)
        old->OnActivateView(FALSE, pViewNew, old);
    if (pViewNew)
        pViewNew->OnActivateView(TRUE, pViewNew, old);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* view = GetActiveView();
    if (view == nullptr) {
        for (CWnd* child : GetChildren()) {
            if (auto* v = DYNAMIC_DOWNCAST(CView, child)) {
                view = v;
                SetActiveView(view, FALSE);
                break;
            }
        }
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        ActivateFrame();
        if (view && m_hWnd)
            view->OnActivateView(TRUE, view, view);
    }
    (void)pDoc;
    if (m_hWnd)
        OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    ShowWindow(nCmdShow == -1 ? SW_SHOW : nCmdShow);
    BringWindowToTop();
}

void CFrameWnd::RecalcLayout(BOOL)
{
    // Qt lays the bars and the view out itself.
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!bAddToTitle || !(GetStyle() & FWS_ADDTOTITLE))
        return;
    CString title = m_strTitle;
    if (CDocument* doc = GetActiveDocument(); doc && !doc->GetTitle().IsEmpty()) {
        if (GetStyle() & FWS_PREFIXTITLE)
            title = doc->GetTitle() + (title.IsEmpty() ? CString() : " - " + title);
        else
            title = (title.IsEmpty() ? CString() : title + " - ") + doc->GetTitle();
    }
    SetWindowText(title);
}

// ---- bars ---------------------------------------------------------------------------------------

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (pBar)
        pBar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    for (CWnd* child : GetChildren()) {
        if (auto* bar = DYNAMIC_DOWNCAST(CControlBar, child); bar && static_cast<UINT>(bar->GetDlgCtrlID()) == nID)
            return bar;
    }
    return nullptr;
}

CWnd* CFrameWnd::GetMessageBar()
{
    return GetDlgItem(static_cast<int>(AFX_IDW_STATUS_BAR));
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText)
{
    CWnd* bar = GetMessageBar();
    if (auto* status = DYNAMIC_DOWNCAST(CStatusBar, bar))
        status->SetPaneText(0, lpszText);
    else if (auto* ctrl = DYNAMIC_DOWNCAST(CStatusBarCtrl, bar))
        ctrl->SetText(lpszText, 0, 0);
    else if (bar)
        bar->SetWindowText(lpszText);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SetMessageText(kestrun::CommandText(nID).prompt);
}

CString CFrameWnd::GetMessageText()
{
    CWnd* bar = GetMessageBar();
    if (auto* status = DYNAMIC_DOWNCAST(CStatusBar, bar))
        return status->GetPaneText(0);
    if (auto* ctrl = DYNAMIC_DOWNCAST(CStatusBarCtrl, bar))
        return ctrl->GetText(0);
    CString text;
    if (bar)
        bar->GetWindowText(text);
    return text;
}

bool CFrameWnd::ShowPrompt(const CString& prompt)
{
    if (GetMessageBar() == nullptr)
        return false;
    if (prompt.IsEmpty()) {
        if (m_bPromptShown)
            SetMessageText(m_strTextUnderPrompt);
        m_bPromptShown = false;
        return true;
    }
    if (!m_bPromptShown)
        m_strTextUnderPrompt = GetMessageText();
    m_bPromptShown = true;
    SetMessageText(prompt);
    return true;
}

void CFrameWnd::EnableDocking(DWORD)
{
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT, LPCRECT)
{
    if (pBar && pBar->IsWindowVisible() == FALSE && (pBar->GetStyle() & WS_VISIBLE))
        pBar->ShowWindow(SW_SHOW);
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    if (lpszProfileName == nullptr)
        return;
    int index = 0;
    for (CWnd* child : GetChildren()) {
        auto* bar = DYNAMIC_DOWNCAST(CControlBar, child);
        if (bar == nullptr)
            continue;
        const CString section = FormatString("%s-Bar%d", lpszProfileName, index++);
        const int id = static_cast<int>(GetProfileInt(section, "BarID", -1));
        if (id != bar->GetDlgCtrlID())
            continue;
        ShowControlBar(bar, GetProfileInt(section, "Visible", 1) != 0, FALSE);
    }
}

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName) const
{
    if (lpszProfileName == nullptr)
        return;
    int index = 0;
    for (CWnd* child : GetChildren()) {
        auto* bar = DYNAMIC_DOWNCAST(CControlBar, child);
        if (bar == nullptr)
            continue;
        const CString section = FormatString("%s-Bar%d", lpszProfileName, index++);
        WriteProfileInt(section, "BarID", bar->GetDlgCtrlID());
        WriteProfileInt(section, "Visible", (bar->GetStyle() & WS_VISIBLE) ? 1 : 0);
    }
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    for (CWnd* child : GetChildren()) {
        if (auto* bar = DYNAMIC_DOWNCAST(CControlBar, child); bar && (bar->GetStyle() & WS_VISIBLE))
            bar->OnUpdateCmdUI(this, m_bAutoMenuEnable);
    }
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CWnd* bar = GetDlgItem(static_cast<int>(pCmdUI->m_nID));
    if (bar == nullptr) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((bar->GetStyle() & WS_VISIBLE) ? 1 : 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CWnd* bar = GetDlgItem(static_cast<int>(nID));
    if (bar == nullptr)
        return FALSE;
    bar->ShowWindow((bar->GetStyle() & WS_VISIBLE) ? SW_HIDE : SW_SHOW);
    return TRUE;
}

// ---- menu ------------------------------------------------------------------------------------------

BOOL CFrameWnd::SetMenu(CMenu* pMenu)
{
    if (pMenu == nullptr) {
        m_menu.DestroyMenu();
    } else if (pMenu != &m_menu) {
        m_menu.ShareData(*pMenu);
    }
    if (ShowsOwnMenu())
        ShowMenu(GetMenu());
    return TRUE;
}

void CFrameWnd::DrawMenuBar()
{
    if (ShowsOwnMenu())
        ShowMenu(GetMenu());
}

void CFrameWnd::ShowMenu(CMenu* pMenu)
{
    QMainWindow* window = MainWindow();
    if (window == nullptr)
        return;
    QMenuBar* bar = window->menuBar();
    bar->clear();
    if (pMenu != nullptr)
        pMenu->FillQMenuBar(*bar, this);
}

// ---- routing and life --------------------------------------------------------------------------

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CView* view = GetActiveView(); view && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return (app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) ? TRUE : FALSE;
}

void CFrameWnd::OnClose()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!app->SaveAllModified())
            return;
        app->CloseAllDocuments(FALSE);
        // Closing the documents may have closed this window already.
        if (app->m_pMainWnd == nullptr || m_hWnd == nullptr)
            return;
        DestroyWindow();
        return;
    }
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    if (doc)
        doc->PreCloseFrame(this);
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    m_pViewActive = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy()
{
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
        // The main window gone ends the program's event loop.
        app->m_pMainWnd = nullptr;
        QCoreApplication::quit();
    }
    delete this;
}
