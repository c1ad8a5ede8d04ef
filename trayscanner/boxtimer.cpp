#include "trayscanner/boxtimer.h"

#include <chrono>

namespace kestrun::tablon {

CBoxTimer::~CBoxTimer()
{
    Stop();
}

void CBoxTimer::Start(unsigned nPeriodMs, std::function<void()> tick)
{
    Stop();
    m_bStop = false;
    m_thread = std::thread([this, nPeriodMs, tick = std::move(tick)] {
        // Periods are counted from the start, so late ticks do not drift.
        auto next = std::chrono::steady_clock::now();
        std::unique_lock lock(m_mutex);
        for (;;) {
            next += std::chrono::milliseconds(nPeriodMs);
            if (m_wake.wait_until(lock, next, [this] { return m_bStop; }))
                return;
            lock.unlock();
            tick();
            lock.lock();
        }
    });
}

void CBoxTimer::Stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

} // namespace kestrun::tablon
