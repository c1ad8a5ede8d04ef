// The engine's measures over the active area besides the main run: the
// centre offset of the objects, the most central object and the
// region-based object search.

#include "analysis/analysisprogress.h"

#include "analysis/tests/enginescene.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace enginetest;

namespace {

class CProgressLog : public IAnalysisProgress
{
public:
    void BeginProgress(int lower, int upper) override { log.push_back(lower * 1000 + upper); }
    void SetProgressPos(int position) override { last = position; }
    void EndProgress() override { log.push_back(-1); }

    std::vector<int> log;
    int last = -1;
};

// A scene whose engine knows the page size, so that its whole-image area
// stands in for a missing active area.
class EngineMeasures : public ::testing::Test
{
protected:
    EngineMeasures() : scene(300, 200) { scene.engine.m_AOIDoc.SetImageSize(300, 200, true); }

    CEngineScene scene;
};

TEST_F(EngineMeasures, CentreOffsetWeighsTheObjectsByArea)
{
    // The area less one pixel on every side is 298 x 198 from (1, 1).
    scene.Draw({{150, 100}, 12});
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    float offset = -1.0f;
    scene.engine.GetCentreOffset(&scene.page, offset);
    EXPECT_NEAR(offset, 0.0f, 0.01f);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);

    // Two discs 80 pixels right of the centre, one twice as far down as
    // the other is up: the offsets average by area.
    CEngineScene shifted(300, 200);
    shifted.engine.m_AOIDoc.SetImageSize(300, 200, true);
    shifted.Draw({{230, 70}, 12});
    shifted.Draw({{230, 160}, 12});
    shifted.engine.GetCentreOffset(&shifted.page, offset);
    const double mx = 80.0 / 298.0;
    const double my = 45.0 / 198.0;
    EXPECT_NEAR(offset, std::sqrt(mx * mx + my * my) / std::sqrt(2.0), 0.01);
}

TEST_F(EngineMeasures, CentreOffsetOfATooSmallAreaIsAnError)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    std::unique_ptr<CAOI> tiny = std::make_unique<CAOI2>(CRect(10, 10, 12, 12));
    ASSERT_EQ(scene.engine.m_AOIDoc.AddAOI(tiny), 1);
    float offset = -1.0f;
    scene.engine.GetCentreOffset(&scene.page, offset);
    EXPECT_EQ(offset, -1.0f);
    EXPECT_EQ(boxes->Texts(), std::vector<CString>{"AOI Error"});
}

TEST_F(EngineMeasures, CentralObjectPrefersNearAndLargeObjects)
{
    // Found in this order: a large disc far out, a smaller one near the
    // centre (more than half the area), a small one nearer still (too small).
    scene.Draw({{40, 30}, 20});
    scene.Draw({{165, 110}, 15});
    scene.Draw({{150, 70}, 4});
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CRPolygon polygon;
    POINT point{-1, -1};
    const POINT found = scene.engine.FindCentralObject(point, &scene.page, nullptr, polygon);
    EXPECT_NEAR(found.x, 165, 1);
    EXPECT_NEAR(found.y, 110, 1);
    EXPECT_EQ(found.x, point.x);
    EXPECT_EQ(found.y, point.y);
    EXPECT_TRUE(polygon.m_bClosed);
    EXPECT_NEAR(polygon.GetBoundingRect().Width(), 30, 1);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);

    // No object: point and polygon stay.
    CEngineScene empty(50, 50);
    CAOI2 whole = empty.WholePage();
    POINT unchanged{7, 8};
    empty.engine.FindCentralObject(unchanged, &empty.page, &whole, polygon);
    EXPECT_EQ(unchanged.x, 7);
    EXPECT_EQ(unchanged.y, 8);
    EXPECT_NEAR(polygon.GetBoundingRect().Width(), 30, 1);
}

TEST_F(EngineMeasures, RegionSearchRecordsAreasColoursAndBorders)
{
    const int large = scene.Draw({{100, 100}, 30, RGB(30, 40, 50)});
    scene.Draw({{250, 60}, 5, RGB(20, 10, 70)});
    const int edge = scene.Draw({{0, 150}, 20, RGB(70, 70, 70)});
    scene.Form().m_ObjectFilter.m_Min.m_dwFeatureFlags |= featureArea;
    scene.Form().m_ObjectFilter.m_Min.m_fArea = 200.0f;
    CProgressLog progress;
    scene.engine.SetProgressDisplay(&progress);

    scene.engine.SegmentWithProgress(&scene.page, &scene.results);

    EXPECT_EQ(progress.log, (std::vector<int>{100, -1}));
    ASSERT_EQ(scene.results.GetObjectCount(), 2); // the small disc fails the area limit
    const CObjData* disc = scene.RecordAt({100, 100});
    ASSERT_NE(disc, nullptr);
    EXPECT_EQ(disc->m_ID, 4);
    EXPECT_EQ(disc->m_lArea, large);
    EXPECT_EQ(disc->m_MeanColor, RGB(30, 40, 50));
    EXPECT_EQ(disc->m_Rect, CRect(70, 70, 130, 130));
    EXPECT_EQ(disc->m_bHitBoundary, 0);
    EXPECT_EQ(disc->m_Type & 0x80707u, 0x80707u);
    const CObjData* cut = scene.RecordAt({7, 150});
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->m_lArea, edge);
    EXPECT_EQ(cut->m_bHitBoundary, 1);

    // Every region found stays painted, the rejected one too.
    EXPECT_EQ(scene.page.GetPixel(100, 100), 0xFFC8FFu);
    EXPECT_EQ(scene.page.GetPixel(250, 60), 0xFFC8FFu);
    EXPECT_EQ(scene.page.GetPixel(200, 150), RGB(kBackground, kBackground, kBackground));
}

} // namespace
