#include "analysis/bv.h"

#include "analysis/edgeobjectrules.h"
#include "analysis/objedge.h"
#include "analysis/scanrayresult.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using enginetest::CEngineScene;
constexpr double kPi = std::numbers::pi;

cv::Scalar Dark()
{
    return enginetest::ToBGR(enginetest::kDark);
}

// A rod of length x width pixels centred at centre, at angle degrees.
void DrawRod(CDIB& page, cv::Point2d centre, double length, double width, double degrees)
{
    const cv::RotatedRect rod(cv::Point2f(centre), cv::Size2f(static_cast<float>(length), static_cast<float>(width)),
                              static_cast<float>(-degrees));
    cv::Point2f corners[4];
    rod.points(corners);
    std::vector<cv::Point> polygon;
    for (const cv::Point2f& c : corners)
        polygon.emplace_back(cvRound(c.x), cvRound(c.y));
    cv::fillConvexPoly(page.GetMat(), polygon, Dark(), cv::LINE_8);
}

// A worm bent along a circle arc: its centre line is radius x sweep long.
void DrawWorm(CDIB& page, cv::Point centre, int radius, double fromDegrees, double sweepDegrees, int width)
{
    cv::ellipse(page.GetMat(), centre, cv::Size(radius, radius), 0.0, fromDegrees, fromDegrees + sweepDegrees, Dark(),
                width, cv::LINE_8);
}

void AddNoise(CDIB& page, int amplitude, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> offset(-amplitude, amplitude);
    cv::Mat pixels = page.GetMat();
    for (int y = 0; y < pixels.rows; ++y)
        for (int x = 0; x < pixels.cols; ++x) {
            cv::Vec3b& p = pixels.at<cv::Vec3b>(y, x);
            const int d = offset(random);
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uchar>(std::clamp(p[c] + d, 0, 255));
        }
}

TEST(ScanRayLength, RodsAndWormsGetTheirLengthAlongTheBody)
{
    struct sCase
    {
        const char* name;
        double truth;
        std::function<void(CDIB&)> draw;
    };
    const sCase cases[] = {
        {"rod 0", 60.0, [](CDIB& p) { DrawRod(p, {100, 100}, 60, 8, 0); }},
        {"rod 30", 60.0, [](CDIB& p) { DrawRod(p, {100, 100}, 60, 8, 30); }},
        {"rod 90", 60.0, [](CDIB& p) { DrawRod(p, {100, 100}, 60, 8, 90); }},
        {"worm quarter", 80.0 * kPi / 2.0, [](CDIB& p) { DrawWorm(p, {60, 150}, 80, 270, 90, 8); }},
        {"worm third", 100.0 * 2.0 * kPi / 3.0, [](CDIB& p) { DrawWorm(p, {100, 120}, 100, 200, 120, 8); }},
    };
    for (const sCase& c : cases) {
        CEngineScene scene(220, 240);
        c.draw(scene.page);
        AddNoise(scene.page, 8, 11);
        scene.Form().m_Type |= featureLength;
        CAOI2 aoi = scene.WholePage();
        const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
        ASSERT_EQ(scene.Run(aoi), 1) << c.name;
        const CObjData& record = *scene.Records().front();
        ASSERT_EQ(record.GetResultCount(), 1) << c.name;
        EXPECT_NEAR(record.GetLength(), c.truth, 0.05 * c.truth) << c.name;
        EXPECT_EQ(tracetest::PixelBytes(scene.page), before) << c.name;
    }
}

// A bright band across the page, its upper edge tilted by degrees.
void DrawBand(CDIB& page, double degrees)
{
    page.GetMat().setTo(cv::Scalar::all(40));
    const double slope = std::tan(degrees * kPi / 180.0);
    std::vector<cv::Point> band;
    const int w = page.GetWidth();
    band.emplace_back(0, cvRound(120 + slope * w / 2));
    band.emplace_back(w - 1, cvRound(120 - slope * w / 2));
    band.emplace_back(w - 1, cvRound(200 - slope * w / 2));
    band.emplace_back(0, cvRound(200 + slope * w / 2));
    cv::fillConvexPoly(page.GetMat(), band, cv::Scalar::all(210), cv::LINE_8);
    AddNoise(page, 6, 5);
}

TEST(EdgeObject, TiltedBandGivesOneRowWithItsUpperEdgeAngle)
{
    CEngineScene scene(400, 320);
    scene.engine.m_AOIDoc.SetImageSize(400, 320, true);
    DrawBand(scene.page, 10.0);
    scene.engine.GetSettings().m_SegThres =
        CSegThres(RGB(100, 100, 100), RGB(128, 128, 128), CSegThres::modeBright);
    ASSERT_EQ(scene.engine.MeasureEdgeObject(&scene.page, &scene.results), 1);
    ASSERT_EQ(scene.results.GetObjectCount(), 1);
    auto* edge = dynamic_cast<CEdgeObj*>(scene.results.GetObjectAt(0));
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->GetColumnValues(1), "32");
    EXPECT_GT(edge->GetRayCount(), 0);
    EXPECT_NEAR(edge->m_dUpperAngle * 180.0 / kPi, 10.0, 2.0);
    EXPECT_EQ(edge->m_ptCenter, CPoint(200, 160));
}

TEST(EdgeObject, RulesOfCountsAndDistances)
{
    struct sHits
    {
        int hits;
        int threshold;
    };
    for (const sHits& c : {sHits{11, 5}, sHits{12, 10}, sHits{0, 5}, sHits{16, 10}})
        EXPECT_EQ(edgeobject::SecondPassEdgeThreshold(c.hits), c.threshold) << c.hits;

    struct sCentre
    {
        POINT mean;
        POINT expected;
    };
    const POINT centre{200, 200};
    // 100.0 exactly stays; just inside moves.
    for (const sCentre& c : {sCentre{{260, 280}, {200, 200}}, sCentre{{300, 200}, {200, 200}},
                             sCentre{{299, 200}, {299, 200}}, sCentre{{210, 190}, {210, 190}}})
        EXPECT_EQ(CPoint(edgeobject::RayCentre(c.mean, centre)), CPoint(c.expected)) << c.mean.x;

    EXPECT_FALSE(edgeobject::KeepsPiece(10));
    EXPECT_TRUE(edgeobject::KeepsPiece(11));
}

TEST(EdgeObject, EndRaySearchWrapsOnceAndGivesUp)
{
    ScanRayParams rays;
    rays.LayOutRays(100, 100, 50, edgeobject::kRays, 0.0, 2.0 * kPi);
    auto setHit = [&](int ray, int x) {
        sEdgePos hit;
        hit.m_nIndex = 10;
        hit.m_dStrength = 1.0;
        hit.m_nX = x;
        hit.m_nY = 5;
        rays.m_arrRays[ray].m_arrHits.Add(hit);
    };
    setHit(0, 7);
    setHit(5, 9);
    sEdgePos end;
    struct sCase
    {
        int ray;
        int j;
        int x;
    };
    // Ray 31 ends on ray 0 (through index 32); ray 1 skips to ray 5.
    for (const sCase& c : {sCase{31, 32, 7}, sCase{1, 5, 9}, sCase{4, 5, 9}}) {
        EXPECT_EQ(edgeobject::FindEndRay(rays, c.ray, end), c.j) << c.ray;
        EXPECT_EQ(end.m_nX, c.x) << c.ray;
    }
    // Nothing after ray 5 but ray 0: without ray 0 the search runs past 32
    // and finds nothing (a ray that adds nothing).
    rays.m_arrRays[0].m_arrHits.RemoveAll();
    EXPECT_EQ(edgeobject::FindEndRay(rays, 6, end), 33);
    EXPECT_EQ(end.m_nX, 0);
    EXPECT_EQ(end.m_nY, 0);
    // Also when the last ray has a hit, which the fetch past 32 reads.
    setHit(31, 11);
    EXPECT_EQ(edgeobject::FindEndRay(rays, 31, end), 33);
    EXPECT_EQ(end.m_nX, 0);
}

TEST(EdgeObject, NothingToMeasure)
{
    CEngineScene scene(200, 200);
    scene.engine.m_AOIDoc.SetImageSize(200, 200, true);
    scene.engine.GetSettings().m_SegThres =
        CSegThres(RGB(100, 100, 100), RGB(128, 128, 128), CSegThres::modeBright);
    // No document: nothing is created.
    EXPECT_EQ(scene.engine.MeasureEdgeObject(&scene.page, nullptr), 0);
    // A plain page: the record stays, empty.
    EXPECT_EQ(scene.engine.MeasureEdgeObject(&scene.page, &scene.results), 0);
    EXPECT_EQ(scene.results.GetObjectCount(), 1);
}

// A dark disc of radius 40 with a 3-pixel tail of length tail to the right,
// and a result with its border points on 64 rays.
struct sThinPartScene
{
    explicit sThinPartScene(int tail) : scene(260, 200)
    {
        cv::circle(scene.page.GetMat(), {100, 100}, 40, Dark(), cv::FILLED, cv::LINE_8);
        if (tail > 0)
            cv::rectangle(scene.page.GetMat(), cv::Rect(140, 99, tail, 3), Dark(), cv::FILLED);
        result.m_nCenterX = 100;
        result.m_nCenterY = 100;
        for (int i = 0; i < 64; ++i) {
            const double a = 2.0 * kPi * i / 64;
            const POINT p{100 + static_cast<int>(std::lround(40 * std::cos(a))),
                          100 - static_cast<int>(std::lround(40 * std::sin(a)))};
            result.m_arrHits1.Add(p);
            result.m_arrHits2.Add(p);
        }
        result.m_nRayIndex = 0;
        area = scene.WholePage();
    }
    CEngineScene scene;
    CScanRayResult2 result;
    CAOI2 area;
};

TEST(ThinPart, TailLengthAlongItsPath)
{
    sThinPartScene tail(60);
    ASSERT_EQ(tail.scene.engine.MeasureThinPartLength(&tail.scene.page, &tail.area, nullptr, &tail.result), 1);
    EXPECT_NEAR(tail.result.m_Path.m_fValue1, 60.0, 6.0);
    ASSERT_GE(tail.result.m_Path.m_Points.GetSize(), 2);
    EXPECT_NEAR(tail.result.m_Path.m_Points[0].x, 140, 2);
    const POINT last = tail.result.m_Path.m_Points[tail.result.m_Path.m_Points.GetSize() - 1];
    EXPECT_NEAR(last.x, 199, 3);
    EXPECT_NEAR(last.y, 100, 2);
}

TEST(ThinPart, EdgeCases)
{
    // No tail: no start, 0 and the path as it was.
    sThinPartScene none(0);
    none.result.m_Path.m_Points.Add(POINT{1, 1});
    EXPECT_EQ(none.scene.engine.MeasureThinPartLength(&none.scene.page, &none.area, nullptr, &none.result), 0);
    EXPECT_EQ(none.result.m_Path.m_Points.GetSize(), 1);

    // An empty second border: midpoints (0, 0), nothing read, 0.
    sThinPartScene empty(60);
    empty.result.m_arrHits2.RemoveAll();
    EXPECT_EQ(empty.scene.engine.MeasureThinPartLength(&empty.scene.page, &empty.area, nullptr, &empty.result), 0);

    // A start two rays from the stored ray takes the stored ray's border
    // point; three rays away it keeps its own.
    for (const int stored : {2, 3}) {
        sThinPartScene near(60);
        near.result.m_nRayIndex = stored;
        ASSERT_EQ(near.scene.engine.MeasureThinPartLength(&near.scene.page, &near.area, nullptr, &near.result), 1);
        const POINT first = near.result.m_Path.m_Points[0];
        if (stored == 2)
            EXPECT_EQ(CPoint(first), CPoint(near.result.m_arrHits2[2]));
        else
            EXPECT_NE(CPoint(first), CPoint(near.result.m_arrHits2[3]));
    }

    // No image or result: 0.
    sThinPartScene tail(60);
    EXPECT_EQ(tail.scene.engine.MeasureThinPartLength(nullptr, &tail.area, nullptr, &tail.result), 0);
    EXPECT_EQ(tail.scene.engine.MeasureThinPartLength(&tail.scene.page, &tail.area, nullptr, nullptr), 0);
}

} // namespace
