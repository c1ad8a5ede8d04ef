// The meter: what it draws for a value and a mark, and its ranges.

#include "outside/flickor/vumeter.h"

#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const CRect kMeterRect(0, 0, 200, 150);

std::vector<CDCRecord> Lines(const CRecordingDC& dc, COLORREF colour)
{
    std::vector<CDCRecord> found;
    for (const CDCRecord& r : dc.Records())
        if ((r.op == "LineTo" || r.op == "Polyline") && r.pen.lopnColor == colour)
            found.push_back(r);
    return found;
}

TEST(VUMeterTest, DrawsBothScalesInTheirColoursTheNeedleTheMarkAndTheTexts)
{
    CVUMeter meter;
    meter.SetScaleColors(RGB(255, 0, 0), RGB(0, 255, 0));
    ASSERT_TRUE(meter.SetRange(0, 0.0, 100.0));
    ASSERT_TRUE(meter.SetRange(1, 0.0, 100.0));
    meter.SetValue(50.0, 95.0);
    CRecordingDC dc;
    meter.Draw(&dc, kMeterRect);

    // Each scale: one arc and eleven ticks in its colour.
    for (COLORREF colour : {RGB(255, 0, 0), RGB(0, 255, 0)}) {
        const std::vector<CDCRecord> lines = Lines(dc, colour);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const CDCRecord& r) { return r.op == "Polyline"; }), 1);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const CDCRecord& r) { return r.op == "LineTo"; }), 11);
    }
    // The needle at half the scale points straight up from the hub.
    const std::vector<CDCRecord> needle = Lines(dc, RGB(0, 0, 0));
    ASSERT_EQ(needle.size(), 1u);
    ASSERT_EQ(needle[0].points.size(), 2u);
    EXPECT_EQ(needle[0].points[0].x, needle[0].points[1].x);
    EXPECT_LT(needle[0].points[1].y, needle[0].points[0].y);
    EXPECT_EQ(needle[0].points[1], meter.NeedlePoint(kMeterRect, 50.0));
    // The mark at 95 lies right of the needle, near the scale's right end.
    const std::vector<CDCRecord> mark = Lines(dc, RGB(0, 0, 255));
    ASSERT_EQ(mark.size(), 1u);
    EXPECT_GT(mark[0].points[0].x, meter.NeedlePoint(kMeterRect, 90.0).x);
    EXPECT_LT(mark[0].points[0].x, kMeterRect.right);

    std::vector<CString> texts;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "DrawText")
            texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<CString>{"", "50"}));
}

TEST(VUMeterTest, ValuesOutsideTheRangePinTheNeedleAndBadRangesAreRefused)
{
    CVUMeter meter;
    ASSERT_TRUE(meter.SetRange(0, 0.0, 100.0));
    EXPECT_EQ(meter.NeedlePoint(kMeterRect, 250.0), meter.NeedlePoint(kMeterRect, 100.0));
    EXPECT_EQ(meter.NeedlePoint(kMeterRect, -5.0), meter.NeedlePoint(kMeterRect, 0.0));
    EXPECT_EQ(meter.NeedlePoint(kMeterRect, std::nan("")), meter.NeedlePoint(kMeterRect, 0.0));
    EXPECT_LT(meter.NeedlePoint(kMeterRect, 0.0).x, meter.NeedlePoint(kMeterRect, 100.0).x);

    EXPECT_FALSE(meter.SetRange(0, 10.0, 10.0));
    EXPECT_FALSE(meter.SetRange(1, 10.0, 5.0));
    EXPECT_FALSE(meter.SetRange(2, 0.0, 1.0));
    EXPECT_EQ(meter.NeedlePoint(kMeterRect, 100.0), meter.NeedlePoint(kMeterRect, 250.0));
}

TEST(VUMeterTest, TheCaptionIsWrittenUnderTheHub)
{
    CVUMeter meter;
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "Parent", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 300), nullptr, 0));
    CDIBPal wash;
    ASSERT_TRUE(wash.CreateWash());
    ASSERT_TRUE(meter.Create("Value", WS_CHILD | WS_VISIBLE, kMeterRect, &parent, 1, &wash));
    EXPECT_EQ(meter.GetDlgCtrlID(), 1);
    CRecordingDC dc;
    meter.Draw(&dc, kMeterRect);
    const auto caption = std::find_if(dc.Records().begin(), dc.Records().end(),
                                      [](const CDCRecord& r) { return r.op == "DrawText"; });
    ASSERT_NE(caption, dc.Records().end());
    EXPECT_EQ(caption->text, "Value");
    EXPECT_GT(caption->points[0].y, meter.NeedlePoint(kMeterRect, 0.0).y);
    // The face is washed top to bottom from the palette.
    EXPECT_EQ(dc.Records().front().op, "FillSolidRect");
    EXPECT_EQ(dc.Records().front().brush.lbColor, wash.GetColor(0));
    parent.DestroyWindow();
}

} // namespace
