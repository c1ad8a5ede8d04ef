#pragma once
// Synchronisation objects with the class library's interface, over the
// standard library. Every timed wait runs on the steady clock.

#include "platform/core/types.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;

class CSyncObject
{
public:
    CSyncObject() = default;
    virtual ~CSyncObject();
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;

    // TRUE when acquired within timeoutMs (INFINITE waits for ever).
    virtual BOOL Lock(DWORD timeoutMs = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
};

// Recursive: the owning thread may lock again, and must unlock as often.
class CCriticalSection : public CSyncObject
{
public:
    BOOL Lock(DWORD timeoutMs = INFINITE) override;
    // FALSE when the calling thread does not hold the section.
    BOOL Unlock() override;

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::thread::id m_owner; // guarded by m_mutex
    unsigned m_count = 0;
};

class CEvent;

namespace kestrun {
// Waits for the event while delivering the messages of the calling
// thread's windows. WAIT_OBJECT_0 when the event is signalled (an
// auto-reset event is reset again), WAIT_TIMEOUT when the time is over.
DWORD WaitPumping(CEvent& event, DWORD timeoutMs);
} // namespace kestrun

// A manual-reset event stays signalled until reset and releases every
// waiter; an auto-reset event releases one waiter and resets itself.
class CEvent : public CSyncObject
{
public:
    explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE);
    ~CEvent() override;

    BOOL SetEvent();
    BOOL ResetEvent();
    // Releases the threads waiting now (one of them when auto-reset) and
    // leaves the event reset.
    BOOL PulseEvent();

    BOOL Lock(DWORD timeoutMs = INFINITE) override;
    BOOL Unlock() override { return TRUE; }

private:
    friend DWORD kestrun::WaitPumping(CEvent& event, DWORD timeoutMs);

    struct Waiter
    {
        // Atomic: a waiter blocked in its message queue reads it without m_mutex.
        std::atomic<bool> released = false;
        // Wakes a waiter that blocks elsewhere than on m_changed.
        std::function<void()> wake;
    };

    // True when the event was signalled (and is now taken); otherwise the
    // waiter is queued for a later SetEvent or PulseEvent.
    bool TakeOrEnqueue(Waiter& waiter);
    // Takes the waiter out of the queue; true when it had been released.
    bool Withdraw(Waiter& waiter);
    bool IsReleased(const Waiter& waiter);
    // Caller holds m_mutex.
    void Release(bool all);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::list<Waiter*> m_waiters; // in arrival order
    bool m_signalled;
    const bool m_manualReset;
};

// Holds a sync object for a scope: unlocks on destruction when locked.
class CSingleLock
{
public:
    // Throws CInvalidArgException for a null object.
    explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
    ~CSingleLock();
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    // Already holding counts as success; the object is not locked twice.
    BOOL Lock(DWORD timeoutMs = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_locked ? TRUE : FALSE; }

private:
    CSyncObject* m_object;
    bool m_locked = false;
};
