#include "objectmodel/chain8.h"
#include "objectmodel/rpointarray.h"
#include "platform/core/file.h"
#include "platform/core/recording_dc.h"

#include "objectmodel/tests/pointlists.h"

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

namespace {

// Stores the list and loads it into a fresh one.
CRPointArray RoundTrip(CRPointArray& list)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        list.Serialize(ar);
    }
    file.SeekToBegin();
    CRPointArray loaded;
    CArchive ar(&file, CArchive::load);
    loaded.Serialize(ar);
    return loaded;
}

} // namespace

TEST(CRPointArrayTest, AddKeepsTheBox)
{
    CRPointArray list = MakeList({{3, 4}, {1, 8}, {6, 2}});
    EXPECT_EQ(CRect(list.GetBoundingRect()), CRect(1, 2, 6, 8));
    EXPECT_EQ(list.AddUnique({6, 2}), -1) << "equal to the last point";
    EXPECT_EQ(list.AddUnique({3, 4}), -1) << "equal to the first point";
    EXPECT_EQ(list.AddUnique({9, 9}), 3);
    EXPECT_EQ(CRect(list.GetBoundingRect()), CRect(1, 2, 9, 9));

    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.GetBoundingRect().IsEmpty());
    EXPECT_EQ(list.GetBoundingRect().m_ptRightmost, CPoint(9, 9)) << "extreme points stay";
    EXPECT_THROW(list.AddUnique({1, 1}), CInvalidArgException) << "the first point goes in with Add";
}

TEST(CRPointArrayTest, OffsetRotateAndSort)
{
    CRPointArray list = MakeList({{2, 1}, {4, 1}, {3, 0}});
    list.Offset(10, 20);
    EXPECT_EQ(PointsOf(list), (std::vector<CPoint>{{12, 21}, {14, 21}, {13, 20}}));
    EXPECT_EQ(CRect(list.GetBoundingRect()), CRect(12, 20, 14, 21));

    // A quarter turn counter-clockwise on screen about (12, 21).
    list.Rotate(12, 21, std::numbers::pi / 2);
    EXPECT_EQ(PointsOf(list), (std::vector<CPoint>{{12, 21}, {12, 19}, {11, 20}}));
    EXPECT_EQ(CRect(list.GetBoundingRect()), CRect(11, 19, 14, 21)) << "the box only grows";
    list.RecalcBounds();
    EXPECT_EQ(CRect(list.GetBoundingRect()), CRect(11, 19, 12, 21));

    list.SortPoints();
    EXPECT_EQ(PointsOf(list), (std::vector<CPoint>{{12, 19}, {11, 20}, {12, 21}}));
}

TEST(CRPointArrayTest, Searches)
{
    const CRPointArray list = MakeList({{0, 0}, {5, 5}, {2, 3}, {5, 5}, {9, 0}});
    EXPECT_EQ(list.FindPoint(5, 5), 1);
    EXPECT_EQ(list.FindPointReverse(5, 5), 3);
    EXPECT_EQ(list.FindPoint(7, 7), -1);
    EXPECT_EQ(list.FindNeighbour(3, 4), 2) << "diagonal neighbour";
    EXPECT_EQ(list.FindNeighbour(5, 5), -1) << "the point itself is not its neighbour";
    EXPECT_EQ(list.FindNearestPoint(4, 4), 1) << "first of equal city-block distances";
    int distance = 0;
    EXPECT_EQ(list.FindNearestPoint(9, 3, distance), 4);
    EXPECT_EQ(distance, 3);
    EXPECT_EQ(CRPointArray().FindNearestPoint(0, 0), -1);

    EXPECT_TRUE(CRPointArray::AreNeighbours({1, 1}, {2, 2}));
    EXPECT_TRUE(CRPointArray::AreNeighbours({1, 1}, {1, 0}));
    EXPECT_FALSE(CRPointArray::AreNeighbours({1, 1}, {1, 1}));
    EXPECT_FALSE(CRPointArray::AreNeighbours({1, 1}, {3, 1}));
}

TEST(CRPointArrayTest, CopyRange)
{
    const CRPointArray list = MakeList({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}});
    struct Case
    {
        int start;
        int end;
        std::vector<LONG> xs;
    };
    const Case cases[] = {
        {2, 4, {2, 3, 4}},
        {5, 0, {5, 6, 7}},            // end 0 is the last index
        {6, 1, {6, 7, 0, 1}},         // wrapped way of 4 points: not more than half
        {5, 1, {1, 2, 3, 4, 5}},      // wrapped way of 5 points: the direct way instead
    };
    for (const Case& c : cases) {
        CRPointArray target;
        list.CopyRange(target, c.start, c.end);
        std::vector<LONG> xs;
        for (const POINT& p : target)
            xs.push_back(p.x);
        EXPECT_EQ(xs, c.xs) << c.start << " .. " << c.end;
    }
    CRPointArray target;
    EXPECT_THROW(list.CopyRange(target, 8, 2), CInvalidArgException);
}

TEST(CRPointArrayTest, SetFromChainCodes)
{
    CChain8 chain;
    chain.SetStartPoint(3, 3);
    for (BYTE code : {0, 6, 4, 2}) // a square of four pixels
        chain.Add(code);
    CRPointArray list;
    EXPECT_TRUE(list.SetFromChainCodes(chain, 4));
    EXPECT_EQ(PointsOf(list), (std::vector<CPoint>{{3, 3}, {4, 3}, {4, 4}, {3, 4}}));
    EXPECT_EQ(CRect(list.GetBoundingRect()), CRect(3, 3, 4, 4));
    EXPECT_FALSE(list.SetFromChainCodes(chain, 1)) << "a single point is no closed walk";
    EXPECT_THROW(list.SetFromChainCodes(chain, 6), CInvalidArgException);
}

TEST(CRPointArrayTest, SetPixelsLeavesTheLastPoint)
{
    const CRPointArray list = MakeList({{1, 1}, {2, 1}, {3, 1}});
    CRecordingDC dc;
    list.SetPixels(&dc, RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(dc.Ops().size(), 2u);
}

TEST(CRPointArrayTest, StoresBoxWordsAndPoints)
{
    CRPointArray list = MakeList({{10, 20}, {30, 5}, {7, 9}});
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        list.Serialize(ar);
    }
    // Twelve 16-bit box words, the count word, then 8 bytes per point.
    EXPECT_EQ(file.GetLength(), 12u * 2 + 2 + 3 * 8);

    const CRPointArray loaded = RoundTrip(list);
    EXPECT_EQ(PointsOf(loaded), PointsOf(list));
    EXPECT_EQ(CRect(loaded.GetBoundingRect()), CRect(7, 5, 30, 20));
    EXPECT_EQ(loaded.GetBoundingRect().m_ptTopmost, CPoint(30, 5));
    EXPECT_EQ(loaded.GetBoundingRect().m_ptLeftmost, CPoint(7, 9));
}

TEST(CRPointArrayTest, BoxOutsideSixteenBitsIsRebuiltOnLoad)
{
    // Sixteen bits cannot hold these bounds: the stored words wrap, and the
    // loaded box comes from the points instead.
    const std::initializer_list<POINT> cases[] = {
        {{-1, -1}},
        {{-5, 3}, {4, -2}},
        {{65539, 3}, {65540, 3}},
    };
    for (const auto& points : cases) {
        CRPointArray list = MakeList(points);
        const CRPointArray loaded = RoundTrip(list);
        EXPECT_EQ(PointsOf(loaded), PointsOf(list));
        EXPECT_EQ(CRect(loaded.GetBoundingRect()), CRect(list.GetBoundingRect()));
        EXPECT_EQ(loaded.GetBoundingRect().m_ptLeftmost, list.GetBoundingRect().m_ptLeftmost);
    }
}

TEST(CRPointArrayTest, ShortFileChangesNothing)
{
    CRPointArray list = MakeList({{1, 2}, {3, 4}});
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        list.Serialize(ar);
    }
    const ULONGLONG length = file.GetLength();
    file.SetLength(length - 4);
    file.SeekToBegin();

    CRPointArray target = MakeList({{7, 7}});
    CArchive ar(&file, CArchive::load);
    EXPECT_THROW(target.Serialize(ar), CArchiveException);
    EXPECT_EQ(PointsOf(target), (std::vector<CPoint>{{7, 7}}));
    EXPECT_EQ(CRect(target.GetBoundingRect()), CRect(7, 7, 7, 7));
}

TEST(CRPointArrayTest, MinAreaRectOfThePoints)
{
    const CRPointArray list = MakeList({{0, 0}, {10, 0}, {10, 4}, {0, 4}});
    sMinAreaRect rect;
    ASSERT_TRUE(list.GetMinAreaRect(rect));
    EXPECT_DOUBLE_EQ(rect.m_dLength, 10.0);
    EXPECT_DOUBLE_EQ(rect.m_dWidth, 4.0);
}
