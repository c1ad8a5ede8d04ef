// Clustering: which neighbours join, the cluster record a pair makes, the
// ownership of the joined records, and the clustering step of the run,
// also over the sub-areas of an area.

#include "analysis/aoiraster.h"
#include "analysis/clustering.h"
#include "analysis/objcluster.h"
#include "analysis/skeldata.h"
#include "objectmodel/textlabel.h"
#include "platform/core/exceptions.h"
#include "platform/core/recording_dc.h"

#include "analysis/tests/enginescene.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<CObjData> ClusterTestObject(const CRect& rect, LONG area = 100, float formFactor = 1.0f)
{
    auto record = std::make_unique<CObjData>();
    record->m_Rect = rect;
    record->m_ptCentroid = rect.CenterPoint();
    record->m_lArea = area;
    record->m_FF = formFactor;
    return record;
}

class Clustering : public ::testing::Test
{
protected:
    Clustering() { CBaseObj::SystemCalibration = CCalibration(); }
    ~Clustering() override { CBaseObj::SystemCalibration = CCalibration(); }

    CObjData* Add(const CRect& rect, LONG area = 100)
    {
        list.AddObject(ClusterTestObject(rect, area));
        return static_cast<CObjData*>(list.GetObjectAt(list.GetObjectCount() - 1));
    }
    // The member count of every record of the list, in order.
    std::vector<int> MemberCounts() const
    {
        std::vector<int> counts;
        for (int i = 0; i < list.GetObjectCount(); ++i)
            counts.push_back(dynamic_cast<CObjData&>(*list.GetObjectAt(i)).GetMemberCount());
        return counts;
    }

    CResultObjectList list;
};

struct sClusterTestCase
{
    const char* name;
    std::vector<CRect> rects;
    std::vector<LONG> areas;
    int maxDistance;
    int maxMembers;
    double maxArea;
    std::vector<int> members; // per record after clustering
};

TEST_F(Clustering, WhichNeighboursJoin)
{
    const CRect a(0, 0, 10, 10);
    const CRect overlapping(5, 5, 15, 15);
    const CRect apart(14, 0, 24, 10); // a gap of about 4 pixels
    const CRect far(100, 100, 110, 110);
    const sClusterTestCase cases[] = {
        {"all limits 0: intersecting rectangles join", {a, overlapping}, {100, 100}, 0, 0, 0.0, {2}},
        {"all limits 0: any gap keeps them apart", {a, apart}, {100, 100}, 0, 0, 0.0, {0, 0}},
        {"the distance bridges the gap", {a, apart}, {100, 100}, 5, 0, 0.0, {2}},
        {"a negative distance joins nothing", {a, overlapping}, {100, 100}, -1, 0, 0.0, {0, 0}},
        {"member limit 0 and area 0.0 set no limit", {a, overlapping, a}, {100, 100, 100}, 0, 0, 0.0, {2}},
        {"a member limit stops the cluster growing", {a, overlapping, a}, {100, 100, 100}, 0, 1, 0.0, {2, 0}},
        {"an area limit in pixels", {a, overlapping, a}, {100, 100, 100}, 0, 0, 250.0, {2, 0}},
        {"the area limit is inclusive", {a, overlapping}, {100, 150}, 0, 0, 250.0, {2}},
        {"the first partner in the list wins", {a, far, overlapping}, {100, 100, 100}, 0, 0, 0.0, {2, 0}},
    };
    for (const sClusterTestCase& c : cases) {
        list.RemoveAll();
        for (size_t k = 0; k < c.rects.size(); ++k)
            Add(c.rects[k], c.areas[k]);
        CClustering clustering;
        EXPECT_EQ(clustering.Cluster(&list, c.maxDistance, c.maxMembers, c.maxArea), 1) << c.name;
        EXPECT_EQ(MemberCounts(), c.members) << c.name;
    }
    // An object kept as rejected joins nothing.
    list.RemoveAll();
    Add(a);
    Add(overlapping)->m_Link = 1;
    Add(a);
    CClustering().Cluster(&list, 0, 0, 0.0);
    EXPECT_EQ(MemberCounts(), (std::vector<int>{2, 0}));
    EXPECT_EQ(list.GetObjectAt(1)->m_Link, 1u);
    CClustering clustering;
    EXPECT_EQ(clustering.Cluster(nullptr, 5, 0, 0.0), 0);
}

TEST_F(Clustering, ThreeCloseObjectsEndAsOneClusterOfAPairAndTheThird)
{
    CObjData* first = Add(CRect(0, 0, 10, 10), 100);
    CObjData* second = Add(CRect(5, 0, 15, 10), 120);
    CObjData* third = Add(CRect(10, 0, 20, 10), 140);

    CClustering().Cluster(&list, 0, 0, 0.0);

    ASSERT_EQ(list.GetObjectCount(), 1);
    auto* top = dynamic_cast<CObjCluster*>(list.GetObjectAt(0));
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(top->GetMemberCount(), 2);
    auto* pair = dynamic_cast<CObjCluster*>(&top->GetMember(0));
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(&pair->GetMember(0), first);
    EXPECT_EQ(&pair->GetMember(1), second);
    EXPECT_EQ(&top->GetMember(1), third);
    EXPECT_EQ(top->m_lArea, 360);
    EXPECT_DOUBLE_EQ(top->GetMembersArea(), 360.0);
    EXPECT_DOUBLE_EQ(pair->GetMembersArea(), 220.0);
    EXPECT_EQ(top->m_Rect, CRect(0, 0, 20, 10));
    EXPECT_THROW(top->GetMember(2), CInvalidArgException);
}

TEST_F(Clustering, MergeJoinsWhatLiesInTheRectangle)
{
    CObjData* one = Add(CRect(0, 0, 10, 10), 100);
    Add(CRect(40, 0, 50, 10), 300);
    Add(CRect(80, 0, 90, 10), 200);
    CObjData* rejected = Add(CRect(60, 0, 70, 10), 900);
    rejected->m_Link = 1;
    CObjData* outside = Add(CRect(200, 0, 210, 10), 50);
    CClustering clustering;

    // One object: the list stays as it was.
    EXPECT_EQ(clustering.Merge(&list, CRect(0, 0, 20, 20)), 1);
    EXPECT_EQ(list.GetObjectCount(), 5);
    EXPECT_EQ(list.GetObjectAt(0), one);
    EXPECT_DOUBLE_EQ(clustering.GetLargestArea(), 100.0);
    // None: nothing joins.
    EXPECT_EQ(clustering.Merge(&list, CRect(300, 0, 400, 20)), 0);
    EXPECT_EQ(clustering.Merge(nullptr, CRect(0, 0, 20, 20)), 0);
    EXPECT_EQ(list.GetObjectCount(), 5);

    // Three objects and a rejected one in the rectangle: a chain of pairs
    // at the first index; the rejected object keeps its place.
    EXPECT_EQ(clustering.Merge(&list, CRect(0, 0, 100, 20)), 1);
    ASSERT_EQ(list.GetObjectCount(), 3);
    auto* chain = dynamic_cast<CObjCluster*>(list.GetObjectAt(0));
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(chain->m_lArea, 600);
    EXPECT_EQ(chain->GetMemberCount(), 2);
    EXPECT_EQ(dynamic_cast<CObjCluster&>(chain->GetMember(0)).GetMemberCount(), 2);
    EXPECT_EQ(list.GetObjectAt(1), rejected);
    EXPECT_EQ(list.GetObjectAt(2), outside);
    EXPECT_DOUBLE_EQ(clustering.GetLargestArea(), 300.0);
}

TEST_F(Clustering, MergePairBuildsTheClusterRecord)
{
    auto makeA = [] {
        auto a = ClusterTestObject(CRect(10, 20, 30, 40));
        a->m_MinRect.m_Corners[0] = {10, 30};
        a->m_MinRect.m_Corners[1] = {20, 20};
        a->m_MinRect.m_Corners[2] = {30, 30};
        a->m_MinRect.m_Corners[3] = {20, 40};
        a->m_ID = 5;
        a->m_dClass = 2;
        a->m_strClassName = "A";
        a->m_ClassColor = RGB(1, 2, 3);
        a->m_Type = 0x5;
        return a;
    };
    auto makeB = [] {
        auto b = ClusterTestObject(CRect(25, 5, 60, 35));
        b->m_MinRect.m_Corners[0] = {25, 20};
        b->m_MinRect.m_Corners[1] = {40, 5};
        b->m_MinRect.m_Corners[2] = {60, 20};
        b->m_MinRect.m_Corners[3] = {40, 35};
        b->m_MinRect.m_nCenterX = 42;
        b->m_MinRect.m_nCenterY = 20;
        b->m_MinRect.m_dAngle = -30.0;
        b->m_dClass = 1;
        b->m_strClassName = "B";
        b->m_Type = 0x80008;
        return b;
    };
    list.AddObject(ClusterTestObject(CRect(500, 500, 510, 510)));
    list.AddObject(makeB());
    list.AddObject(makeA());
    auto* b = static_cast<CObjData*>(list.GetObjectAt(1));
    auto* a = static_cast<CObjData*>(list.GetObjectAt(2));

    CClustering clustering;
    // Records that do not stand at their indices are refused.
    EXPECT_THROW(clustering.MergePair(&list, a, a->m_Rect, 100.0, 0.8, 1, b, b->m_Rect, 50.7, 0.6, 2),
                 CInvalidArgException);
    EXPECT_THROW(clustering.MergePair(&list, a, a->m_Rect, 100.0, 0.8, 2, a, a->m_Rect, 100.0, 0.8, 2),
                 CInvalidArgException);
    EXPECT_EQ(list.GetObjectCount(), 3);

    CObjCluster* cluster = clustering.MergePair(&list, a, a->m_Rect, 100.0, 0.8, 2, b, b->m_Rect, 50.7, 0.6, 1);
    ASSERT_EQ(list.GetObjectCount(), 2);
    EXPECT_EQ(list.GetObjectAt(1), cluster);
    EXPECT_EQ(cluster->m_Rect, CRect(10, 5, 60, 40));
    EXPECT_EQ(cluster->m_ptCentroid, CPoint(35, 22));
    EXPECT_EQ(cluster->m_lArea, 150);
    EXPECT_FLOAT_EQ(cluster->m_FF, 0.7f);
    const sMinAreaRect& box = cluster->m_MinRect;
    EXPECT_EQ(CPoint(box.m_Corners[0]), CPoint(10, 30));
    EXPECT_EQ(CPoint(box.m_Corners[1]), CPoint(40, 5));
    EXPECT_EQ(CPoint(box.m_Corners[2]), CPoint(60, 20));
    EXPECT_EQ(CPoint(box.m_Corners[3]), CPoint(20, 40));
    EXPECT_DOUBLE_EQ(box.m_dLength, 50.0);
    EXPECT_DOUBLE_EQ(box.m_dWidth, 35.0);
    EXPECT_EQ(box.m_nCenterX, 42);
    EXPECT_DOUBLE_EQ(box.m_dAngle, -30.0);
    EXPECT_EQ(cluster->m_ID, 5);
    EXPECT_EQ(cluster->m_dClass, 2);
    EXPECT_EQ(cluster->m_strClassName, "A");
    EXPECT_EQ(cluster->m_ClassColor, RGB(1, 2, 3));
    EXPECT_EQ(cluster->m_Type & 0x5u, 0x5u);
    EXPECT_EQ(&cluster->GetMember(0), a);
    EXPECT_EQ(&cluster->GetMember(1), b);
}

TEST_F(Clustering, CornerTiesFollowTheOtherCoordinate)
{
    auto a = ClusterTestObject(CRect(0, 0, 10, 10));
    auto b = ClusterTestObject(CRect(0, 0, 10, 10));
    const POINT aCorners[4] = {{5, 9}, {3, 2}, {20, 4}, {7, 30}};
    const POINT bCorners[4] = {{5, 6}, {1, 2}, {20, 8}, {4, 30}};
    for (int k = 0; k < 4; ++k) {
        a->m_MinRect.m_Corners[k] = aCorners[k];
        b->m_MinRect.m_Corners[k] = bCorners[k];
    }
    list.AddObject(std::move(a));
    list.AddObject(std::move(b));
    CClustering().Cluster(&list, 0, 0, 0.0);
    const sMinAreaRect& box = dynamic_cast<CObjData&>(*list.GetObjectAt(0)).m_MinRect;
    EXPECT_EQ(CPoint(box.m_Corners[0]), CPoint(5, 6));  // equal x: the smaller y
    EXPECT_EQ(CPoint(box.m_Corners[1]), CPoint(1, 2));  // equal y: the smaller x
    EXPECT_EQ(CPoint(box.m_Corners[2]), CPoint(20, 8)); // equal x: the larger y
    EXPECT_EQ(CPoint(box.m_Corners[3]), CPoint(4, 30)); // equal y: the smaller x
}

// Counts its destructions, so that a record deleted twice or never shows.
class CClusterCountedRecord : public CObjData
{
public:
    explicit CClusterCountedRecord(int& destroyed) : m_destroyed(destroyed) {}
    ~CClusterCountedRecord() override { ++m_destroyed; }

private:
    int& m_destroyed;
};

TEST_F(Clustering, EveryJoinedRecordIsDeletedOnceWithItsCluster)
{
    int destroyed = 0;
    for (int k = 0; k < 5; ++k) {
        auto record = std::make_unique<CClusterCountedRecord>(destroyed);
        record->m_Rect = CRect(k * 8, 0, k * 8 + 10, 10);
        record->m_ptCentroid = record->m_Rect.CenterPoint();
        list.AddObject(std::move(record));
    }
    CClustering clustering;
    clustering.Cluster(&list, 0, 2, 0.0);
    clustering.Merge(&list, CRect(0, 0, 100, 20));
    ASSERT_EQ(list.GetObjectCount(), 1);
    EXPECT_EQ(destroyed, 0);
    list.RemoveAll();
    EXPECT_EQ(destroyed, 5);
}

TEST_F(Clustering, SkeletonRecordsJoinLikeObjects)
{
    for (const CRect& rect : {CRect(0, 0, 10, 10), CRect(12, 0, 22, 10)}) {
        auto skeleton = std::make_unique<CSkelData>();
        skeleton->m_Rect = rect;
        skeleton->m_lArea = 40;
        list.AddObject(std::move(skeleton));
    }
    CClustering().Cluster(&list, 3, 0, 0.0);
    ASSERT_EQ(MemberCounts(), std::vector<int>{2});
    EXPECT_NE(dynamic_cast<CSkelData*>(&dynamic_cast<CObjCluster&>(*list.GetObjectAt(0)).GetMember(1)), nullptr);
}

TEST_F(Clustering, AClusterDrawsItsMembersInBlueWithOneLabel)
{
    list.AddObject(ClusterTestObject(CRect(0, 0, 10, 10)));
    list.AddObject(ClusterTestObject(CRect(5, 0, 15, 10)));
    for (int i = 0; i < 2; ++i) {
        CRPointArray& outline = dynamic_cast<CObjData&>(*list.GetObjectAt(i)).m_Polygon;
        // Closed: the last point repeats the first and is not drawn.
        for (const int x : {3, 4, 3})
            outline.Add(CPoint(x + 5 * i, 3));
    }
    CClustering().Cluster(&list, 0, 0, 0.0);
    auto& cluster = dynamic_cast<CObjCluster&>(*list.GetObjectAt(0));
    const COLORREF colors[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0)};
    CRecordingDC dc;
    CTextLabel label;
    label.m_crTextColor = RGB(9, 9, 9);

    cluster.Draw(&dc, 4, colors, &label, CObjData::drawLabel | CObjData::drawContour);

    int pixels = 0;
    int texts = 0;
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "SetPixel" || r.op == "SetPixelV") {
            EXPECT_EQ(r.color, RGB(0, 0, 255));
            ++pixels;
        }
        if (r.op == "TextOut") {
            EXPECT_EQ(r.text, "4");
            EXPECT_EQ(r.textColor, RGB(0, 0, 255));
            EXPECT_EQ(r.args.at(0), cluster.m_ptCentroid.x + 5);
            ++texts;
        }
        if (r.op == "LineTo") {
            EXPECT_EQ(r.pen.lopnColor, RGB(0, 0, 255)) << r;
        }
    }
    EXPECT_EQ(pixels, 4);
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(label.m_crTextColor, RGB(9, 9, 9));
    EXPECT_THROW(cluster.Draw(&dc, 4, std::span(colors, 2), &label, 0), CInvalidArgException);
}

// ---- the clustering step of the run ----

using enginetest::CEngineScene;

// Three groups on a row: three discs 5 pixels apart, two discs 6 apart,
// one disc alone; the groups lie 80 pixels and more apart.
struct sClusterGroups
{
    explicit sClusterGroups(CEngineScene& scene)
    {
        for (const int x : {40, 65, 90})
            areas[0] += scene.Draw({{x, 60}, 10});
        for (const int x : {200, 226})
            areas[1] += scene.Draw({{x, 60}, 10});
        areas[2] = scene.Draw({{330, 60}, 10});
    }
    int areas[3] = {};
};

TEST(ClusteringRun, EachGroupBecomesOneRowWithTheSumOfItsMembers)
{
    CEngineScene scene(400, 120);
    const sClusterGroups groups(scene);
    scene.Form().m_Parameter |= 0x20;
    scene.Form().m_MaxDistance = 10;
    CAOI2 aoi = scene.WholePage();

    // Every object passed; three rows remain.
    EXPECT_EQ(scene.Run(aoi), 6);
    EXPECT_FALSE(scene.HasDiagnostic("Clustering"));
    ASSERT_EQ(scene.results.GetObjectCount(), 3);
    const int members[3] = {2, 2, 0};
    for (int row = 0; row < 3; ++row) {
        const auto& record = dynamic_cast<const CObjData&>(*scene.results.GetObjectAt(row));
        EXPECT_EQ(record.GetMemberCount(), members[row]) << row;
        EXPECT_NEAR(record.GetArea(), groups.areas[row], 0.1 * groups.areas[row]) << row;
        if (members[row] > 0) {
            EXPECT_NEAR(record.GetArea(), record.GetMembersArea(), 1.0) << row;
        }
    }
    // The three discs: a pair and the third.
    const auto& first = dynamic_cast<const CObjCluster&>(*scene.results.GetObjectAt(0));
    EXPECT_EQ(first.GetMember(0).GetMemberCount(), 2);
}

TEST(ClusteringRun, WithoutTheClusterBitOrOutsideModels0And3NothingJoins)
{
    for (const auto& [parameter, model] : {std::pair{0u, 0u}, std::pair{0x20u, 1u}}) {
        CEngineScene scene(400, 120);
        sClusterGroups groups(scene);
        scene.Form().m_Parameter = parameter;
        scene.Form().m_Model = model;
        scene.Form().m_MaxDistance = 10;
        CAOI2 aoi = scene.WholePage();
        scene.Run(aoi);
        for (int i = 0; i < scene.results.GetObjectCount(); ++i)
            EXPECT_EQ(dynamic_cast<CObjCluster*>(scene.results.GetObjectAt(i)), nullptr);
    }
}

TEST(ClusteringRun, SubAreasGroupAcrossCellBordersAndDropWhatFailsTheLimits)
{
    CEngineScene scene(600, 300);
    CAOI2 area(CRect(10, 10, 590, 290));
    area.CreateRaster(2, 2, 0);
    // A pair on either side of the vertical grid line, a disc across the
    // horizontal one, a small disc next to the pair that fails the area
    // limit, and a disc alone.
    const int pair = scene.Draw({{280, 70}, 14}) + scene.Draw({{318, 70}, 14});
    const int across = scene.Draw({{150, 150}, 30});
    scene.Draw({{300, 30}, 4});
    const int alone = scene.Draw({{470, 220}, 25});
    scene.Form().m_Parameter |= 0x20;
    scene.Form().m_MaxDistance = 15;
    CFeature& minimum = scene.Form().m_ObjectFilter.m_Min;
    minimum.m_dwFeatureFlags |= featureArea;
    minimum.m_fArea = 200.0f;

    EXPECT_EQ(scene.engine.AnalyseSubAreas(&scene.page, &area, &scene.results), 4);
    EXPECT_EQ(scene.Form().m_Parameter & 0x20u, 0x20u);
    ASSERT_EQ(scene.results.GetObjectCount(), 3);
    const auto& cluster = dynamic_cast<const CObjCluster&>(*scene.results.GetObjectAt(0));
    EXPECT_EQ(cluster.GetMemberCount(), 2);
    EXPECT_NEAR(cluster.GetArea(), pair, 0.1 * pair);
    const CObjData* joined = scene.RecordAt({150, 150});
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(joined->GetMemberCount(), 0);
    EXPECT_NEAR(joined->GetArea(), across, 0.05 * across);
    const CObjData* single = scene.RecordAt({470, 220});
    ASSERT_NE(single, nullptr);
    EXPECT_NEAR(single->GetArea(), alone, 0.05 * alone);
}

} // namespace

namespace {

TEST(ClusteringRun, CellsPartlyOutsideThePageCountTheirInside)
{
    CEngineScene scene(600, 300);
    // The grid reaches 100 pixels beyond the page to the right and below.
    CAOI2 area(CRect(300, 100, 700, 400));
    area.CreateRaster(2, 2, 0);
    const int inside = scene.Draw({{400, 200}, 20});
    scene.Form().m_Parameter |= 0x20;

    EXPECT_EQ(scene.engine.AnalyseSubAreas(&scene.page, &area, &scene.results), 1);
    ASSERT_EQ(scene.results.GetObjectCount(), 1);
    EXPECT_NEAR(dynamic_cast<const CObjData&>(*scene.results.GetObjectAt(0)).GetArea(), inside, 0.1 * inside);
}

} // namespace
