#include "objectmodel/boundingrect.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

TEST(CBoundingRectTest, ExtremesAreTheFirstPointsToReachABound)
{
    CBoundingRect box;
    EXPECT_TRUE(box.IsEmpty());
    box.AddPoint(5, 5);
    box.AddPoint(2, 7); // leftmost and bottommost
    box.AddPoint(2, 3); // ties on the left: the earlier point stays
    box.AddPoint(9, 3); // rightmost; ties on the top
    box.AddPoint(4, 1);
    EXPECT_EQ(CRect(box), CRect(2, 1, 9, 7)) << "bounds are inclusive";
    EXPECT_EQ(box.m_ptLeftmost, CPoint(2, 7));
    EXPECT_EQ(box.m_ptTopmost, CPoint(4, 1));
    EXPECT_EQ(box.m_ptRightmost, CPoint(9, 3));
    EXPECT_EQ(box.m_ptBottommost, CPoint(2, 7));

    box.Offset(10, -1);
    EXPECT_EQ(CRect(box), CRect(12, 0, 19, 6));
    EXPECT_EQ(box.m_ptLeftmost, CPoint(12, 6));
    EXPECT_EQ(box.m_ptRightmost, CPoint(19, 2));

    box.Empty();
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_EQ(box.m_ptTopmost, CPoint(14, 0)) << "emptying keeps the extreme points";
}

TEST(CBoundingRectTest, OriginAsFirstPointIsKept)
{
    CBoundingRect box;
    box.AddPoint(0, 0);
    EXPECT_FALSE(box.IsEmpty());
    box.AddPoint(4, 6);
    EXPECT_EQ(CRect(box), CRect(0, 0, 4, 6));
    EXPECT_EQ(box.m_ptLeftmost, CPoint(0, 0));
}

TEST(CBoundingRectTest, SetFromExtremes)
{
    CBoundingRect box;
    box.SetFromExtremes({1, 5}, {3, 2}, {8, 4}, {6, 9});
    EXPECT_EQ(CRect(box), CRect(1, 2, 8, 9));
    EXPECT_EQ(box.m_ptBottommost, CPoint(6, 9));
    EXPECT_TRUE(box.Covers({8, 9}));
    EXPECT_FALSE(box.Covers({9, 9}));
}

TEST(CBoundingRectTest, DrawsTheOutline)
{
    CBoundingRect box;
    box.AddPoint(1, 2);
    box.AddPoint(5, 7);
    CRecordingDC dc;
    box.Draw(&dc);
    ASSERT_EQ(dc.Ops(), (std::vector<CString>{"MoveTo", "LineTo", "LineTo", "LineTo", "LineTo"}));
    std::vector<CPoint> ends;
    for (const CDCRecord& record : dc.Records())
        ends.push_back(record.points.back());
    EXPECT_EQ(ends, (std::vector<CPoint>{{1, 2}, {5, 2}, {5, 7}, {1, 7}, {1, 2}}));
}
