// The main run with skeletons ("Model" 3): threads of known length, tips
// and branch points; short end branches left out.

#include "analysis/skeldata.h"

#include "enginescene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using enginetest::CEngineScene;

namespace {

constexpr int kThreadWidth = 3;
// OpenCV's line of this thickness is 3 pixels across.
constexpr int kLineThickness = 2;

struct sThread
{
    const char* name;
    cv::Point inside; // a point of the thread's bounding box
    double longest;   // main path
    double total;     // all branches
    int tips;
    int nodes;
};

void Thread(CEngineScene& scene, cv::Point a, cv::Point b)
{
    cv::line(scene.page.GetMat(), a, b, enginetest::ToBGR(enginetest::kDark), kLineThickness, cv::LINE_8);
}

// Straight, oblique, curved, Y and plus threads, and one with a spur 6
// pixels long.
std::vector<sThread> DrawThreads(CEngineScene& scene)
{
    Thread(scene, {20, 30}, {180, 30});
    Thread(scene, {220, 20}, {380, 80});
    cv::ellipse(scene.page.GetMat(), {100, 280}, {70, 70}, 0, 180, 360, enginetest::ToBGR(enginetest::kDark),
                kLineThickness, cv::LINE_8);
    Thread(scene, {320, 230}, {320, 300});
    Thread(scene, {320, 230}, {270, 180});
    Thread(scene, {320, 230}, {370, 180});
    Thread(scene, {410, 200}, {490, 200});
    Thread(scene, {450, 160}, {450, 240});
    Thread(scene, {20, 120}, {220, 120});
    Thread(scene, {120, 120}, {120, 126});
    const double arm = std::hypot(50.0, 50.0);
    const double arc = M_PI * 70.0;
    return {
        {"straight", {100, 30}, 160.0, 160.0, 2, 0},
        {"oblique", {300, 50}, std::hypot(160.0, 60.0), std::hypot(160.0, 60.0), 2, 0},
        {"curved", {100, 212}, arc, arc, 2, 0},
        {"Y", {320, 232}, 70.0 + arm, 70.0 + 2 * arm, 3, 1},
        {"plus", {450, 200}, 80.0, 160.0, 4, 1},
        // The spur's end goes; its branch point stays.
        {"spur", {60, 120}, 200.0, 200.0, 2, 1},
    };
}

CSkelData* SkeletonAt(const CEngineScene& scene, cv::Point point)
{
    for (CObjData* record : scene.Records()) {
        auto* skeleton = dynamic_cast<CSkelData*>(record);
        if (skeleton && skeleton->m_Rect.left <= point.x && point.x <= skeleton->m_Rect.right &&
            skeleton->m_Rect.top <= point.y && point.y <= skeleton->m_Rect.bottom)
            return skeleton;
    }
    return nullptr;
}

double Tolerance(double length)
{
    return std::max(3.0, 0.03 * length);
}

} // namespace

TEST(EngineSkeletons, ThreadsOfKnownLength)
{
    CEngineScene scene(500, 320);
    const std::vector<sThread> threads = DrawThreads(scene);
    scene.Form().m_Model = CFormThres::modelSkeleton;
    scene.engine.GetSettings().m_ObjectFilter.m_SkeletonSegmentMinLength = 10.0f;
    const std::vector<BYTE> before = tracetest::PixelBytes(scene.page);
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), static_cast<int>(threads.size()));
    EXPECT_EQ(scene.results.GetObjectCount(), static_cast<int>(threads.size()));
    EXPECT_EQ(scene.engine.GetRunDiagnostics().Find("Skeletons"), nullptr);
    for (const sThread& t : threads) {
        SCOPED_TRACE(t.name);
        const CSkelData* record = SkeletonAt(scene, t.inside);
        ASSERT_NE(record, nullptr);
        EXPECT_NEAR(record->m_nSkelLength, t.longest, Tolerance(t.longest));
        EXPECT_NEAR(record->m_nTotLength, t.total, Tolerance(t.total));
        EXPECT_NEAR(record->GetLength(), t.longest, Tolerance(t.longest));
        EXPECT_EQ(record->GetTipCount(), t.tips);
        EXPECT_EQ(record->GetNodeCount(), t.nodes);
        // Oblique parts are a little wider across the rows.
        EXPECT_NEAR(record->m_nSkelWidth, kThreadWidth, t.name == std::string("straight") ? 0 : 1);
        EXPECT_NE(record->m_Type & CObjData::colTotLength, 0U);
        // The chain is the walk around the skeleton, in page coordinates.
        EXPECT_EQ(SkeletonAt(scene, {record->m_Chain.m_nStartX, record->m_Chain.m_nStartY}), record);
        // Out along the skeleton and back.
        EXPECT_GT(record->m_Chain.GetSize(), record->m_nSkelLength);
    }
    EXPECT_EQ(tracetest::PixelBytes(scene.page), before);
}

TEST(EngineSkeletons, EndBranchLimitIsInTheCalibrationUnit)
{
    // The spur is about 5 pixels long. A limit or factor that is not a
    // positive number keeps every branch.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct sCase
    {
        float limit;
        double factor;
        bool spurKept;
    };
    const sCase cases[] = {
        {10.0f, 1.0, false}, {5.0f, 0.5, false}, {5.0f, 2.0, true},     {-10.0f, 1.0, true},
        {static_cast<float>(nan), 1.0, true},    {10.0f, -1.0, true},   {10.0f, nan, true},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.limit << " " << c.factor);
        CEngineScene scene(260, 60);
        Thread(scene, {20, 20}, {220, 20});
        Thread(scene, {120, 20}, {120, 26});
        scene.Form().m_Model = CFormThres::modelSkeleton;
        scene.engine.GetSettings().m_ObjectFilter.m_SkeletonSegmentMinLength = c.limit;
        scene.engine.GetSettings().m_Calibration.m_dFactor = c.factor;
        CAOI2 aoi = scene.WholePage();
        EXPECT_EQ(scene.Run(aoi), 1);
        const CSkelData* record = SkeletonAt(scene, {60, 20});
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->GetTipCount(), c.spurKept ? 3 : 2);
        // The spur adds a few pixels when it is kept.
        if (c.spurKept)
            EXPECT_GT(record->m_nTotLength, 202);
        else
            EXPECT_NEAR(record->m_nTotLength, 200.0, 3.0);
    }
}

TEST(EngineSkeletons, SmallObjectsAreDropped)
{
    // Outlines of 9 points or fewer have no skeleton: a 2 x 2 square has
    // 5, a 3 x 3 one 9; a 4 x 4 one is kept.
    CEngineScene scene(60, 20);
    cv::Mat pixels = scene.page.GetMat();
    const cv::Scalar dark = enginetest::ToBGR(enginetest::kDark);
    cv::rectangle(pixels, cv::Rect(5, 5, 2, 2), dark, cv::FILLED);
    cv::rectangle(pixels, cv::Rect(20, 5, 3, 3), dark, cv::FILLED);
    cv::rectangle(pixels, cv::Rect(40, 5, 4, 4), dark, cv::FILLED);
    scene.Form().m_Model = CFormThres::modelSkeleton;
    CAOI2 aoi = scene.WholePage();
    EXPECT_EQ(scene.Run(aoi), 1);
    ASSERT_EQ(scene.results.GetObjectCount(), 1);
    EXPECT_NE(SkeletonAt(scene, {41, 6}), nullptr);
}

TEST(EngineSkeletons, RowsPassTheLengthThreshold)
{
    // Threads of 160 and 60 pixels; only the long one reaches 100.
    CEngineScene scene(220, 80);
    Thread(scene, {20, 20}, {180, 20});
    Thread(scene, {20, 60}, {80, 60});
    CFormThres& form = scene.Form();
    form.m_Model = CFormThres::modelSkeleton;
    form.m_Type |= featureLength;
    form.m_ObjectFilter.m_Min.m_dwFeatureFlags |= featureLength;
    form.m_ObjectFilter.m_Max.m_dwFeatureFlags |= featureLength;
    form.m_ObjectFilter.m_Min.m_fLength = 100.0f;
    form.m_ObjectFilter.m_Max.m_fLength = 1000.0f;
    CAOI2 aoi = scene.WholePage();

    EXPECT_EQ(scene.Run(aoi), 1);
    ASSERT_EQ(scene.results.GetObjectCount(), 2);
    EXPECT_EQ(SkeletonAt(scene, {100, 20})->m_Link, 0U);
    EXPECT_EQ(SkeletonAt(scene, {50, 60})->m_Link, 1U);

    form.m_bKeepRejected = 0;
    scene.results.RemoveAll();
    EXPECT_EQ(scene.Run(aoi), 1);
    EXPECT_EQ(scene.results.GetObjectCount(), 1);
}

TEST(EngineSkeletons, AnObjectThatCannotBeThinnedIsNoted)
{
    CBV engine;
    CSkelData record;
    EXPECT_FALSE(engine.MeasureSkeleton(record, CRPolygon()));
    const sRunNote* note = engine.GetRunDiagnostics().Find("Skeleton thinning");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->objects, 1);
}
