// The tail search in a count: objects with a thin tail are flagged and
// the tail point marked, dark objects and bright ones; the search's own
// limits.

#include "analysis/tailsearch.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <cmath>

using enginetest::CEngineScene;

namespace {

struct sTailScene
{
    explicit sTailScene(bool bright) : scene(320, 120)
    {
        const BYTE background = bright ? 30 : enginetest::kBackground;
        scene.page.GetMat().setTo(cv::Scalar::all(background));
        if (bright) {
            object = RGB(220, 220, 220);
            scene.engine.GetSettings().m_SegThres = CSegThres(RGB(20, 20, 20), RGB(160, 160, 160), CSegThres::modeBright);
        }
        scene.Form().m_Type |= featureTailOrMovement;
        scene.Form().m_TailColor = bright ? 0 : 1;
        scene.Form().m_FlagellumDetection = 5;
    }

    // A disc of radius 15; with a tail, a 2-pixel line leaving it to the
    // right far enough to cross the search ring.
    void Disc(cv::Point centre, bool tail)
    {
        scene.Draw({centre, 15, object});
        if (tail)
            cv::rectangle(scene.page.GetMat(), cv::Rect(centre.x + 14, centre.y, 40, 2), enginetest::ToBGR(object),
                          cv::FILLED);
    }

    CEngineScene scene;
    COLORREF object = enginetest::kDark;
};

} // namespace

TEST(TailSearch, ObjectsWithATailAreFlagged)
{
    for (const bool bright : {false, true}) {
        SCOPED_TRACE(bright ? "bright objects, TailColor 0" : "dark objects, TailColor 1");
        sTailScene s(bright);
        s.Disc({50, 60}, true);
        s.Disc({150, 60}, false);
        s.Disc({240, 60}, true);
        CAOI2 aoi = s.scene.WholePage();
        s.scene.Run(aoi);
        ASSERT_EQ(s.scene.Records().size(), 3u);
        for (const CObjData* record : s.scene.Records()) {
            const bool tail = record->m_ptCentroid.x < 100 || record->m_ptCentroid.x > 200;
            EXPECT_EQ(record->m_bTail, tail ? 1 : 0) << record->m_ptCentroid.x;
            EXPECT_NE(record->m_Type & CObjData::colTail, 0u);
            const CArray<POINT, POINT>& points = record->GetHolePoints();
            ASSERT_EQ(points.GetSize(), tail ? 1 : 0);
            if (tail) {
                // On the tail, to the right of the body.
                EXPECT_NEAR(points[0].y, 60, 3);
                EXPECT_GT(points[0].x, record->m_ptCentroid.x + 15);
            }
        }
        EXPECT_FALSE(s.scene.HasDiagnostic("Tail search"));
    }
}

TEST(TailSearch, Limits)
{
    struct sCase
    {
        int detection;
        int tailColor;
        double limit;
    };
    const sCase limits[] = {{5, 0, 20.0}, {5, 1, 12.5}, {0, 0, 5.0}, {1, 1, 5.0}, {-3, 0, 5.0}};
    for (const sCase& c : limits)
        EXPECT_DOUBLE_EQ(kestrun::TailPeakLimit(c.detection, c.tailColor), c.limit) << c.detection;
    struct sRing
    {
        double inner;
        int tailColor;
        int radius;
    };
    const sRing rings[] = {{3.0, 0, 12}, {4.0, 0, 12}, {3.0, 1, 10}, {10.5, 0, 24}, {10.5, 1, 22}};
    for (const sRing& r : rings)
        EXPECT_EQ(kestrun::TailRingRadius(r.inner, r.tailColor), r.radius) << r.inner;
}

TEST(TailSearch, ContourOfFourPointsHasNoTail)
{
    CEngineScene scene(40, 40);
    CRPolygon contour;
    for (const POINT p : {POINT{10, 10}, POINT{11, 10}, POINT{11, 11}, POINT{10, 11}})
        contour.Add(p);
    CAOI2 aoi = scene.WholePage();
    CArray<POINT, POINT> points;
    const std::optional<POINT> tail = scene.engine.FindTail(contour, &scene.page, &aoi, &points);
    ASSERT_TRUE(tail.has_value());
    EXPECT_EQ(tail->x, 0);
    EXPECT_EQ(tail->y, 0);
    EXPECT_EQ(points.GetSize(), 0);
}

TEST(TailSearch, RingBeyondThePageIsNotRead)
{
    // A body in the page's corner and an area reaching far beyond the
    // page: most of the ring lies outside and counts as background.
    CEngineScene scene(60, 60);
    cv::rectangle(scene.page.GetMat(), cv::Rect(0, 0, 16, 16), enginetest::ToBGR(enginetest::kDark), cv::FILLED);
    CRPolygon contour;
    for (int i = 0; i < 15; ++i)
        contour.Add(POINT{i, 0});
    for (int i = 0; i < 15; ++i)
        contour.Add(POINT{15, i});
    for (int i = 15; i > 0; --i)
        contour.Add(POINT{i, 15});
    for (int i = 15; i > 0; --i)
        contour.Add(POINT{0, i});
    contour.m_bClosed = TRUE;
    CAOI2 aoi(CRect(-60, -60, 120, 120));
    scene.Form().m_TailColor = 1;
    const std::optional<POINT> tail = scene.engine.FindTail(contour, &scene.page, &aoi);
    ASSERT_TRUE(tail.has_value());
    EXPECT_EQ(tail->x, 0);
    EXPECT_EQ(tail->y, 0);
}
