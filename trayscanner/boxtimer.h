#pragma once
// CBoxTimer: the box's periodic tick on a thread of its own. Stopping waits
// for a running tick to end, so never stop it from inside the tick.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kestrun::tablon {

class CBoxTimer
{
public:
    CBoxTimer() = default;
    ~CBoxTimer();
    CBoxTimer(const CBoxTimer&) = delete;
    CBoxTimer& operator=(const CBoxTimer&) = delete;

    void Start(unsigned nPeriodMs, std::function<void()> tick);
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

private:
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
};

} // namespace kestrun::tablon
