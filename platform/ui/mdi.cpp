#include "platform/ui/mdi.h"

#include "platform/ui/document.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/winapp.h"

#include <QLayout>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

namespace {

CMDIChildWnd* childOf(QMdiSubWindow* sub)
{
    return DYNAMIC_DOWNCAST(CMDIChildWnd, kestrun::WindowFromWidget(sub));
}

// What the child asks for, and never less than its title bar needs.
QSize minimumOf(const QMdiSubWindow& sub)
{
    return sub.minimumSize().expandedTo(sub.minimumSizeHint());
}

// A cascade step: one title bar with the frame above it.
int titleStep(const QMdiSubWindow& sub)
{
    QStyleOptionTitleBar option;
    option.initFrom(&sub);
    const int title = sub.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &sub);
    const int frame = sub.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &sub);
    return std::max(title + frame, 8);
}

// The size of a classic cascade: three quarters of the area.
QSize cascadeSize(const QRect& area)
{
    return QSize(area.width() * 3 / 4, area.height() * 3 / 4);
}

// The k-th cascade position for a window of the size; back to the area's
// corner when it would leave the area.
QPoint cascadeSlot(const QRect& area, int step, int k, const QSize& size)
{
    const int fit = std::min(area.width() - size.width(), area.height() - size.height()) / step;
    const int slot = fit > 0 ? k % (fit + 1) : 0;
    return area.topLeft() + QPoint(slot * step, slot * step);
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
        const int others = static_cast<int>(m_pMdiArea->subWindowList().size());
        m_pMdiArea->addSubWindow(sub);
        QRect wanted(rect.left, rect.top, rect.Width(), rect.Height());
        if (rect.IsRectEmpty()) {
            // Where a cascade would put the next window.
            const QRect area = ChildArea();
            const QSize size = cascadeSize(area).expandedTo(minimumOf(*sub));
            wanted = QRect(cascadeSlot(area, titleStep(*sub), others, size), size);
        }
        sub->setGeometry(FitInside(*sub, wanted));
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
        // Qt still holds the closing child as current: the title names no document.
        if (GetStyle() & FWS_ADDTOTITLE)
            SetWindowText(m_strTitle);
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

QRect CMDIFrameWnd::ChildArea() const
{
    if (m_pMdiArea == nullptr)
        return {};
    // A hidden main window has not laid its area out yet.
    if (!m_pMdiArea->isVisible()) {
        if (QLayout* layout = m_pMdiArea->window()->layout())
            layout->activate();
        return QRect(QPoint(0, 0), m_pMdiArea->contentsRect().size());
    }
    return m_pMdiArea->viewport()->rect();
}

void CMDIFrameWnd::GetMDIClientRect(LPRECT lpRect) const
{
    if (lpRect == nullptr)
        return;
    const QRect area = ChildArea();
    *lpRect = CRect(area.left(), area.top(), area.left() + area.width(), area.top() + area.height());
}

QRect CMDIFrameWnd::FitInside(const QMdiSubWindow& sub, const QRect& wanted) const
{
    const QRect area = ChildArea();
    const QSize size = wanted.size().boundedTo(area.size()).expandedTo(minimumOf(sub));
    // A window larger than the area keeps its top-left corner in it.
    const int x = std::max(area.left(), std::min(wanted.left(), area.left() + area.width() - size.width()));
    const int y = std::max(area.top(), std::min(wanted.top(), area.top() + area.height() - size.height()));
    return QRect(QPoint(x, y), size);
}

QMdiSubWindow* CMDIFrameWnd::ActiveSubWindow() const
{
    CMDIChildWnd* active = MDIGetActive();
    return active ? qobject_cast<QMdiSubWindow*>(active->GetWidget()) : nullptr;
}

std::vector<QMdiSubWindow*> CMDIFrameWnd::ArrangedWindows() const
{
    std::vector<QMdiSubWindow*> windows;
    if (m_pMdiArea == nullptr)
        return windows;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (!sub->isHidden() && !sub->isMinimized() && childOf(sub))
            windows.push_back(sub);
    }
    return windows;
}

QRect CMDIFrameWnd::ArrangeIcons()
{
    QRect area = ChildArea();
    if (m_pMdiArea == nullptr)
        return area;
    int x = area.left();
    int bottom = area.top() + area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isHidden() || !sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > area.left() && x + size.width() > area.left() + area.width()) {
            x = area.left();
            bottom -= rowHeight;
            rowHeight = 0;
        }
        sub->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    area.setBottom(std::max(area.top(), bottom - rowHeight - 1));
    return area;
}

void CMDIFrameWnd::MDICascade()
{
    const QRect area = ArrangeIcons();
    QMdiSubWindow* active = ActiveSubWindow();
    std::vector<QMdiSubWindow*> windows = ArrangedWindows();
    // The active window last: on top, its title bars behind it all in sight.
    if (auto it = std::find(windows.begin(), windows.end(), active); it != windows.end())
        std::rotate(it, it + 1, windows.end());
    int k = 0;
    for (QMdiSubWindow* sub : windows) {
        if (sub->isMaximized())
            sub->showNormal();
        const QSize size = cascadeSize(area).expandedTo(minimumOf(*sub));
        sub->setGeometry(QRect(cascadeSlot(area, titleStep(*sub), k++, size), size));
        sub->raise();
    }
    if (CMDIChildWnd* child = active ? childOf(active) : nullptr)
        MDIActivate(child);
}

void CMDIFrameWnd::MDITile(int nType)
{
    const QRect area = ArrangeIcons();
    QMdiSubWindow* active = ActiveSubWindow();
    std::vector<QMdiSubWindow*> windows = ArrangedWindows();
    if (windows.empty())
        return;
    // The most recently used first; the active one in the top-left cell.
    std::reverse(windows.begin(), windows.end());
    if (auto it = std::find(windows.begin(), windows.end(), active); it != windows.end())
        std::rotate(windows.begin(), it, it + 1);
    const int count = static_cast<int>(windows.size());
    // Lines of cells: columns of windows one above the other (horizontal
    // tiling) or rows of windows side by side; later lines take the rest.
    const bool stacked = (nType & MDITILE_HORIZONTAL) != 0;
    const int lines = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    const int across = stacked ? area.width() : area.height();
    const int along = stacked ? area.height() : area.width();
    int index = 0;
    for (int line = 0; line < lines; ++line) {
        const int inLine = count / lines + (line >= lines - count % lines ? 1 : 0);
        const int lineStart = across * line / lines;
        const int lineSize = across * (line + 1) / lines - lineStart;
        for (int cell = 0; cell < inLine; ++cell, ++index) {
            const int cellStart = along * cell / inLine;
            const int cellSize = along * (cell + 1) / inLine - cellStart;
            const QRect rect = stacked ? QRect(area.left() + lineStart, area.top() + cellStart, lineSize, cellSize)
                                       : QRect(area.left() + cellStart, area.top() + lineStart, cellSize, lineSize);
            QMdiSubWindow* sub = windows[static_cast<size_t>(index)];
            if (sub->isMaximized())
                sub->showNormal();
            const QSize size = rect.size().expandedTo(minimumOf(*sub));
            // A minimum larger than the cell reaches back into the area.
            const int x = std::max(area.left(), std::min(rect.left(), area.left() + area.width() - size.width()));
            const int y = std::max(area.top(), std::min(rect.top(), area.top() + area.height() - size.height()));
            sub->setGeometry(QRect(QPoint(x, y), size));
        }
    }
    if (active)
        active->raise();
}

void CMDIFrameWnd::MDIIconArrange()
{
    ArrangeIcons();
}

void CMDIFrameWnd::ShowNewChild(QMdiSubWindow& sub)
{
    // The view may have placed or sized its frame meanwhile.
    if (!sub.isMinimized() && !sub.isMaximized())
        sub.setGeometry(FitInside(sub, sub.geometry()));
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
    MDITile(MDITILE_HORIZONTAL);
}

void CMDIFrameWnd::OnWindowTileVert()
{
    MDITile(MDITILE_VERTICAL);
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
    auto* sub = qobject_cast<QMdiSubWindow*>(GetWidget());
    if (CMDIFrameWnd* frame = GetMDIFrame(); frame && sub && !m_bShownOnce) {
        m_bShownOnce = true;
        frame->ShowNewChild(*sub);
    }
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
