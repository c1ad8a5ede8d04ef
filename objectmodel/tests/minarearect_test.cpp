#include "objectmodel/cvgeometry.h"
#include "objectmodel/rpointarray.h"
#include "platform/core/recording_dc.h"

#include "objectmodel/tests/pointlists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// A filled bar of the given length and width whose long side points at
// `degrees` in image coordinates (from x towards y, y pointing down),
// sampled on whole pixels.
CRPointArray Bar(double length, double width, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    const double ux = std::cos(a);
    const double uy = std::sin(a);
    CRPointArray list;
    for (double s = 0; s <= length; s += 0.5) {
        for (double t = 0; t <= width; t += 0.5)
            list.Add(static_cast<int>(std::lround(100 + s * ux - t * uy)), static_cast<int>(std::lround(100 + s * uy + t * ux)));
    }
    return list;
}

} // namespace

TEST(MinAreaRectTest, UprightRectangle)
{
    sMinAreaRect rect;
    ASSERT_TRUE(MinAreaRect(MakeList({{0, 0}, {10, 0}, {10, 4}, {0, 4}}), rect));
    EXPECT_EQ(rect.m_nCenterX, 5);
    EXPECT_EQ(rect.m_nCenterY, 2);
    EXPECT_DOUBLE_EQ(rect.m_dLength, 10.0);
    EXPECT_DOUBLE_EQ(rect.m_dWidth, 4.0);
    EXPECT_DOUBLE_EQ(rect.m_dAngle, -90.0) << "an upright box in the stored convention";
    std::vector<CPoint> corners(rect.m_Corners, rect.m_Corners + 4);
    std::sort(corners.begin(), corners.end(), [](CPoint a, CPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    EXPECT_EQ(corners, (std::vector<CPoint>{{0, 0}, {0, 4}, {10, 0}, {10, 4}}));
}

// The stored angle lies in [-90, 0) (image coordinates, y pointing down)
// and belongs to the side the box calls its width: a long side at +30
// degrees is seen from its short side at -60, a long side at -30 directly.
TEST(MinAreaRectTest, AngleConvention)
{
    struct Case
    {
        double degrees;
        double angle;
    };
    const Case cases[] = {{30.0, -60.0}, {-30.0, -30.0}, {60.0, -30.0}, {-60.0, -60.0}, {45.0, -45.0}};
    for (const Case& c : cases) {
        sMinAreaRect rect;
        ASSERT_TRUE(MinAreaRect(Bar(60.0, 8.0, c.degrees), rect));
        EXPECT_NEAR(rect.m_dAngle, c.angle, 1.5) << c.degrees;
        EXPECT_GE(rect.m_dAngle, -90.0);
        EXPECT_LT(rect.m_dAngle, 0.0);
        EXPECT_NEAR(rect.m_dLength, 60.0, 1.5) << c.degrees;
        EXPECT_NEAR(rect.m_dWidth, 8.0, 1.5) << c.degrees;
    }
}

TEST(MinAreaRectTest, DegenerateListsLeaveTheRecord)
{
    const CRPointArray cases[] = {
        CRPointArray(),
        MakeList({{1, 5}, {4, 5}, {9, 5}}),
        MakeList({{3, 1}, {3, 7}}),
        MakeList({{2, 2}}),
    };
    for (const CRPointArray& points : cases) {
        sMinAreaRect rect;
        EXPECT_FALSE(MinAreaRect(points, rect));
        EXPECT_EQ(rect.m_nCenterX, 0);
        EXPECT_DOUBLE_EQ(rect.m_dAngle, sMinAreaRect::kAngleNotSet);
    }
}

TEST(MinAreaRectTest, DrawsOnlyAFilledRecord)
{
    CRecordingDC dc;
    sMinAreaRect().Draw(&dc);
    EXPECT_TRUE(dc.Records().empty());

    sMinAreaRect rect;
    ASSERT_TRUE(MinAreaRect(MakeList({{0, 0}, {10, 0}, {10, 4}, {0, 4}}), rect));
    rect.Draw(&dc);
    EXPECT_EQ(dc.Ops(), (std::vector<CString>{"MoveTo", "LineTo", "LineTo", "LineTo", "LineTo"}));
    EXPECT_EQ(dc.Records().back().points.back(), CPoint(rect.m_Corners[0]));
}

TEST(ConvexHullTest, CounterClockwiseOnScreen)
{
    const CRPointArray points = MakeList({{0, 0}, {10, 0}, {5, 5}, {10, 10}, {0, 10}, {3, 4}});
    CArray<POINT, const POINT&> hull;
    hull.Add({99, 99}); // replaced
    ConvexHull(points, hull);
    ASSERT_EQ(hull.GetSize(), 4);
    // Signed area with y pointing down: negative for counter-clockwise on screen.
    double twiceArea = 0.0;
    for (INT_PTR i = 0; i < hull.GetSize(); ++i) {
        const POINT& a = hull[i];
        const POINT& b = hull[(i + 1) % hull.GetSize()];
        twiceArea += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    EXPECT_DOUBLE_EQ(twiceArea, -200.0);

    ConvexHull(CRPointArray(), hull);
    EXPECT_TRUE(hull.IsEmpty());
}
