// The main run over the sub-areas of an area: objects cut by the borders
// between sub-areas come back whole, and the form limits judge them whole;
// what no cell could do is told for all cells.

#include "analysis/aoiraster.h"
#include "platform/core/exceptions.h"

#include "analysis/tests/enginescene.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// Two sub-areas side by side: x 10..299 and 301..590, the grid line at 300.
class SubAreaRun : public ::testing::Test
{
protected:
    SubAreaRun() : scene(600, 300), area(CRect(10, 10, 590, 290)) { area.CreateRaster(2, 1, 0); }

    // The enclosed area of a traced disc: the pixel count less half the
    // contour and one.
    static double TracedArea(int pixels, const CObjData& record)
    {
        return pixels - static_cast<double>(record.m_Chain.GetSize()) / 2.0 - 1.0;
    }

    CEngineScene scene;
    CAOI2 area;
};

TEST_F(SubAreaRun, ADiscOverTheGridLineIsOneObject)
{
    const int across = scene.Draw({{300, 150}, 60, RGB(60, 20, 20)});
    const int left = scene.Draw({{120, 100}, 40, RGB(20, 20, 60)});
    const int right = scene.Draw({{470, 200}, 50, RGB(20, 60, 20)});
    scene.Form().m_Type |= featureColors;
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);

    EXPECT_EQ(scene.engine.AnalyseSubAreas(&scene.page, &area, &scene.results), 3);

    ASSERT_EQ(scene.results.GetObjectCount(), 3);
    const CObjData* joined = scene.RecordAt({300, 150});
    ASSERT_NE(joined, nullptr);
    EXPECT_NEAR(joined->GetArea(), TracedArea(across, *joined), 0.005 * across);
    EXPECT_EQ(joined->m_MeanColor, RGB(60, 20, 20));
    EXPECT_EQ(joined->m_Rect.left, 240);
    EXPECT_EQ(joined->m_Rect.right, 360);
    EXPECT_EQ(joined->m_bHitBoundary, 0);
    for (const auto& [centre, pixels] : {std::pair{cv::Point(120, 100), left}, std::pair{cv::Point(470, 200), right}}) {
        const CObjData* record = scene.RecordAt(centre);
        ASSERT_NE(record, nullptr);
        EXPECT_NEAR(record->GetArea(), TracedArea(pixels, *record), 0.5);
    }
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
}

TEST_F(SubAreaRun, LimitsJudgeTheJoinedObjectAndRemoveWhatFails)
{
    scene.Draw({{300, 150}, 60});  // halves of about 5600 pixels, 11300 whole
    scene.Draw({{120, 100}, 40});  // about 5000
    scene.Draw({{470, 200}, 55});  // about 9500
    CFeature& minimum = scene.Form().m_ObjectFilter.m_Min;
    minimum.m_dwFeatureFlags |= featureArea;
    minimum.m_fArea = 8000.0f;
    ASSERT_EQ(scene.Form().m_bKeepRejected, 1);

    EXPECT_EQ(scene.engine.AnalyseSubAreas(&scene.page, &area, &scene.results), 2);
    ASSERT_EQ(scene.results.GetObjectCount(), 2);
    EXPECT_NE(scene.RecordAt({300, 150}), nullptr);
    EXPECT_NE(scene.RecordAt({470, 200}), nullptr);
    for (const CObjData* record : scene.Records())
        EXPECT_EQ(record->m_Link, 0u);
    EXPECT_EQ(scene.Form().m_bKeepRejected, 1);
}

TEST_F(SubAreaRun, EveryCellIsCutAndMeasuredWithoutANote)
{
    scene.Draw({{80, 80}, 30});
    scene.Draw({{200, 200}, 30});
    scene.Draw({{450, 150}, 30});
    scene.engine.GetSettings().m_ObjectFilter.m_ConCutType = CObjectFilter::conCutWatershed;
    scene.Form().m_Type |= featureLength;

    EXPECT_EQ(scene.engine.AnalyseSubAreas(&scene.page, &area, &scene.results), 3);
    ASSERT_EQ(scene.results.GetObjectCount(), 3);
    EXPECT_EQ(scene.engine.GetRunDiagnostics().GetSize(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dynamic_cast<const CObjData&>(*scene.results.GetObjectAt(i)).GetResultCount(), 1) << i;
}

TEST_F(SubAreaRun, AnAreaWithoutSubAreasIsRefused)
{
    CAOI2 plain(CRect(10, 10, 590, 290));
    EXPECT_THROW(scene.engine.AnalyseSubAreas(&scene.page, &plain, &scene.results), CInvalidArgException);
}

} // namespace
