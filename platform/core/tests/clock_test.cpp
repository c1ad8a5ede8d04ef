#include "platform/core/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockTest, ManualClockMovesOnlyWhenTold)
{
    kestrun::ManualClock manual(1000);
    kestrun::IClock& clock = manual;
    EXPECT_EQ(clock.NowMs(), 1000u);
    EXPECT_EQ(clock.NowMs(), 1000u);
    clock.SleepMs(250);
    EXPECT_EQ(clock.NowMs(), 1250u);
    manual.Advance(0x1'0000'0000ull);
    EXPECT_EQ(clock.NowMs(), 0x1'0000'0000ull + 1250u);
}

TEST(ClockTest, SystemCountersAreMonotonic)
{
    const ULONGLONG first = GetTickCount64();
    const ULONGLONG second = kestrun::DefaultClock().NowMs();
    EXPECT_LE(first, second);

    LARGE_INTEGER frequency{}, a{}, b{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_GT(frequency.QuadPart, 0);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_LE(a.QuadPart, b.QuadPart);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(ClockTest, LargeIntegerHalvesAreLowThenHigh)
{
    LARGE_INTEGER value{};
    value.QuadPart = -0x1'FFFF'FFFELL; // 0xFFFFFFFE'00000002
    EXPECT_EQ(value.LowPart, 2u);
    EXPECT_EQ(value.HighPart, -2);
}

} // namespace
