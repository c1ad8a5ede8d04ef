#include "platform/core/clock.h"

#include "platform/core/errors.h"

#include <chrono>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;

ULONGLONG SteadyMs()
{
    const auto sinceStart = Steady::now().time_since_epoch();
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

} // namespace

DWORD GetTickCount() { return static_cast<DWORD>(SteadyMs()); }

ULONGLONG GetTickCount64() { return SteadyMs(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (count == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    count->QuadPart = static_cast<LONGLONG>(Steady::now().time_since_epoch().count());
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (frequency == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = static_cast<LONGLONG>(Steady::period::den / Steady::period::num);
    return TRUE;
}

namespace kestrun {

ULONGLONG SystemClock::NowMs() const { return SteadyMs(); }

void SystemClock::SleepMs(DWORD ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

IClock& DefaultClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace kestrun
