#include "platform/core/sync.h"

#include "platform/core/exceptions.h"
#include "platform/core/messages.h"

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadlineAfter(DWORD timeoutMs)
{
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

} // namespace

CSyncObject::~CSyncObject() = default;

// ---- CCriticalSection ----------------------------------------------------

BOOL CCriticalSection::Lock(DWORD timeoutMs)
{
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock lock(m_mutex);
    if (m_count > 0 && m_owner == self) {
        ++m_count;
        return TRUE;
    }
    const auto free = [this] { return m_count == 0; };
    if (timeoutMs == INFINITE)
        m_released.wait(lock, free);
    else if (!m_released.wait_until(lock, deadlineAfter(timeoutMs), free))
        return FALSE;
    m_owner = self;
    m_count = 1;
    return TRUE;
}

BOOL CCriticalSection::Unlock()
{
    std::lock_guard lock(m_mutex);
    if (m_count == 0 || m_owner != std::this_thread::get_id())
        return FALSE;
    if (--m_count == 0) {
        m_owner = {};
        m_released.notify_one();
    }
    return TRUE;
}

// ---- CEvent --------------------------------------------------------------

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset) : m_signalled(initiallyOwn != FALSE), m_manualReset(manualReset != FALSE)
{
}

CEvent::~CEvent() = default;

void CEvent::Release(bool all)
{
    while (!m_waiters.empty()) {
        Waiter* waiter = m_waiters.front();
        m_waiters.pop_front();
        waiter->released = true;
        if (waiter->wake)
            waiter->wake();
        if (!all)
            break;
    }
    m_changed.notify_all();
}

BOOL CEvent::SetEvent()
{
    std::lock_guard lock(m_mutex);
    if (m_manualReset) {
        m_signalled = true;
        Release(true);
    } else if (m_waiters.empty()) {
        m_signalled = true;
    } else {
        Release(false); // the released waiter takes the signal
    }
    return TRUE;
}

BOOL CEvent::ResetEvent()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
    return TRUE;
}

BOOL CEvent::PulseEvent()
{
    std::lock_guard lock(m_mutex);
    Release(m_manualReset);
    m_signalled = false;
    return TRUE;
}

bool CEvent::TakeOrEnqueue(Waiter& waiter)
{
    std::lock_guard lock(m_mutex);
    if (m_signalled) {
        m_signalled = m_manualReset;
        return true;
    }
    m_waiters.push_back(&waiter);
    return false;
}

bool CEvent::Withdraw(Waiter& waiter)
{
    std::lock_guard lock(m_mutex);
    if (waiter.released)
        return true;
    m_waiters.remove(&waiter);
    return false;
}

bool CEvent::IsReleased(const Waiter& waiter)
{
    std::lock_guard lock(m_mutex);
    return waiter.released;
}

BOOL CEvent::Lock(DWORD timeoutMs)
{
    const Clock::time_point deadline = deadlineAfter(timeoutMs == INFINITE ? 0 : timeoutMs);
    Waiter waiter;
    if (TakeOrEnqueue(waiter))
        return TRUE;
    {
        std::unique_lock lock(m_mutex);
        const auto released = [&waiter] { return waiter.released.load(); };
        if (timeoutMs == INFINITE) {
            m_changed.wait(lock, released);
            return TRUE;
        }
        if (m_changed.wait_until(lock, deadline, released))
            return TRUE;
    }
    return Withdraw(waiter) ? TRUE : FALSE;
}

// ---- CSingleLock ---------------------------------------------------------

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock) : m_object(object)
{
    if (!m_object)
        AfxThrowInvalidArgException();
    if (initialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    if (m_locked)
        m_object->Unlock();
}

BOOL CSingleLock::Lock(DWORD timeoutMs)
{
    if (!m_locked)
        m_locked = m_object->Lock(timeoutMs) != FALSE;
    return m_locked ? TRUE : FALSE;
}

BOOL CSingleLock::Unlock()
{
    if (m_locked)
        m_locked = m_object->Unlock() == FALSE;
    return m_locked ? FALSE : TRUE;
}

// ---- waiting while pumping -----------------------------------------------

namespace kestrun {

DWORD WaitPumping(CEvent& event, DWORD timeoutMs)
{
    const bool forever = timeoutMs == INFINITE;
    const Clock::time_point deadline = deadlineAfter(forever ? 0 : timeoutMs);

    // The event wakes this thread's message wait, so one blocking wait
    // serves both the event and the messages.
    CEvent::Waiter waiter;
    waiter.wake = CurrentThreadWaker();
    if (event.TakeOrEnqueue(waiter))
        return WAIT_OBJECT_0;
    try {
        for (;;) {
            PumpMessages();
            if (event.IsReleased(waiter))
                return WAIT_OBJECT_0;
            DWORD waitMs = INFINITE;
            if (!forever) {
                const Clock::time_point now = Clock::now();
                if (now >= deadline)
                    break;
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
                waitMs = static_cast<DWORD>(std::min<long long>(left, INFINITE - 1));
            }
            WaitForMessages(waitMs, [&waiter] { return waiter.released.load(); });
        }
    } catch (...) {
        // A signal that was handed to this wait goes back to the event.
        if (event.Withdraw(waiter) && !event.m_manualReset)
            event.SetEvent();
        throw;
    }
    return event.Withdraw(waiter) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

} // namespace kestrun
