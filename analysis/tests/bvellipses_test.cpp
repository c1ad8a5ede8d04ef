// "Model" 2: round objects, alone, touching in pairs and chains or
// partly hidden, become one fitted ellipse each; the ellipse steps' own
// limits; the page stays as it was.

#include "analysis/ellipserules.h"
#include "analysis/objellipse.h"
#include "analysis/objsegments.h"
#include "analysis/segobj.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <vector>

using enginetest::CEngineScene;

namespace {

constexpr int kRadius = 20;

void SetModel2(CEngineScene& scene)
{
    CFormThres& form = scene.Form();
    form.m_Model = CFormThres::modelEllipse;
    form.m_Type |= featureArea;
    form.m_ObjectFilter.m_Min.m_dwFeatureFlags |= featureArea;
    form.m_ObjectFilter.m_Max.m_dwFeatureFlags |= featureArea;
    // Ellipses of the inner circles (radius 4) are too small to count.
    form.m_ObjectFilter.m_Min.m_fArea = 400.0f;
    form.m_ObjectFilter.m_Max.m_fArea = 100000.0f;
    // Arcs of one disc have their centres close together, those of two
    // touching discs not.
    scene.engine.GetSettings().m_ObjectFilter.m_Distance = 12;
    scene.engine.GetSettings().m_ObjectFilter.m_ContourFeatureThresLow = 30.0f;
}

std::vector<CEllipsenObj*> Ellipses(const CResultObjectList& results)
{
    std::vector<CEllipsenObj*> ellipses;
    for (int i = 0; i < results.GetObjectCount(); ++i)
        if (auto* e = dynamic_cast<CEllipsenObj*>(results.GetObjectAt(i)))
            ellipses.push_back(e);
    return ellipses;
}

const std::vector<cv::Point> kDiscs{
    // alone
    {40, 40},
    {40, 140},
    // a pair
    {120, 40},
    {152, 40},
    // a chain of three
    {220, 140},
    {252, 140},
    {284, 140},
};

// Every disc of kDiscs on a page set up for Model 2.
struct sDiscScene
{
    sDiscScene() : scene(340, 200), aoi(scene.WholePage())
    {
        for (const cv::Point& c : kDiscs)
            scene.Draw({c, kRadius});
        SetModel2(scene);
    }
    CEngineScene scene;
    CAOI2 aoi;
};

} // namespace

TEST(EllipseModel, EveryDiscBecomesOneEllipse)
{
    sDiscScene s;
    const std::vector<BYTE> before = tracetest::PixelBytes(s.scene.page);
    s.scene.Run(s.aoi);

    const std::vector<CEllipsenObj*> ellipses = Ellipses(s.scene.results);
    EXPECT_EQ(ellipses.size(), kDiscs.size());
    EXPECT_EQ(s.scene.results.GetObjectCount(), static_cast<int>(ellipses.size()));
    for (const cv::Point& c : kDiscs) {
        int found = 0;
        for (const CEllipsenObj* e : ellipses) {
            const point* centre = e->GetEllipse().GetCenter();
            if (std::hypot(centre->getx() - c.x, centre->gety() - c.y) > 2.0)
                continue;
            ++found;
            EXPECT_NEAR(e->m_dAxis1, kRadius, kRadius * 0.1);
            EXPECT_NEAR(e->m_dAxis2, kRadius, kRadius * 0.1);
        }
        EXPECT_EQ(found, 1) << "disc at " << c.x << "," << c.y;
    }
    EXPECT_FALSE(s.scene.HasDiagnostic("Ellipse objects from contour segments"));
    // The painted ellipses are gone from the page.
    EXPECT_EQ(tracetest::PixelBytes(s.scene.page), before);
}

TEST(EllipseModel, PageStaysAsItWasWhenTheDocumentThrows)
{
    sDiscScene s;
    const std::vector<BYTE> before = tracetest::PixelBytes(s.scene.page);
    enginetest::CThrowingDocument document;
    EXPECT_THROW(s.scene.engine.Analyse(&s.scene.page, &s.aoi, &document, 0), std::runtime_error);
    EXPECT_EQ(tracetest::PixelBytes(s.scene.page), before);

    // An area smaller than the page: nothing is painted beyond it either.
    CAOI2 inner(CRect(10, 5, 330, 195));
    s.scene.engine.Analyse(&s.scene.page, &inner, &s.scene.results, 0);
    EXPECT_EQ(static_cast<int>(Ellipses(s.scene.results).size()), static_cast<int>(kDiscs.size()));
    EXPECT_EQ(tracetest::PixelBytes(s.scene.page), before);
}

namespace {

// A segment of points on the circle around centre, evenly spread.
std::unique_ptr<CKonturSegment> CircleSegment(cv::Point centre, int points, CPoint ref = CPoint(0, 0))
{
    auto segment = std::make_unique<CKonturSegment>();
    for (int k = 0; k < points; ++k) {
        const double a = 2.0 * std::numbers::pi * k / points;
        segment->m_Contour.Add(POINT{static_cast<int>(std::lround(centre.x + kRadius * std::cos(a))),
                                     static_cast<int>(std::lround(centre.y + kRadius * std::sin(a)))});
    }
    segment->m_nLength = points;
    segment->m_ptRef = ref;
    return segment;
}

struct sEllipseStepScene
{
    sEllipseStepScene() : scene(200, 100), aoi(scene.WholePage())
    {
        scene.Draw({{50, 50}, kRadius});
        scene.Draw({{150, 50}, kRadius});
    }
    CSegObj Segmentation() { return CSegObj(&scene.page, &aoi, &scene.engine.GetSettings().m_SegThres); }

    CEngineScene scene;
    CAOI2 aoi;
};

} // namespace

TEST(EllipseModel, SegmentEllipseCases)
{
    struct sSegment
    {
        cv::Point disc;
        int points;
    };
    struct sCase
    {
        const char* name;
        std::vector<sSegment> segments;
        int ellipses;
        int left;
        int firstX; // centre of the first ellipse
    };
    const sCase cases[] = {
        {"length 9 starts nothing", {{{50, 50}, 9}}, 0, 1, 0},
        {"length 10 starts an ellipse", {{{50, 50}, 10}}, 1, 0, 50},
        {"equal lengths: the earlier first", {{{150, 50}, 12}, {{50, 50}, 12}}, 2, 0, 150},
        {"the longer first", {{{150, 50}, 12}, {{50, 50}, 14}}, 2, 0, 50},
        {"an empty list", {}, 0, 0, 0},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        sEllipseStepScene s;
        std::vector<std::unique_ptr<CKonturSegment>> segments;
        for (const sSegment& segment : c.segments)
            segments.push_back(CircleSegment(segment.disc, segment.points));
        CSegObj segmentation = s.Segmentation();
        s.scene.engine.FitSegmentEllipses(segmentation, &s.scene.results, segments);
        const std::vector<CEllipsenObj*> ellipses = Ellipses(s.scene.results);
        ASSERT_EQ(static_cast<int>(ellipses.size()), c.ellipses);
        EXPECT_EQ(static_cast<int>(segments.size()), c.left);
        if (c.ellipses > 0) {
            EXPECT_NEAR(ellipses[0]->GetEllipse().GetCenter()->getx(), c.firstX, 2.0);
        }
        // Without a document nothing happens at all.
        std::vector<std::unique_ptr<CKonturSegment>> again;
        for (const sSegment& segment : c.segments)
            again.push_back(CircleSegment(segment.disc, segment.points));
        s.scene.engine.FitSegmentEllipses(segmentation, nullptr, again);
        EXPECT_EQ(again.size(), c.segments.size());
    }
}

TEST(EllipseModel, SegmentEllipseWithHalfItsPixelsObjectColourIsKept)
{
    for (const bool half : {true, false}) {
        SCOPED_TRACE(half ? "exactly one half" : "one pixel less");
        sEllipseStepScene s;
        // The ellipse the step will fit and the pixels it will look at; a
        // segment whose ellipse visits an even number of pixels.
        std::vector<POINT> visited;
        int points = 12;
        for (; points < 40; ++points) {
            CEllipsenObj probe;
            probe.AddPiece(CircleSegment({50, 50}, points));
            ASSERT_EQ(probe.FitEllipse(), 1);
            visited.clear();
            CEllipseContext look{&s.scene.page, &s.scene.engine.GetSettings().m_SegThres, nullptr,
                                 [&](int x, int y) {
                                     visited.push_back(POINT{x, y});
                                     return false;
                                 }};
            probe.MeasureColor(look, 2);
            if (visited.size() % 2 == 0)
                break;
        }
        ASSERT_GT(visited.size(), 20u);
        ASSERT_EQ(visited.size() % 2, 0u);
        // Every other visited pixel light: exactly half stay object colour.
        for (size_t i = 0; i < visited.size(); ++i)
            if (i % 2 == 1 || (!half && i == 0))
                s.scene.page.SetPixel(visited[i].x, visited[i].y, RGB(200, 200, 200));
        std::vector<std::unique_ptr<CKonturSegment>> segments;
        segments.push_back(CircleSegment({50, 50}, points));
        CSegObj segmentation = s.Segmentation();
        s.scene.engine.FitSegmentEllipses(segmentation, &s.scene.results, segments);
        EXPECT_EQ(Ellipses(s.scene.results).size(), half ? 1u : 0u);
        EXPECT_EQ(segments.size(), half ? 0u : 1u);
    }
}

TEST(EllipseModel, ColourShareLimits)
{
    struct sCase
    {
        double share;
        bool segment;
        bool circle;
    };
    const sCase cases[] = {{0.5, true, true}, {0.49, false, true}, {0.3, false, true}, {0.29, false, false}};
    for (const sCase& c : cases) {
        EXPECT_EQ(kestrun::KeepsSegmentEllipse(c.share), c.segment) << c.share;
        EXPECT_EQ(kestrun::KeepsCircleEllipse(c.share), c.circle) << c.share;
    }
    // A circle must lie on object colour with more than half its pixels.
    EXPECT_FALSE(kestrun::IsCircleOnObject(50, 100));
    EXPECT_TRUE(kestrun::IsCircleOnObject(51, 100));
    EXPECT_FALSE(kestrun::IsCircleOnObject(0, 0));
    EXPECT_FALSE(kestrun::StartsEllipse(9));
    EXPECT_TRUE(kestrun::StartsEllipse(10));
}

TEST(EllipseModel, InnerCirclesGrowOnlyFromAReferencePoint)
{
    sEllipseStepScene s;
    // Small ellipses are kept here.
    s.scene.Form().m_Type &= ~static_cast<UINT>(featureArea);
    std::vector<std::unique_ptr<CKonturSegment>> segments;
    segments.push_back(CircleSegment({50, 50}, 12));                   // no reference point
    segments.push_back(CircleSegment({150, 50}, 12, CPoint(150, 50))); // inside the second disc
    CSegObj segmentation = s.Segmentation();
    s.scene.engine.FitCircleEllipses(segmentation, &s.scene.results, segments);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_FALSE(segments[0]->HasInnerCircle());
    EXPECT_EQ(segments[0]->m_ptInnerCenter, CPoint(0, 0));
    EXPECT_TRUE(segments[1]->HasInnerCircle());
    const std::vector<CEllipsenObj*> ellipses = Ellipses(s.scene.results);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_NEAR(ellipses[0]->GetEllipse().GetCenter()->getx(), 150, kRadius);
    // Nothing without a document.
    CResultObjectList none;
    s.scene.engine.FitCircleEllipses(segmentation, nullptr, segments);
    EXPECT_EQ(segments.size(), 2u);
}

TEST(EllipseModel, InnerCircleAtThePageCornerReadsNothingOutside)
{
    // A dark page corner: the circle grows against the page's edges and
    // reads no pixel beyond them.
    CEngineScene scene(40, 40);
    cv::rectangle(scene.page.GetMat(), cv::Rect(0, 0, 12, 12), enginetest::ToBGR(enginetest::kDark), cv::FILLED);
    CKonturSegment segment;
    segment.m_ptRef = CPoint(2, 2);
    segment.m_dDirectionAngle = 3.0 * std::numbers::pi / 4.0; // up and left, off the page
    segment.FindInnerCircle(scene.page, scene.engine.GetSettings().m_SegThres, CRect(-20, -20, 60, 60));
    EXPECT_TRUE(segment.HasInnerCircle());
    EXPECT_GE(segment.m_ptInnerCenter.x, -4);
}
