#include "objectmodel/rowborders.h"
#include "objectmodel/rpolygon.h"
#include "platform/core/recording_dc.h"

#include "objectmodel/tests/pointlists.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

std::set<std::pair<int, int>> PointSet(const CRPointArray& list)
{
    std::set<std::pair<int, int>> set;
    for (const POINT& p : list)
        set.emplace(p.x, p.y);
    return set;
}

// The clockwise outline of the pixel rectangle (x0, y0) - (x1, y1), from
// its top-left corner; the last vertex lies beside the first, so that the
// outline does not end with its first point again.
CRPolygon Rectangle(int x0, int y0, int x1, int y1)
{
    return CRPolygon(MakeList({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0 + 1}}));
}

CRPolygon StartingAt(const CRPolygon& polygon, POINT first)
{
    CRPolygon rotated;
    const int n = static_cast<int>(polygon.GetSize());
    const int start = polygon.FindPoint(first);
    for (int i = 0; i < n; ++i)
        rotated.Add(polygon[(start + i) % n]);
    rotated.m_bClosed = TRUE;
    return rotated;
}

bool IsClosedEightConnected(const CRPolygon& polygon)
{
    const INT_PTR n = polygon.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        if (!CRPointArray::AreNeighbours(polygon[i], polygon[(i + 1) % n]))
            return false;
    }
    return polygon.m_bClosed != 0;
}

// An area whose rows all run from left to right.
class CRectangleBorders : public kestrun::CRowBorders
{
public:
    CRectangleBorders(int left, int top, int right, int bottom) : m_rect(left, top, right, bottom) {}
    int GetTop() const override { return m_rect.top; }
    int GetHeight() const override { return m_rect.Height() + 1; }
    int GetRowLeft(int) const override { return m_rect.left; }
    int GetRowRight(int) const override { return m_rect.right; }

private:
    CRect m_rect;
};

} // namespace

TEST(CRPolygonCutTest, CutRecords)
{
    CRPolygon polygon = Rectangle(0, 0, 9, 5);
    // The first form looks both ends up on the contour.
    EXPECT_EQ(polygon.AddCut(99, {3, 0}, {6, 0}, 4, 7, FALSE), 0);
    EXPECT_EQ(polygon.GetCut(0).nStart, 3);
    EXPECT_EQ(polygon.GetCut(0).bValid, 1);
    polygon.AddCut(0, {50, 50}, {60, 60}, 2, 0, FALSE);
    EXPECT_EQ(polygon.GetCut(1).nStart, -1);
    EXPECT_EQ(polygon.GetCut(1).bValid, 0);
    // A cut over the closing corner: indices 26, 27, 0, 1.
    polygon.AddCut(26, 4, {0, 2}, {1, 0});

    POINT a{};
    POINT b{};
    ASSERT_TRUE(polygon.GetCutAt(5, 2, a, b)) << "nearest contour point (5,0) is 2 away";
    EXPECT_EQ(CPoint(a), CPoint(3, 0));
    EXPECT_EQ(CPoint(b), CPoint(6, 0));
    ASSERT_TRUE(polygon.GetCutAt(0, 0, a, b)) << "a cut across the end of the contour";
    EXPECT_EQ(CPoint(a), CPoint(0, 2));
    EXPECT_EQ(CPoint(b), CPoint(1, 0));
    EXPECT_FALSE(polygon.GetCutAt(9, 3, a, b)) << "on the contour, but in no cut";
    EXPECT_FALSE(polygon.GetCutAt(5, 9, a, b)) << "more than 5 away";

    EXPECT_TRUE(polygon.FindCutByEnds(6, 0, 3, 0));
    EXPECT_FALSE(polygon.FindCutByEnds(3, 0, 5, 0));

    const tagCUT nearFirst{0, {4, 1}, {6, 2}, 0, 0, 1};
    EXPECT_EQ(polygon.FindCutNear(nearFirst, 3.0), 0);
    const tagCUT oneEndClose{0, {60, 61}, {20, 20}, 0, 0, 1};
    EXPECT_EQ(polygon.FindCutNear(oneEndClose, 1.0), 1) << "one end nearer than 3 is enough";
    const tagCUT farAway{0, {30, 30}, {40, 40}, 0, 0, 1};
    EXPECT_EQ(polygon.FindCutNear(farAway, 5.0), -1);

    CRecordingDC dc;
    polygon.DrawCuts(&dc);
    EXPECT_EQ(dc.Ops().size(), 8u) << "two valid cuts of four points";
    EXPECT_EQ(dc.GetPixel(4, 0), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(0, 2), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(0, 3), CLR_INVALID);
}

TEST(CRPolygonCutTest, FindCutEnds)
{
    const CRPolygon polygon = Rectangle(0, 0, 9, 5);
    int i1 = -1;
    int i2 = -1;
    EXPECT_TRUE(polygon.FindCutEnds(MakeList({{4, 0}, {4, 2}, {4, 5}}), i1, i2));
    EXPECT_EQ(polygon[i1].x, 4);
    EXPECT_EQ(polygon[i2].y, 5);
    EXPECT_TRUE(polygon.FindCutEnds(MakeList({{4, 1}, {4, 4}}), i1, i2)) << "neighbours touch too";
    EXPECT_FALSE(polygon.FindCutEnds(MakeList({{4, 0}, {5, 2}, {4, 0}}), i1, i2)) << "both ends the same";
    EXPECT_FALSE(polygon.FindCutEnds(MakeList({{4, 3}}), i1, i2));
}

TEST(CRPolygonCutTest, SplitKeepsTheLargerPart)
{
    CRPolygon polygon = Rectangle(0, 0, 9, 5);
    const auto original = PointSet(polygon);
    // Cut from the bottom to the top, so that it is turned round first.
    CRPointArray cut = MakeList({{4, 5}, {4, 4}, {4, 3}, {4, 2}, {4, 1}, {4, 0}});
    const std::unique_ptr<CRPolygon> part = polygon.SplitByCut(cut);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(cut[0].y, 0) << "the cut now runs from a to b";

    EXPECT_EQ(PointSet(polygon), PointSet(Rectangle(4, 0, 9, 5))) << "the right part is larger";
    EXPECT_EQ(PointSet(*part), PointSet(Rectangle(0, 0, 4, 5)));
    EXPECT_TRUE(IsClosedEightConnected(polygon));
    EXPECT_TRUE(IsClosedEightConnected(*part));

    // Each part carries the cut over its own stretch of the outline.
    ASSERT_EQ(part->GetCutCount(), 1);
    ASSERT_EQ(polygon.GetCutCount(), 1);
    EXPECT_TRUE(part->FindCutByEnds(4, 0, 4, 5));
    EXPECT_TRUE(polygon.FindCutByEnds(4, 0, 4, 5));

    ASSERT_TRUE(polygon.JoinAtCuts(*part, 0, 0));
    EXPECT_EQ(PointSet(polygon), original);
    EXPECT_EQ(polygon.GetSize(), 28);
    EXPECT_TRUE(IsClosedEightConnected(polygon));
    EXPECT_EQ(polygon.GetCutCount(), 0);
    EXPECT_EQ(part->GetCutCount(), 0);
}

TEST(CRPolygonCutTest, SplitCarriesTheOtherCuts)
{
    CRPolygon polygon = Rectangle(0, 0, 9, 5);
    polygon.AddCut(1, 2, {1, 0}, {2, 0});   // stays with the left part
    polygon.AddCut(11, 2, {9, 2}, {9, 3});  // goes with the right part
    polygon.AddCut(2, 4, {2, 0}, {5, 0});   // runs into the right part from the left
    polygon.AddCut(24, 2, {0, 4}, {0, 3});  // after b: moves back
    CRPointArray cut = MakeList({{4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}});
    const std::unique_ptr<CRPolygon> left = polygon.SplitByCut(cut);
    ASSERT_NE(left, nullptr);

    ASSERT_EQ(left->GetCutCount(), 4);
    EXPECT_TRUE(left->FindCutByEnds(1, 0, 2, 0));
    EXPECT_EQ(left->GetCut(1).bValid, 0) << "ran into the stretch that went to the other part";
    EXPECT_TRUE(left->FindCutByEnds(0, 4, 0, 3));
    ASSERT_EQ(polygon.GetCutCount(), 2);
    EXPECT_TRUE(polygon.FindCutByEnds(9, 2, 9, 3));
}

TEST(CRPolygonCutTest, CutsThatDoNotSplit)
{
    CRPolygon polygon = Rectangle(0, 0, 9, 5);
    const auto before = PointsOf(polygon);
    CRPointArray offContour = MakeList({{4, 1}, {4, 5}});
    EXPECT_EQ(polygon.SplitByCut(offContour), nullptr);
    CRPointArray sameEnd = MakeList({{4, 0}, {4, 1}, {4, 0}});
    EXPECT_EQ(polygon.SplitByCut(sameEnd), nullptr);
    CRPointArray empty;
    EXPECT_EQ(polygon.SplitByCut(empty), nullptr);
    CRPointArray alongTheContour = MakeList({{2, 0}, {3, 0}, {4, 0}});
    EXPECT_EQ(polygon.SplitByCut(alongTheContour), nullptr) << "gives the same contour again";
    EXPECT_EQ(PointsOf(polygon), before);
}

TEST(CRPolygonCutTest, SplitWhosePartKeepsThePointCount)
{
    // The cut has as many inner points (6) as the stretch it cuts off, so
    // the outer part has the contour's 28 points again: still a split.
    CRPolygon polygon = Rectangle(0, 0, 9, 5);
    CRPointArray cut = MakeList({{4, 0}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {8, 2}, {9, 2}});
    const std::unique_ptr<CRPolygon> corner = polygon.SplitByCut(cut);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(polygon.GetSize(), 28);
    EXPECT_EQ(corner->GetSize(), 14);
    EXPECT_EQ(polygon.FindPoint(9, 1), -1) << "the corner went to the other part";
}

TEST(CRPolygonCutTest, SplitAndJoinRandomOutlines)
{
    std::mt19937 random(7);
    int tried = 0;
    for (int round = 0; tried < 40 && round < 1000; ++round) {
        cv::Mat blob = cv::Mat::zeros(60, 60, CV_8U);
        std::uniform_int_distribution<int> axis(8, 22);
        std::uniform_int_distribution<int> angle(0, 179);
        cv::ellipse(blob, cv::Point(30, 30), cv::Size(axis(random), axis(random)), angle(random), 0, 360, 255, cv::FILLED);
        std::vector<std::vector<cv::Point>> found;
        cv::findContours(blob, found, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
        CRPolygon polygon;
        for (auto it = found[0].rbegin(); it != found[0].rend(); ++it)
            polygon.Add(it->x, it->y);
        polygon.m_bClosed = TRUE;

        // A straight cut between two contour points across the inside.
        const int n = static_cast<int>(polygon.GetSize());
        std::uniform_int_distribution<int> pick(0, n - 1);
        const POINT from = polygon[pick(random)];
        const POINT to = polygon[pick(random)];
        CRPointArray cut;
        cv::LineIterator line(blob, cv::Point(from.x, from.y), cv::Point(to.x, to.y), 8);
        for (int i = 0; i < line.count; ++i, ++line)
            cut.Add(line.pos().x, line.pos().y);
        bool crossesInside = cut.GetSize() > 4;
        for (INT_PTR i = 1; i + 1 < cut.GetSize() && crossesInside; ++i)
            crossesInside = polygon.FindPoint(cut[i]) < 0;
        if (!crossesInside)
            continue;
        ++tried;

        const auto original = PointSet(polygon);
        const std::unique_ptr<CRPolygon> part = polygon.SplitByCut(cut);
        ASSERT_NE(part, nullptr) << "round " << round;
        EXPECT_TRUE(IsClosedEightConnected(polygon)) << "round " << round;
        EXPECT_TRUE(IsClosedEightConnected(*part)) << "round " << round;
        ASSERT_TRUE(polygon.JoinAtCuts(*part, polygon.GetCutCount() - 1, part->GetCutCount() - 1));
        EXPECT_EQ(PointSet(polygon), original) << "round " << round;
        EXPECT_TRUE(IsClosedEightConnected(polygon)) << "round " << round;
    }
    EXPECT_EQ(tried, 40);
}

TEST(CRPolygonCutTest, JoinAlongCutTakesInTheHole)
{
    CRPolygon outline = Rectangle(0, 0, 8, 8);
    const CRPolygon hole = Rectangle(3, 3, 5, 5);
    const CRPointArray joinLine = MakeList({{0, 4}, {1, 4}, {2, 4}, {3, 4}});
    const int n = static_cast<int>(outline.GetSize());

    EXPECT_FALSE(outline.JoinAlongCut(MakeList({{1, 4}, {3, 4}}), hole)) << "the line must start on the outline";
    ASSERT_TRUE(outline.JoinAlongCut(joinLine, hole));
    EXPECT_EQ(outline.GetSize(), n + hole.GetSize() + 2 + 2 * 2);
    EXPECT_TRUE(IsClosedEightConnected(outline));
    auto expected = PointSet(Rectangle(0, 0, 8, 8));
    for (const auto& p : PointSet(hole))
        expected.insert(p);
    expected.emplace(1, 4);
    expected.emplace(2, 4);
    EXPECT_EQ(PointSet(outline), expected);
}

TEST(CRPolygonCutTest, BorderCuts)
{
    const CRectangleBorders aoi(0, 0, 19, 9);
    // Touches the area's top row with 8 points, (5,0) .. (12,0).
    const CRPolygon touching = Rectangle(5, 0, 12, 4);

    CRPolygon polygon(touching);
    EXPECT_EQ(polygon.MarkBorderCuts(aoi), 1);
    ASSERT_EQ(polygon.GetCutCount(), 1);
    EXPECT_EQ(polygon.GetCut(0).nStart, 0);
    EXPECT_EQ(polygon.GetCut(0).nCount, 8);

    // Starting inside the stretch: the stretch at index 0 reaches back over the end.
    CRPolygon rotated = StartingAt(touching, {8, 0});
    EXPECT_EQ(rotated.MarkBorderCuts(aoi), 1);
    const tagCUT& cut = rotated.GetCut(0);
    EXPECT_EQ(cut.nCount, 8);
    EXPECT_EQ(CPoint(cut.ptA), CPoint(5, 0));
    EXPECT_EQ(CPoint(cut.ptB), CPoint(12, 0));

    CRPolygon shortTouch = Rectangle(5, 0, 9, 4);
    EXPECT_EQ(shortTouch.MarkBorderCuts(aoi), 0) << "5 points are not enough";
    CRPolygon inside = Rectangle(5, 2, 12, 4);
    EXPECT_EQ(inside.MarkBorderCuts(aoi), 0);
}

TEST(CRPolygonCutTest, BorderTransitions)
{
    const CRectangleBorders aoi(0, 0, 19, 9);
    std::vector<std::pair<int, int>> pairs;

    const CRPolygon touching = StartingAt(Rectangle(5, 0, 12, 4), {8, 0});
    ASSERT_EQ(touching.FindBorderTransitions(aoi, pairs), 1);
    EXPECT_EQ(CPoint(touching[pairs[0].first]), CPoint(12, 1)) << "leaves the top row";
    EXPECT_EQ(CPoint(touching[pairs[0].second]), CPoint(5, 1)) << "comes back to it";

    // Touching the top and the right border: two stretches inside.
    const CRPolygon corner = Rectangle(10, 0, 19, 5);
    EXPECT_EQ(corner.FindBorderTransitions(aoi, pairs), 1);
    const CRPolygon twoTouches = CRPolygon(MakeList({{5, 0}, {7, 0}, {7, 4}, {12, 4}, {12, 0}, {14, 0}, {14, 6}, {5, 6}}));
    EXPECT_EQ(twoTouches.FindBorderTransitions(aoi, pairs), 2);

    EXPECT_EQ(Rectangle(5, 2, 12, 4).FindBorderTransitions(aoi, pairs), 0) << "never on the border";
    EXPECT_TRUE(pairs.empty());
    EXPECT_EQ(Rectangle(0, 0, 19, 9).FindBorderTransitions(aoi, pairs), 0) << "always on the border";
}
