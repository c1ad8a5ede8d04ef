#include "platform/ui/widgetbridge.h"

#include "platform/core/exceptions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>

namespace kestrun {

namespace {

constexpr char kWindowProperty[] = "kestrunWnd";

UINT mouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

LPARAM pointParam(QPoint p)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x())), static_cast<WORD>(static_cast<SHORT>(p.y())));
}

} // namespace

CWidgetBridge::CWidgetBridge(CWnd& wnd, QWidget* widget) : m_wnd(wnd), m_widget(widget)
{
    widget->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&wnd)));
    widget->installEventFilter(this);
    // A widget that Qt deletes behind our back leaves the window without one.
    connect(widget, &QObject::destroyed, this, [this] { m_wnd.OnWidgetDestroyed(); });
}

CWidgetBridge::~CWidgetBridge()
{
    for (QWidget* w : {m_widget.data(), m_client.data()}) {
        if (w) {
            w->removeEventFilter(this);
            w->setProperty(kWindowProperty, QVariant());
        }
    }
    if (m_widget)
        disconnect(m_widget, nullptr, this, nullptr);
}

void CWidgetBridge::WatchClient(QWidget* client)
{
    if (client == m_widget || client == m_client)
        return;
    if (m_client)
        m_client->removeEventFilter(this);
    m_client = client;
    if (client)
        client->installEventFilter(this);
}

void CWidgetBridge::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    KillTimer(id);
    auto* timer = new QTimer(this);
    timer->setInterval(static_cast<int>(std::min<UINT>(elapse, 0x7FFFFFFF)));
    connect(timer, &QTimer::timeout, this, [this, id, proc] {
        if (proc) {
            const HWND hwnd = m_wnd.m_hWnd;
            GuardedCall([&] { proc(hwnd, WM_TIMER, id, static_cast<DWORD>(QDateTime::currentMSecsSinceEpoch())); });
        } else {
            m_wnd.Deliver(WM_TIMER, id, 0);
        }
    });
    m_timers[id] = timer;
    timer->start();
}

bool CWidgetBridge::KillTimer(UINT_PTR id)
{
    const auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
    return true;
}

bool CWidgetBridge::eventFilter(QObject* watched, QEvent* event)
{
    if (m_wnd.m_hWnd == nullptr)
        return false;
    bool eaten = false;
    if (watched == m_widget)
        eaten = FilterWindowEvent(event);
    if (!eaten && watched == Client())
        eaten = FilterClientEvent(event);
    return eaten;
}

bool CWidgetBridge::FilterWindowEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Close: {
        // The window decides: OnClose destroys it or refuses.
        event->ignore();
        m_wnd.Deliver(WM_CLOSE);
        return true;
    }
    case QEvent::Move: {
        const QPoint p = m_widget->pos();
        m_wnd.Deliver(WM_MOVE, 0, pointParam(p));
        return false;
    }
    case QEvent::Show:
    case QEvent::Hide:
        if (!event->spontaneous())
            m_wnd.Deliver(WM_SHOWWINDOW, event->type() == QEvent::Show ? TRUE : FALSE, 0);
        return false;
    case QEvent::FocusIn:
        m_wnd.Deliver(WM_SETFOCUS, 0, 0);
        return false;
    case QEvent::FocusOut:
        m_wnd.Deliver(WM_KILLFOCUS, 0, 0);
        return false;
    case QEvent::WindowStateChange: {
        // Minimising and maximising resize the client as Windows reports it.
        QWidget* client = Client();
        const UINT kind = m_widget->isMinimized() ? SIZE_MINIMIZED
                          : m_widget->isMaximized() ? SIZE_MAXIMIZED
                                                    : SIZE_RESTORED;
        if (kind == SIZE_MINIMIZED)
            m_wnd.Deliver(WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(client->width()), static_cast<WORD>(client->height())));
        return false;
    }
    default:
        return false;
    }
}

bool CWidgetBridge::FilterClientEvent(QEvent* event)
{
    QWidget* client = Client();
    switch (event->type()) {
    case QEvent::Resize: {
        const auto* e = static_cast<QResizeEvent*>(event);
        const UINT kind = m_widget->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        m_wnd.Deliver(WM_SIZE, kind,
                      MAKELPARAM(static_cast<WORD>(e->size().width()), static_cast<WORD>(e->size().height())));
        return false;
    }
    case QEvent::Paint:
        if (!m_wnd.WantsPaint())
            return false;
        m_wnd.Deliver(WM_PAINT);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* e = static_cast<QMouseEvent*>(event);
        const Qt::MouseButtons buttons =
            event->type() == QEvent::MouseMove ? e->buttons() : (e->buttons() | e->button());
        const UINT flags = mouseFlags(buttons, e->modifiers());
        const LPARAM at = pointParam(e->position().toPoint());
        UINT message = WM_MOUSEMOVE;
        if (event->type() == QEvent::MouseButtonPress)
            message = e->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
        else if (event->type() == QEvent::MouseButtonRelease)
            message = e->button() == Qt::RightButton ? WM_RBUTTONUP : WM_LBUTTONUP;
        else if (event->type() == QEvent::MouseButtonDblClick)
            message = e->button() == Qt::RightButton ? WM_RBUTTONDOWN : WM_LBUTTONDBLCLK;
        if (e->button() == Qt::MiddleButton)
            return false;
        m_wnd.Deliver(message, flags, at);
        return false;
    }
    case QEvent::Wheel: {
        const auto* e = static_cast<QWheelEvent*>(event);
        const UINT flags = mouseFlags(e->buttons(), e->modifiers());
        const int delta = e->angleDelta().y();
        const QPoint global = e->globalPosition().toPoint();
        return m_wnd.Deliver(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(flags), static_cast<WORD>(static_cast<SHORT>(delta))),
                             pointParam(global)) != 0;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* e = static_cast<QKeyEvent*>(event);
        const UINT vk = VirtualKeyFromQt(e->key());
        if (vk == 0)
            return false;
        const UINT message = event->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
        m_wnd.Deliver(message, vk, MAKELPARAM(1, 0));
        if (message == WM_KEYDOWN && !e->text().isEmpty() && e->text().at(0).isPrint())
            m_wnd.Deliver(WM_CHAR, e->text().at(0).unicode(), MAKELPARAM(1, 0));
        return false;
    }
    case QEvent::ContextMenu: {
        const auto* e = static_cast<QContextMenuEvent*>(event);
        m_wnd.Deliver(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_wnd.m_hWnd), pointParam(e->globalPos()));
        return false;
    }
    default:
        (void)client;
        return false;
    }
}

CWnd* WindowFromWidget(const QWidget* widget)
{
    for (const QObject* o = widget; o != nullptr; o = o->parent()) {
        const QVariant v = o->property(kWindowProperty);
        if (v.isValid())
            return reinterpret_cast<CWnd*>(v.value<quintptr>());
    }
    return nullptr;
}

UINT VirtualKeyFromQt(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
    }
}

void GuardedCall(const std::function<void()>& work)
{
    try {
        work();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONERROR);
    }
}

} // namespace kestrun
