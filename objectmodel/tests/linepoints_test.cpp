#include "objectmodel/linepoints.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<int, int>>;

Points PointsOf(const CLinePoints& line)
{
    Points points;
    for (const POINT& p : line.Points())
        points.emplace_back(p.x, p.y);
    return points;
}

} // namespace

TEST(LinePointsTest, KnownLines)
{
    struct Case
    {
        int x1, y1, x2, y2;
        Points expected;
    };
    const Case cases[] = {
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {0, 0, 0, 0, {{0, 0}}},
        {5, 5, 2, 5, {{5, 5}, {4, 5}, {3, 5}, {2, 5}}},
        {0, 0, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
        // Rounding to the nearest pixel, halves upwards, also below zero.
        {0, 0, 2, 1, {{0, 0}, {1, 1}, {2, 1}}},
        {0, 0, 2, -1, {{0, 0}, {1, 0}, {2, -1}}},
        {0, 0, -1, -3, {{0, 0}, {0, -1}, {-1, -2}, {-1, -3}}},
        {-3, 7, -3, 4, {{-3, 7}, {-3, 6}, {-3, 5}, {-3, 4}}},
    };
    for (const Case& c : cases) {
        CLinePoints line;
        EXPECT_EQ(line.Init(c.x1, c.y1, c.x2, c.y2), 1);
        EXPECT_EQ(PointsOf(line), c.expected) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
        EXPECT_EQ(line.GetCount(), static_cast<int>(c.expected.size()));
    }
}

TEST(LinePointsTest, EveryLineIsConnectedWithExactEnds)
{
    CLinePoints line; // reused: every Init replaces the points
    for (const auto& [x1, y1] : {std::pair{0, 0}, std::pair{3, -2}}) {
        for (int x2 = -6; x2 <= 6; ++x2) {
            for (int y2 = -6; y2 <= 6; ++y2) {
                line.Init(x1, y1, x2, y2);
                const int count = line.GetCount();
                ASSERT_EQ(count, std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1);
                EXPECT_EQ(line.GetAt(0).x, x1);
                EXPECT_EQ(line.GetAt(0).y, y1);
                EXPECT_EQ(line.GetAt(count - 1).x, x2);
                EXPECT_EQ(line.GetAt(count - 1).y, y2);
                for (int i = 1; i < count; ++i) {
                    const POINT& a = line.GetAt(i - 1);
                    const POINT& b = line.GetAt(i);
                    EXPECT_EQ(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)), 1) << x2 << "," << y2 << " at " << i;
                }
            }
        }
    }
}

TEST(LinePointsTest, EmptyUntilInitAndIndexChecked)
{
    CLinePoints line;
    EXPECT_EQ(line.GetCount(), 0);
    EXPECT_EQ(line.GetPoints(), nullptr);
    line.Init(1, 1, 2, 1);
    EXPECT_THROW(line.GetAt(2), CInvalidArgException);
    EXPECT_THROW(line.GetAt(-1), CInvalidArgException);
}
