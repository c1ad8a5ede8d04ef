#include "analysis/points.h"

#include "platform/core/gdi.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FigureCase
{
    int mode;
    std::vector<CPoint> points;
    CPoint first;  // current point of the first draw
    CPoint second; // current point of the second draw
};

// Operation and device points of each record, for comparing figures.
std::vector<CString> Shape(const std::vector<CDCRecord>& records)
{
    std::vector<CString> shape;
    for (const CDCRecord& r : records) {
        CString text = r.op;
        for (const CPoint& p : r.points)
            text.AppendFormat(" %d,%d", p.x, p.y);
        shape.push_back(text);
    }
    return shape;
}

CPoints Collector(const FigureCase& c)
{
    CPoints points;
    points.Start(c.mode);
    for (const CPoint& p : c.points)
        points.AddPoint(p.x, p.y);
    return points;
}

// The figure drawn alone, as the first draw of a fresh collector.
std::vector<CString> FigureTo(const FigureCase& c, CPoint end)
{
    CPoints points = Collector(c);
    points.SetCurrentPoint(end.x, end.y);
    CRecordingDC dc;
    points.DrawFeedback(&dc, true);
    return Shape(dc.Records());
}

} // namespace

TEST(PointsTest, CompletenessPerMode)
{
    struct Case
    {
        int mode;
        int count;
        bool closed;
        bool complete;
    };
    const Case cases[] = {
        {CPoints::modeLine, 1, false, false},          {CPoints::modeLine, 2, false, true},
        {CPoints::modeRectangle, 1, false, false},     {CPoints::modeRectangle, 2, false, true},
        {CPoints::modeParallelogram, 2, false, false}, {CPoints::modeParallelogram, 3, false, true},
        {CPoints::modePolygon, 5, false, false},       {CPoints::modePolygon, 1, true, true},
        {CPoints::modeEllipse, 1, false, false},       {CPoints::modeEllipse, 2, false, true},
        {CPoints::modeRing, 1, false, false},          {CPoints::modeRing, 2, false, true},
        {CPoints::modePoint, 0, false, false},         {CPoints::modePoint, 1, false, true},
    };
    for (const Case& c : cases) {
        CPoints points;
        points.Start(c.mode);
        for (int i = 0; i < c.count; ++i)
            points.AddPoint(10 * i, 5 * i);
        points.SetClosed(c.closed);
        EXPECT_EQ(points.IsComplete(), c.complete) << "mode " << c.mode << ", " << c.count << " points";
    }
}

TEST(PointsTest, StartForgetsThePointsAndTheClosedFlag)
{
    CPoints points;
    points.Start(CPoints::modePolygon);
    points.AddPoint(1, 2);
    points.SetClosed(true);
    points.Start(CPoints::modeRectangle);
    EXPECT_EQ(points.GetSize(), 0);
    EXPECT_FALSE(points.IsClosed());
    EXPECT_EQ(points.GetMode(), CPoints::modeRectangle);
}

// Each feedback draws the previous figure again, which erases it on an
// inverting pen, then the figure up to the new mouse point.
TEST(PointsTest, RubberBandErasesTheLastFigureThenDrawsTheNew)
{
    const FigureCase cases[] = {
        {CPoints::modeLine, {{10, 10}}, {40, 30}, {50, 60}},
        {CPoints::modeRectangle, {{10, 10}}, {40, 30}, {50, 60}},
        {CPoints::modeParallelogram, {{10, 10}}, {40, 30}, {50, 60}},
        {CPoints::modeParallelogram, {{10, 10}, {60, 10}}, {70, 40}, {80, 50}},
        {CPoints::modeEllipse, {{10, 10}}, {40, 30}, {50, 60}},
        {CPoints::modeRing, {{10, 10}}, {40, 30}, {50, 60}},
    };
    for (const FigureCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", " << c.points.size() << " points");
        CPoints points = Collector(c);
        CRecordingDC dc;
        points.SetCurrentPoint(c.first.x, c.first.y);
        ASSERT_EQ(points.DrawFeedback(&dc, true), static_cast<int>(c.points.size()));
        const std::vector<CString> first = Shape(dc.Records());
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first, FigureTo(c, c.first));

        dc.Clear();
        points.SetCurrentPoint(c.second.x, c.second.y);
        points.DrawFeedback(&dc, true);
        std::vector<CString> expected = first;
        const std::vector<CString> next = FigureTo(c, c.second);
        expected.insert(expected.end(), next.begin(), next.end());
        EXPECT_EQ(Shape(dc.Records()), expected);
        for (const CDCRecord& r : dc.Records()) {
            EXPECT_EQ(r.rop2, R2_MERGEPENNOT) << r;
            EXPECT_EQ(r.pen.lopnColor, RGB(0, 0, 0)) << r;
            EXPECT_EQ(r.pen.lopnWidth.x, 1) << r;
        }
        EXPECT_EQ(points.GetPreviousPoint(), c.second);
    }
}

TEST(PointsTest, FigureGeometry)
{
    struct Case
    {
        FigureCase figure;
        std::vector<CString> shape;
    };
    const Case cases[] = {
        {{CPoints::modeLine, {{10, 10}}, {40, 30}, {}}, {"MoveTo 10,10", "LineTo 10,10 40,30"}},
        {{CPoints::modeRectangle, {{10, 10}}, {40, 30}, {}},
         {"Polyline 10,10 40,10 40,30 10,30 10,10"}},
        // The line from point 1 to the end and the side through end + (point 0 - point 1).
        {{CPoints::modeParallelogram, {{10, 10}, {60, 10}}, {70, 40}, {}},
         {"MoveTo 60,10", "LineTo 60,10 70,40", "Polyline 10,10 20,40 70,40"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FigureTo(c.figure, c.figure.first), c.shape) << "mode " << c.figure.mode;
}

TEST(PointsTest, PolygonDrawsItsLastSegmentOnly)
{
    CPoints points;
    points.Start(CPoints::modePolygon);
    points.AddPoint(1, 1);
    points.AddPoint(5, 1);
    points.AddPoint(9, 7);
    CRecordingDC dc;
    points.DrawFeedback(&dc, true);
    EXPECT_EQ(Shape(dc.Records()), (std::vector<CString>{"MoveTo 5,1", "LineTo 5,1 9,7"}));
}

TEST(PointsTest, AFlatEllipseIsNotDrawnButAFlatRingIs)
{
    const FigureCase ellipse{CPoints::modeEllipse, {{10, 10}}, {40, 11}, {}};
    EXPECT_TRUE(FigureTo(ellipse, ellipse.first).empty());
    const FigureCase ring{CPoints::modeRing, {{10, 10}}, {40, 30}, {}};
    EXPECT_FALSE(FigureTo(ring, ring.first).empty());
}

TEST(PointsTest, WithoutKeepTheLineStartsOverWithoutErasing)
{
    CPoints points;
    points.Start(CPoints::modeLine);
    points.AddPoint(0, 0);
    CRecordingDC dc;
    points.SetCurrentPoint(10, 10);
    points.DrawFeedback(&dc, true);
    dc.Clear();
    points.SetCurrentPoint(20, 5);
    points.DrawFeedback(&dc, false);
    EXPECT_EQ(Shape(dc.Records()), (std::vector<CString>{"MoveTo 0,0", "LineTo 0,0 20,5"}));
}

TEST(PointsTest, NothingIsDrawnWithoutPoints)
{
    CPoints points;
    points.Start(CPoints::modeRectangle);
    CRecordingDC dc;
    EXPECT_EQ(points.DrawFeedback(&dc, true), 0);
    EXPECT_EQ(points.DrawLine(&dc), 0);
    EXPECT_TRUE(dc.Records().empty());
}

TEST(PointsTest, DrawLineJoinsTheFirstTwoPoints)
{
    CPoints points;
    points.Start(CPoints::modeLine);
    points.AddPoint(3, 4);
    points.AddPoint(30, 40);
    points.AddPoint(99, 99);
    CRecordingDC dc;
    EXPECT_EQ(points.DrawLine(&dc), 3);
    EXPECT_EQ(Shape(dc.Records()), (std::vector<CString>{"MoveTo 3,4", "LineTo 3,4 30,40"}));
}
