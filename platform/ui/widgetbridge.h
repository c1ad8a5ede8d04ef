#pragma once
// Inside the window layer only: the Qt object beside each CWnd that turns
// the events of its widgets into window messages and runs its timers.

#include "platform/ui/wnd.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

class QTimer;

namespace kestrun {

class CWidgetBridge : public QObject
{
    Q_OBJECT

public:
    CWidgetBridge(CWnd& wnd, QWidget* widget);
    ~CWidgetBridge() override;

    // Also translates the events of the client widget (when it is another).
    void WatchClient(QWidget* client);
    QWidget* Client() const { return m_client ? m_client.data() : m_widget.data(); }

    void SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc);
    bool KillTimer(UINT_PTR id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FilterWindowEvent(QEvent* event);
    bool FilterClientEvent(QEvent* event);

    CWnd& m_wnd;
    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_client;
    std::map<UINT_PTR, QTimer*> m_timers;
};

// The window of a widget: the CWnd whose widget it is or lies in; null
// when none.
CWnd* WindowFromWidget(const QWidget* widget);
// The window of a widget as a class; null when it is of another class.
template <class T>
T* WindowOf(const QWidget* widget)
{
    return dynamic_cast<T*>(WindowFromWidget(widget));
}
// The window key code of a Qt key; 0 when there is none.
UINT VirtualKeyFromQt(int key);
// Runs a Qt slot's work and reports what it throws through the
// message-box service, so that no exception reaches Qt.
void GuardedCall(const std::function<void()>& work);

} // namespace kestrun
