// The engine's object positions, and the two single-object measures of the
// measurement series: the largest object and the longest object's
// curvature record.

#include "analysis/objsegments.h"
#include "analysis/skeldata.h"

#include "enginescene.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using enginetest::CEngineScene;

TEST(EnginePositions, OuterContoursOnly)
{
    CEngineScene scene(300, 200);
    const int ring = scene.Draw({{60, 60}, 30, enginetest::kDark, 12});
    scene.Draw({{200, 100}, 20});
    // A one-pixel line encloses nothing; the disc at the edge touches it.
    cv::line(scene.page.GetMat(), {20, 170}, {120, 170}, enginetest::ToBGR(enginetest::kDark), 1);
    scene.Draw({{295, 20}, 10});
    scene.engine.m_arrPrevPositions = {sObjectPosition{1, 1}};
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);

    // No area and none active: the whole page.
    scene.engine.CollectObjectPositions(&scene.page, nullptr);
    const std::vector<sObjectPosition>& positions = scene.engine.m_arrPrevPositions;
    ASSERT_EQ(positions.size(), 3u);
    const auto at = [&](int x, int y) -> const sObjectPosition* {
        for (const sObjectPosition& p : positions)
            if (std::abs(p.x - x) <= 1 && std::abs(p.y - y) <= 1)
                return &p;
        return nullptr;
    };
    const sObjectPosition* ringPosition = at(60, 60);
    ASSERT_NE(ringPosition, nullptr);
    // The ring's area is that of its outline, hole and all.
    EXPECT_GT(ringPosition->area, ring);
    EXPECT_DOUBLE_EQ(ringPosition->calibratedArea, ringPosition->area);
    EXPECT_GT(ringPosition->perimeter, 180);
    EXPECT_EQ(ringPosition->border, 0);
    ASSERT_NE(at(200, 100), nullptr);
    EXPECT_EQ(at(200, 100)->border, 0);
    const sObjectPosition* edge = positions.front().x > 280 ? &positions.front() : nullptr;
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->border, 1);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);

    // Emptied also when nothing is found.
    CEngineScene empty(50, 50);
    empty.engine.m_arrPrevPositions = {sObjectPosition{1, 1}};
    empty.engine.CollectObjectPositions(&empty.page, nullptr);
    EXPECT_TRUE(empty.engine.m_arrPrevPositions.empty());
}

TEST(EnginePositions, CalibrationOfTheCurrentProfileEveryCall)
{
    CEngineScene scene(100, 100);
    scene.Draw({{50, 50}, 20});
    CAOI2 aoi = scene.WholePage();
    scene.engine.CollectObjectPositions(&scene.page, &aoi);
    ASSERT_EQ(scene.engine.m_arrPrevPositions.size(), 1u);
    const double area = scene.engine.m_arrPrevPositions[0].calibratedArea;
    // A profile switch: the store is large enough already.
    scene.engine.GetSettings().m_Calibration.m_dFactor = 0.5;
    scene.engine.CollectObjectPositions(&scene.page, &aoi);
    ASSERT_EQ(scene.engine.m_arrPrevPositions.size(), 1u);
    EXPECT_DOUBLE_EQ(scene.engine.m_arrPrevPositions[0].calibratedArea, area * 0.25);
}

TEST(EnginePositions, PointStoreBySize)
{
    struct sCase
    {
        int width;
        int height;
        int capacity;
    };
    const sCase cases[] = {{2000, 1500, 30000}, {2001, 1500, 120000}};
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.width);
        CEngineScene scene(c.width, c.height, 8);
        scene.engine.CollectObjectPositions(&scene.page, nullptr);
        EXPECT_EQ(scene.engine.m_Kontur.GetCapacity(), c.capacity);
    }
}

TEST(EnginePositions, AnInvalidPageIsAnInvalidArgument)
{
    CBV engine;
    CDIB empty;
    EXPECT_THROW(engine.CollectObjectPositions(nullptr, nullptr), CInvalidArgException);
    EXPECT_THROW(engine.CollectObjectPositions(&empty, nullptr), CInvalidArgException);
}

class EngineObjectMeasures : public ::testing::Test
{
protected:
    EngineObjectMeasures() : scene(300, 200) { scene.engine.m_AOIDoc.SetImageSize(300, 200, true); }

    CEngineScene scene;
};

TEST_F(EngineObjectMeasures, LargestObjectIsMeasuredAndDrawn)
{
    scene.Draw({{50, 100}, 15});
    scene.Draw({{150, 100}, 30});
    scene.Draw({{250, 100}, 20});
    CAOI2 aoi = scene.WholePage();
    CEngineScene reference(300, 200);
    reference.Draw({{150, 100}, 30});
    reference.Run(aoi);
    ASSERT_EQ(reference.results.GetObjectCount(), 1);

    double area = -1.0;
    EXPECT_EQ(scene.engine.MeasureLargestObject(&scene.page, area), 1);
    EXPECT_DOUBLE_EQ(area, reference.Records()[0]->GetArea());
    // The outline of the largest disc, and nothing else, in value 255.
    cv::Mat drawn;
    cv::inRange(scene.page.GetMat(), cv::Scalar(0, 0, 255), cv::Scalar(0, 0, 255), drawn);
    std::vector<cv::Point> points;
    cv::findNonZero(drawn, points);
    ASSERT_GT(points.size(), 150u);
    for (const cv::Point& p : points)
        EXPECT_NEAR(std::hypot(p.x - 150, p.y - 100), 30.0, 1.5);

    CEngineScene none(50, 50);
    none.engine.m_AOIDoc.SetImageSize(50, 50, true);
    EXPECT_EQ(none.engine.MeasureLargestObject(&none.page, area), 1);
    EXPECT_EQ(area, 0.0);
}

TEST_F(EngineObjectMeasures, CurvatureOfTheLongestObject)
{
    const cv::Scalar dark = enginetest::ToBGR(enginetest::kDark);
    cv::line(scene.page.GetMat(), {20, 50}, {80, 50}, dark, 3);
    cv::line(scene.page.GetMat(), {20, 120}, {220, 120}, dark, 3);
    cv::line(scene.page.GetMat(), {100, 170}, {200, 170}, dark, 3);
    struct sCase
    {
        UINT model;
        UINT type;
        int ends;
    };
    // Plain objects measure their length with the width; skeletons always.
    const sCase cases[] = {{CFormThres::modelContour, featureLength | featureWidth, 0},
                           {CFormThres::modelSkeleton, 0, 2}};
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.model);
        scene.Form().m_Model = c.model;
        scene.Form().m_Type = c.type;
        std::unique_ptr<CCurvatureObj> curvature = scene.engine.CalcObjectCurvature(&scene.page);
        ASSERT_NE(curvature, nullptr);
        EXPECT_EQ(curvature->m_ID, CCurvatureObj::kind);
        EXPECT_NEAR(curvature->GetLength(), 200.0, 6.0);
        EXPECT_EQ(curvature->m_arrEnds.GetSize(), c.ends);
        EXPECT_GT(curvature->m_Chain.GetSize(), 300);
        EXPECT_NEAR(curvature->m_Chain.m_nStartY, 120, 2);
    }
}

TEST(EngineCurvature, OtherKindsAndEmptyTables)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CResultObjectList table;
    EXPECT_EQ(CBV::CurvatureOfLongestObject(table), nullptr);
    EXPECT_TRUE(boxes->Texts().empty());

    table.AddObject(std::make_unique<CSkelData>());
    table.AddObject(std::make_unique<CKonturSegment>());
    EXPECT_EQ(CBV::CurvatureOfLongestObject(table), nullptr);
    ASSERT_EQ(boxes->Texts().size(), 1u);
    EXPECT_EQ(boxes->Texts()[0], CString("Cannot calculate curvature of an object of type:12"));
}
