#include "outside/pixmere/dib.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <set>
#include <utility>

namespace {

constexpr COLORREF kPen = RGB(0x12, 0x34, 0x56);

CDIB blankPage(int width, int height, int bpp)
{
    CDIB page;
    EXPECT_TRUE(page.InitDIB(width, height, bpp));
    return page;
}

// The pixels that are no longer black.
std::set<std::pair<int, int>> marked(const CDIB& page)
{
    std::set<std::pair<int, int>> points;
    for (int y = 0; y < page.GetHeight(); ++y) {
        for (int x = 0; x < page.GetWidth(); ++x) {
            if (page.GetPixel(x, y) != 0)
                points.emplace(x, y);
        }
    }
    return points;
}

} // namespace

TEST(DeviceRopTest, CombinesPenAndPixelBitByBit)
{
    constexpr COLORREF pen = 0x00F0F0F0;
    constexpr COLORREF pixel = 0x00CCCCCC;
    const std::pair<int, COLORREF> cases[] = {
        {R2_BLACK, 0},
        {R2_NOTMERGEPEN, ~(pen | pixel) & 0xFFFFFF},
        {R2_MASKNOTPEN, ~pen & pixel},
        {R2_NOTCOPYPEN, ~pen & 0xFFFFFF},
        {R2_MASKPENNOT, pen & ~pixel},
        {R2_NOT, ~pixel & 0xFFFFFF},
        {R2_XORPEN, pen ^ pixel},
        {R2_NOTMASKPEN, ~(pen & pixel) & 0xFFFFFF},
        {R2_MASKPEN, pen & pixel},
        {R2_NOTXORPEN, ~(pen ^ pixel) & 0xFFFFFF},
        {R2_NOP, pixel},
        {R2_MERGENOTPEN, (~pen | pixel) & 0xFFFFFF},
        {R2_COPYPEN, pen},
        {R2_MERGEPENNOT, (pen | ~pixel) & 0xFFFFFF},
        {R2_MERGEPEN, pen | pixel},
        {R2_WHITE, 0xFFFFFF},
        {0, pixel},
        {17, pixel},
    };
    for (const auto& [rop, expected] : cases)
        EXPECT_EQ(kestrun::ApplyRop2(rop, pen, pixel), expected) << "rop " << rop;
}

TEST(DeviceLineTest, LinesStopBeforeTheirEndPoint)
{
    CDIB page = blankPage(6, 4, 24);
    page.MoveTo(CPoint(0, 0));
    page.LineTo(CPoint(4, 0), kPen, R2_COPYPEN);
    page.LineTo(CPoint(4, 3), kPen);
    EXPECT_EQ(page.GetCurrentPosition(), CPoint(4, 3));
    const std::set<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}, {4, 2}};
    EXPECT_EQ(marked(page), expected);
    EXPECT_EQ(page.GetPixel(2, 0), kPen);
}

TEST(DeviceLineTest, AClosedInvertedOutlineTouchesEachPixelOnce)
{
    // The outline of an area drawn with R2_NOT must not cancel itself at the corners.
    CDIB page = blankPage(6, 5, 8);
    page.MoveTo(CPoint(1, 1));
    for (const CPoint p : {CPoint(4, 1), CPoint(4, 3), CPoint(1, 3), CPoint(1, 1)})
        page.LineTo(p, 0, R2_NOT);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool onOutline = (x >= 1 && x <= 4 && (y == 1 || y == 3)) || ((x == 1 || x == 4) && y >= 1 && y <= 3);
            EXPECT_EQ(page.GetPixelIndex(x, y), onOutline ? 255 : 0) << x << "," << y;
        }
    }
}

TEST(DeviceLineTest, WidePensCombineEveryCoveredPixelOnce)
{
    CDIB page = blankPage(10, 6, 24);
    page.MoveTo(CPoint(2, 2));
    page.LineTo(CPoint(6, 2), kPen, R2_XORPEN, 3);
    std::set<std::pair<int, int>> expected;
    for (int y = 1; y <= 3; ++y) {
        for (int x = 1; x <= 6; ++x)
            expected.emplace(x, y);
    }
    EXPECT_EQ(marked(page), expected);
    for (const auto& [x, y] : expected)
        EXPECT_EQ(page.GetPixel(x, y), kPen) << x << "," << y;
    EXPECT_THROW(page.LineTo(CPoint(0, 0), kPen, R2_COPYPEN, 0), CInvalidArgException);
}

TEST(DeviceLineTest, LinesLeavingThePageAreClipped)
{
    CDIB page = blankPage(4, 4, 24);
    page.MoveTo(CPoint(-3, -3));
    page.LineTo(CPoint(9, 9), kPen);
    const std::set<std::pair<int, int>> expected = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    EXPECT_EQ(marked(page), expected);
    page.MoveTo(CPoint(-50, 2));
    page.LineTo(CPoint(-10, 2), kPen, R2_COPYPEN, 5);
    EXPECT_EQ(marked(page), expected);
}
