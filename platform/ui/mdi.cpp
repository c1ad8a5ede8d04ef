#include "platform/ui/mdi.h"

#include "platform/ui/document.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/winapp.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

namespace {

CMDIChildWnd* childOf(QMdiSubWindow* sub)
{
    return DYNAMIC_DOWNCAST(CMDIChildWnd, kestrun::WindowFromWidget(sub));
}

} // namespace

// ---- CMDIFrameWnd ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND(ID_WINDOW_CASCADE, OnWindowCascade)
    ON_COMMAND(ID_WINDOW_TILE_HORZ, OnWindowTileHorz)
    ON_COMMAND(ID_WINDOW_TILE_VERT, OnWindowTileVert)
    ON_COMMAND(ID_WINDOW_ARRANGE, OnWindowArrange)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd()
{
    BuildMessageMap();
}

CMDIFrameWnd::~CMDIFrameWnd() = default;

QWidget* CMDIFrameWnd::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    QWidget* window = CFrameWnd::CreateWidget(parent, cs);
    m_pMdiArea = new QMdiArea(window);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    static_cast<QMainWindow*>(window)->setCentralWidget(m_pMdiArea);
    QObject::connect(m_pMdiArea, &QMdiArea::subWindowActivated, m_pMdiArea, [this](QMdiSubWindow* sub) {
        if (CMDIChildWnd* child = sub ? childOf(sub) : nullptr)
            kestrun::GuardedCall([&] { ChildActivated(child); });
    });
    return window;
}

void CMDIFrameWnd::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    auto* sub = qobject_cast<QMdiSubWindow*>(child.GetWidget());
    if (sub && m_pMdiArea && DYNAMIC_DOWNCAST(CMDIChildWnd, &child)) {
        m_pMdiArea->addSubWindow(sub);
        if (!rect.IsRectEmpty())
            sub->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
        else
            sub->resize(480, 360);
        return;
    }
    CFrameWnd::PlaceChildWidget(child, rect);
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::MDIChildren() const
{
    std::vector<CMDIChildWnd*> children;
    if (m_pMdiArea == nullptr || GetWidget() == nullptr)
        return children;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (CMDIChildWnd* child = childOf(sub))
            children.push_back(child);
    }
    return children;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    CMDIChildWnd* child = m_pActiveChild;
    if (child == nullptr && m_pMdiArea && GetWidget())
        child = m_pMdiArea->currentSubWindow() ? childOf(m_pMdiArea->currentSubWindow()) : nullptr;
    if (pbMaximized)
        *pbMaximized = (child && child->IsZoomed()) ? TRUE : FALSE;
    return child;
}

void CMDIFrameWnd::ChildActivated(CMDIChildWnd* pChild)
{
    if (pChild == m_pActiveChild)
        return;
    CMDIChildWnd* old = m_pActiveChild;
    m_pActiveChild = pChild;
    if (old)
        old->OnMDIActivate(FALSE, pChild, old);
    if (pChild)
        pChild->OnMDIActivate(TRUE, pChild, old);
    // The active document's menu, or the frame's own.
    CMenu* menu = (pChild && pChild->SharedMenu()) ? pChild->SharedMenu() : GetMenu();
    ShowMenu(menu);
    OnUpdateFrameTitle(TRUE);
}

void CMDIFrameWnd::ChildGone(CMDIChildWnd* pChild)
{
    if (pChild != m_pActiveChild)
        return;
    m_pActiveChild = nullptr;
    CMDIChildWnd* next = nullptr;
    for (CMDIChildWnd* child : MDIChildren()) {
        if (child != pChild)
            next = child;
    }
    if (next) {
        MDIActivate(next);
    } else {
        ShowMenu(GetMenu());
        OnUpdateFrameTitle(TRUE);
    }
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    auto* child = DYNAMIC_DOWNCAST(CMDIChildWnd, pWndActivate);
    if (child == nullptr)
        return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(child->GetWidget()); sub && m_pMdiArea)
        m_pMdiArea->setActiveSubWindow(sub);
    // Without an active application window Qt may not report it.
    ChildActivated(child);
}

void CMDIFrameWnd::MDICascade()
{
    if (m_pMdiArea)
        m_pMdiArea->cascadeSubWindows();
}

void CMDIFrameWnd::MDITile(int)
{
    if (m_pMdiArea)
        m_pMdiArea->tileSubWindows();
}

void CMDIFrameWnd::MDIIconArrange()
{
    MDITile();
}

void CMDIFrameWnd::MDINext()
{
    if (m_pMdiArea)
        m_pMdiArea->activateNextSubWindow();
    if (CMDIChildWnd* child = m_pMdiArea && m_pMdiArea->currentSubWindow() ? childOf(m_pMdiArea->currentSubWindow()) : nullptr)
        ChildActivated(child);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd)
{
    if (pWnd)
        pWnd->ShowWindow(SW_SHOWMAXIMIZED);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd)
{
    if (pWnd)
        pWnd->ShowWindow(SW_RESTORE);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? static_cast<CFrameWnd*>(child) : this;
}

CView* CMDIFrameWnd::GetActiveView() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveView() : nullptr;
}

CDocument* CMDIFrameWnd::GetActiveDocument()
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active child first, with its view, document and template (and,
    // as the class library has it, the application), then this frame.
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return (app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) ? TRUE : FALSE;
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!bAddToTitle)
        return;
    CString title = m_strTitle;
    if (CDocument* doc = GetActiveDocument(); doc && !doc->GetTitle().IsEmpty() && (GetStyle() & FWS_ADDTOTITLE))
        title += " - " + doc->GetTitle();
    SetWindowText(title);
}

void CMDIFrameWnd::OnWindowCascade()
{
    MDICascade();
}

void CMDIFrameWnd::OnWindowTileHorz()
{
    MDITile();
}

void CMDIFrameWnd::OnWindowTileVert()
{
    MDITile();
}

void CMDIFrameWnd::OnWindowArrange()
{
    MDIIconArrange();
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

// ---- CMDIChildWnd ---------------------------------------------------------------------------------

CMDIChildWnd::CMDIChildWnd() = default;

CMDIChildWnd::~CMDIChildWnd() = default;

QWidget* CMDIChildWnd::CreateWidget(QWidget*, const CREATESTRUCT&)
{
    auto* sub = new QMdiSubWindow();
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWidget(CreateMainWindow(nullptr, false));
    return sub;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    CWnd* parent = pParentWnd ? pParentWnd : AfxGetMainWnd();
    if (DYNAMIC_DOWNCAST(CMDIFrameWnd, parent) == nullptr) {
        // No main window to live in: gone, as a failed creation goes.
        PostNcDestroy();
        return FALSE;
    }
    return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle | WS_CHILD, parent, pContext);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    return DYNAMIC_DOWNCAST(CMDIFrameWnd, GetParent());
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIActivate(this);
}

void CMDIChildWnd::MDIDestroy()
{
    DestroyWindow();
}

void CMDIChildWnd::MDIMaximize()
{
    ShowWindow(SW_SHOWMAXIMIZED);
}

void CMDIChildWnd::MDIRestore()
{
    ShowWindow(SW_RESTORE);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    ShowWindow(nCmdShow == -1 ? SW_SHOW : nCmdShow);
    MDIActivate();
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!bAddToTitle)
        return;
    CDocument* doc = GetActiveDocument();
    SetWindowText(doc ? doc->GetTitle() : m_strTitle);
    if (CMDIFrameWnd* frame = GetMDIFrame(); frame && frame->MDIGetActive() == this)
        frame->OnUpdateFrameTitle(TRUE);
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd)
{
    CView* view = GetActiveView();
    if (view == nullptr)
        return;
    auto* other = DYNAMIC_DOWNCAST(CMDIChildWnd, bActivate ? pDeactivateWnd : pActivateWnd);
    CView* otherView = other ? other->GetActiveView() : nullptr;
    if (bActivate)
        view->OnActivateView(TRUE, view, otherView);
    else
        view->OnActivateView(FALSE, otherView, view);
}

void CMDIChildWnd::OnDestroy()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->ChildGone(this);
    CFrameWnd::OnDestroy();
}
