#include "objectmodel/chain8.h"
#include "objectmodel/rpolygon.h"
#include "platform/core/file.h"

#include "objectmodel/tests/pointlists.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Points (i, 0) for i = 0 .. n-1.
CRPolygon Row(int n)
{
    CRPolygon polygon;
    for (int i = 0; i < n; ++i)
        polygon.Add(i, 0);
    return polygon;
}

// The clockwise outline of a side x side square of pixels; its last vertex
// lies beside the first, so no closing run repeats the first point.
CRPolygon Square(int side)
{
    return CRPolygon(MakeList({{0, 0}, {side - 1, 0}, {side - 1, side - 1}, {0, side - 1}, {0, 1}}));
}

} // namespace

TEST(CRPolygonTest, GetPointAtWrapsOrClamps)
{
    CRPolygon polygon = Row(10);
    struct Case
    {
        BOOL closed;
        int index;
        LONG x;
    };
    const Case cases[] = {
        {TRUE, -1, 9}, {TRUE, 12, 2}, {TRUE, -21, 9}, {TRUE, 10, 0},
        {FALSE, -1, 0}, {FALSE, 12, 9}, {FALSE, 4, 4},
    };
    for (const Case& c : cases) {
        polygon.m_bClosed = c.closed;
        EXPECT_EQ(polygon.GetPointAt(c.index).x, c.x) << "closed " << c.closed << ", index " << c.index;
    }
    EXPECT_THROW(CRPolygon().GetPointAt(0), CInvalidArgException);
}

TEST(CRPolygonTest, PathLength)
{
    CRPolygon square;
    for (POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{1, 1}, POINT{0, 1}})
        square.Add(p);
    square.m_bClosed = TRUE;
    EXPECT_DOUBLE_EQ(square.PathLength(0, 3), 3.0);

    CRPolygon path;
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{2, 1}, POINT{3, 2}, POINT{3, 3}})
        path.Add(p);
    const double d = 1.4142135623731;
    struct Case
    {
        int from;
        int to;
        double length;
    };
    const Case cases[] = {
        {-1, -1, 2 * d + 2.0},
        {1, 3, 1.0 + d},
        {2, 99, d + 1.0},     // past the end: the last index
        {3, 1, 1.0 + d + d},  // on past the end: (3,3) to (0,0) shares neither x nor y
        {2, 2, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(path.PathLength(c.from, c.to), c.length) << c.from << " .. " << c.to;
}

TEST(CRPolygonTest, SetFromVerticesWalksBackToTheStart)
{
    const CRPolygon line(MakeList({{0, 0}, {3, 0}}));
    EXPECT_EQ(PointsOf(line), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}));
    EXPECT_TRUE(line.m_bClosed);

    const CRPolygon repeated(MakeList({{0, 0}, {1, 1}, {1, 1}, {3, 1}}));
    EXPECT_EQ(PointsOf(repeated), (std::vector<CPoint>{{0, 0}, {1, 1}, {2, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}))
        << "a repeated vertex adds nothing";

    const CRPolygon corners(MakeList({{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
    EXPECT_EQ(PointsOf(corners), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}, {0, 0}}))
        << "the closing run ends with the first vertex";
    const CRPolygon square = Square(3);
    EXPECT_EQ(PointsOf(square), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}))
        << "no closing run when the last vertex lies beside the first";
    EXPECT_EQ(CRect(square.GetBoundingRect()), CRect(0, 0, 2, 2));
}

TEST(CRPolygonTest, CloseFillsTheGap)
{
    CRPolygon polygon;
    polygon.Add(0, 0);
    polygon.Add(4, 0);
    polygon.Add(4, 2);
    polygon.Close();
    EXPECT_TRUE(polygon.m_bClosed);
    EXPECT_EQ(PointsOf(polygon), (std::vector<CPoint>{{0, 0}, {4, 0}, {4, 2}, {3, 2}, {2, 1}, {1, 1}, {0, 0}}));

    CRPolygon near;
    near.Add(0, 0);
    near.Add(1, 1);
    near.Close();
    EXPECT_EQ(near.GetSize(), 2) << "a diagonal neighbour needs no line";

    CRPolygon connected;
    connected.AddPointConnected({2, 2});
    connected.AddPointConnected({2, 5});
    EXPECT_EQ(PointsOf(connected), (std::vector<CPoint>{{2, 2}, {2, 3}, {2, 4}, {2, 5}}));
}

TEST(CRPolygonTest, FromChainCodes)
{
    CChain8 chain;
    chain.SetStartPoint(5, 5);
    for (BYTE code : {0, 0, 6, 6, 4, 4, 2, 2})
        chain.Add(code);
    const CRPolygon polygon(chain);
    EXPECT_TRUE(polygon.m_bClosed);
    EXPECT_EQ(polygon.GetSize(), 8);

    const CRPolygon moved(chain, 5, 4);
    EXPECT_EQ(moved.GetPointAt(0), CPoint(0, 1));

    // A walk that stops short of its start is closed with a line.
    CChain8 open;
    open.SetStartPoint(0, 0);
    for (BYTE code : {0, 0, 0, 0})
        open.Add(code);
    const CRPolygon closed(open);
    EXPECT_TRUE(closed.m_bClosed);
    EXPECT_EQ(PointsOf(closed), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}));
}

TEST(CRPolygonTest, CopyFromAndCopyPoints)
{
    CRPolygon source = Square(4);
    source.m_nCenterX = 7;
    source.m_nCenterY = 8;
    source.m_nCurrentIndex = 3;
    source.m_nShapeType = CRPolygon::shapeCorner;
    source.m_nSpare = 11;
    source.AddCut(1, 2, {1, 0}, {2, 0});

    const CRPolygon copy(source);
    EXPECT_EQ(PointsOf(copy), PointsOf(source));
    EXPECT_EQ(copy.GetCutCount(), 1);
    EXPECT_EQ(copy.m_nCenterY, 8);
    EXPECT_EQ(copy.m_nSpare, 11);
    EXPECT_TRUE(copy.m_bClosed);

    CRPolygon head;
    head.CopyPoints(source, 3);
    EXPECT_EQ(PointsOf(head), (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_FALSE(head.m_bClosed);
    EXPECT_EQ(head.m_nCurrentIndex, 3);
    EXPECT_EQ(head.GetCutCount(), 0);
    EXPECT_EQ(CRect(head.GetBoundingRect()), CRect(0, 0, 2, 0)) << "(0, 0) as the first point counts";

    head.CopyPoints(source, 14); // wraps round the closed source
    EXPECT_EQ(head.GetSize(), 14);
    EXPECT_EQ(CPoint(head.GetAt(13)), CPoint(source.GetAt(1)));
    EXPECT_TRUE(head.m_bClosed) << "ends beside its start";
}

TEST(CRPolygonTest, StraightnessAndShape)
{
    CRPolygon line = Row(12);
    EXPECT_TRUE(line.IsStraight());
    line.ClassifyShape();
    EXPECT_EQ(line.m_nShapeType, CRPolygon::shapeLine);

    EXPECT_FALSE(Row(4).IsStraight()) << "below 5 points";

    // An open L: 12 points along x, then 12 up (a left turn on screen).
    // Straight up to the corner.
    CRPolygon corner;
    for (int i = 0; i < 12; ++i)
        corner.Add(i, 20);
    for (int i = 1; i <= 12; ++i)
        corner.Add(11, 20 - i);
    EXPECT_FALSE(corner.IsStraight());
    corner.ClassifyShape();
    EXPECT_EQ(corner.m_nShapeType, CRPolygon::shapeCorner);
    EXPECT_NEAR(corner.m_nCurrentIndex, 11, 2);

    CRPolygon tiny = Row(4);
    tiny.m_nShapeType = CRPolygon::shapeLine;
    tiny.ClassifyShape();
    EXPECT_EQ(tiny.m_nShapeType, CRPolygon::shapeNone);
}

TEST(CRPolygonTest, SampleByAngleKeepsThePointNearestTheRadius)
{
    CRPolygon polygon;
    polygon.m_nCenterX = 10;
    polygon.m_nCenterY = 10;
    // Quarter 0 (right, up): (13,6) lies on the radius. Quarter 1 (left,
    // up): (7,6) and (6,7) both do, the later wins. Quarter 2: (6,13).
    // Quarter 3 stays empty.
    for (POINT p : {POINT{14, 9}, POINT{13, 6}, POINT{16, 8}, POINT{8, 9}, POINT{7, 6}, POINT{6, 7}, POINT{4, 12},
                    POINT{6, 13}})
        polygon.Add(p);
    CRPointArray samples;
    EXPECT_EQ(polygon.SampleByAngle(4, samples, 5.0), 3);
    EXPECT_EQ(PointsOf(samples), (std::vector<CPoint>{{13, 6}, {6, 7}, {6, 13}}));
}

TEST(CRPolygonTest, StoredAsObjectWithoutItsContourState)
{
    CRPolygon polygon = Square(4);
    polygon.AddCut(1, 2, {1, 0}, {2, 0});
    polygon.m_nCenterX = 5;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(&polygon);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    const std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(CRPointArray)));
    const auto* loaded = DYNAMIC_DOWNCAST(CRPolygon, object.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(PointsOf(*loaded), PointsOf(polygon));
    EXPECT_EQ(CRect(loaded->GetBoundingRect()), CRect(polygon.GetBoundingRect()));
    // Closed flag, cuts and centre are not part of the stored form.
    EXPECT_FALSE(loaded->m_bClosed);
    EXPECT_EQ(loaded->GetCutCount(), 0);
    EXPECT_EQ(loaded->m_nCenterX, 0);
}
