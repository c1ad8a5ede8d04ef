// The contour features of the main run: holes go to their own object,
// homogeneity from the green histogram, inner radius, nuclei (traced and
// marked, then given back), and nothing at all without their bits.

#include "analysis/holeindex.h"
#include "analysis/objdataii.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

using enginetest::CEngineScene;
using enginetest::sDisc;

TEST(EngineContourFeatures, NoFeatureBitsChangeNothing)
{
    CEngineScene scene(100, 100);
    scene.Draw({{50, 50}, 20});
    CAOI2 aoi = scene.WholePage();

    scene.Run(aoi);
    const CObjData& record = *scene.Records().front();
    EXPECT_EQ(record.m_Type, 0x8000Fu);
    EXPECT_EQ(record.m_MeanColor, 0u);
    EXPECT_EQ(record.m_dHomogeneity, 1.0);
    EXPECT_EQ(record.m_dInnerRadius, 0.0);
}

TEST(EngineContourFeatures, HolesGoToTheObjectAroundThem)
{
    CEngineScene scene(300, 150);
    scene.Draw({{70, 75}, 60, enginetest::kDark, 12});
    scene.Draw({{220, 75}, 60, enginetest::kDark, 30});
    scene.Form().m_Type |= featureHoleArea;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 2);
    const CObjData* small = scene.RecordAt({70, 75});
    const CObjData* large = scene.RecordAt({220, 75});
    ASSERT_TRUE(small && large);
    ASSERT_EQ(small->GetHoleCount(), 1);
    ASSERT_EQ(large->GetHoleCount(), 1);
    // Holes of 12 and 30 pixels radius: about 450 and 2830 pixels.
    EXPECT_NEAR(small->m_lHoleArea, 452, 452 * 0.15);
    EXPECT_NEAR(large->m_lHoleArea, 2827, 2827 * 0.05);
    EXPECT_LE(std::abs(small->GetHole(0).m_nStartX - 70), 13);
    EXPECT_LE(std::abs(large->GetHole(0).m_nStartX - 220), 31);
}

TEST(EngineContourFeatures, NestedHolesGoToTheInnermostObject)
{
    // A ring with a smaller ring in its hole: the inner ring's hole lies
    // inside both outlines but is the inner ring's alone.
    CEngineScene scene(200, 200);
    scene.Draw({{100, 100}, 70, enginetest::kDark, 40});
    scene.Draw({{100, 100}, 25, enginetest::kDark, 10});
    scene.Form().m_Type |= featureHoleArea;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 2);
    const std::vector<CObjData*> records = scene.Records();
    ASSERT_EQ(records.size(), 2U);
    const auto [inner, outer] = std::minmax(records[0], records[1], [](const CObjData* a, const CObjData* b) {
        return a->m_lArea < b->m_lArea;
    });
    struct Expected
    {
        const CObjData* record;
        int holeRadius;
        double tolerance;
    };
    for (const Expected& e : {Expected{outer, 40, 0.05}, Expected{inner, 10, 0.15}}) {
        SCOPED_TRACE(e.holeRadius);
        ASSERT_EQ(e.record->GetHoleCount(), 1);
        const double hole = std::acos(-1.0) * e.holeRadius * e.holeRadius;
        EXPECT_NEAR(e.record->m_lHoleArea, hole, hole * e.tolerance);
        EXPECT_EQ(e.record->GetArea(), static_cast<double>(e.record->m_lArea - e.record->m_lHoleArea));
        const CChain8& chain = e.record->GetHole(0);
        EXPECT_NEAR(std::hypot(chain.m_nStartX - 100, chain.m_nStartY - 100), e.holeRadius, 2.0);
    }
}

TEST(EngineContourFeatures, ManyHoledObjectsEachGetTheirOwnHoles)
{
    // Rings 30 pixels apart with holes of 3 to 8 pixels radius, and below
    // them a bar with three holes at different heights.
    CEngineScene scene(420, 300);
    std::vector<sDisc> rings;
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 13; ++column)
            rings.push_back({{20 + column * 30, 20 + row * 30}, 12, enginetest::kDark, 3 + (row + column) % 6});
    for (const sDisc& ring : rings)
        scene.Draw(ring);
    cv::rectangle(scene.page.GetMat(), cv::Rect(20, 200, 380, 80), enginetest::ToBGR(enginetest::kDark), cv::FILLED);
    const cv::Scalar background = cv::Scalar::all(enginetest::kBackground);
    for (const cv::Point& hole : {cv::Point(80, 250), cv::Point(200, 225), cv::Point(320, 240)})
        cv::circle(scene.page.GetMat(), hole, 6, background, cv::FILLED, cv::LINE_8);
    scene.Form().m_Type |= featureHoleArea;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), static_cast<int>(rings.size()) + 1);
    for (const sDisc& ring : rings) {
        SCOPED_TRACE(testing::Message() << ring.centre.x << ", " << ring.centre.y);
        const CObjData* record = scene.RecordAt(ring.centre);
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(record->GetHoleCount(), 1);
        // The hole's outline runs through the ring pixels around it.
        const CChain8& hole = record->GetHole(0);
        const double distance = std::hypot(hole.m_nStartX - ring.centre.x, hole.m_nStartY - ring.centre.y);
        EXPECT_GE(distance, ring.holeRadius - 1);
        EXPECT_LE(distance, ring.holeRadius + 2);
    }
    const CObjData* bar = scene.RecordAt({209, 239});
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetHoleCount(), 3);
    // In the order the run found them: the highest first.
    EXPECT_NEAR(bar->GetHole(0).m_nStartX, 200, 6);
    EXPECT_NEAR(bar->GetHole(1).m_nStartX, 320, 6);
    EXPECT_NEAR(bar->GetHole(2).m_nStartX, 80, 6);
    EXPECT_EQ(scene.engine.m_arrHoleAreas.GetSize(), static_cast<INT_PTR>(rings.size()) + 3);
}

TEST(HoleIndex, FindsTheStartPointsInsideABoxInListOrder)
{
    // Start points; the list order is not the order of rows.
    const std::vector<std::pair<int, int>> starts = {{50, 20}, {10, 10}, {30, 10}, {30, 20}, {10, 40}, {50, 10}};
    std::vector<CChain8> holes(starts.size());
    for (size_t i = 0; i < starts.size(); ++i)
        holes[i].SetStartPoint(starts[i].first, starts[i].second);
    CHoleIndex index;
    index.Build(holes);
    EXPECT_EQ(index.GetCount(), starts.size());
    struct Case
    {
        int left, top, right, bottom;
        std::vector<int> found;
    };
    for (const Case& c : {Case{0, 0, 100, 100, {0, 1, 2, 3, 4, 5}}, Case{30, 10, 50, 20, {0, 2, 3, 5}},
                          Case{31, 11, 49, 19, {}}, Case{10, 40, 10, 40, {4}}, Case{-5, -50, 9, 39, {}},
                          Case{0, 41, 100, 500, {}}, Case{10, 10, 30, 10, {1, 2}}}) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.top << " - " << c.right << "," << c.bottom);
        EXPECT_EQ(index.Find(c.left, c.top, c.right, c.bottom), c.found);
    }
    // The smallest claim wins; a new build forgets the claims.
    index.Claim(2, 500);
    index.Claim(2, 80);
    index.Claim(2, 300);
    EXPECT_TRUE(index.IsOwner(2, 80));
    EXPECT_FALSE(index.IsOwner(2, 300));
    EXPECT_TRUE(index.IsOwner(3, 300));
    index.Build(holes);
    EXPECT_TRUE(index.IsOwner(2, 300));
    index.Build({});
    EXPECT_EQ(index.GetCount(), 0U);
    EXPECT_TRUE(index.Find(0, 0, 100, 100).empty());
}

TEST(EngineContourFeatures, HomogeneityOfAUniformObject)
{
    CEngineScene scene(100, 100);
    scene.Draw({{50, 50}, 25});
    scene.Form().m_Type |= featureHomogeneity;
    CAOI2 aoi = scene.WholePage();

    scene.Run(aoi);
    const CObjData& record = *scene.Records().front();
    EXPECT_EQ(record.m_dHomogeneity, 100.0);
    EXPECT_EQ(record.GetColorPositions().GetSize(), 0);
    // The homogeneity bit brings the mean colour with it, not its columns.
    EXPECT_EQ(record.m_MeanColor, enginetest::kDark);
    EXPECT_EQ(record.m_Type & (CObjData::colColors | CObjData::colHomogeneity | CObjData::colHoles),
              CObjData::colHomogeneity | CObjData::colHoles);
}

TEST(EngineContourFeatures, HomogeneityOfATwoLevelObject)
{
    // A 70 x 68 block whose green values form a V: 5 |v - 40| + 1 pixels of
    // each value 10 .. 70, the rest at the two ends. The smoothed histogram
    // has its one valley at 40, 4 deep.
    std::vector<int> greens;
    for (int v = 10; v <= 70; ++v)
        greens.insert(greens.end(), static_cast<size_t>(5 * std::abs(v - 40) + 1), v);
    const int below = static_cast<int>(std::count_if(greens.begin(), greens.end(), [](int v) { return v < 40; }));
    const int above = static_cast<int>(std::count_if(greens.begin(), greens.end(), [](int v) { return v > 40; }));
    const int extraLow = (70 * 68 - static_cast<int>(greens.size())) / 2;
    const int extraHigh = 70 * 68 - static_cast<int>(greens.size()) - extraLow;
    greens.insert(greens.end(), static_cast<size_t>(extraLow), 10);
    greens.insert(greens.end(), static_cast<size_t>(extraHigh), 70);

    CEngineScene scene(120, 110);
    for (int i = 0; i < 70 * 68; ++i)
        scene.page.SetPixel(20 + i % 70, 20 + i / 70, RGB(30, greens[static_cast<size_t>(i)], 30));
    scene.Form().m_Type |= featureHomogeneity;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 1);
    const CObjData& record = *scene.Records().front();
    EXPECT_NEAR(record.m_dHomogeneity, 100.0 * (below + extraLow) / (70.0 * 68.0), 1.0);
    // The valley is deep enough: the pixels above it are collected.
    EXPECT_EQ(record.GetColorPositions().GetSize(), above + extraHigh);
}

TEST(EngineContourFeatures, InnerRadius)
{
    CEngineScene scene(120, 100);
    scene.Draw({{50, 60}, 20});
    scene.Form().m_Type2 |= 0x1;
    CAOI2 aoi = scene.WholePage();

    scene.Run(aoi);
    const CObjData& record = *scene.Records().front();
    // The distance transform of the disc's pixels, with room around them.
    cv::Mat disc(100, 100, CV_8U, cv::Scalar(0));
    cv::circle(disc, {50, 50}, 20, cv::Scalar(255), cv::FILLED, cv::LINE_8);
    cv::Mat distances;
    cv::distanceTransform(disc, distances, cv::DIST_L2, 5);
    double largest = 0.0;
    cv::minMaxLoc(distances, nullptr, &largest);
    EXPECT_NEAR(record.m_dInnerRadius, largest, 1e-4);
    EXPECT_NEAR(record.m_ptLabel.x, 50, 1);
    EXPECT_NEAR(record.m_ptLabel.y, 60, 1);
}

TEST(EngineContourFeatures, NucleiAreTracedAndThePageGivenBack)
{
    // A cell with a hole and a nucleus in the hole. The nucleus search
    // traces everything inside the cell's outline with the run's
    // threshold: the cell itself and the nucleus.
    CEngineScene scene(200, 200);
    scene.Draw({{100, 100}, 60, RGB(20, 20, 20), 30});
    scene.Draw({{100, 100}, 8, RGB(70, 10, 40)});
    scene.Form().m_Type |= featureNuclei | featureColors;
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 2);
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
    CObjDataII* cell = nullptr;
    for (CObjData* record : scene.Records())
        if (record->GetArea() > 1000.0)
            cell = dynamic_cast<CObjDataII*>(record);
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(cell->GetNucleusCount(), 2);
    EXPECT_EQ(cell->m_nNuclei, 2);
    EXPECT_EQ(cell->m_Type & (CObjData::colNuclei | CObjData::colNC), CObjData::colNuclei | CObjData::colNC);
    const CObjData& inner =
        cell->GetNucleus(0).GetArea() < cell->GetNucleus(1).GetArea() ? cell->GetNucleus(0) : cell->GetNucleus(1);
    // Measured on the page without the marks of the search.
    EXPECT_EQ(inner.m_MeanColor, RGB(70, 10, 40));
    EXPECT_EQ(inner.m_dHomogeneity, 0.0);
}

TEST(EngineContourFeatures, NucleiOutsideTheLimitsAreDropped)
{
    CEngineScene scene(200, 200);
    scene.Draw({{100, 100}, 60, RGB(20, 20, 20), 30});
    scene.Draw({{100, 100}, 8, RGB(70, 10, 40)});
    scene.Form().m_Type |= featureNuclei;
    scene.Form().m_ObjectFilter.m_Max.m_dwFeatureFlags |= featureArea;
    scene.Form().m_ObjectFilter.m_Max.m_fArea = 1000.0f;
    CAOI2 aoi = scene.WholePage();

    scene.Run(aoi);
    for (CObjData* record : scene.Records()) {
        auto* objects = dynamic_cast<CObjDataII*>(record);
        ASSERT_NE(objects, nullptr);
        // Only the small one passes the area limit, as object and as nucleus.
        for (int i = 0; i < objects->GetNucleusCount(); ++i)
            EXPECT_LT(objects->GetNucleus(i).GetArea(), 1000.0);
    }
}
