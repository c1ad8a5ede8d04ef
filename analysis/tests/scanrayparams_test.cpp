#include "analysis/scanrayparams.h"

#include "analysis/aoi.h"
#include "analysis/kontur8.h"
#include "analysis/segthres.h"
#include "platform/core/exceptions.h"

#include "tracepage.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr double kPi = std::numbers::pi;

// A page that notes every read outside itself.
class CWatchedPage : public CDIB
{
public:
    COLORREF GetPixel(int x, int y) const override
    {
        if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
            ++m_nOutsideReads;
        return CDIB::GetPixel(x, y);
    }
    mutable int m_nOutsideReads = 0;
};

// A dark disc on a bright page, with seeded noise.
void DrawDisc(CDIB& page, int width, int height, cv::Point centre, int radius, int noise)
{
    page.InitDIB(width, height, 24);
    cv::Mat pixels = page.GetMat();
    pixels.setTo(cv::Scalar::all(200));
    cv::circle(pixels, centre, radius, cv::Scalar::all(30), cv::FILLED, cv::LINE_8);
    if (noise > 0) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> offset(-noise, noise);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                cv::Vec3b& p = pixels.at<cv::Vec3b>(y, x);
                const int v = std::clamp(p[0] + offset(random), 0, 255);
                p = cv::Vec3b(static_cast<uchar>(v), static_cast<uchar>(v), static_cast<uchar>(v));
            }
    }
}

sEdgePos Hit(int distance, double strength, int x)
{
    sEdgePos hit;
    hit.m_nIndex = distance;
    hit.m_dStrength = strength;
    hit.m_nX = x;
    hit.m_nY = 1;
    return hit;
}

TEST(ScanRayParamsTest, LaysOutRaysTowardsDecreasingAngles)
{
    ScanRayParams rays;
    rays.LayOutRays(50, 50, 10, 1, 1.0, 2.0 * kPi);
    ASSERT_EQ(rays.GetRayCount(), 1);
    EXPECT_DOUBLE_EQ(rays.GetRayAngle(0), 1.0);
    // A negative start is brought into 0..2 pi before the rotation.
    rays.LayOutRays(50, 50, 10, 4, -kPi / 2.0, 2.0 * kPi);
    EXPECT_DOUBLE_EQ(rays.GetRayAngle(0), 1.5 * kPi);
    EXPECT_DOUBLE_EQ(rays.GetRayAngle(1), kPi);
    EXPECT_EQ(rays.GetScanRay(0).m_nEndY, 60); // straight down on the page
    EXPECT_EQ(rays.GetScanRay(1).m_nEndX, 40);
    EXPECT_EQ(rays.GetRayAngle(-1), -1.0);
    EXPECT_EQ(rays.GetRayAngle(4), -1.0);
    EXPECT_EQ(rays.GetRayHitPoint(4), CPoint(50, 50));
    EXPECT_EQ(rays.GetEdgePos(-1).m_nIndex, -1); // wraps to the last edge
}

TEST(ScanRayParamsTest, BadRayInputGivesEmptyRaysAndEdges)
{
    CDIB page;
    DrawDisc(page, 100, 100, {50, 50}, 20, 0);
    const CAOI2 area = tracetest::WholePage(page);
    struct sCase
    {
        int count;
        int length;
        int startIndex;
        int rays;
        bool edges;
    };
    const sCase cases[] = {
        {0, 40, 0, 0, false},   // no rays
        {-3, 40, 0, 0, false},  // negative count
        {4, 0, 0, 4, false},    // zero length: empty rays
        {4, 40, 500, 4, true},  // start beyond the line: from the centre
        {4, 40, -2, 4, true},   // negative start: from the centre
    };
    for (const sCase& c : cases) {
        ScanRayParams rays;
        rays.m_nStartIndex = c.startIndex;
        EXPECT_EQ(rays.Measure(page, 50, 50, c.count, c.length, 0.0, 2.0 * kPi, &area, 0), 1);
        EXPECT_EQ(rays.GetRayCount(), c.rays) << c.count;
        EXPECT_EQ(rays.GetEdgeCount(), c.rays);
        for (int i = 0; i < rays.GetEdgeCount(); ++i)
            EXPECT_EQ(rays.GetEdgePos(i).m_nIndex != -1, c.edges) << c.count << " " << c.length;
    }
    ScanRayParams none;
    EXPECT_THROW(none.GetEdgePos(0), CInvalidArgException);
    EXPECT_THROW(none.GetScanRay(0), CInvalidArgException);
}

TEST(ScanRayParamsTest, RankedHitRules)
{
    ScanRayParams rays;
    rays.LayOutRays(0, 0, 10, 3, 0.0, 2.0 * kPi);
    // Ray 0: distances 12, 30, 30; ray 1: the strongest is far stronger
    // than the outermost; ray 2: no hits.
    rays.m_arrRays[0].m_arrHits.Add(Hit(12, 4.0, 1));
    rays.m_arrRays[0].m_arrHits.Add(Hit(30, 3.0, 2));
    rays.m_arrRays[0].m_arrHits.Add(Hit(30, 2.5, 3));
    rays.m_arrRays[1].m_arrHits.Add(Hit(12, 10.0, 4));
    rays.m_arrRays[1].m_arrHits.Add(Hit(30, 4.0, 5));
    struct sCase
    {
        int ray;
        int rank;
        int x; // 0: the default hit
    };
    const sCase cases[] = {
        {0, 0, 3},  // the later hit at 30 (not below half the strongest)
        {0, 1, 3},  // second place: also 30, the last of them
        {0, 2, 1},  // then 12
        {0, 3, 0},  // beyond the hits: default
        {1, 0, 4},  // 4.0 is below half of 10.0: the strongest
        {1, 1, 4},  // rank 1 has no exception: the hit at 12
        {2, 0, 0},  // no hits
        {-1, 0, 3}, // below 0: ray 0
        {3, 0, 3},  // the ray count: ray 0
        {7, 0, 0},  // above it: the last ray
    };
    for (const sCase& c : cases)
        EXPECT_EQ(rays.GetRankedHit(c.ray, c.rank).m_nX, c.x) << c.ray << " " << c.rank;

    // Method 0 takes only strengths above 0; method 1 is rank 0.
    rays.m_arrRays[2].m_arrHits.Add(Hit(8, 0.0, 6));
    rays.m_arrRays[2].m_arrHits.Add(Hit(9, -1.0, 7));
    EXPECT_EQ(rays.ChooseEdge(2, 0).m_nIndex, -1);
    EXPECT_EQ(rays.ChooseEdge(0, 1).m_nX, 3);
    EXPECT_EQ(rays.ChooseEdge(0, 0).m_nX, 1);
}

TEST(ScanRayParamsTest, StrongestHitGivesWayToTheNeighboursMeanDistance)
{
    ScanRayParams rays;
    rays.LayOutRays(0, 0, 10, 3, 0.0, 2.0 * kPi);
    rays.m_arrRays[0].m_arrHits.Add(Hit(20, 1.0, 1));
    rays.m_arrRays[1].m_arrHits.Add(Hit(10, 9.0, 2));
    rays.m_arrRays[1].m_arrHits.Add(Hit(22, 1.0, 3));
    rays.m_arrRays[2].m_arrHits.Add(Hit(24, 1.0, 4));
    EXPECT_EQ(rays.ChooseEdge(1, 0).m_nX, 3);
    // With two hits on a neighbour the strongest stays.
    rays.m_arrRays[2].m_arrHits.Add(Hit(26, 1.0, 5));
    EXPECT_EQ(rays.ChooseEdge(1, 0).m_nX, 2);
}

TEST(ScanRayParamsTest, EveryMethodFindsTheCircleOfANoisyDisc)
{
    CDIB page;
    DrawDisc(page, 160, 160, {80, 80}, 40, 12);
    const CAOI2 area = tracetest::WholePage(page);
    for (int method = 0; method <= 2; ++method) {
        ScanRayParams rays;
        CScanPointList results;
        rays.m_pResultPoints = &results;
        rays.Measure(page, 80, 80, 32, 70, 0.0, 2.0 * kPi, &area, method);
        ASSERT_EQ(rays.GetEdgeCount(), 32);
        ASSERT_EQ(results.GetSize(), 32);
        for (int i = 0; i < 32; ++i) {
            const sEdgePos edge = rays.GetEdgePos(i);
            ASSERT_NE(edge.m_nIndex, -1) << method << " " << i;
            const double r = std::hypot(edge.m_nX - 80.0, edge.m_nY - 80.0);
            EXPECT_NEAR(r, 40.0, 1.5) << method << " ray " << i;
            EXPECT_DOUBLE_EQ(edge.m_dAngle, rays.GetRayAngle(i));
        }
    }
}

TEST(ScanRayParamsTest, RaysOffThePageReadNothingThere)
{
    CWatchedPage page;
    DrawDisc(page, 60, 60, {30, 30}, 10, 0);
    ScanRayParams rays;
    rays.Measure(page, 30, 30, 8, 100, 0.0, 2.0 * kPi, nullptr, 1);
    CSegThres dark = tracetest::DarkThreshold();
    rays.RunToColour(page, nullptr, &dark);
    rays.CrossScan(2, 30, 0.0, nullptr, page, dark, 3);
    EXPECT_EQ(page.m_nOutsideReads, 0);
    // The disc's edge is found on every ray all the same.
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(rays.GetEdgePos(i).m_nIndex, 10, 2);
}

TEST(ScanRayParamsTest, RunToColourAndTheArea)
{
    CDIB page;
    DrawDisc(page, 100, 100, {50, 50}, 20, 0);
    const CSegThres dark = tracetest::DarkThreshold();
    ScanRayParams rays;
    rays.LayOutRays(50, 50, 40, 4, 0.0, 2.0 * kPi);
    rays.RunToColour(page, nullptr, &dark);
    EXPECT_NEAR(rays.m_dMaxRayLength, 20.0, 1.0);
    EXPECT_NEAR(rays.m_dMeanRayLength, 20.0, 1.0);
    // The ray's end outside the area: it stops at the area's edge.
    const CAOI2 small(CRect(40, 40, 60, 60));
    rays.RunToColour(page, &small, &dark);
    EXPECT_EQ(rays.GetRayHitPoint(0), CPoint(59, 50));
    // Without thresholds the stop colour decides: the centre has it.
    page.SetPixel(50, 50, RGB(255, 255, 255));
    rays.RunToColour(page, nullptr, nullptr);
    EXPECT_EQ(rays.GetRayHitPoint(0), CPoint(50, 50));
    EXPECT_EQ(rays.GetScanRay(0).m_dLength, 0.0);
}

TEST(ScanRayParamsTest, CrossScanMeasuresABandAcrossItsAxis)
{
    CDIB page;
    page.InitDIB(100, 100, 24);
    page.GetMat().setTo(cv::Scalar::all(200));
    cv::rectangle(page.GetMat(), cv::Rect(0, 40, 100, 11), cv::Scalar::all(30), cv::FILLED);
    const CSegThres dark = tracetest::DarkThreshold();
    ScanRayParams rays;
    const CPoint middle = rays.CrossScan(50, 42, 0.0, nullptr, page, dark, 3);
    EXPECT_EQ(middle, CPoint(50, 45));
    EXPECT_DOUBLE_EQ(rays.m_dWidth, 10.0);
    EXPECT_EQ(rays.CrossScan(0, 0, 0.0, nullptr, page, dark, 3), CPoint(0, 0));
    EXPECT_EQ(rays.m_dWidth, 0.0);
    EXPECT_DOUBLE_EQ(rays.MaxWidthAlongSegment(page, nullptr, dark, 10, 45, 90, 45), 10.0);
    CScanPointList points;
    rays.MeasureAtMidpoint(page, nullptr, dark, 10, 42, 90, 42, points);
    ASSERT_EQ(points.GetSize(), 1);
    EXPECT_EQ(CPoint(points[0]), CPoint(50, 45));
}

TEST(ScanRayParamsTest, BorderPointAtAGreyLevel)
{
    CDIB page;
    DrawDisc(page, 100, 100, {50, 50}, 20, 0);
    ScanRayParams rays; // dark objects: object where grey <= level
    int direction = -1;
    struct sCase
    {
        int x;
        int y;
    };
    for (const sCase& c : {sCase{68, 50}, sCase{72, 50}, sCase{50, 31}}) {
        const CPoint p = rays.FindBorderPoint(page, nullptr, c.x, c.y, 100, direction);
        const bool object = (page.GetPixel(p.x, p.y) & 0xFF) <= 100;
        EXPECT_TRUE(object) << c.x;
        const bool outsideNeighbour = (page.GetPixel(p.x + 1, p.y) & 0xFF) > 100 ||
                                      (page.GetPixel(p.x - 1, p.y) & 0xFF) > 100 ||
                                      (page.GetPixel(p.x, p.y + 1) & 0xFF) > 100 ||
                                      (page.GetPixel(p.x, p.y - 1) & 0xFF) > 100;
        EXPECT_TRUE(outsideNeighbour) << c.x;
        EXPECT_NEAR(std::hypot(p.x - 50.0, p.y - 50.0), 20.0, 1.0);
        EXPECT_GE(direction, 0);
    }
    // Nothing of the object near: the point stays.
    EXPECT_EQ(rays.FindBorderPoint(page, nullptr, 5, 5, 100, direction), CPoint(5, 5));
}

TEST(ScanRayParamsTest, TraceRegionJoinsBorderPointsOfOneObjectOnly)
{
    CDIB page;
    DrawDisc(page, 200, 100, {50, 50}, 25, 0);
    cv::circle(page.GetMat(), {140, 50}, 25, cv::Scalar::all(30), cv::FILLED, cv::LINE_8);
    CAOI2 area = tracetest::WholePage(page);
    CSegThres threshold(RGB(100, 100, 100), RGB(255, 255, 255), CSegThres::modeDark);
    CKontur8 tracer;
    tracer.Size(800);
    tracer.SetImage(&page, &area, &threshold);
    // Two border points a quarter round the disc, clockwise on screen.
    ASSERT_EQ(tracer.TraceRegion(POINT{50, 25}, POINT{75, 50}, 100, 100), 1);
    const int n = tracer.GetLastIndex();
    EXPECT_GT(n, 30);
    EXPECT_LT(n, 60);
    for (int i = 0; i <= n; ++i) {
        const POINT p = tracer.GetPoint(i);
        EXPECT_NEAR(std::hypot(p.x - 50.0, p.y - 50.0), 24.5, 1.5) << i;
        EXPECT_TRUE(p.x >= 49 && p.y <= 51) << i; // the short way round
    }
    // Points on two separate objects are not joined.
    EXPECT_EQ(tracer.TraceRegion(POINT{75, 50}, POINT{115, 50}, 100, 100), 0);
}

TEST(ScanRayParamsTest, TracesEndAlsoRoundARing)
{
    // A ring 8 pixels wide: a path along it comes back to its start.
    CDIB page;
    page.InitDIB(200, 200, 24);
    page.GetMat().setTo(cv::Scalar::all(200));
    cv::circle(page.GetMat(), {100, 100}, 60, cv::Scalar::all(30), 8, cv::LINE_8);
    const CSegThres dark = tracetest::DarkThreshold();
    const CAOI2 area = tracetest::WholePage(page);
    ScanRayParams rays;
    CScanPointList path;
    const double length = rays.TraceLength(page, 160, 100, kPi / 2.0, &area, dark, path);
    EXPECT_LE(path.GetSize(), ScanRayParams::maxTraceSteps + 1);
    // It ends before it has gone round twice.
    double walked = 0.0;
    for (INT_PTR i = 1; i < path.GetSize(); ++i)
        walked += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
    EXPECT_LT(walked, 2.0 * 2.0 * kPi * 64.0);
    EXPECT_GE(length, 0.0);

    CScanPointList thin;
    rays.FollowThinPart(page, 160, 100, kPi / 2.0, &area, dark, thin);
    EXPECT_LE(thin.GetSize(), ScanRayParams::maxTraceSteps);
}

} // namespace
