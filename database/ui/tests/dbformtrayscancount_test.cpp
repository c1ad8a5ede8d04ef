// The tray-scan form's records and counts: the area classes' limits, and the
// form on SQLite making, counting, searching and importing records.
#include "database/ui/trayrecord.h"

#include <gtest/gtest.h>

namespace {

using namespace kestrun::tray;

// The limits are percentages of the image's median, each cut toward zero to
// a whole number; the first class that takes an area keeps it.
TEST(TrayScanCount, ClassLimitsAreWholeNumbersOfTheMedian)
{
    // Median 10 (the upper middle of 9, 10, 10, 19).
    const std::vector<CTrayObjectValue> objects = {
        {kKindObject, 9.0, 9.0}, {kKindObject, 10.0, 10.0}, {kKindObject, 10.0, 10.0}, {kKindObject, 19.0, 19.0}};
    const std::vector<CTrayClassLimit> classes = {
        {3, 95.0, 99.9, "Narrow", 3},  // 9.5..9.99 becomes 9..9
        {1, 90.0, 199.9, "Wide", 1},   // 9..19.99 becomes 9..19
        {2, 0.0, 1000.0, "Rest", 2},   // never reached for these areas
    };
    const CTrayRecordValues record = ComputeTrayRecord(objects, classes, 72, "Empty");
    ASSERT_EQ(record.classes.size(), 4U);
    const int expected[] = {3, 1, 1, 1};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(record.classes[i].number, expected[i]) << "object " << i;
    EXPECT_DOUBLE_EQ(record.median, 10.0);
    ASSERT_TRUE(record.shares.has_value());
    EXPECT_DOUBLE_EQ((*record.shares)[3], 1.3) << "one of 72 in class 3";
    EXPECT_DOUBLE_EQ((*record.shares)[1], 4.1) << "three of 72 in class 1";
}

TEST(TrayScanCount, OneObjectHasNoDeviation)
{
    const CTrayRecordValues record = ComputeTrayRecord({{kKindObject, 12.3499, 12.3499}}, {}, 72, "Empty");
    EXPECT_DOUBLE_EQ(record.deviation, 0.0);
    EXPECT_DOUBLE_EQ(record.mean, 12.34);
    EXPECT_DOUBLE_EQ(record.median, 12.34);
}

} // namespace
