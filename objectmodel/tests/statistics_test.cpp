#include "objectmodel/2dnormstat.h"
#include "objectmodel/performancecounter.h"

#include <gtest/gtest.h>

namespace {

TEST(PerformanceCounterTest, ReadingsNeverRunBackwards)
{
    CPerformanceCounter counter;
    const double first = counter.Now();
    const double elapsed = counter.Elapsed();
    const double second = counter.Now();
    EXPECT_GE(elapsed, 0.0);
    EXPECT_GE(second, first);
    EXPECT_GE(second - first, elapsed);
}

TEST(C2DNormStatTest, StartsEmptyAndHoldsEntries)
{
    C2DNormStat stat;
    EXPECT_EQ(stat.m_arrayEntries.GetSize(), 0);
    for (DWORD word : stat.m_dwParam)
        EXPECT_EQ(word, 0u);
    sStatEntry entry{1.0, 2.0, 3.5};
    stat.m_arrayEntries.Add(entry);
    EXPECT_EQ(stat.m_arrayEntries[0].m_dValue, 3.5);
}

} // namespace
