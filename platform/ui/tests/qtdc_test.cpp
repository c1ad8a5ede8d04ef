#include "platform/ui/qtdc.h"

#include "platform/core/exceptions.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPicture>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

QImage canvas(int width, int height, COLORREF color = kWhite)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    return image;
}

COLORREF pixel(const QImage& image, int x, int y)
{
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// The smallest rectangle holding every pixel that is not the background.
QRect inkBox(const QImage& image, COLORREF background = kWhite)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pixel(image, x, y) != background)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

struct PixelExpectation
{
    int x;
    int y;
    COLORREF color;
};

void expectPixels(const QImage& image, std::initializer_list<PixelExpectation> expected)
{
    for (const PixelExpectation& e : expected)
        EXPECT_EQ(pixel(image, e.x, e.y), e.color) << "at (" << e.x << ", " << e.y << ")";
}

} // namespace

// ---------------------------------------------------------------- lines and shapes

TEST(CQtDCTest, LinesLeaveOutTheirLastPixel)
{
    QImage image = canvas(40, 40);
    {
        CQtDC dc(image);
        dc.MoveTo(5, 10);
        dc.LineTo(15, 10);
        dc.MoveTo(30, 5);
        dc.LineTo(30, 12);
        const POINT corner[] = {{5, 30}, {12, 30}, {12, 20}};
        dc.Polyline(corner, 3);
        // Leftwards and upwards the first pixel is drawn and the last left out.
        dc.MoveTo(25, 35);
        dc.LineTo(18, 35);
        dc.MoveTo(35, 38);
        dc.LineTo(35, 30);
    }
    expectPixels(image, {
                            {5, 10, kBlack}, {14, 10, kBlack}, {15, 10, kWhite}, {4, 10, kWhite},
                            {30, 5, kBlack}, {30, 11, kBlack}, {30, 12, kWhite},
                            {5, 30, kBlack}, {12, 30, kBlack}, {12, 21, kBlack}, {12, 20, kWhite},
                            {25, 35, kBlack}, {19, 35, kBlack}, {18, 35, kWhite},
                            {35, 38, kBlack}, {35, 31, kBlack}, {35, 30, kWhite},
                        });
}

TEST(CQtDCTest, APolylineCombinesEachPixelOnceForEachPassOverIt)
{
    // Down a column, back up part of it, a diagonal step, along a row and
    // back: an inverting pen shows every pixel passed an even number of
    // times as background.
    QImage image = canvas(40, 40);
    {
        CQtDC dc(image);
        dc.SetROP2(R2_XORPEN);
        CPen pen(PS_SOLID, 1, kWhite);
        CPen* old = dc.SelectObject(&pen);
        const POINT path[] = {{10, 10}, {10, 20}, {10, 15}, {13, 18}, {20, 18}, {16, 18}};
        dc.Polyline(path, 6);
        dc.SelectObject(old);
    }
    expectPixels(image, {
                            {10, 10, kBlack}, {10, 14, kBlack}, {10, 15, kWhite}, {10, 16, kWhite}, {10, 19, kWhite},
                            {10, 20, kBlack}, {11, 16, kBlack}, {12, 17, kBlack}, {13, 18, kBlack},
                            {16, 18, kBlack}, {17, 18, kWhite}, {19, 18, kWhite}, {20, 18, kBlack},
                            {15, 18, kBlack}, {10, 21, kWhite}, {21, 18, kWhite},
                        });
}

TEST(CQtDCTest, PensDrawInTheirColourWidthAndStyle)
{
    QImage image = canvas(60, 40);
    {
        CQtDC dc(image);
        CPen wide(PS_SOLID, 5, kRed);
        dc.SelectObject(&wide);
        dc.MoveTo(10, 10);
        dc.LineTo(50, 10);
        CPen none(PS_NULL, 1, kBlue);
        dc.SelectObject(&none);
        dc.MoveTo(10, 30);
        dc.LineTo(50, 30);
        CPen dashed(PS_DASH, 1, kBlue);
        dc.SelectObject(&dashed);
        dc.MoveTo(0, 35);
        dc.LineTo(60, 35);
        dc.SetBkColor(kRed);
        dc.MoveTo(0, 38);
        dc.LineTo(60, 38);
    }
    expectPixels(image, {{30, 8, kRed}, {30, 12, kRed}, {30, 14, kWhite}, {30, 30, kWhite}});
    // 18 pixels on, 6 off.
    expectPixels(image, {{0, 35, kBlue}, {17, 35, kBlue}, {18, 35, kWhite}, {23, 35, kWhite}, {24, 35, kBlue}});
    // The gaps show the background colour while the mode is opaque.
    expectPixels(image, {{17, 38, kBlue}, {18, 38, kRed}, {23, 38, kRed}});
}

TEST(CQtDCTest, RectanglesOutlineTheirLastColumnAndRowAndFillInside)
{
    QImage image = canvas(60, 40);
    {
        CQtDC dc(image);
        CBrush red(kRed);
        dc.SelectObject(&red);
        dc.Rectangle(10, 10, 20, 16);
        dc.SelectStockObject(NULL_PEN);
        dc.Rectangle(30, 10, 40, 16);
    }
    expectPixels(image, {
                            {10, 10, kBlack}, {19, 15, kBlack}, {19, 10, kBlack}, {10, 15, kBlack},
                            {20, 10, kWhite}, {10, 16, kWhite}, {11, 11, kRed}, {18, 14, kRed},
                        });
    // Without a pen the fill ends one pixel earlier.
    expectPixels(image, {{30, 10, kRed}, {38, 14, kRed}, {39, 14, kWhite}, {38, 15, kWhite}});
}

TEST(CQtDCTest, EllipsesTouchTheirBoxAndFillTheMiddle)
{
    QImage image = canvas(60, 60);
    {
        CQtDC dc(image);
        CBrush red(kRed);
        dc.SelectObject(&red);
        dc.Ellipse(10, 10, 51, 31);
    }
    EXPECT_EQ(inkBox(image), QRect(10, 10, 41, 21));
    expectPixels(image, {{30, 20, kRed}, {30, 10, kBlack}, {10, 20, kBlack}, {50, 20, kBlack}, {11, 11, kWhite}, {49, 29, kWhite}});
}

TEST(CQtDCTest, PolygonsFollowTheFillMode)
{
    // A pentagram: its centre is outside for alternate filling, inside for winding.
    const POINT star[] = {{50, 5}, {79, 95}, {2, 39}, {98, 39}, {21, 95}};
    for (const auto& [mode, centre] : {std::pair{ALTERNATE, kWhite}, std::pair{WINDING, kRed}}) {
        QImage image = canvas(100, 100);
        {
            CQtDC dc(image);
            CBrush red(kRed);
            dc.SelectObject(&red);
            dc.SelectStockObject(NULL_PEN);
            dc.SetPolyFillMode(mode);
            dc.Polygon(star, 5);
        }
        EXPECT_EQ(pixel(image, 50, 55), centre) << "mode " << mode;
        EXPECT_EQ(pixel(image, 50, 20), kRed) << "mode " << mode;
    }
}

TEST(CQtDCTest, FillsIgnoreTheRasterOperationAndStopBeforeTheirEdges)
{
    QImage image = canvas(40, 40);
    {
        CQtDC dc(image);
        dc.SetROP2(R2_XORPEN);
        dc.FillSolidRect(CRect(5, 5, 15, 10), kRed);
        CBrush blue(kBlue);
        dc.FrameRect(CRect(20, 20, 30, 30), &blue);
        dc.Draw3dRect(CRect(2, 20, 12, 30), kBlack, kRed);
    }
    expectPixels(image, {{5, 5, kRed}, {14, 9, kRed}, {15, 9, kWhite}, {14, 10, kWhite}});
    expectPixels(image, {{20, 20, kBlue}, {29, 29, kBlue}, {25, 25, kWhite}, {30, 25, kWhite}});
    expectPixels(image, {{2, 20, kBlack}, {2, 28, kBlack}, {11, 20, kRed}, {5, 29, kRed}});
}

TEST(CQtDCTest, HatchedBrushesFillTheBackgroundWhenOpaque)
{
    for (const auto& [mode, gap] : {std::pair{OPAQUE, kBlue}, std::pair{TRANSPARENT, kWhite}}) {
        QImage image = canvas(32, 32);
        {
            CQtDC dc(image);
            dc.SetBkColor(kBlue);
            dc.SetBkMode(mode);
            CBrush hatch(HS_HORIZONTAL, kBlack);
            dc.FillRect(CRect(0, 0, 32, 32), &hatch);
        }
        std::vector<COLORREF> column;
        for (int y = 0; y < 32; ++y)
            column.push_back(pixel(image, 10, y));
        EXPECT_NE(std::find(column.begin(), column.end(), kBlack), column.end());
        EXPECT_NE(std::find(column.begin(), column.end(), gap), column.end()) << "mode " << mode;
    }
}

// ---------------------------------------------------------------- pixels

TEST(CQtDCTest, PixelsRoundTripAndAnswerInvalidOffTheImage)
{
    QImage image = canvas(10, 10);
    CQtDC dc(image);
    EXPECT_EQ(dc.SetPixel(3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(3, 4), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(4, 4), kWhite);
    EXPECT_EQ(dc.SetPixel(10, 0, kRed), CLR_INVALID);
    EXPECT_EQ(dc.GetPixel(-1, 0), CLR_INVALID);
    EXPECT_FALSE(dc.SetPixelV(0, 10, kRed));
    dc.End();
    EXPECT_EQ(pixel(image, 3, 4), RGB(1, 2, 3));
}

TEST(CQtDCTest, RefusesADeviceItCannotPaint)
{
    QImage empty;
    EXPECT_THROW(CQtDC dc(empty), CInvalidArgException);
    QPainter idle;
    EXPECT_THROW(CQtDC dc(idle), CInvalidArgException);
}

TEST(CQtDCTest, ReportsTheImageAsItsDevice)
{
    QImage image = canvas(200, 100);
    image.setDotsPerMeterX(3937); // 100 dpi
    image.setDotsPerMeterY(3937);
    CQtDC dc(image);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 200);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 100);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 100);
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_FALSE(dc.IsPrinting());
    EXPECT_TRUE(dc.HasRasterOps());
}

// ---------------------------------------------------------------- mapping

TEST(CQtDCTest, AnisotropicMappingWithYUpDrawsFromTheBottom)
{
    QImage image = canvas(200, 200);
    {
        CQtDC dc(image);
        // 100 x 100 logical units fill the image, y up from the bottom row.
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(200, -200);
        dc.SetViewportOrg(0, 200);
        dc.FillSolidRect(CRect(0, 0, 50, 25), kRed);
        dc.MoveTo(0, 90);
        dc.LineTo(100, 90);
    }
    expectPixels(image, {{0, 199, kRed}, {99, 150, kRed}, {100, 199, kWhite}, {50, 149, kWhite}});
    expectPixels(image, {{0, 20, kBlack}, {199, 20, kBlack}, {100, 19, kWhite}, {100, 21, kWhite}});
}

TEST(CQtDCTest, TextInAFlippedMappingStaysUpright)
{
    QImage image = canvas(200, 100);
    {
        CQtDC dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1, 1);
        dc.SetViewportExt(1, -1);
        dc.SetViewportOrg(0, 100);
        CFont font;
        font.CreatePointFont(120, "Arial", &dc);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 80, "Ty"); // device (10, 20), top aligned: the text hangs below
    }
    const QRect ink = inkBox(image);
    EXPECT_GE(ink.top(), 20);
    EXPECT_LE(ink.top(), 26);
    EXPECT_GE(ink.left(), 10);
}

// ---------------------------------------------------------------- raster operations

namespace {

struct RopCase
{
    int rop;
    std::function<COLORREF(COLORREF pen, COLORREF screen)> result;
};

const std::vector<RopCase>& ropCases()
{
    static const std::vector<RopCase> cases = {
        {R2_BLACK, [](COLORREF, COLORREF) { return 0u; }},
        {R2_NOTMERGEPEN, [](COLORREF p, COLORREF d) { return ~(p | d); }},
        {R2_MASKNOTPEN, [](COLORREF p, COLORREF d) { return ~p & d; }},
        {R2_NOTCOPYPEN, [](COLORREF p, COLORREF) { return ~p; }},
        {R2_MASKPENNOT, [](COLORREF p, COLORREF d) { return p & ~d; }},
        {R2_NOT, [](COLORREF, COLORREF d) { return ~d; }},
        {R2_XORPEN, [](COLORREF p, COLORREF d) { return p ^ d; }},
        {R2_NOTMASKPEN, [](COLORREF p, COLORREF d) { return ~(p & d); }},
        {R2_MASKPEN, [](COLORREF p, COLORREF d) { return p & d; }},
        {R2_NOTXORPEN, [](COLORREF p, COLORREF d) { return ~(p ^ d); }},
        {R2_NOP, [](COLORREF, COLORREF d) { return d; }},
        {R2_MERGENOTPEN, [](COLORREF p, COLORREF d) { return ~p | d; }},
        {R2_COPYPEN, [](COLORREF p, COLORREF) { return p; }},
        {R2_MERGEPENNOT, [](COLORREF p, COLORREF d) { return p | ~d; }},
        {R2_MERGEPEN, [](COLORREF p, COLORREF d) { return p | d; }},
        {R2_WHITE, [](COLORREF, COLORREF) { return 0xFFFFFFu; }},
    };
    return cases;
}

constexpr COLORREF kPenColor = RGB(0x3C, 0xC3, 0x99);
constexpr COLORREF kScreenColor = RGB(0x12, 0xF4, 0x56);

} // namespace

TEST(CQtDCTest, EveryRasterOperationCombinesPenAndScreenOnAnImage)
{
    for (const RopCase& c : ropCases()) {
        QImage image = canvas(20, 5, kScreenColor);
        {
            CQtDC dc(image);
            CPen pen(PS_SOLID, 1, kPenColor);
            dc.SelectObject(&pen);
            dc.SetROP2(c.rop);
            dc.MoveTo(2, 2);
            dc.LineTo(18, 2);
        }
        EXPECT_EQ(pixel(image, 10, 2), c.result(kPenColor, kScreenColor) & 0xFFFFFF) << "R2 code " << c.rop;
        EXPECT_EQ(pixel(image, 10, 1), kScreenColor) << "R2 code " << c.rop;
    }
}

TEST(CQtDCTest, DevicesWithoutRasterOpsGetTheColourTheOperationGivesOnWhite)
{
    for (const RopCase& c : ropCases()) {
        if (c.rop == R2_NOP)
            continue;
        QPicture picture;
        {
            QPainter painter(&picture);
            CQtDC dc(painter);
            EXPECT_FALSE(dc.HasRasterOps());
            CPen pen(PS_SOLID, 1, kPenColor);
            dc.SelectObject(&pen);
            dc.SetROP2(c.rop);
            dc.MoveTo(2, 2);
            dc.LineTo(18, 2);
        }
        QImage image = canvas(20, 5, kScreenColor);
        QPainter(&image).drawPicture(0, 0, picture);
        EXPECT_EQ(pixel(image, 10, 2), c.result(kPenColor, kWhite) & 0xFFFFFF) << "R2 code " << c.rop;
    }
}

TEST(CQtDCTest, InvertingOperationsDrawnTwiceLeaveTheImageUnchanged)
{
    // A picture with structure, so that any pixel touched once shows.
    QImage original = canvas(80, 60);
    {
        QPainter painter(&original);
        painter.fillRect(0, 0, 40, 60, QColor(30, 90, 200));
        painter.fillRect(20, 20, 40, 20, QColor(250, 200, 10));
    }
    struct InvertCase
    {
        const char* name;
        int rop;
        COLORREF pen;
    };
    const InvertCase cases[] = {
        {"not", R2_NOT, kRed},
        {"xor", R2_XORPEN, kRed},
        {"merge pen with the inverted screen, black pen", R2_MERGEPENNOT, kBlack},
    };
    for (const InvertCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = original.copy();
        auto drawFigures = [&] {
            CQtDC dc(image);
            CPen pen(PS_SOLID, 1, c.pen);
            dc.SelectObject(&pen);
            dc.SelectStockObject(NULL_BRUSH);
            dc.SetROP2(c.rop);
            // A marker cross, a rubber frame, an ellipse, a polyline and an inverted block.
            dc.MoveTo(30, 23);
            dc.LineTo(30, 29);
            dc.MoveTo(30, 31);
            dc.LineTo(30, 38);
            dc.MoveTo(23, 30);
            dc.LineTo(38, 30);
            dc.Rectangle(5, 5, 70, 50);
            dc.Ellipse(10, 8, 60, 45);
            const POINT path[] = {{2, 55}, {40, 10}, {78, 55}, {2, 57}};
            dc.Polyline(path, 4);
            dc.InvertRect(CRect(35, 35, 45, 45));
        };
        drawFigures();
        EXPECT_NE(image, original);
        if (c.rop == R2_MERGEPENNOT) {
            EXPECT_EQ(pixel(image, 30, 25), ~pixel(original, 30, 25) & 0xFFFFFF);
        }
        drawFigures();
        EXPECT_EQ(image, original);
    }
}

// ---------------------------------------------------------------- text

TEST(CQtDCTest, TextOutPlacesTheTextAroundItsReferencePoint)
{
    struct AlignCase
    {
        const char* name;
        UINT align;
        // Where the reference point (100, 50) lies on the text's box.
        bool atLeft, atRight, atTop, atBottom;
    };
    const AlignCase cases[] = {
        {"left top", TA_LEFT | TA_TOP, true, false, true, false},
        {"right bottom", TA_RIGHT | TA_BOTTOM, false, true, false, true},
        {"centre baseline", TA_CENTER | TA_BASELINE, false, false, false, false},
    };
    for (const AlignCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = canvas(200, 100);
        CSize extent;
        {
            CQtDC dc(image);
            CFont font;
            font.CreateFont(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
            dc.SelectObject(&font);
            dc.SetTextAlign(c.align);
            dc.SetBkMode(TRANSPARENT);
            dc.TextOut(100, 50, "HHH");
            extent = dc.GetTextExtent("HHH");
        }
        const QRect ink = inkBox(image);
        ASSERT_FALSE(ink.isEmpty());
        // The ink lies within the box the extent describes around the point.
        const int left = c.atLeft ? 100 : c.atRight ? 100 - extent.cx : 100 - extent.cx / 2;
        EXPECT_GE(ink.left(), left - 1);
        EXPECT_LE(ink.right(), left + extent.cx);
        if (c.atTop) {
            EXPECT_GE(ink.top(), 50);
            EXPECT_LE(ink.bottom(), 50 + extent.cy);
        } else if (c.atBottom) {
            EXPECT_LE(ink.bottom(), 50);
            EXPECT_GE(ink.top(), 50 - extent.cy);
        } else {
            // Capitals stand on the baseline.
            EXPECT_LE(std::abs(ink.bottom() - 49), 1);
            EXPECT_LE(std::abs(ink.center().x() - 100), 2);
        }
    }
}

TEST(CQtDCTest, OpaqueTextFillsItsBoxWithTheBackgroundColour)
{
    QImage image = canvas(200, 60);
    CSize extent;
    {
        CQtDC dc(image);
        dc.SetBkColor(kBlue);
        dc.SetTextColor(kRed);
        dc.TextOut(10, 10, "Kestrun");
        extent = dc.GetTextExtent("Kestrun");
    }
    EXPECT_EQ(inkBox(image), QRect(10, 10, extent.cx, extent.cy));
    EXPECT_EQ(pixel(image, 10, 10), kBlue);
}

TEST(CQtDCTest, DrawTextAlignsInItsRectangleAndClipsToIt)
{
    struct DrawTextCase
    {
        const char* name;
        UINT format;
        QRect expectedInside;
    };
    const CRect rect(20, 10, 180, 90);
    const DrawTextCase cases[] = {
        {"left top", DT_LEFT | DT_TOP | DT_SINGLELINE, QRect(20, 10, 80, 40)},
        {"right bottom", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, QRect(100, 50, 80, 40)},
        {"centred", DT_CENTER | DT_VCENTER | DT_SINGLELINE, QRect(50, 30, 100, 40)},
    };
    for (const DrawTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = canvas(200, 100);
        {
            CQtDC dc(image);
            dc.SetBkMode(TRANSPARENT);
            CRect r = rect;
            dc.DrawText("Wide", &r, c.format);
        }
        const QRect ink = inkBox(image);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(c.expectedInside.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    }

    QImage image = canvas(200, 100);
    {
        CQtDC dc(image);
        CRect narrow(20, 10, 40, 90);
        dc.DrawText("A text far wider than its box", &narrow, DT_LEFT | DT_SINGLELINE);
    }
    EXPECT_TRUE(QRect(20, 10, 20, 80).contains(inkBox(image)));
}

TEST(CQtDCTest, DrawTextBreaksLinesAndShowsPrefixesAsUnderlines)
{
    QImage lines = canvas(200, 100);
    QImage prefixed = canvas(200, 100);
    QImage plain = canvas(200, 100);
    int lineHeight = 0;
    {
        CQtDC dc(lines);
        CRect r(0, 0, 200, 100);
        lineHeight = dc.GetTextExtent("X").cy;
        dc.DrawText("first\nsecond", &r, DT_LEFT);
    }
    EXPECT_GT(inkBox(lines).height(), lineHeight);
    {
        CQtDC dc(prefixed);
        CRect r(0, 0, 200, 100);
        dc.DrawText("&File", &r, DT_LEFT | DT_SINGLELINE);
    }
    {
        CQtDC dc(plain);
        CRect r(0, 0, 200, 100);
        dc.DrawText("File", &r, DT_LEFT | DT_SINGLELINE);
    }
    // The underline adds ink below the letters, and the '&' itself is not drawn.
    EXPECT_GT(inkBox(prefixed).bottom(), inkBox(plain).bottom());
    EXPECT_LE(inkBox(prefixed).width(), inkBox(plain).width() + 1);
}

TEST(CQtDCTest, FontsFallBackToFreeFacesOfTheSameKind)
{
    LOGFONT log{};
    SetFaceName(log, "Courier New");
    EXPECT_TRUE(QFontInfo(kestrun::QtFont(log, -14)).fixedPitch());
    SetFaceName(log, "Arial");
    const QString arial = QFontInfo(kestrun::QtFont(log, -14)).family();
    EXPECT_TRUE(arial == "Liberation Sans" || arial == "DejaVu Sans") << arial.toStdString();
    SetFaceName(log, "MS Sans Serif");
    EXPECT_FALSE(QFontInfo(kestrun::QtFont(log, -14)).fixedPitch());

    // Negative heights give the character size, positive ones the cell.
    EXPECT_EQ(kestrun::QtFont(log, -20).pixelSize(), 20);
    EXPECT_NEAR(QFontMetrics(kestrun::QtFont(log, 30)).height(), 30, 1);
    log.lfWeight = FW_BOLD;
    log.lfItalic = 1;
    const QFont bold = kestrun::QtFont(log, -12);
    EXPECT_EQ(bold.weight(), QFont::Bold);
    EXPECT_TRUE(bold.italic());
}

// ---------------------------------------------------------------- pixel blocks

TEST(CQtDCTest, StretchesPixelBlocksByNearestPixels)
{
    // Two by two, blue green red, rows four bytes apart.
    const BYTE bgr[] = {
        0, 0, 255, 255, 0, 0, 0, 0, // red, blue
        0, 255, 0, 0, 0, 0, 0, 0,   // green, black
    };
    QImage image = canvas(10, 10);
    {
        CQtDC dc(image);
        dc.StretchDIBits(CRect(0, 0, 4, 4), 2, 2, bgr, 8, 24);
        // Mirrored left to right.
        dc.StretchDIBits(CRect(10, 6, 6, 10), 2, 2, bgr, 8, 24);
    }
    expectPixels(image, {{0, 0, kRed}, {1, 1, kRed}, {2, 0, kBlue}, {3, 1, kBlue}, {0, 2, RGB(0, 255, 0)}, {3, 3, kBlack}, {4, 0, kWhite}});
    expectPixels(image, {{9, 6, kRed}, {6, 6, kBlue}, {9, 9, RGB(0, 255, 0)}, {6, 9, kBlack}});

    const BYTE indexed[] = {0, 1, 0, 0, 1, 0, 0, 0};
    const COLORREF palette[] = {RGB(10, 20, 30), RGB(200, 100, 50)};
    QImage small = canvas(2, 2);
    {
        CQtDC dc(small);
        dc.StretchDIBits(CRect(0, 0, 2, 2), 2, 2, indexed, 4, 8, palette);
    }
    expectPixels(small, {{0, 0, palette[0]}, {1, 0, palette[1]}, {0, 1, palette[1]}, {1, 1, palette[0]}});
}

// ---------------------------------------------------------------- painters handed in

TEST(CQtDCTest, GivesAPainterBackAsItCame)
{
    constexpr COLORREF kCyan = RGB(0, 255, 255); // red xor white
    QImage image = canvas(20, 20);
    QPainter painter(&image);
    painter.setPen(QColor(Qt::green));
    painter.translate(5, 5);
    {
        CQtDC dc(painter);
        CPen red(PS_SOLID, 1, kRed);
        dc.SelectObject(&red);
        dc.SetROP2(R2_XORPEN);
        dc.MoveTo(0, 0);
        dc.LineTo(5, 0);
        // Pixels are read through the painter's transformation.
        EXPECT_EQ(dc.GetPixel(0, 0), kCyan);
        EXPECT_EQ(dc.GetPixel(5, 0), kWhite);
    }
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    EXPECT_EQ(painter.transform().dx(), 5);
    painter.end();
    EXPECT_EQ(pixel(image, 5, 5), kCyan);
    EXPECT_EQ(pixel(image, 0, 0), kWhite);
}
