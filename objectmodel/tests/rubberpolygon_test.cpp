#include "objectmodel/rubberpolygon.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CRubberPolygonTest, RubberLineErasesThePreviousOne)
{
    CRubberPolygon polygon;
    CRecordingDC dc;
    polygon.SetActive(TRUE);
    polygon.DrawRubberLine(&dc, 5, 5);
    EXPECT_TRUE(dc.Records().empty()) << "nothing to draw from without a point";

    polygon.Add(1, 1);
    polygon.SetFirstMove();
    polygon.DrawRubberLine(&dc, 5, 5);
    polygon.DrawRubberLine(&dc, 6, 8);
    ASSERT_EQ(dc.Ops(), (std::vector<CString>{"MoveTo", "LineTo", "MoveTo", "LineTo", "MoveTo", "LineTo"}))
        << "the first move erases nothing; the second erases, then draws";
    std::vector<CPoint> ends;
    for (const CDCRecord& record : dc.Records()) {
        ends.push_back(record.points.back());
        EXPECT_EQ(record.rop2, R2_NOT);
        EXPECT_EQ(record.pen.lopnStyle, PS_SOLID);
        EXPECT_EQ(record.pen.lopnWidth.x, 1);
    }
    EXPECT_EQ(ends, (std::vector<CPoint>{{1, 1}, {5, 5}, {1, 1}, {5, 5}, {1, 1}, {6, 8}}));
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN) << "the device's mode comes back";
    EXPECT_EQ(polygon.GetRubberEnd(), CPoint(6, 8));

    dc.Clear();
    polygon.SetActive(FALSE);
    polygon.DrawRubberLine(&dc, 9, 9);
    EXPECT_TRUE(dc.Records().empty());
}

TEST(CRubberPolygonTest, NewPointsAreInvertedOnce)
{
    CRubberPolygon polygon;
    CRecordingDC dc;
    for (int x = 0; x < 5; ++x)
        dc.SetPixel(x, 0, RGB(10, 20, 30));
    for (int x = 0; x < 4; ++x)
        polygon.Add(x, 0);
    dc.Clear();
    polygon.DrawNewPoints(&dc);
    EXPECT_EQ(dc.Records().size(), 3u) << "points 1 to 3; the view shows the first point itself";
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(245, 235, 225));
    EXPECT_EQ(polygon.GetLastDrawnIndex(), 3);

    // One more point: only it is inverted, none twice and none skipped.
    polygon.Add(4, 0);
    dc.Clear();
    polygon.DrawNewPoints(&dc);
    ASSERT_EQ(dc.Records().size(), 1u);
    EXPECT_EQ(dc.GetPixel(4, 0), RGB(245, 235, 225));
    EXPECT_EQ(dc.GetPixel(3, 0), RGB(245, 235, 225));

    dc.Clear();
    polygon.DrawNewPoints(&dc);
    EXPECT_TRUE(dc.Records().empty()) << "nothing new";
}

TEST(CRubberPolygonTest, ReportsThePolygonClass)
{
    const CRubberPolygon polygon;
    EXPECT_EQ(polygon.GetRuntimeClass(), RUNTIME_CLASS(CRPolygon));
}
