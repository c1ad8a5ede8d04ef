// The contour's own features in a count: curvature peaks of the outline
// and its holes, the deepest notch with a point on each of its sides, and
// the split of the contour into straight and curved segments.

#include "analysis/contourfeaturesettings.h"
#include "analysis/cvcontours.h"
#include "analysis/objectfilter.h"
#include "analysis/objsegments.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using enginetest::CEngineScene;

namespace {

const cv::Scalar kDarkBGR = enginetest::ToBGR(enginetest::kDark);
const cv::Scalar kLight = cv::Scalar::all(enginetest::kBackground);

double Distance(POINT a, cv::Point b)
{
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

double NearestCorner(POINT p, const std::vector<cv::Point>& corners)
{
    double best = 1e9;
    for (const cv::Point& c : corners)
        best = std::min(best, Distance(p, c));
    return best;
}

// Every peak lies within 2 pixels of a corner and every corner has one.
void ExpectPeaksAtCorners(const CArray<POINT, POINT>& peaks, int first, int count,
                          const std::vector<cv::Point>& corners)
{
    ASSERT_GE(peaks.GetSize(), first + count);
    for (int i = first; i < first + count; ++i)
        EXPECT_LE(NearestCorner(peaks[i], corners), 2.0) << "peak " << peaks[i].x << "," << peaks[i].y;
    for (const cv::Point& c : corners) {
        double best = 1e9;
        for (int i = first; i < first + count; ++i)
            best = std::min(best, Distance(peaks[i], c));
        EXPECT_LE(best, 2.0) << "corner " << c.x << "," << c.y;
    }
}

struct sCornerCase
{
    const char* name;
    int method;
    std::vector<cv::Rect> dark;  // drawn in order
    std::vector<cv::Rect> light; // cut out afterwards
    std::vector<cv::Point> outline;
    std::vector<cv::Point> hole;
};

const std::vector<cv::Point> kSquare{{40, 40}, {79, 40}, {79, 79}, {40, 79}};
const std::vector<cv::Point> kPlusEnds{{50, 20}, {69, 20}, {99, 50}, {99, 69}, {69, 99}, {50, 99}, {20, 69}, {20, 50}};
const std::vector<cv::Point> kPlusInner{{50, 50}, {69, 50}, {69, 69}, {50, 69}};
const std::vector<cv::Point> kHole{{59, 59}, {100, 59}, {100, 100}, {59, 100}};

} // namespace

TEST(ContourShape, CurvaturePeaksLieAtTheCorners)
{
    const std::vector<sCornerCase> cases{
        {"square, corners", 1, {{40, 40, 40, 40}}, {}, kSquare, {}},
        {"square, isthmus", 0, {{40, 40, 40, 40}}, {}, {}, {}},
        {"plus, corners", 1, {{50, 20, 20, 80}, {20, 50, 80, 20}}, {}, kPlusEnds, {}},
        {"plus, isthmus", 0, {{50, 20, 20, 80}, {20, 50, 80, 20}}, {}, kPlusInner, {}},
        {"square with hole, corners", 1, {{40, 40, 80, 80}}, {{60, 60, 40, 40}}, {{40, 40}, {119, 40}, {119, 119}, {40, 119}},
         {}},
        {"square with hole, isthmus", 0, {{40, 40, 80, 80}}, {{60, 60, 40, 40}}, {}, kHole},
    };
    for (const sCornerCase& c : cases) {
        SCOPED_TRACE(c.name);
        CEngineScene scene(160, 160);
        for (const cv::Rect& r : c.dark)
            cv::rectangle(scene.page.GetMat(), r, kDarkBGR, cv::FILLED);
        for (const cv::Rect& r : c.light)
            cv::rectangle(scene.page.GetMat(), r, kLight, cv::FILLED);
        scene.Form().m_Parameter = 0x2;
        scene.Form().m_Type |= featureHoleArea;
        scene.engine.GetSettings().m_ObjectFilter.m_ContourFeatureMethod = c.method;
        CAOI2 aoi = scene.WholePage();
        scene.Run(aoi);
        ASSERT_EQ(scene.Records().size(), 1u);
        const CArray<POINT, POINT>& peaks = scene.Records()[0]->GetMarkPoints();
        EXPECT_EQ(peaks.GetSize(), static_cast<INT_PTR>(c.outline.size() + c.hole.size()));
        // The outline's peaks come first, then the hole's.
        ExpectPeaksAtCorners(peaks, 0, static_cast<int>(c.outline.size()), c.outline);
        ExpectPeaksAtCorners(peaks, static_cast<int>(c.outline.size()), static_cast<int>(c.hole.size()), c.hole);
        EXPECT_FALSE(scene.HasDiagnostic("Curvature peaks of contours and holes"));
    }
}

TEST(ContourShape, DeepestDefectPointsLieOnTheWedgeSides)
{
    CEngineScene scene(160, 140);
    const cv::Point apex(70, 70);
    const cv::Point upper(140, 35);
    const cv::Point lower(140, 105);
    cv::circle(scene.page.GetMat(), {70, 70}, 45, kDarkBGR, cv::FILLED);
    const std::vector<cv::Point> wedge{apex, upper, lower};
    cv::fillPoly(scene.page.GetMat(), std::vector<std::vector<cv::Point>>{wedge}, kLight);
    scene.Form().m_Parameter = CFormThres::parameterConvex;
    CAOI2 aoi = scene.WholePage();
    scene.Run(aoi);
    ASSERT_EQ(scene.Records().size(), 1u);
    const CArray<POINT, POINT>& points = scene.Records()[0]->GetHolePoints();
    ASSERT_EQ(points.GetSize(), 2);
    // Distance of a point from the line through the apex and a wedge end.
    const auto fromSide = [&](POINT p, cv::Point end) {
        const double dx = end.x - apex.x;
        const double dy = end.y - apex.y;
        return std::fabs(dy * (p.x - apex.x) - dx * (p.y - apex.y)) / std::hypot(dx, dy);
    };
    const POINT second = points[0];
    const POINT first = points[1];
    const bool firstUpper = first.y < apex.y;
    EXPECT_NE(firstUpper, second.y < apex.y);
    EXPECT_LE(fromSide(first, firstUpper ? upper : lower), 2.0);
    EXPECT_LE(fromSide(second, firstUpper ? lower : upper), 2.0);
    // Inside the disc, away from the apex.
    EXPECT_GT(first.x, apex.x + 5);
    EXPECT_GT(second.x, apex.x + 5);
}

TEST(ContourShape, NearestPointInDefectWalksTheDefectSpan)
{
    CRPolygon contour;
    for (int x = 0; x < 10; ++x)
        contour.Add(POINT{10 + x, 10});
    sConvexityDefect defect;
    defect.m_nStartX = 12;
    defect.m_nStartY = 10;
    defect.m_nEndX = 15;
    defect.m_nEndY = 10;
    defect.m_nDeepestX = 13;
    defect.m_nDeepestY = 10;
    struct sCase
    {
        POINT query;
        POINT expected;
    };
    const sCase cases[] = {{{0, 10}, {12, 10}}, {{19, 10}, {15, 10}}, {{14, 11}, {13, 10}}};
    for (const sCase& c : cases) {
        const POINT p = CBV::NearestPointInDefect(contour, c.query, defect);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
    }
    // Nothing nearer than 1000 pixels, and no deepest point: (0, 0).
    const POINT far = CBV::NearestPointInDefect(contour, POINT{3000, 10}, defect);
    EXPECT_EQ(far.x, 0);
    defect.m_nDeepestX = 0;
    defect.m_nDeepestY = 0;
    EXPECT_EQ(CBV::NearestPointInDefect(contour, POINT{12, 10}, defect).x, 0);
}

namespace {

std::vector<CKonturSegment*> Segments(const CObjData& record)
{
    std::vector<CKonturSegment*> segments;
    for (int i = 0; i < record.GetSegmentCountB(); ++i)
        segments.push_back(dynamic_cast<CKonturSegment*>(&record.GetSegmentB(i)));
    return segments;
}

// Two straight sides of 200 pixels between two half discs of radius 30.
void DrawStadium(CEngineScene& scene)
{
    cv::Mat pixels = scene.page.GetMat();
    cv::rectangle(pixels, cv::Rect(80, 40, 200, 61), kDarkBGR, cv::FILLED);
    cv::circle(pixels, {80, 70}, 30, kDarkBGR, cv::FILLED);
    cv::circle(pixels, {279, 70}, 30, kDarkBGR, cv::FILLED);
}

} // namespace

TEST(ContourShape, StadiumSplitsIntoTwoStraightAndTwoCurvedSegments)
{
    CEngineScene scene(360, 140);
    DrawStadium(scene);
    scene.Form().m_Parameter = CFormThres::parameterSplit;
    CAOI2 aoi = scene.WholePage();
    scene.Run(aoi);
    ASSERT_EQ(scene.Records().size(), 1u);
    const std::vector<CKonturSegment*> segments = Segments(*scene.Records()[0]);
    ASSERT_EQ(segments.size(), 4u);
    int straight = 0;
    int curved = 0;
    for (const CKonturSegment* s : segments) {
        ASSERT_NE(s, nullptr);
        if (s->m_nType == CKonturSegment::straight) {
            ++straight;
            EXPECT_NEAR(s->m_nLength, 200, 10);
        } else {
            ++curved;
            EXPECT_EQ(s->m_nType, CKonturSegment::convex);
            // Half a circle of radius 30 on the pixel grid.
            EXPECT_NEAR(s->m_nLength, 85, 85 * 0.05);
            EXPECT_NE(s->m_ptRef.x, 0);
        }
    }
    EXPECT_EQ(straight, 2);
    EXPECT_EQ(curved, 2);
    EXPECT_FALSE(scene.HasDiagnostic("Contour segments"));
}

TEST(ContourShape, DiscIsOneWholeContourSegment)
{
    CEngineScene scene(120, 120);
    scene.Draw({{60, 60}, 30});
    scene.Form().m_Parameter = CFormThres::parameterSplit;
    CAOI2 aoi = scene.WholePage();
    scene.Run(aoi);
    ASSERT_EQ(scene.Records().size(), 1u);
    const CObjData& record = *scene.Records()[0];
    const std::vector<CKonturSegment*> segments = Segments(record);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_TRUE(segments[0]->m_bWholeContour);
    EXPECT_EQ(segments[0]->m_nLength, CRPolygon(record.m_Chain).GetSize());
    EXPECT_EQ(segments[0]->m_nType, CKonturSegment::convex);
    EXPECT_NEAR(segments[0]->m_ptRef.x, 60, 1);
    EXPECT_NEAR(segments[0]->m_ptRef.y, 60, 1);
}

TEST(ContourShape, ObjectCutByTheAreaBreaksAtTheBorder)
{
    CEngineScene scene(160, 120);
    scene.Draw({{60, 60}, 35});
    scene.Form().m_Parameter = CFormThres::parameterSplit;
    scene.engine.GetSettings().m_ObjectFilter.m_ContourFeatureSegmentFilterFit = 5;
    // The area's left edge runs through the disc.
    CAOI2 aoi(CRect(45, 0, 160, 120));
    scene.Run(aoi);
    ASSERT_EQ(scene.Records().size(), 1u);
    const std::vector<CKonturSegment*> segments = Segments(*scene.Records()[0]);
    ASSERT_FALSE(segments.empty());
    int onBorder = 0;
    for (const CKonturSegment* s : segments) {
        EXPECT_FALSE(s->m_bWholeContour);
        for (INT_PTR i = 1; i + 1 < s->m_Contour.GetSize(); ++i)
            onBorder += aoi.IsOnBorder(s->m_Contour[i].x, s->m_Contour[i].y) ? 1 : 0;
    }
    // No segment runs along the cut.
    EXPECT_EQ(onBorder, 0);
}

TEST(ContourShape, StoredSettingsOutsideTheDialogRangesAreClamped)
{
    struct sCase
    {
        int fit, segmentFit, lineFit;
        float low, high, segmentThres;
        int contourPoints;
        int wantFit, wantSegmentFit, wantLineFit;
        double wantLow, wantHigh, wantThres;
    };
    const sCase cases[] = {
        {0, 0, 0, -5.f, -1.f, -0.5f, 200, 2, 5, 10, 0.0, 0.0, 0.0},
        {500, 5000, 5000, 60.f, 140.f, 3.f, 200, 100, 1000, 1000, 60.0, 140.0, 1.0},
        {50, 20, 300, 60.f, 140.f, 0.75f, 30, 30, 20, 300, 60.0, 140.0, 0.75},
    };
    for (const sCase& c : cases) {
        CObjectFilter filter;
        filter.m_ContourFeatureFit = c.fit;
        filter.m_ContourFeatureSegmentFilterFit = c.segmentFit;
        filter.m_ContourFeatureLineFitThres = c.lineFit;
        filter.m_ContourFeatureThresLow = c.low;
        filter.m_ContourFeatureThresHigh = c.high;
        filter.m_ContourFeatureSegmentFilterThres = c.segmentThres;
        const sContourFeatureSettings s = ClampContourFeatureSettings(filter, c.contourPoints);
        EXPECT_EQ(s.fit, c.wantFit);
        EXPECT_EQ(s.segmentFit, c.wantSegmentFit);
        EXPECT_EQ(s.lineFit, c.wantLineFit);
        EXPECT_DOUBLE_EQ(s.low, c.wantLow);
        EXPECT_DOUBLE_EQ(s.high, c.wantHigh);
        EXPECT_NEAR(s.segmentThres, c.wantThres, 1e-6);
    }
}

TEST(ContourShape, SegmentModelListsTheSegmentsAsRows)
{
    CEngineScene scene(360, 140);
    DrawStadium(scene);
    scene.Form().m_Parameter = CFormThres::parameterSplit;
    scene.Form().m_Model = CFormThres::modelContourSegment;
    CAOI2 aoi = scene.WholePage();
    EXPECT_EQ(scene.Run(aoi), 0);
    ASSERT_EQ(scene.results.GetObjectCount(), 4);
    CStringArray types;
    for (int i = 0; i < 4; ++i) {
        auto* segment = dynamic_cast<CKonturSegment*>(scene.results.GetObjectAt(i));
        ASSERT_NE(segment, nullptr);
        types.Add(segment->GetColumnValues(7));
    }
    EXPECT_EQ(std::count(types.begin(), types.end(), CString("Straight")), 2);
    EXPECT_EQ(std::count(types.begin(), types.end(), CString("Convex")), 2);
    EXPECT_FALSE(scene.HasDiagnostic("Sub-objects of the contour-segment model"));
}
