// The small geometric tests of the engine and the feature codes by which
// classes read a measured object.

#include "analysis/featurecodes.h"
#include "analysis/objdata.h"
#include "analysis/rectgeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(RectGeometry, RangesMayWrapPastTheirEnd)
{
    struct Case
    {
        double x, a, b;
        BOOL inside;
    };
    const Case cases[] = {
        {1.0, 1.0, 3.0, TRUE},  {3.0, 1.0, 3.0, TRUE},  {3.5, 1.0, 3.0, FALSE},
        {6.0, 5.0, 1.0, TRUE},  {0.5, 5.0, 1.0, TRUE},  {5.0, 5.0, 1.0, FALSE},
        {1.0, 5.0, 1.0, FALSE}, {3.0, 5.0, 1.0, FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsInRange(c.x, c.a, c.b), c.inside) << c.x << " in " << c.a << ".." << c.b;
}

TEST(RectGeometry, NearestSideWithTiesToTheEarlierSide)
{
    struct Case
    {
        int x, y;
        int distance, side;
    };
    const Case cases[] = {
        {5, 5, 5, 0}, // all four tie: left
        {8, 2, 2, 2}, // right ties with top and wins
        {3, 9, 1, 3},
        {1, 4, 1, 0},
        {-3, 5, 3, 0},
    };
    for (const Case& c : cases) {
        int side = -1;
        EXPECT_EQ(DistanceToRectBorder(c.x, c.y, CRect(0, 0, 10, 10), side), c.distance) << c.x << ", " << c.y;
        EXPECT_EQ(side, c.side) << c.x << ", " << c.y;
    }
}

TEST(FeatureCodes, FlagsAndValuesOfARecord)
{
    CObjData record;
    record.m_Type = 0x4 | 0x10 | 0x200;
    record.m_lArea = 120;
    record.m_MeanColor = RGB(10, 20, 30);

    EXPECT_TRUE(IsFeatureOn(record, 1));
    EXPECT_DOUBLE_EQ(GetFeatureValue(record, 1), record.GetArea());
    EXPECT_TRUE(IsFeatureOn(record, 4));
    EXPECT_FALSE(IsFeatureOn(record, 8));
    // Roundness needs both length and width.
    EXPECT_FALSE(IsFeatureOn(record, 16));
    record.m_Type |= 0x20;
    EXPECT_TRUE(IsFeatureOn(record, 16));
    // Colours by byte, each behind its own bit.
    EXPECT_TRUE(IsFeatureOn(record, 64));
    EXPECT_FALSE(IsFeatureOn(record, 32));
    EXPECT_DOUBLE_EQ(GetFeatureValue(record, 64), 20.0);
    EXPECT_DOUBLE_EQ(GetFeatureValue(record, 128), 30.0);
    // Codes that are not features.
    record.m_Type = 0xFFFFFFFF;
    EXPECT_FALSE(IsFeatureOn(record, 3));
    EXPECT_DOUBLE_EQ(GetFeatureValue(record, 3), 0.0);
    EXPECT_TRUE(IsFeatureOn(record, 4096));
    EXPECT_DOUBLE_EQ(GetFeatureValue(record, 4096), 0.0);
}

} // namespace
