// The histogram control: values counted into bars from their minimum to
// their maximum and drawn into a recording context.

#include "series/barchart.h"

#include "platform/core/exceptions.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

std::vector<CRect> Bars(const CRecordingDC& dc, COLORREF colour)
{
    std::vector<CRect> bars;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "FillSolidRect" && r.brush.lbColor == colour)
            bars.emplace_back(r.points[0], r.points[1]);
    return bars;
}

TEST(BarChartTest, TwentyBarsOfKnownValues)
{
    CBarChart chart;
    // 0..20 in 20 bars of width 1; the maximum falls in the last bar.
    std::vector<double> values(21);
    std::iota(values.begin(), values.end(), 0.0);
    values.push_back(NAN); // no number: not counted
    EXPECT_EQ(chart.SetValues(values, 0), 21);
    std::vector<int> expected(20, 1);
    expected.back() = 2;
    EXPECT_EQ(chart.GetBarCounts(0), expected);

    chart.SetSetColour(0, RGB(1, 2, 3));
    CRecordingDC dc;
    ASSERT_TRUE(chart.DrawTo(&dc, CRect(0, 0, 500, 300)));
    const std::vector<CRect> bars = Bars(dc, RGB(1, 2, 3));
    ASSERT_EQ(bars.size(), 20u);
    const CRect& plot = chart.GetPlotRect();
    // The last bar twice as high as the others, all standing on the base.
    EXPECT_EQ(bars.back().bottom, bars.front().bottom);
    EXPECT_NEAR(bars.front().bottom - bars.back().top, 2 * (bars.front().bottom - bars.front().top), 1);
    EXPECT_LE(plot.left, bars.front().left);
    EXPECT_GE(plot.right, bars.back().right);
}

TEST(BarChartTest, BarCountsAndRangesThatCannotDivide)
{
    CBarChart chart;
    for (const double count : {0.0, -3.0, static_cast<double>(NAN)}) {
        chart.SetBarCount(count);
        EXPECT_EQ(chart.GetBarCount(), 20) << count;
    }
    chart.SetBarCount(5.0);
    EXPECT_EQ(chart.GetBarCount(), 5);

    // All equal: a unit span around the value, every value in the middle bar.
    const double same[] = {7.0, 7.0, 7.0};
    chart.SetValues(same, 0);
    double low = 0.0;
    double high = 0.0;
    ASSERT_TRUE(chart.GetBarRange(low, high));
    EXPECT_EQ(low, 6.5);
    EXPECT_EQ(high, 7.5);
    EXPECT_EQ(chart.GetBarCounts(0), (std::vector<int>{0, 0, 3, 0, 0}));
    CRecordingDC dc;
    EXPECT_TRUE(chart.DrawTo(&dc, CRect(0, 0, 500, 300)));

    // A second set shares the bars; a set index past the next is refused.
    const double other[] = {9.5};
    chart.SetValues(other, 1);
    EXPECT_EQ(chart.GetBarCounts(0), (std::vector<int>{3, 0, 0, 0, 0}));
    EXPECT_EQ(chart.GetBarCounts(1), (std::vector<int>{0, 0, 0, 0, 1}));
    EXPECT_THROW(chart.SetValues(other, 3), CInvalidArgException);
    EXPECT_THROW(chart.GetBarCounts(2), CInvalidArgException);
}

} // namespace
