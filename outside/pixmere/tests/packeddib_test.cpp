// Packed bitmaps as a source hands them over: pages survive the trip, the
// depths a source may send become our pages, and damaged blocks are
// refused without touching the page.

#include "outside/pixmere/dib.h"
#include "outside/pixmere/packeddib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<BYTE> Bitmap(LONG width, LONG height, WORD bits, DWORD colours, std::vector<BYTE> palette,
                         std::vector<BYTE> rows, DWORD compression = 0)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = compression;
    header.biClrUsed = colours;
    std::vector<BYTE> bytes(sizeof(header));
    std::memcpy(bytes.data(), &header, sizeof(header));
    bytes.insert(bytes.end(), palette.begin(), palette.end());
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return bytes;
}

TEST(PackedDibTest, PagesComeBackAsTheyWentWithRowsInOrder)
{
    for (int bpp : {8, 24}) {
        SCOPED_TRACE(bpp);
        CDIB page;
        ASSERT_TRUE(page.InitDIB(3, 2, bpp)); // 3 pixels: rows need padding
        page.SetPixelColor(0, 0, RGB(200, 100, 50));
        page.SetPixelColor(2, 1, RGB(10, 20, 30));
        page.SetYRes(300);
        HGLOBAL handle = kestrun::PackPage(page);
        ASSERT_NE(handle, nullptr);
        CDIB back;
        ASSERT_TRUE(back.CreateFromHANDLE(handle));
        GlobalFree(handle);
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetYRes(), 300);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(back.GetPixelColor(x, y), page.GetPixelColor(x, y)) << x << "," << y;
        }
    }
}

TEST(PackedDibTest, EveryDepthASourceSendsBecomesAnEightBitOrColourPage)
{
    // Two rows bottom-up; the top row is stored last.
    struct Case
    {
        const char* name;
        LONG height;
        WORD bits;
        DWORD colours;
        std::vector<BYTE> palette;
        std::vector<BYTE> rows;
        int bpp;
        COLORREF topLeft;
        COLORREF bottomRight;
    };
    const Case cases[] = {
        // The two colours as grey levels.
        {"1 bit", 2, 1, 2, {0, 0, 0, 0, 100, 100, 100, 0}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, 8, RGB(100, 100, 100),
         RGB(100, 100, 100)},
        {"8 bits with palette", 2, 8, 2, {0, 0, 255, 0, 0, 255, 0, 0}, {0, 1, 0, 0, 1, 0, 0, 0}, 8, RGB(0, 255, 0),
         RGB(0, 255, 0)},
        {"32 bits", 2, 32, 0, {}, {0, 0, 0, 0, 1, 2, 3, 4, 9, 8, 7, 6, 0, 0, 0, 0}, 24, RGB(7, 8, 9), RGB(3, 2, 1)},
        {"top-down", -2, 32, 0, {}, {9, 8, 7, 6, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}, 24, RGB(7, 8, 9), RGB(3, 2, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<BYTE> bytes = Bitmap(2, c.height, c.bits, c.colours, c.palette, c.rows);
        CxImage page;
        CString error;
        ASSERT_TRUE(kestrun::UnpackPage(bytes, page, error)) << error.GetString();
        EXPECT_EQ(page.GetBpp(), c.bpp);
        EXPECT_EQ(page.GetWidth(), 2);
        EXPECT_EQ(page.GetHeight(), 2);
        EXPECT_EQ(page.GetPixelColor(0, 0), c.topLeft);
        EXPECT_EQ(page.GetPixelColor(1, 1), c.bottomRight);
    }
}

TEST(PackedDibTest, DamagedBlocksAreRefusedAndThePageStays)
{
    const std::vector<BYTE> rows(8 * 4, 0);
    std::vector<BYTE> badSize = Bitmap(2, 2, 24, 0, {}, rows);
    reinterpret_cast<DWORD*>(badSize.data())[0] = 0xFFFF; // header size beyond the block
    struct Case
    {
        const char* name;
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {"shorter than its header", std::vector<BYTE>(20, 0)},
        {"header size beyond the block", badSize},
        {"rows missing", Bitmap(2, 4, 24, 0, {}, std::vector<BYTE>(8, 0))},
        {"compressed", Bitmap(2, 2, 8, 0, std::vector<BYTE>(1024, 0), rows, 1)},
        {"4 bits", Bitmap(2, 2, 4, 0, std::vector<BYTE>(64, 0), rows)},
        {"palette larger than the depth", Bitmap(2, 2, 1, 3, std::vector<BYTE>(12, 0), rows)},
        {"no width", Bitmap(0, 2, 24, 0, {}, rows)},
        {"too high", Bitmap(1, 70000, 24, 0, {}, rows)},
        {"palette beyond the block", Bitmap(2, 2, 8, 256, {}, rows)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage page;
        ASSERT_TRUE(page.Create(5, 4, 24));
        CString error;
        EXPECT_FALSE(kestrun::UnpackPage(c.bytes, page, error));
        EXPECT_FALSE(error.IsEmpty());
        EXPECT_EQ(page.GetWidth(), 5);
        EXPECT_EQ(page.GetHeight(), 4);
    }
    // A handle that is no block at all.
    CDIB page;
    EXPECT_FALSE(page.CreateFromHANDLE(reinterpret_cast<HGLOBAL>(0x1000)));
    EXPECT_FALSE(page.GetLastError().IsEmpty());
}

} // namespace
