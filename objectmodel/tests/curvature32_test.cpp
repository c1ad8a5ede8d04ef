#include "objectmodel/curvature32.h"
#include "objectmodel/rpolygon.h"

#include "seriesvalues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The clockwise outline of a side x side square from its top-left corner:
// corners at indices 0, side-1, 2(side-1), 3(side-1).
CRPolygon Square(int side)
{
    CRPolygon polygon;
    for (int x = 0; x < side; ++x)
        polygon.Add(x, 0);
    for (int y = 1; y < side; ++y)
        polygon.Add(side - 1, y);
    for (int x = side - 2; x >= 0; --x)
        polygon.Add(x, side - 1);
    for (int y = side - 2; y >= 1; --y)
        polygon.Add(0, y);
    polygon.m_bClosed = TRUE;
    return polygon;
}

using seriestest::Values;

} // namespace

TEST(CCurvature32Test, OneValuePerContourPoint)
{
    const CRPolygon square = Square(6); // 20 points
    CCurvature32 curvature;
    curvature.CalcContourCurvature(square, 15);
    EXPECT_EQ(curvature.GetSize(), 20);
    EXPECT_EQ(curvature.GetValueType(), CDataArray::typeFloat);
    EXPECT_TRUE(curvature.IsRing());

    // 15 exceeds half the contour: 13, 11, then 9 is used.
    CCurvature32 nine;
    nine.CalcContourCurvature(square, 9);
    EXPECT_EQ(Values(curvature), Values(nine));
}

TEST(CCurvature32Test, SquareCornersPeakNearNinety)
{
    const int side = 21;
    const CRPolygon square = Square(side);
    CCurvature32 curvature;
    curvature.CalcContourCurvature(square, 9);
    const int n = static_cast<int>(square.GetSize());
    ASSERT_EQ(curvature.GetSize(), n);

    for (int corner = 0; corner < 4; ++corner) {
        const int c = corner * (side - 1);
        // The largest value near the corner lies on it, about +90: a
        // clockwise contour turns right at its convex corners.
        int best = c;
        for (int d = -4; d <= 4; ++d) {
            const int i = curvature.WrapIndex(c + d);
            if (curvature.GetAt(i) > curvature.GetAt(best))
                best = i;
        }
        EXPECT_EQ(best, c) << "corner " << corner;
        EXPECT_NEAR(curvature.GetAt(c), 90.0, 10.0) << "corner " << corner;
        // Midway along the next side the contour is straight.
        EXPECT_NEAR(curvature.GetAt(c + (side - 1) / 2), 0.0, 1.0) << "side after corner " << corner;
    }
}

TEST(CCurvature32Test, ConcaveCornersOfAClockwiseOutlinePeakWhenNegated)
{
    // An L-shaped outline: one concave corner at (10, 10).
    const CRPolygon outline(
        [] {
            CRPointArray v;
            for (POINT p : {POINT{0, 0}, POINT{10, 0}, POINT{10, 10}, POINT{20, 10}, POINT{20, 20}, POINT{0, 20}, POINT{0, 1}})
                v.Add(p);
            return v;
        }());
    CRPointArray peaks;
    EXPECT_EQ(outline.FindCurvaturePeaks(peaks, 9, 45.0, TRUE), 1);
    ASSERT_EQ(peaks.GetSize(), 1);
    EXPECT_NEAR(peaks[0].x, 10, 1);
    EXPECT_NEAR(peaks[0].y, 10, 1);

    peaks.RemoveAll();
    EXPECT_EQ(outline.FindCurvaturePeaks(peaks, 9, 45.0, FALSE), 5) << "the convex corners";

    peaks.RemoveAll();
    EXPECT_EQ(outline.FindCurvaturePeaksAdaptive(peaks), 1) << "the threshold falls, but only one corner is concave";
    EXPECT_NEAR(peaks[0].x, 10, 1);
}

TEST(CCurvature32Test, SegmentOfAnOpenStretch)
{
    // Straight, then a right-angle turn.
    CRPolygon stretch;
    for (int i = 0; i < 20; ++i)
        stretch.Add(i, 0);
    for (int i = 1; i < 20; ++i)
        stretch.Add(19, i);
    CCurvature32 curvature;
    curvature.CalcContourCurvatureSegment(stretch, 9);
    EXPECT_FALSE(curvature.IsRing());
    EXPECT_EQ(curvature.GetSize(), 39);
    EXPECT_NEAR(curvature.m_dMax, 90.0, 10.0);
    // First reached where the window ahead of the point has turned the corner.
    EXPECT_EQ(curvature.m_ptMax.y, 0);
    EXPECT_GE(curvature.m_ptMax.x, 19 - 9);
    EXPECT_LT(curvature.m_ptMax.x, 19);
    EXPECT_NEAR(curvature.m_dMin, 0.0, 1.0);
    EXPECT_NEAR(curvature.GetAt(30), 0.0, 1.0) << "straight after the corner";

    EXPECT_FALSE(stretch.IsLowCurvature());
    CRPolygon straight;
    for (int i = 0; i < 30; ++i)
        straight.Add(i, i / 3);
    EXPECT_TRUE(straight.IsLowCurvature());
}

TEST(CCurvature32Test, WrapIndexAndValueAtPosition)
{
    CCurvature32 curvature;
    EXPECT_EQ(curvature.WrapIndex(5), 0) << "an empty series";
    curvature.CalcContourCurvature(Square(6), 5);
    struct Case
    {
        int index;
        int wrapped;
    };
    for (const Case& c : {Case{-1, 19}, Case{20, 0}, Case{45, 5}, Case{-41, 19}, Case{7, 7}})
        EXPECT_EQ(curvature.WrapIndex(c.index), c.wrapped) << c.index;

    curvature.SetX0(10.0);
    curvature.SetDX(2.0);
    EXPECT_DOUBLE_EQ(curvature.SnapX(13.2), curvature.GetAt(2)) << "nearest sample";
    EXPECT_DOUBLE_EQ(curvature.SnapX(1000.0), curvature.GetAt(19)) << "at most the last";
    EXPECT_DOUBLE_EQ(curvature.SnapX(-50.0), curvature.GetAt(0));
}
