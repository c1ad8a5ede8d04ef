#include "platform/core/recording_dc.h"

#include "platform/core/exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

struct Expected
{
    const char* op;
    std::vector<int> args;
    std::vector<CPoint> points;
};

// Logical units twice as large as device pixels, origin at device (10, 20).
void scaleByTwo(CDC& dc)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, 100);
    dc.SetViewportExt(200, 200);
    dc.SetViewportOrg(10, 20);
}

} // namespace

TEST(CRecordingDCTest, RecordsCallsInOrderWithDevicePointsAndState)
{
    CRecordingDC dc;
    scaleByTwo(dc);
    CPen red(PS_SOLID, 2, kRed);
    CPen* old = dc.SelectObject(&red);
    dc.MoveTo(1, 2);
    dc.LineTo(5, 6);
    dc.SetROP2(R2_MERGEPENNOT);
    const POINT path[] = {{0, 0}, {3, 0}, {3, 4}};
    EXPECT_TRUE(dc.Polyline(path, 3));
    dc.SetROP2(R2_COPYPEN);
    dc.SelectObject(old);
    dc.Rectangle(5, 6, 1, 2);
    dc.Ellipse(CRect(0, 0, 10, 5));
    EXPECT_EQ(dc.SetPixel(3, 3, kGreen), kGreen);
    dc.SetTextColor(kBlue);
    dc.TextOut(4, 4, "Hi");
    CRect box(0, 0, 50, 10);
    dc.DrawText("Mid", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    const std::vector<Expected> expected = {
        {"MoveTo", {1, 2}, {{12, 24}}},
        {"LineTo", {5, 6}, {{12, 24}, {20, 32}}},
        {"Polyline", {0, 0, 3, 0, 3, 4}, {{10, 20}, {16, 20}, {16, 28}}},
        {"Rectangle", {5, 6, 1, 2}, {{12, 24}, {20, 32}}}, // normalised
        {"Ellipse", {0, 0, 10, 5}, {{10, 20}, {30, 30}}},
        {"SetPixel", {3, 3}, {{16, 26}}},
        {"TextOut", {4, 4}, {{18, 28}}},
        {"DrawText", {0, 0, 50, 10}, {{10, 20}, {110, 40}}},
    };
    const std::vector<CDCRecord>& records = dc.Records();
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(records[i].ToString().str());
        EXPECT_EQ(records[i].op, expected[i].op);
        EXPECT_EQ(records[i].args, expected[i].args);
        EXPECT_EQ(records[i].points, expected[i].points);
    }

    // The state travels with each record.
    EXPECT_EQ(records[1].pen, (LOGPEN{PS_SOLID, {2, 0}, kRed}));
    EXPECT_EQ(records[1].rop2, R2_COPYPEN);
    EXPECT_EQ(records[2].rop2, R2_MERGEPENNOT);
    EXPECT_EQ(records[2].pen.lopnColor, kRed);
    EXPECT_EQ(records[3].pen, (LOGPEN{PS_SOLID, {0, 0}, RGB(0, 0, 0)}));
    EXPECT_EQ(records[3].brush, (LOGBRUSH{BS_SOLID, RGB(255, 255, 255), 0}));
    EXPECT_EQ(records[3].rop2, R2_COPYPEN);
    EXPECT_EQ(records[5].color, kGreen);
    EXPECT_EQ(records[5].textColor, RGB(0, 0, 0));
    EXPECT_EQ(records[6].text, "Hi");
    EXPECT_EQ(records[6].textColor, kBlue);
    EXPECT_EQ(records[6].fontFace, "System");
    EXPECT_EQ(records[7].text, "Mid");
    EXPECT_EQ(records[7].format, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(records[7].bkMode, OPAQUE);

    EXPECT_THAT(records[1].ToString().str(), ::testing::StartsWith("LineTo(5,6) dev=(12,24)(20,32) pen=0/2/0x0000FF"));
    EXPECT_EQ(dc.Ops(), (std::vector<CString>{"MoveTo", "LineTo", "Polyline", "Rectangle", "Ellipse", "SetPixel",
                                              "TextOut", "DrawText"}));
    dc.Clear();
    EXPECT_TRUE(dc.Records().empty());
}

TEST(CRecordingDCTest, DrawsWithTheDescriptionOfAPenGoneOutOfScope)
{
    CRecordingDC dc;
    {
        CPen temporary(PS_DASH, 4, RGB(1, 2, 3));
        dc.SelectObject(&temporary);
    }
    scaleByTwo(dc);
    EXPECT_EQ(dc.GetDevicePenWidth(), 8);
    dc.LineTo(1, 1);
    EXPECT_EQ(dc.Records().back().pen, (LOGPEN{PS_DASH, {4, 0}, RGB(1, 2, 3)}));
    dc.SelectStockObject(BLACK_PEN);
    EXPECT_EQ(dc.GetDevicePenWidth(), 1);
}

TEST(CRecordingDCTest, FillsRecordTheBrushTheyFillWith)
{
    CRecordingDC dc;
    CBrush hatch(HS_BDIAGONAL, kBlue);
    dc.FillRect(CRect(1, 2, 3, 4), &hatch);
    dc.FillSolidRect(5, 6, 10, 20, kRed);
    dc.InvertRect(CRect(4, 3, 2, 1));

    const std::vector<CDCRecord>& r = dc.Records();
    ASSERT_EQ(r.size(), 3U);
    EXPECT_EQ(r[0].brush, (LOGBRUSH{BS_HATCHED, kBlue, HS_BDIAGONAL}));
    EXPECT_EQ(r[1].op, "FillSolidRect");
    EXPECT_EQ(r[1].args, (std::vector<int>{5, 6, 15, 26}));
    EXPECT_EQ(r[1].brush, (LOGBRUSH{BS_SOLID, kRed, 0}));
    EXPECT_EQ(r[2].points, (std::vector<CPoint>{{2, 1}, {4, 3}}));
}

TEST(CRecordingDCTest, FramesAreDrawnAsFourEdgesOneLogicalUnitWide)
{
    CRecordingDC dc;
    dc.Draw3dRect(CRect(0, 0, 10, 6), kGreen, kRed);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(2, 2);
    CBrush blue(kBlue);
    dc.FrameRect(CRect(0, 0, 10, 6), &blue);

    const std::vector<std::pair<CRect, COLORREF>> expected = {
        {{0, 0, 9, 1}, kGreen},   {{0, 0, 1, 5}, kGreen},   {{9, 0, 10, 6}, kRed},   {{0, 5, 10, 6}, kRed},
        {{0, 0, 20, 2}, kBlue},   {{0, 10, 20, 12}, kBlue}, {{0, 2, 2, 10}, kBlue},  {{18, 2, 20, 10}, kBlue},
    };
    const std::vector<CDCRecord>& r = dc.Records();
    ASSERT_EQ(r.size(), expected.size());
    for (size_t i = 0; i < r.size(); ++i) {
        SCOPED_TRACE(r[i].ToString().str());
        EXPECT_EQ(r[i].op, i < 4 ? "Draw3dRect" : "FrameRect");
        EXPECT_EQ(CRect(r[i].points[0], r[i].points[1]), expected[i].first);
        EXPECT_EQ(r[i].brush.lbColor, expected[i].second);
    }
}

TEST(CRecordingDCTest, RemembersPixelsOnTheDevice)
{
    CRecordingDC dc;
    dc.SetDeviceSize(100, 50);
    scaleByTwo(dc);
    EXPECT_EQ(dc.GetPixel(1, 1), CLR_INVALID);
    EXPECT_EQ(dc.SetPixel(1, 1, kRed), kRed);
    EXPECT_EQ(dc.GetPixel(1, 1), kRed);
    EXPECT_EQ(dc.GetPixel(CPoint(2, 1)), CLR_INVALID);
    EXPECT_TRUE(dc.SetPixelV(CPoint(1, 1), kBlue));
    EXPECT_EQ(dc.GetPixel(1, 1), kBlue);

    // Off the device: recorded as drawn, but nothing is set.
    EXPECT_EQ(dc.SetPixel(-6, 0, kRed), CLR_INVALID);
    EXPECT_FALSE(dc.SetPixelV(45, 0, kRed));
    EXPECT_EQ(dc.GetPixel(45, 0), CLR_INVALID);
    EXPECT_EQ(dc.Records().size(), 4U);

    dc.Clear();
    EXPECT_EQ(dc.GetPixel(1, 1), kBlue);
}

TEST(CRecordingDCTest, TextExtentFollowsTheFontHeight)
{
    struct Case
    {
        LONG height;
        LONG width;
        const char* text;
        CSize extent;
    };
    const Case cases[] = {
        {0, 0, "abc", {24, 16}},           // stock-like default: 16 high, 8 wide
        {-20, 0, "abc", {30, 20}},         // half the height, rounded up
        {21, 0, "ab", {22, 21}},           // cell heights count the same
        {-20, 7, "abc", {21, 20}},         // an explicit width wins
        {-20, 0, "\xC2\xB5m", {20, 20}},   // characters, not bytes
        {-20, 0, "", {0, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CRecordingDC dc;
        LOGFONT lf{};
        lf.lfHeight = c.height;
        lf.lfWidth = c.width;
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        dc.SelectObject(&font);
        EXPECT_EQ(dc.GetTextExtent(c.text), c.extent);
    }
}

TEST(CRecordingDCTest, DrawTextAnswersTheHeightItUsed)
{
    struct Case
    {
        const char* text;
        UINT format;
        int result;
    };
    // System font: lines 16 high in a rectangle 40 high.
    const Case cases[] = {
        {"abc", DT_SINGLELINE | DT_VCENTER, 28},
        {"abc", DT_SINGLELINE | DT_BOTTOM, 40},
        {"abc", DT_LEFT, 16},
        {"a\nbc\r\nd", DT_LEFT, 48},
        {"a\nb", DT_SINGLELINE, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CRecordingDC dc;
        CRect rect(0, 0, 100, 40);
        EXPECT_EQ(dc.DrawText(c.text, rect, c.format), c.result);
        EXPECT_EQ(dc.Records().size(), 1U);
    }
}

TEST(CRecordingDCTest, CalcRectSizesTheRectangleWithoutDrawing)
{
    CRecordingDC dc;
    CRect rect(5, 5, 5, 5);
    EXPECT_EQ(dc.DrawText("ab\nabcd", rect, DT_CALCRECT), 32);
    EXPECT_EQ(rect, CRect(5, 5, 37, 37));
    EXPECT_TRUE(dc.Records().empty());

    // With y pointing up the rectangle grows downwards in logical units too.
    dc.SetMapMode(MM_LOMETRIC);
    CRect up(0, 0, 0, 0);
    dc.DrawText("ab", &up, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(up, CRect(0, 0, 16, -16));
}

TEST(CRecordingDCTest, UpdateCPTextStartsAtAndMovesTheCurrentPosition)
{
    CRecordingDC dc;
    dc.SetTextAlign(TA_UPDATECP);
    dc.MoveTo(10, 10);
    dc.TextOut(0, 0, "ab");
    EXPECT_EQ(dc.Records().back().points, (std::vector<CPoint>{{10, 10}}));
    EXPECT_EQ(dc.Records().back().textAlign, TA_UPDATECP);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(26, 10));

    dc.SetTextAlign(TA_UPDATECP | TA_RIGHT);
    dc.TextOut(0, 0, "abc", 2);
    EXPECT_EQ(dc.Records().back().text, "ab");
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(10, 10));
}

TEST(CRecordingDCTest, BadArgumentsDrawNothing)
{
    CRecordingDC dc;
    const POINT one[] = {{1, 1}};
    EXPECT_FALSE(dc.Polyline(one, 1));
    EXPECT_FALSE(dc.Polygon(one, 0));
    EXPECT_THROW(dc.Polyline(nullptr, 2), CInvalidArgException);
    EXPECT_THROW(dc.Polygon(one, -1), CInvalidArgException);
    EXPECT_THROW(dc.FillRect(CRect(0, 0, 1, 1), nullptr), CInvalidArgException);
    CBrush uncreated;
    EXPECT_THROW(dc.FrameRect(CRect(0, 0, 1, 1), &uncreated), CInvalidArgException);
    EXPECT_THROW(dc.Rectangle(static_cast<const RECT*>(nullptr)), CInvalidArgException);
    EXPECT_THROW(dc.DrawText("x", static_cast<RECT*>(nullptr), 0), CInvalidArgException);
    EXPECT_THROW(dc.TextOut(0, 0, nullptr, 3), CInvalidArgException);
    EXPECT_TRUE(dc.Records().empty());
}

TEST(CRecordingDCTest, PixelBlocksRecordTheirDestinationAndSize)
{
    CRecordingDC dc;
    scaleByTwo(dc);
    const BYTE colour[2 * 8] = {};
    EXPECT_TRUE(dc.StretchDIBits(CRect(0, 0, 30, 20), 2, 2, colour, 8, 24));
    // Corners keep the order of the logical rectangle: right to left stays mirrored.
    const BYTE grey[4] = {0, 1, 2};
    const COLORREF palette[3] = {RGB(0, 0, 0), RGB(1, 1, 1), RGB(2, 2, 2)};
    EXPECT_TRUE(dc.StretchDIBits(CRect(5, 0, 0, 5), 3, 1, grey, 4, 8, palette));
    // Nothing to cover.
    EXPECT_FALSE(dc.StretchDIBits(CRect(3, 3, 3, 9), 3, 1, grey, 4, 8, palette));

    const std::vector<CDCRecord>& r = dc.Records();
    ASSERT_EQ(r.size(), 2U);
    EXPECT_EQ(r[0].op, "StretchDIBits");
    EXPECT_EQ(r[0].args, (std::vector<int>{0, 0, 30, 20, 2, 2, 24}));
    EXPECT_EQ(r[0].points, (std::vector<CPoint>{{10, 20}, {70, 60}}));
    EXPECT_EQ(r[1].args, (std::vector<int>{5, 0, 0, 5, 3, 1, 8}));
    EXPECT_EQ(r[1].points, (std::vector<CPoint>{{20, 20}, {10, 30}}));
}

TEST(CRecordingDCTest, PixelBlocksThatDoNotAddUpDrawNothing)
{
    CRecordingDC dc;
    const BYTE bits[64] = {};
    const COLORREF grey[1] = {RGB(9, 9, 9)};
    const COLORREF tooMany[257] = {};
    const CRect dest(0, 0, 10, 10);
    EXPECT_THROW(dc.StretchDIBits(dest, 0, 1, bits, 4, 24), CInvalidArgException);
    EXPECT_THROW(dc.StretchDIBits(dest, 1, 1, nullptr, 4, 24), CInvalidArgException);
    EXPECT_THROW(dc.StretchDIBits(dest, 2, 1, bits, 5, 24), CInvalidArgException); // row shorter than 2 pixels
    EXPECT_THROW(dc.StretchDIBits(dest, 2, 1, bits, 8, 16), CInvalidArgException);
    EXPECT_THROW(dc.StretchDIBits(dest, 2, 1, bits, 4, 8), CInvalidArgException); // no palette
    EXPECT_THROW(dc.StretchDIBits(dest, 2, 1, bits, 4, 8, tooMany), CInvalidArgException);
    EXPECT_THROW(dc.StretchDIBits(dest, 2, 1, bits, 8, 24, grey), CInvalidArgException);
    EXPECT_TRUE(dc.Records().empty());
}
