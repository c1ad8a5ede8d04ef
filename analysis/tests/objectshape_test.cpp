// The object shape that the scan-ray measurement starts from: innermost
// point, 64 samples of the outline around it, their mean as the centre
// and, with smoothing, the outline's coarse Fourier form.

#include "analysis/objectshape.h"
#include "analysis/scanrayresult.h"
#include "objectmodel/rpolygon.h"
#include "outside/pixmere/dib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// The outline of a disc, one point per degree step fine enough to close.
CRPolygon Circle(int cx, int cy, double r, double fromDegrees = 0.0, double toDegrees = 360.0)
{
    CRPolygon polygon;
    const int steps = static_cast<int>(std::ceil(2.0 * std::numbers::pi * r * 2.0));
    for (int k = 0; k < steps; ++k) {
        const double a = (fromDegrees + (toDegrees - fromDegrees) * k / steps) * std::numbers::pi / 180.0;
        const POINT p{static_cast<int>(std::lround(cx + r * std::cos(a))),
                      static_cast<int>(std::lround(cy - r * std::sin(a)))};
        if (polygon.GetSize() == 0 || polygon[polygon.GetSize() - 1].x != p.x ||
            polygon[polygon.GetSize() - 1].y != p.y)
            polygon.Add(p);
    }
    polygon.m_bClosed = TRUE;
    return polygon;
}

} // namespace

TEST(ObjectShape, SamplesAroundTheInnermostPoint)
{
    struct sCase
    {
        const char* name;
        double radius;
        int smoothing;
        int samples;
    };
    const sCase cases[] = {
        {"small disc", 10.0, 0, 40},
        {"large disc, smoothed", 40.0, 1, 64},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRPolygon contour = Circle(100, 100, c.radius);
        CScanRayResult3 result;
        ASSERT_EQ(CalcObjectShapeFeatures(nullptr, nullptr, contour, nullptr, &result, c.smoothing), 1);
        EXPECT_NEAR(contour.m_nCenterX, 100, 2);
        EXPECT_NEAR(contour.m_nCenterY, 100, 2);
        EXPECT_NEAR(result.m_nCenterX, 100, 2);
        EXPECT_NEAR(result.m_nCenterY, 100, 2);
        // A small outline leaves a few sectors without a point.
        const INT_PTR n = result.m_arrHits1.GetSize();
        EXPECT_LE(n, 64);
        EXPECT_GE(n, c.samples);
        EXPECT_EQ(result.m_arrHits2.GetSize(), c.smoothing == 1 ? n : 0);
        for (const POINT& p : result.m_arrHits2)
            EXPECT_NEAR(std::hypot(p.x - 100.0, p.y - 100.0), c.radius, 2.5);
        EXPECT_GE(result.m_nRayIndex, 0);
    }
}

TEST(ObjectShape, FewerDirectionsFewerSamples)
{
    // A line one pixel thin: its points lie left and right of its centre
    // only, so most sectors stay empty; the centre is the samples' mean.
    CRPolygon contour;
    for (int x = 0; x < 60; ++x)
        contour.Add(POINT{100 + x, 100});
    for (int x = 58; x > 0; --x)
        contour.Add(POINT{100 + x, 100});
    contour.m_bClosed = TRUE;
    CScanRayResult3 result;
    ASSERT_EQ(CalcObjectShapeFeatures(nullptr, nullptr, contour, nullptr, &result, 0), 1);
    const INT_PTR n = result.m_arrHits1.GetSize();
    EXPECT_GE(n, 1);
    EXPECT_LT(n, 64);
    double sx = 0.0;
    for (const POINT& p : result.m_arrHits1)
        sx += p.x;
    EXPECT_EQ(result.m_nCenterX, static_cast<int>(sx / static_cast<double>(n)));
    EXPECT_EQ(result.m_nCenterY, 100);

    CRPolygon empty;
    EXPECT_EQ(CalcObjectShapeFeatures(nullptr, nullptr, empty, nullptr, &result, 0), 0);
}

TEST(ObjectShape, WithoutAResultOnlyTheCentreChanges)
{
    CRPolygon contour = Circle(60, 70, 20.0);
    contour.m_nCenterX = 0;
    contour.m_nCenterY = 0;
    EXPECT_EQ(CalcObjectShapeFeatures(nullptr, nullptr, contour, nullptr, nullptr, 1), 0);
    EXPECT_NEAR(contour.m_nCenterX, 60, 2);
    EXPECT_NEAR(contour.m_nCenterY, 70, 2);
}
