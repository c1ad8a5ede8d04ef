#include "objectmodel/indexvalue.h"
#include "objectmodel/lineangle.h"
#include "objectmodel/rectfunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

TEST(RectFunctionsTest, BorderPoint)
{
    const CRect rect(0, 0, 20, 10); // centre (10, 5), halves 10 and 5
    struct Case
    {
        double angle;
        CPoint point;
    };
    const Case cases[] = {
        {0.0, {20, 5}},
        {kPi, {0, 5}},
        {kPi / 2, {10, 0}},         // up on screen
        {3 * kPi / 2, {10, 10}},
        {kPi / 4, {15, 0}},         // leaves through the top
        {-kPi / 4, {15, 10}},       // brought into [0, 2 pi) first
        {kPi - 0.2, {0, 3}},        // leaves through the left side, offsets truncated
        {2 * kPi + 0.1, {20, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RectBorderPoint(rect, c.angle), c.point) << c.angle;
}

TEST(RectFunctionsTest, Distance)
{
    EXPECT_DOUBLE_EQ(RectDistance(CRect(0, 0, 10, 10), CRect(5, 5, 15, 15)), 0.0);
    // Side by side, in either order.
    EXPECT_DOUBLE_EQ(RectDistance(CRect(0, 0, 10, 10), CRect(30, 0, 40, 10)), 20.0);
    EXPECT_DOUBLE_EQ(RectDistance(CRect(30, 0, 40, 10), CRect(0, 0, 10, 10)), 20.0);
    // One above the other, in either order: the facing sides count.
    EXPECT_DOUBLE_EQ(RectDistance(CRect(0, 0, 10, 10), CRect(0, 30, 10, 40)), 20.0);
    EXPECT_DOUBLE_EQ(RectDistance(CRect(0, 30, 10, 40), CRect(0, 0, 10, 10)), 20.0);
    // At a slope of 1/3 both rays leave through the facing sides, at
    // (10, 6) and (30, 14).
    EXPECT_NEAR(RectDistance(CRect(0, 0, 10, 10), CRect(30, 10, 40, 20)), std::hypot(20.0, 8.0), 1e-9);
}

TEST(RectFunctionsTest, LineAngle)
{
    struct Case
    {
        int x1;
        int y1;
        double angle;
    };
    const Case cases[] = {
        {0, 0, kPi / 2}, {1, 0, 0.0}, {-1, 0, kPi}, {0, 1, 3 * kPi / 2}, {0, -1, kPi / 2},
        {1, -1, kPi / 4}, {-1, -1, 3 * kPi / 4}, {-1, 1, 5 * kPi / 4}, {1, 1, 7 * kPi / 4},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GetLineAngle(0, 0, c.x1, c.y1), c.angle, 1e-12) << c.x1 << ", " << c.y1;
    EXPECT_TRUE(std::signbit(GetLineAngle(0, 0, 1, 0))) << "written as -0.0";
}

TEST(IndexValueTest, SortsLargestFirst)
{
    CArray<tagINDEX_VALUE> values;
    for (const tagINDEX_VALUE& v : {tagINDEX_VALUE{0, 1.5}, tagINDEX_VALUE{1, 7.0}, tagINDEX_VALUE{2, 1.5}, tagINDEX_VALUE{3, -2.0}})
        values.Add(v);
    SortIndexValues(values);
    std::vector<LONG> order;
    for (const tagINDEX_VALUE& v : values)
        order.push_back(v.nIndex);
    EXPECT_EQ(order, (std::vector<LONG>{1, 0, 2, 3}));

    CArray<tagINDEX_VALUE> empty;
    EXPECT_THROW(SortIndexValues(empty), CInvalidArgException);
}
