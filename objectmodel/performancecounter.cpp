#include "objectmodel/performancecounter.h"

#include "platform/core/clock.h"

CPerformanceCounter::CPerformanceCounter()
{
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
        m_nFrequency = frequency.QuadPart;
}

LONGLONG CPerformanceCounter::Counter()
{
    LARGE_INTEGER count;
    count.QuadPart = 0;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

double CPerformanceCounter::Now()
{
    m_nStart = Counter();
    return static_cast<double>(m_nStart) / static_cast<double>(m_nFrequency);
}

double CPerformanceCounter::Elapsed() const
{
    const auto frequency = static_cast<double>(m_nFrequency);
    return static_cast<double>(Counter()) / frequency - static_cast<double>(m_nStart) / frequency;
}
