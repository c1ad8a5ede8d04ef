#include "platform/ui/wnd.h"

#include "platform/core/exceptions.h"
#include "platform/core/gdi.h"
#include "platform/ui/ddx.h"
#include "platform/ui/frame.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/qtdc_overlay.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

struct WindowMap
{
    std::mutex mutex;
    std::map<HWND, CWnd*> windows;
};

WindowMap& windowMap()
{
    static WindowMap instance;
    return instance;
}

QRect toQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

CRect toRect(const QRect& r)
{
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

// The frame the window system draws around a top-level window (none for
// child windows). The native window is made first: before it exists Qt
// knows no frame, and a window placed then would grow by it when shown.
QMargins frameOf(QWidget& widget)
{
    if (!widget.isWindow())
        return {};
    (void)widget.winId();
    const QRect outer = widget.frameGeometry();
    const QRect inner = widget.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Places a window by its outer rectangle, as GetWindowRect reports it;
// a null position or size keeps that part.
void placeOuter(QWidget& widget, const QPoint* topLeft, const QSize* size)
{
    const QMargins frame = frameOf(widget);
    QRect inner = widget.geometry();
    if (topLeft)
        inner.moveTopLeft(*topLeft + QPoint(frame.left(), frame.top()));
    if (size)
        inner.setSize(QSize(std::max(0, size->width() - frame.left() - frame.right()),
                            std::max(0, size->height() - frame.top() - frame.bottom())));
    widget.setGeometry(inner);
}

bool isDescendantWidget(const QObject* object, const QObject* ancestor)
{
    for (const QObject* o = object ? object->parent() : nullptr; o != nullptr; o = o->parent()) {
        if (o == ancestor)
            return true;
    }
    return false;
}

// A CCmdUI that only asks: used to refuse commands whose handlers disable them.
class CTestCmdUI : public CCmdUI
{
};

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd != nullptr)
        DestroyHandle(false);
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    WindowMap& map = windowMap();
    std::lock_guard lock(map.mutex);
    const auto it = map.windows.find(hWnd);
    return it == map.windows.end() ? nullptr : it->second;
}

// ---- creation ----------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    if (m_hWnd != nullptr)
        AfxThrowInvalidArgException();
    if ((dwStyle & WS_CHILD) && (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr))
        AfxThrowInvalidArgException();

    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName;
    cs.lpszClass = lpszClassName;
    cs.dwExStyle = dwExStyle;
    cs.hMenu = reinterpret_cast<void*>(static_cast<uintptr_t>(nID));
    // A window that fails this early cleans up as a destroyed one does
    // (views and frames delete themselves).
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }

    m_dwStyle = static_cast<DWORD>(cs.style);
    m_dwExStyle = cs.dwExStyle;
    m_nID = nID;
    const bool child = (m_dwStyle & WS_CHILD) != 0;
    if (!child)
        m_pOwner = pParentWnd;

    QWidget* parentWidget = nullptr;
    if (pParentWnd && pParentWnd->GetWidget())
        parentWidget = child ? pParentWnd->GetClientWidget() : pParentWnd->GetWidget()->window();
    QWidget* widget = CreateWidget(parentWidget, cs);
    if (widget == nullptr) {
        PostNcDestroy();
        return FALSE;
    }
    if (!child && parentWidget && widget->parentWidget() == nullptr)
        widget->setParent(parentWidget, widget->windowFlags() | Qt::Window);

    AttachWidget(widget);
    m_hWnd = kestrun::CreateWindowHandle(this, child ? pParentWnd->m_hWnd : nullptr);
    {
        WindowMap& map = windowMap();
        std::lock_guard lock(map.mutex);
        map.windows[m_hWnd] = this;
    }

    const CRect placed(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
    if (child)
        pParentWnd->PlaceChildWidget(*this, placed);
    else if (!placed.IsRectEmpty())
        widget->setGeometry(toQRect(placed));
    if (cs.lpszName)
        SetWidgetText(cs.lpszName);
    if (m_dwStyle & WS_DISABLED)
        widget->setEnabled(false);

    if (Deliver(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (m_hWnd == nullptr)
        return FALSE;
    // A child without WS_VISIBLE stays hidden when its parent is shown later.
    if (m_pWidget && (m_dwStyle & WS_VISIBLE))
        m_pWidget->show();
    else if (m_pWidget && child)
        m_pWidget->hide();
    return TRUE;
}

QWidget* CWnd::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    const bool child = (static_cast<DWORD>(cs.style) & WS_CHILD) != 0;
    return new QWidget(parent, child ? Qt::Widget : Qt::Window);
}

void CWnd::AttachWidget(QWidget* widget)
{
    m_pWidget = widget;
    m_bridge = std::make_unique<kestrun::CWidgetBridge>(*this, widget);
    QWidget* client = GetClientWidget();
    if (client && client != widget)
        m_bridge->WatchClient(client);
}

QWidget* CWnd::GetClientWidget() const
{
    return m_pWidget;
}

void CWnd::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    QWidget* w = child.GetWidget();
    if (w == nullptr)
        return;
    if (w->parentWidget() != GetClientWidget())
        w->setParent(GetClientWidget());
    if (!rect.IsRectEmpty())
        w->setGeometry(toQRect(rect));
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    if (m_destroying)
        return TRUE;
    DestroyHandle(true);
    return TRUE;
}

void CWnd::DestroyHandle(bool callPostNcDestroy)
{
    m_destroying = true;
    const HWND hwnd = m_hWnd;
    Deliver(WM_DESTROY);

    // Children after their parent, as the system destroys them.
    for (const HWND childHandle : kestrun::ChildWindows(hwnd)) {
        if (CWnd* child = FromHandle(childHandle); child && child->m_hWnd && !child->m_destroying)
            child->DestroyHandle(true);
    }
    // Windows that live inside our widget without being our children
    // (owned pop-ups) go before Qt would delete their widgets.
    // Kept by handle: a pop-up that deletes itself takes its controls
    // with it, so their objects may be gone by their turn.
    if (m_pWidget) {
        std::vector<HWND> inside;
        {
            WindowMap& map = windowMap();
            std::lock_guard lock(map.mutex);
            for (const auto& [h, wnd] : map.windows) {
                if (wnd != this && wnd->m_pWidget && isDescendantWidget(wnd->m_pWidget, m_pWidget))
                    inside.push_back(h);
            }
        }
        for (const HWND handle : inside) {
            if (CWnd* wnd = FromHandle(handle); wnd && !wnd->m_destroying)
                wnd->DestroyHandle(true);
        }
    }

    QWidget* widget = m_pWidget;
    m_pWidget = nullptr;
    m_bridge.reset();
    {
        WindowMap& map = windowMap();
        std::lock_guard lock(map.mutex);
        map.windows.erase(hwnd);
    }
    kestrun::DestroyWindowHandle(hwnd);
    m_hWnd = nullptr;
    if (widget) {
        if (widget == QWidget::mouseGrabber())
            widget->releaseMouse();
        widget->hide();
        delete widget;
    }
    m_destroying = false;
    if (callPostNcDestroy)
        PostNcDestroy();
}

void CWnd::OnWidgetDestroyed()
{
    m_pWidget = nullptr;
}

void CWnd::PostNcDestroy()
{
}

BOOL CWnd::AdoptWindow(CWnd& other)
{
    if (m_hWnd != nullptr || other.m_hWnd == nullptr || other.m_pWidget == nullptr)
        return FALSE;
    QWidget* widget = other.m_pWidget;
    const HWND parent = ::GetParent(other.m_hWnd);
    const UINT id = other.m_nID;
    const DWORD style = other.m_dwStyle;
    const DWORD exStyle = other.m_dwExStyle;

    // The other object lets go of the widget without destroying it.
    other.m_bridge.reset();
    other.m_pWidget = nullptr;
    {
        WindowMap& map = windowMap();
        std::lock_guard lock(map.mutex);
        map.windows.erase(other.m_hWnd);
    }
    kestrun::DestroyWindowHandle(other.m_hWnd);
    other.m_hWnd = nullptr;

    m_nID = id;
    m_dwStyle = style;
    m_dwExStyle = exStyle;
    AttachWidget(widget);
    m_hWnd = kestrun::CreateWindowHandle(this, parent);
    {
        WindowMap& map = windowMap();
        std::lock_guard lock(map.mutex);
        map.windows[m_hWnd] = this;
    }
    TakeOverFrom(other);
    return TRUE;
}

void CWnd::TakeOverFrom(CWnd& other)
{
    m_pFont = other.m_pFont;
    m_pOwner = other.m_pOwner;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (pParent == nullptr)
        return FALSE;
    CWnd* existing = pParent->GetDlgItem(static_cast<int>(nID));
    if (existing == this)
        return TRUE;
    if (existing == nullptr)
        return FALSE;
    return AdoptWindow(*existing);
}

// ---- relations -------------------------------------------------------------------

int CWnd::SetDlgCtrlID(int nID)
{
    const int old = static_cast<int>(m_nID);
    m_nID = static_cast<UINT>(nID);
    return old;
}

CWnd* CWnd::GetParent() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    if (CWnd* parent = FromHandle(::GetParent(m_hWnd)))
        return parent;
    return m_pOwner;
}

CWnd* CWnd::SetParent(CWnd* pWndNewParent)
{
    CWnd* old = GetParent();
    if (m_hWnd == nullptr)
        return old;
    ::SetParent(m_hWnd, pWndNewParent ? pWndNewParent->m_hWnd : nullptr);
    if (m_pWidget) {
        const bool visible = m_pWidget->isVisible();
        if (pWndNewParent && pWndNewParent->GetClientWidget())
            m_pWidget->setParent(pWndNewParent->GetClientWidget());
        else
            m_pWidget->setParent(nullptr, Qt::Window);
        if (visible)
            m_pWidget->show();
    }
    return old;
}

CWnd* CWnd::GetOwner() const
{
    return m_pOwner ? m_pOwner : GetParent();
}

CWnd* CWnd::GetTopLevelParent() const
{
    const CWnd* wnd = this;
    while (CWnd* parent = wnd->GetParent())
        wnd = parent;
    return const_cast<CWnd*>(wnd);
}

CWnd* CWnd::GetParentOwner() const
{
    return GetTopLevelParent();
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* wnd = GetParent(); wnd != nullptr; wnd = wnd->GetParent()) {
        if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, wnd))
            return frame;
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, const_cast<CWnd*>(this));
    if (frame == nullptr)
        frame = GetParentFrame();
    while (frame != nullptr) {
        CFrameWnd* next = frame->GetParentFrame();
        if (next == nullptr)
            break;
        frame = next;
    }
    return frame;
}

std::vector<CWnd*> CWnd::GetChildren() const
{
    std::vector<CWnd*> children;
    if (m_hWnd == nullptr)
        return children;
    for (const HWND h : kestrun::ChildWindows(m_hWnd)) {
        if (CWnd* wnd = FromHandle(h))
            children.push_back(wnd);
    }
    return children;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    for (CWnd* child : GetChildren()) {
        if (child->GetDlgCtrlID() == nID)
            return child;
    }
    return nullptr;
}

CWnd* CWnd::GetWindow(UINT nCmd) const
{
    if (nCmd == GW_CHILD) {
        const std::vector<CWnd*> children = GetChildren();
        return children.empty() ? nullptr : children.front();
    }
    if (nCmd == GW_OWNER)
        return m_pOwner;
    CWnd* parent = FromHandle(m_hWnd ? ::GetParent(m_hWnd) : nullptr);
    if (parent == nullptr)
        return nullptr;
    const std::vector<CWnd*> siblings = parent->GetChildren();
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    switch (nCmd) {
    case GW_HWNDFIRST:
        return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDLAST:
        return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDNEXT:
        return (it == siblings.end() || it + 1 == siblings.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return (it == siblings.end() || it == siblings.begin()) ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

BOOL CWnd::IsChild(const CWnd* pWnd) const
{
    for (const CWnd* wnd = pWnd ? FromHandle(::GetParent(pWnd->m_hWnd)) : nullptr; wnd != nullptr;
         wnd = FromHandle(::GetParent(wnd->m_hWnd))) {
        if (wnd == this)
            return TRUE;
    }
    return FALSE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT)
{
    const DWORD old = m_dwStyle;
    m_dwStyle = (m_dwStyle & ~dwRemove) | dwAdd;
    if (m_pWidget && ((old ^ m_dwStyle) & WS_DISABLED))
        m_pWidget->setEnabled((m_dwStyle & WS_DISABLED) == 0);
    return old != m_dwStyle;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT)
{
    const DWORD old = m_dwExStyle;
    m_dwExStyle = (m_dwExStyle & ~dwRemove) | dwAdd;
    return old != m_dwExStyle;
}

// ---- messages ----------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? ::SendMessage(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? ::PostMessage(m_hWnd, message, wParam, lParam) : FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL)
{
    if (m_hWnd)
        ::SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep);
}

LRESULT CWnd::Deliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? ::SendMessage(m_hWnd, message, wParam, lParam) : 0;
}

void CWnd::AddMessageHandler(UINT message, MessageHandler handler)
{
    m_messages[message] = std::move(handler);
}

CWnd::MessageFilter CWnd::SetMessageFilter(MessageFilter filter)
{
    std::swap(m_filter, filter);
    return filter;
}

LRESULT CWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_filter) {
        // A copy: the filter may replace itself.
        const MessageFilter filter = m_filter;
        if (filter(message, wParam, lParam))
            return 0;
    }
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const auto it = m_messages.find(message); it != m_messages.end()) {
        const MessageHandler handler = it->second;
        return handler(wParam, lParam);
    }
    const CPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const auto flags = static_cast<UINT>(wParam);
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)), HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_MOVE:
        OnMove(at.x, at.y);
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, at);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, at);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, at);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(flags, at);
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(flags, at);
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(flags, at);
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), at);
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)), HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)), HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)), HIWORD(static_cast<DWORD_PTR>(lParam)));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam)));
        return 0;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(FromHandle(reinterpret_cast<HWND>(wParam)), at);
        return 0;
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_NOTIFY: {
        LRESULT result = 0;
        OnNotify(wParam, lParam, &result);
        return result;
    }
    case WM_SETTEXT:
        SetWindowText(reinterpret_cast<LPCTSTR>(lParam));
        return TRUE;
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0) {
        // Menus and accelerators: a command that its update handler
        // disables is not carried out.
        nCode = CN_COMMAND;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (state.m_bEnableChanged && !state.m_bEnabled)
            return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr)
        return FALSE;
    return DispatchNotify(header->code, static_cast<UINT>(header->idFrom), header, pResult) ? TRUE : FALSE;
}

void CWnd::NotifyParent(UINT nCode)
{
    CWnd* parent = GetParent();
    if (parent && m_hWnd)
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(m_nID), static_cast<WORD>(nCode)),
                            reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CWnd::NotifyParent(NMHDR& header)
{
    CWnd* parent = GetParent();
    if (parent == nullptr || m_hWnd == nullptr)
        return 0;
    header.hwndFrom = m_hWnd;
    header.idFrom = m_nID;
    return parent->SendMessage(WM_NOTIFY, m_nID, reinterpret_cast<LPARAM>(&header));
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    for (CWnd* child : GetChildren()) {
        const UINT id = static_cast<UINT>(child->GetDlgCtrlID());
        if (id == 0 || id == IDC_STATIC)
            continue;
        CCmdUI state;
        state.m_nID = id;
        state.m_pOther = child;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
        if (state.m_bEnableChanged || bDisableIfNoHndler)
            child->EnableWindow(state.m_bEnabled);
    }
}

// ---- timers ---------------------------------------------------------------------------

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    if (m_bridge == nullptr || nIDEvent == 0)
        return 0;
    m_bridge->SetTimer(nIDEvent, nElapse, lpfnTimer);
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return (m_bridge && m_bridge->KillTimer(nIDEvent)) ? TRUE : FALSE;
}

// ---- state -------------------------------------------------------------------------------

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (m_pWidget == nullptr)
        return FALSE;
    const BOOL wasVisible = m_pWidget->isVisible();
    switch (nCmdShow) {
    case SW_HIDE:
        m_pWidget->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        m_pWidget->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        m_pWidget->showMaximized();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (m_pWidget->isWindow() || m_pWidget->isMinimized() || m_pWidget->isMaximized())
            m_pWidget->showNormal();
        else
            m_pWidget->show();
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        m_pWidget->setAttribute(Qt::WA_ShowWithoutActivating);
        m_pWidget->show();
        break;
    default:
        m_pWidget->show();
        break;
    }
    if (nCmdShow == SW_HIDE)
        m_dwStyle &= ~WS_VISIBLE;
    else
        m_dwStyle |= WS_VISIBLE;
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_pWidget && m_pWidget->isVisible();
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    const BOOL wasDisabled = !IsWindowEnabled();
    if (bEnable)
        m_dwStyle &= ~WS_DISABLED;
    else
        m_dwStyle |= WS_DISABLED;
    if (m_pWidget)
        m_pWidget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return (m_dwStyle & WS_DISABLED) == 0;
}

BOOL CWnd::IsIconic() const
{
    return m_pWidget && m_pWidget->isMinimized();
}

BOOL CWnd::IsZoomed() const
{
    return m_pWidget && m_pWidget->isMaximized();
}

void CWnd::SetWidgetText(const CString& text)
{
    m_strText = text;
    if (m_pWidget)
        m_pWidget->setWindowTitle(QString::fromUtf8(text.GetString()));
}

CString CWnd::GetWidgetText() const
{
    if (m_pWidget)
        return CString(m_pWidget->windowTitle().toUtf8().toStdString());
    return m_strText;
}

void CWnd::SetWindowText(LPCTSTR lpszString)
{
    SetWidgetText(lpszString ? lpszString : "");
}

void CWnd::GetWindowText(CString& rString) const
{
    rString = GetWidgetText();
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    if (lpszStringBuf == nullptr || nMaxCount <= 0)
        return 0;
    const CString text = GetWidgetText();
    const int n = std::min(text.GetLength(), nMaxCount - 1);
    std::memcpy(lpszStringBuf, text.GetString(), static_cast<size_t>(n));
    lpszStringBuf[n] = '\0';
    return n;
}

int CWnd::GetWindowTextLength() const
{
    return GetWidgetText().GetLength();
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString)
{
    if (CWnd* item = GetDlgItem(nID))
        item->SetWindowText(lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    if (CWnd* item = GetDlgItem(nID))
        item->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned)
{
    CString text;
    if (bSigned)
        text.Format("%d", static_cast<int>(nValue));
    else
        text.Format("%u", nValue);
    SetDlgItemText(nID, text);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const
{
    CString text;
    GetDlgItemText(nID, text);
    text.Trim();
    char* end = nullptr;
    errno = 0;
    const long long value = bSigned ? std::strtoll(text, &end, 10) : static_cast<long long>(std::strtoull(text, &end, 10));
    const bool ok = !text.IsEmpty() && end && *end == '\0' && errno == 0 &&
                    (bSigned ? (value >= INT32_MIN && value <= INT32_MAX) : (value >= 0 && value <= UINT32_MAX)) &&
                    (bSigned || text[0] != '-');
    if (lpTrans)
        *lpTrans = ok ? TRUE : FALSE;
    return ok ? static_cast<UINT>(value) : 0;
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck)
{
    if (CWnd* item = GetDlgItem(nIDButton))
        item->SendMessage(BM_SETCHECK, nCheck, 0);
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const
{
    if (CWnd* item = GetDlgItem(nIDButton))
        return static_cast<UINT>(item->SendMessage(BM_GETCHECK, 0, 0));
    return 0;
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        CheckDlgButton(id, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id) {
        if (IsDlgButtonChecked(id) == BST_CHECKED)
            return id;
    }
    return 0;
}

void CWnd::SetFont(CFont* pFont, BOOL)
{
    m_pFont = pFont;
    if (m_pWidget && pFont && pFont->GetSafeHandle())
        m_pWidget->setFont(kestrun::QtFont(pFont->LogFont(), pFont->LogFont().lfHeight));
}

// ---- geometry ---------------------------------------------------------------------------

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    if (lpRect == nullptr)
        return;
    if (m_pWidget == nullptr) {
        *lpRect = CRect();
        return;
    }
    if (m_pWidget->isWindow()) {
        const QMargins frame = frameOf(*m_pWidget);
        *lpRect = toRect(m_pWidget->geometry().marginsAdded(frame));
    } else {
        *lpRect = toRect(QRect(m_pWidget->mapToGlobal(QPoint(0, 0)), m_pWidget->size()));
    }
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    if (lpRect == nullptr)
        return;
    const QWidget* client = GetClientWidget();
    *lpRect = client ? CRect(0, 0, client->width(), client->height()) : CRect();
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const
{
    const QWidget* client = GetClientWidget();
    if (lpPoint == nullptr || client == nullptr)
        return;
    const QPoint p = client->mapToGlobal(QPoint(lpPoint->x, lpPoint->y));
    *lpPoint = CPoint(p.x(), p.y());
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    if (lpRect == nullptr)
        return;
    ClientToScreen(reinterpret_cast<LPPOINT>(&lpRect->left));
    ClientToScreen(reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const
{
    const QWidget* client = GetClientWidget();
    if (lpPoint == nullptr || client == nullptr)
        return;
    const QPoint p = client->mapFromGlobal(QPoint(lpPoint->x, lpPoint->y));
    *lpPoint = CPoint(p.x(), p.y());
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    if (lpRect == nullptr)
        return;
    ScreenToClient(reinterpret_cast<LPPOINT>(&lpRect->left));
    ScreenToClient(reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (m_pWidget == nullptr)
        return;
    const QPoint topLeft(x, y);
    const QSize size(nWidth, nHeight);
    placeOuter(*m_pWidget, &topLeft, &size);
    if (bRepaint)
        m_pWidget->update();
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    if (lpRect)
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags)
{
    if (m_pWidget == nullptr)
        return FALSE;
    const QPoint topLeft(x, y);
    const QSize size(cx, cy);
    if ((nFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
        placeOuter(*m_pWidget, (nFlags & SWP_NOMOVE) ? nullptr : &topLeft, (nFlags & SWP_NOSIZE) ? nullptr : &size);
    if (nFlags & SWP_SHOWWINDOW)
        ShowWindow((nFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (nFlags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
{
    if (lpwndpl == nullptr || m_pWidget == nullptr)
        return FALSE;
    *lpwndpl = WINDOWPLACEMENT{};
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    const Qt::WindowStates state = m_pWidget->windowState();
    if (state & Qt::WindowMinimized) {
        lpwndpl->showCmd = SW_SHOWMINIMIZED;
        if (state & Qt::WindowMaximized)
            lpwndpl->flags |= WPF_RESTORETOMAXIMIZED;
    } else if (state & Qt::WindowMaximized) {
        lpwndpl->showCmd = SW_SHOWMAXIMIZED;
    } else {
        lpwndpl->showCmd = m_pWidget->isVisible() ? SW_SHOWNORMAL : SW_HIDE;
    }
    QRect normal = m_pWidget->isWindow() ? m_pWidget->normalGeometry() : m_pWidget->geometry();
    if (!normal.isValid())
        normal = m_pWidget->geometry();
    // The outer rectangle, as GetWindowRect has it.
    lpwndpl->rcNormalPosition = toRect(normal.marginsAdded(frameOf(*m_pWidget)));
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl)
{
    if (lpwndpl == nullptr || m_pWidget == nullptr)
        return FALSE;
    const CRect normal(lpwndpl->rcNormalPosition);
    m_pWidget->setWindowState(Qt::WindowNoState);
    if (!normal.IsRectEmpty()) {
        const QPoint topLeft(normal.left, normal.top);
        const QSize size(normal.Width(), normal.Height());
        placeOuter(*m_pWidget, &topLeft, &size);
    }
    switch (lpwndpl->showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        m_pWidget->setWindowState((lpwndpl->flags & WPF_RESTORETOMAXIMIZED) ? (Qt::WindowMinimized | Qt::WindowMaximized)
                                                                             : Qt::WindowMinimized);
        m_pWidget->show();
        break;
    case SW_SHOWMAXIMIZED:
        m_pWidget->setWindowState(Qt::WindowMaximized);
        m_pWidget->show();
        break;
    case SW_HIDE:
        m_pWidget->hide();
        break;
    default:
        m_pWidget->show();
        break;
    }
    return TRUE;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    if (m_pWidget == nullptr)
        return;
    QRect area;
    CWnd* owner = pAlternateOwner ? pAlternateOwner : GetOwner();
    if (!m_pWidget->isWindow()) {
        area = m_pWidget->parentWidget() ? m_pWidget->parentWidget()->rect() : QRect();
    } else if (owner && owner->GetWidget() && owner->GetWidget()->isVisible()) {
        QWidget* ow = owner->GetWidget();
        area = QRect(ow->mapToGlobal(QPoint(0, 0)), ow->size());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        const QMargins frame = frameOf(*m_pWidget);
        QRect r = m_pWidget->geometry().marginsAdded(frame);
        r.moveCenter(area.center());
        const QPoint topLeft = r.topLeft();
        placeOuter(*m_pWidget, &topLeft, nullptr);
    }
}

void CWnd::BringWindowToTop()
{
    if (m_pWidget)
        m_pWidget->raise();
}

BOOL CWnd::SetForegroundWindow()
{
    if (m_pWidget == nullptr)
        return FALSE;
    m_pWidget->raise();
    m_pWidget->activateWindow();
    return TRUE;
}

bool CWnd::WantsPaint() const
{
    QWidget* client = GetClientWidget();
    return client && client->metaObject() == &QWidget::staticMetaObject;
}

CDC* CWnd::GetDC()
{
    QWidget* client = GetClientWidget();
    return client ? new COverlayDC(*client) : nullptr;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    delete pDC;
    return pDC ? 1 : 0;
}

// ---- painting ----------------------------------------------------------------------------

void CWnd::Invalidate(BOOL)
{
    if (QWidget* client = GetClientWidget())
        client->update();
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase)
{
    if (lpRect == nullptr) {
        Invalidate(bErase);
        return;
    }
    if (QWidget* client = GetClientWidget()) {
        CRect r(*lpRect);
        r.NormalizeRect();
        client->update(toQRect(r));
    }
}

void CWnd::UpdateWindow()
{
    if (QWidget* client = GetClientWidget(); client && client->isVisible())
        client->repaint();
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, void*, UINT flags)
{
    if (flags & RDW_INVALIDATE)
        InvalidateRect(lpRectUpdate, (flags & RDW_ERASE) != 0);
    if (flags & RDW_UPDATENOW)
        UpdateWindow();
    return TRUE;
}

// ---- input ---------------------------------------------------------------------------------

CWnd* CWnd::SetCapture()
{
    CWnd* previous = GetCapture();
    if (QWidget* client = GetClientWidget())
        client->grabMouse();
    return previous;
}

CWnd* CWnd::GetCapture()
{
    return kestrun::WindowFromWidget(QWidget::mouseGrabber());
}

BOOL ReleaseCapture()
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    return TRUE;
}

CWnd* CWnd::SetFocus()
{
    CWnd* previous = GetFocus();
    if (m_pWidget)
        m_pWidget->setFocus(Qt::OtherFocusReason);
    return previous;
}

CWnd* CWnd::GetFocus()
{
    return kestrun::WindowFromWidget(QApplication::focusWidget());
}

CWnd* CWnd::GetActiveWindow()
{
    return kestrun::WindowFromWidget(QApplication::activeWindow());
}

CWnd* CWnd::SetActiveWindow()
{
    CWnd* previous = GetActiveWindow();
    if (m_pWidget)
        m_pWidget->activateWindow();
    return previous;
}

// ---- scrolling -----------------------------------------------------------------------------

int CWnd::GetScrollPos(int nBar) const
{
    return (nBar == SB_HORZ || nBar == SB_VERT) ? m_scrollPos[nBar] : 0;
}

int CWnd::SetScrollPos(int nBar, int nPos, BOOL)
{
    if (nBar != SB_HORZ && nBar != SB_VERT)
        return 0;
    const int old = m_scrollPos[nBar];
    m_scrollPos[nBar] = std::clamp(nPos, m_scrollMin[nBar], std::max(m_scrollMin[nBar], m_scrollMax[nBar]));
    return old;
}

void CWnd::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
{
    const bool valid = nBar == SB_HORZ || nBar == SB_VERT;
    if (lpMinPos)
        *lpMinPos = valid ? m_scrollMin[nBar] : 0;
    if (lpMaxPos)
        *lpMaxPos = valid ? m_scrollMax[nBar] : 0;
}

void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL)
{
    if (nBar != SB_HORZ && nBar != SB_VERT)
        return;
    m_scrollMin[nBar] = nMinPos;
    m_scrollMax[nBar] = nMaxPos;
    m_scrollPos[nBar] = std::clamp(m_scrollPos[nBar], nMinPos, std::max(nMinPos, nMaxPos));
}

// ---- dialogs and boxes -----------------------------------------------------------------------

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    const CString caption = lpszCaption ? CString(lpszCaption) : kestrun::MessageBoxCaption();
    return MessageBoxWithCaption(lpszText, caption, nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

// ---- default handlers ----------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return 0;
}

void CWnd::OnDestroy()
{
}

void CWnd::OnClose()
{
    DestroyWindow();
}

void CWnd::OnSize(UINT, int, int)
{
}

void CWnd::OnMove(int, int)
{
}

void CWnd::OnTimer(UINT_PTR)
{
}

void CWnd::OnPaint()
{
}

void CWnd::OnShowWindow(BOOL, UINT)
{
}

void CWnd::OnMouseMove(UINT, CPoint)
{
}

void CWnd::OnLButtonDown(UINT, CPoint)
{
}

void CWnd::OnLButtonUp(UINT, CPoint)
{
}

void CWnd::OnLButtonDblClk(UINT, CPoint)
{
}

void CWnd::OnRButtonDown(UINT, CPoint)
{
}

void CWnd::OnRButtonUp(UINT, CPoint)
{
}

BOOL CWnd::OnMouseWheel(UINT, short, CPoint)
{
    return FALSE;
}

void CWnd::OnKeyDown(UINT, UINT, UINT)
{
}

void CWnd::OnKeyUp(UINT, UINT, UINT)
{
}

void CWnd::OnChar(UINT, UINT, UINT)
{
}

void CWnd::OnSetFocus(CWnd*)
{
}

void CWnd::OnKillFocus(CWnd*)
{
}

void CWnd::OnHScroll(UINT, UINT, CWnd*)
{
}

void CWnd::OnVScroll(UINT, UINT, CWnd*)
{
}

void CWnd::OnContextMenu(CWnd*, CPoint)
{
}

int GetSystemMetrics(int nIndex)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    switch (nIndex) {
    case SM_CXSCREEN:
        return screen ? screen->geometry().width() : 1024;
    case SM_CYSCREEN:
        return screen ? screen->geometry().height() : 768;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return qApp ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    default:
        return 0;
    }
}
