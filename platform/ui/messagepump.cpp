#include "platform/ui/messagepump.h"

#include "platform/core/messages.h"
#include "platform/ui/wnd.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/winapp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <atomic>
#include <mutex>

namespace kestrun {

namespace {

// Key messages on their way: each window from the focus up may eat them.
bool preTranslate(CWnd* target, UINT message, UINT key)
{
    MSG msg{};
    msg.hwnd = target->m_hWnd;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = MAKELPARAM(1, 0);
    bool eaten = false;
    GuardedCall([&] {
        for (CWnd* wnd = target; wnd != nullptr && !eaten; wnd = wnd->GetParent()) {
            if (wnd->PreTranslateMessage(&msg))
                eaten = true;
        }
        if (!eaten) {
            if (CWinApp* app = AfxGetApp(); app && app->PreTranslateMessage(&msg))
                eaten = true;
        }
    });
    return eaten;
}

// Lives on the pump's thread: key filtering, idle time and the queued pumps.
class CPumpObject : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            ++m_activity;
            if (event == m_lastKey || !watched->isWidgetType())
                return false;
            m_lastKey = event;
            CWnd* target = WindowFromWidget(static_cast<QWidget*>(watched));
            const UINT key = VirtualKeyFromQt(static_cast<QKeyEvent*>(event)->key());
            if (target == nullptr || target->m_hWnd == nullptr || key == 0)
                return false;
            return preTranslate(target, event->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP, key);
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::FocusIn:
        case QEvent::WindowActivate:
            ++m_activity;
            return false;
        default:
            return false;
        }
    }

    void Idle()
    {
        if (m_activity == m_idleSeen)
            return;
        m_idleSeen = m_activity;
        if (CWinApp* app = AfxGetApp())
            GuardedCall([&] { app->OnIdle(0); });
    }

    std::atomic<unsigned> m_activity{0};
    unsigned m_idleSeen = 0;
    const QEvent* m_lastKey = nullptr;
};

} // namespace

struct CQtMessagePump::CState
{
    std::mutex mutex;
    CPumpObject* target = nullptr; // guarded by mutex
    std::atomic<bool> scheduled{false};
    std::atomic<int> pumps{0};
};

CQtMessagePump::CQtMessagePump() : m_state(std::make_shared<CState>())
{
    auto* object = new CPumpObject;
    m_state->target = object;
    if (qApp)
        qApp->installEventFilter(object);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, object, [object] { object->Idle(); });
    }

    std::weak_ptr<CState> weak = m_state;
    auto schedule = [weak] {
        const std::shared_ptr<CState> state = weak.lock();
        if (!state || state->scheduled.exchange(true))
            return;
        std::lock_guard lock(state->mutex);
        if (state->target == nullptr)
            return;
        QMetaObject::invokeMethod(
            state->target,
            [weak] {
                const std::shared_ptr<CState> s = weak.lock();
                if (!s)
                    return;
                s->scheduled = false;
                ++s->pumps;
                if (PumpMessages() > 0 && s->target)
                    ++s->target->m_activity;
            },
            Qt::QueuedConnection);
    };
    SetMessageWakeHandler(schedule);
    // Messages posted before the pump existed.
    schedule();
}

CQtMessagePump::~CQtMessagePump()
{
    SetMessageWakeHandler({});
    CPumpObject* object = nullptr;
    {
        std::lock_guard lock(m_state->mutex);
        object = m_state->target;
        m_state->target = nullptr;
    }
    delete object;
}

int CQtMessagePump::PumpCount() const
{
    return m_state->pumps;
}

} // namespace kestrun
