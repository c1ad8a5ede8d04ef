#pragma once
// The Qt event loop as the pump of the platform's message queue: while a
// CQtMessagePump lives, a message posted from any thread to a window of the
// thread that made the pump is delivered by that thread's event loop (the
// queue's wake hook schedules a queued call on it); key messages pass the
// windows' PreTranslateMessage first; and when the loop has handled input
// or messages and goes idle, the application's OnIdle updates the bars.
// The program makes one on its main thread; tests make one where they
// need the event loop to deliver.

#include "platform/core/messages.h"
#include "platform/core/types.h"

#include <QCoreApplication>

#include <memory>

namespace kestrun {

class CQtMessagePump
{
public:
    CQtMessagePump();
    ~CQtMessagePump();
    CQtMessagePump(const CQtMessagePump&) = delete;
    CQtMessagePump& operator=(const CQtMessagePump&) = delete;

    // How many pump calls the event loop has made (for tests).
    int PumpCount() const;

private:
    struct CState;
    std::shared_ptr<CState> m_state;
};

// The nested loop of a drag or a tool: the platform's messages and Qt's
// events until running() turns false (true) or the window goes (false).
template <class Running>
bool RunNestedLoop(HWND hWnd, Running running)
{
    while (true) {
        PumpMessages();
        if (!IsWindow(hWnd))
            return false;
        if (!running())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (!IsWindow(hWnd))
            return false;
        if (!running())
            return true;
    }
}

} // namespace kestrun
