#pragma once
// Time for code that measures or waits. Code that waits on hardware or time
// takes an IClock, so that tests drive time by hand.

#include "platform/core/types.h"

#include <atomic>

// Milliseconds since an arbitrary start; GetTickCount wraps after 2^32.
DWORD GetTickCount();
ULONGLONG GetTickCount64();
// A monotonic counter in ticks of QueryPerformanceFrequency per second.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

namespace kestrun {

class IClock
{
public:
    virtual ~IClock() = default;
    // Monotonic milliseconds.
    virtual ULONGLONG NowMs() const = 0;
    virtual void SleepMs(DWORD ms) = 0;
};

// The steady clock of the machine.
class SystemClock : public IClock
{
public:
    ULONGLONG NowMs() const override;
    void SleepMs(DWORD ms) override;
};

// Time that moves only when told: SleepMs returns at once and advances it.
// Thread-safe.
class ManualClock : public IClock
{
public:
    explicit ManualClock(ULONGLONG startMs = 0) : m_nowMs(startMs) {}
    ULONGLONG NowMs() const override { return m_nowMs.load(); }
    void SleepMs(DWORD ms) override { Advance(ms); }
    void Advance(ULONGLONG ms) { m_nowMs += ms; }

private:
    std::atomic<ULONGLONG> m_nowMs;
};

// A process-wide system clock for code that is given none.
IClock& DefaultClock();

} // namespace kestrun
