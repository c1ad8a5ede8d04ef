#pragma once
// CPerformanceCounter: a stopwatch over the high-resolution counter.

#include "platform/core/types.h"

class CPerformanceCounter
{
public:
    CPerformanceCounter();
    virtual ~CPerformanceCounter() = default;

    // Restarts the watch; returns the counter reading in seconds.
    double Now();
    // Seconds since the last Now; the start stays.
    double Elapsed() const;

private:
    static LONGLONG Counter();

    LONGLONG m_nStart = 0;
    LONGLONG m_nFrequency = 1; // ticks per second
};
