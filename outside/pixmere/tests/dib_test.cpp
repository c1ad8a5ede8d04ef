#include "outside/pixmere/dib.h"

#include "platform/core/exceptions.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

// A different colour for every pixel, so a shifted or sheared row shows.
COLORREF colourAt(int x, int y) { return RGB(10 + 7 * x + 31 * y, 200 - 3 * x - 5 * y, 1 + 3 * x + 50 * y); }
BYTE indexAt(int x, int y) { return static_cast<BYTE>(1 + x + 16 * y); }

// The colour a test page holds at (x, y): its own colour, or the grey of its index.
COLORREF expectedAt(int bpp, int x, int y)
{
    const BYTE i = indexAt(x, y);
    return bpp == 24 ? colourAt(x, y) : RGB(i, i, i);
}

CDIB makePage(int width, int height, int bpp)
{
    CDIB page;
    EXPECT_TRUE(page.InitDIB(width, height, bpp));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            page.SetPixel(x, y, expectedAt(bpp, x, y));
    }
    return page;
}

bool samePixels(const CDIB& a, const CDIB& b)
{
    return a.GetBpp() == b.GetBpp() && a.GetMat().size() == b.GetMat().size() &&
           cv::norm(a.GetMat(), b.GetMat(), cv::NORM_INF) == 0.0;
}

} // namespace

TEST(CDIBPixelTest, PixelsRowsAndMatAgreeAtWidthsOneToFive)
{
    constexpr int height = 3;
    for (const int bpp : {8, 24}) {
        const int bytes = bpp / 8;
        for (int width = 1; width <= 5; ++width) {
            SCOPED_TRACE(testing::Message() << width << " pixels of " << bpp << " bits");
            CDIB page = makePage(width, height, bpp);
            const int stride = (width * bytes + 3) / 4 * 4;
            EXPECT_EQ(page.GetEffWidth(), stride);
            EXPECT_EQ(page.GetMat().step[0], static_cast<size_t>(stride));
            EXPECT_EQ(page.GetBitCount(), bpp);
            EXPECT_EQ(page.GetBytes(), bytes);
            EXPECT_EQ(page.GetSize(), static_cast<DWORD>(width * height));
            const cv::Mat mat = page.GetMat();
            for (int y = 0; y < height; ++y) {
                ASSERT_EQ(page.GetRow(y).size(), static_cast<size_t>(width * bytes));
                // The bitmap numbering runs from the bottom row up.
                const BYTE* line = page.GetLPDIBBITSLINE(height - 1 - y);
                EXPECT_EQ(line, page.GetRow(y).data());
                for (int x = 0; x < width; ++x) {
                    const COLORREF c = expectedAt(bpp, x, y);
                    EXPECT_EQ(page.GetPixel(x, y), c) << x << "," << y;
                    if (bpp == 24) {
                        EXPECT_EQ(mat.at<cv::Vec3b>(y, x), cv::Vec3b(GetBValue(c), GetGValue(c), GetRValue(c)));
                        EXPECT_EQ(line[3 * x], GetBValue(c));
                        EXPECT_EQ(line[3 * x + 2], GetRValue(c));
                    } else {
                        EXPECT_EQ(mat.at<BYTE>(y, x), indexAt(x, y));
                        EXPECT_EQ(line[x], indexAt(x, y));
                    }
                }
                // Padding stays zero.
                for (int i = width * bytes; i < stride; ++i)
                    EXPECT_EQ(mat.ptr<BYTE>(y)[i], 0) << "padding byte " << i;
            }
            // A write through bottom row 0 lands on the last top-down row.
            page.GetLPDIBBITSLINE(0)[0] = 0xAB;
            EXPECT_EQ(page.GetRow(height - 1)[0], 0xAB);
        }
    }
}

TEST(CDIBPixelTest, OutsideThePagePixelsAreQuietAndRowsAreRefused)
{
    CDIB page = makePage(4, 3, 24);
    const CDIB before = page;
    for (const CPoint p : {CPoint(-1, 0), CPoint(4, 0), CPoint(0, -1), CPoint(0, 3)}) {
        EXPECT_EQ(page.GetPixel(p.x, p.y), 0U);
        page.SetPixel(p.x, p.y, RGB(1, 2, 3));
    }
    EXPECT_TRUE(samePixels(page, before));
    EXPECT_THROW(page.GetRow(3), CInvalidArgException);
    EXPECT_THROW(page.GetRow(-1), CInvalidArgException);
    EXPECT_THROW(page.GetLPDIBBITSLINE(3), CInvalidArgException);
    EXPECT_THROW(CDIB().GetLPDIBBITSLINE(0), CInvalidArgException);
}

TEST(CDIBPixelTest, InitDIBRefusesWhatItCannotMakeAndKeepsThePage)
{
    struct Case
    {
        int width, height, bpp;
    };
    const Case refused[] = {{0, 1, 24}, {1, 0, 8}, {-2, 3, 8}, {65536, 1, 8}, {2, 2, 16}, {2, 2, 32}, {2, 2, 1}};
    for (const Case& c : refused) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bpp);
        CDIB page = makePage(3, 2, 24);
        const CDIB before = page;
        EXPECT_FALSE(page.InitDIB(c.width, c.height, c.bpp));
        EXPECT_FALSE(page.GetLastError().IsEmpty());
        EXPECT_TRUE(samePixels(page, before));
    }
    CDIB fresh;
    EXPECT_TRUE(fresh.InitDIB(65535, 1, 8));
    EXPECT_EQ(fresh.GetPixel(65534, 0), RGB(0, 0, 0));
}

TEST(CDIBPaletteTest, EightBitPixelsReadAndWriteThroughThePalette)
{
    CDIB page;
    ASSERT_TRUE(page.InitDIB(3, 1, 8));
    EXPECT_EQ(page.GetPalEntry(77), RGB(77, 77, 77));
    page.SetPixel(0, 0, RGB(90, 90, 90));
    page.SetPixel(1, 0, RGB(255, 200, 255)); // no exact grey: the nearest
    EXPECT_EQ(page.GetPixelIndex(0, 0), 90);
    EXPECT_EQ(page.GetPixelIndex(1, 0), 237);

    BYTE ramp[256], zero[256] = {};
    for (int i = 0; i < 256; ++i)
        ramp[i] = static_cast<BYTE>(i);
    page.SetPalette(256, zero, ramp, zero); // green output of a channel split
    EXPECT_EQ(page.GetPalEntry(90), RGB(0, 90, 0));
    EXPECT_EQ(page.GetPixel(0, 0), RGB(0, 90, 0));
    page.SetPixel(2, 0, RGB(3, 140, 0));
    EXPECT_EQ(page.GetPixelIndex(2, 0), 140);

    // A short palette changes only its entries.
    const BYTE red[2] = {9, 8}, green[2] = {7, 6}, blue[2] = {5, 4};
    page.SetPalette(2, red, green, blue);
    EXPECT_EQ(page.GetPalEntry(1), RGB(8, 6, 4));
    EXPECT_EQ(page.GetPalEntry(2), RGB(0, 2, 0));
    EXPECT_EQ(page.GetPalEntry(256), 0U);
    EXPECT_THROW(page.SetPalette(0, red, green, blue), CInvalidArgException);
    EXPECT_THROW(page.SetPalette(257, ramp, ramp, ramp), CInvalidArgException);
    EXPECT_THROW(page.SetPalette(2, red, nullptr, blue), CInvalidArgException);

    CDIB colour = makePage(2, 2, 24);
    colour.SetPalette(2, red, green, blue);
    EXPECT_EQ(colour.GetPalEntry(1), 0U);
    EXPECT_TRUE(colour.GetPalette().empty());
}

TEST(CDIBMatTest, AssignMatCopiesRowByRowIntoPaddedRows)
{
    for (const int type : {CV_8UC1, CV_8UC3}) {
        for (int width = 1; width <= 5; ++width) {
            SCOPED_TRACE(testing::Message() << width << " wide, " << CV_MAT_CN(type) << " channels");
            cv::Mat source(4, width, type); // continuous: rows not padded
            cv::randu(source, 0, 256);
            CDIB page;
            page.AssignMat(source);
            EXPECT_EQ(page.GetBpp(), 8 * source.channels());
            EXPECT_EQ(page.GetEffWidth() % 4, 0);
            EXPECT_EQ(cv::norm(page.GetMat(), source, cv::NORM_INF), 0.0);
            // And back out into an unpadded image.
            cv::Mat back = page.GetMat().clone();
            EXPECT_TRUE(back.isContinuous());
            EXPECT_EQ(cv::norm(back, source, cv::NORM_INF), 0.0);
        }
    }
}

TEST(CDIBMatTest, FiltersNeverReadThePaddingAsBorderPixels)
{
    // A 5-pixel grey row is padded to 8 bytes; OpenCV must blur it as if the
    // page ended at its last pixel.
    cv::Mat source(3, 5, CV_8UC1, cv::Scalar(100));
    CDIB page;
    page.AssignMat(source);
    cv::Mat padding = cv::Mat(3, page.GetEffWidth(), CV_8UC1, page.GetMat().data, page.GetEffWidth()).colRange(5, page.GetEffWidth());
    padding.setTo(255);

    cv::Mat blurred;
    cv::blur(page.GetMat(), blurred, cv::Size(3, 3));
    EXPECT_EQ(cv::norm(blurred, source, cv::NORM_INF), 0.0);
}

TEST(CDIBMatTest, AssignMatDropsAlphaKeepsAPaletteAndRefusesOtherImages)
{
    cv::Mat bgra(2, 3, CV_8UC4, cv::Scalar(1, 2, 3, 4));
    CDIB page;
    page.AssignMat(bgra);
    EXPECT_EQ(page.GetBpp(), 24);
    EXPECT_EQ(page.GetPixel(2, 1), RGB(3, 2, 1));

    CDIB indexed;
    ASSERT_TRUE(indexed.InitDIB(1, 1, 8));
    const BYTE r[1] = {200}, g[1] = {0}, b[1] = {0};
    indexed.SetPalette(1, r, g, b);
    indexed.AssignMat(cv::Mat(2, 2, CV_8UC1, cv::Scalar(0)));
    EXPECT_EQ(indexed.GetPixel(1, 1), RGB(200, 0, 0));

    const CDIB before = page;
    EXPECT_THROW(page.AssignMat(cv::Mat(2, 2, CV_16UC1)), CInvalidArgException);
    EXPECT_THROW(page.AssignMat(cv::Mat(2, 2, CV_8UC2)), CInvalidArgException);
    EXPECT_THROW(page.AssignMat(cv::Mat()), CInvalidArgException);
    EXPECT_TRUE(samePixels(page, before));
}

TEST(CDIBCopyTest, CopiesAreDeepAndCarryDepthAndPalette)
{
    CDIB page = makePage(5, 3, 8);
    const BYTE r[1] = {1}, g[1] = {2}, b[1] = {3};
    page.SetPalette(1, r, g, b);
    CDIB copy;
    copy = page;
    EXPECT_TRUE(samePixels(copy, page));
    EXPECT_EQ(copy.GetPalEntry(0), RGB(1, 2, 3));
    EXPECT_EQ(copy.GetEffWidth(), 8);
    copy.SetPixelIndex(0, 0, 99);
    EXPECT_EQ(page.GetPixelIndex(0, 0), indexAt(0, 0));

    CDIB blank;
    blank.Copy(page, false);
    EXPECT_EQ(blank.GetWidth(), 5);
    EXPECT_EQ(blank.GetBpp(), 8);
    EXPECT_EQ(blank.GetPalEntry(0), RGB(1, 2, 3));
    EXPECT_EQ(cv::countNonZero(blank.GetMat()), 0);
}

TEST(CDIBCopyTest, CopyDIBAndInsertDIBRestoreAnArea)
{
    for (const int bpp : {8, 24}) {
        SCOPED_TRACE(bpp);
        CDIB page = makePage(7, 5, bpp);
        const CDIB original = page;
        CDIB area;
        ASSERT_TRUE(page.CopyDIB(CRect(2, 1, 5, 4), area));
        EXPECT_EQ(area.GetWidth(), 3);
        EXPECT_EQ(area.GetHeight(), 3);
        EXPECT_EQ(area.GetBpp(), bpp);
        EXPECT_EQ(area.GetPixel(0, 0), page.GetPixel(2, 1));
        EXPECT_EQ(area.GetPixel(2, 2), page.GetPixel(4, 3));

        // Marks inside the area are gone once the copy goes back.
        page.SetAllGray(RGB(250, 250, 250));
        ASSERT_TRUE(page.InsertDIB(2, 1, area));
        EXPECT_EQ(page.GetPixel(3, 2), original.GetPixel(3, 2));
        EXPECT_EQ(page.GetPixel(0, 0), RGB(250, 250, 250));
    }
}

TEST(CDIBCopyTest, CopyAndInsertRefuseBadPlacesAndChangeNothing)
{
    CDIB page = makePage(4, 4, 24);
    CDIB target = makePage(2, 2, 8);
    const CDIB targetBefore = target;
    for (const CRect rect : {CRect(3, 3, 5, 4), CRect(-1, 0, 2, 2), CRect(1, 1, 1, 3)}) {
        EXPECT_FALSE(page.CopyDIB(rect, target));
        EXPECT_TRUE(samePixels(target, targetBefore));
        EXPECT_FALSE(target.GetLastError().IsEmpty());
    }
    // A reversed rectangle is the same rectangle.
    EXPECT_TRUE(page.CopyDIB(CRect(3, 3, 1, 1), target));
    EXPECT_EQ(target.GetPixel(0, 0), page.GetPixel(1, 1));

    const CDIB before = page;
    const CDIB grey = makePage(2, 2, 8);
    EXPECT_FALSE(page.InsertDIB(0, 0, grey));
    EXPECT_FALSE(page.InsertDIB(4, 0, makePage(2, 2, 24)));
    EXPECT_FALSE(page.InsertDIB(0, 0, CDIB()));
    EXPECT_TRUE(samePixels(page, before));

    // Partly outside: only the overlap is pasted.
    CDIB patch;
    ASSERT_TRUE(patch.InitDIB(3, 3, 24));
    patch.SetAllGray(RGB(9, 9, 9));
    ASSERT_TRUE(page.InsertDIB(2, -1, patch));
    EXPECT_EQ(page.GetPixel(3, 1), RGB(9, 9, 9));
    EXPECT_EQ(page.GetPixel(2, 2), before.GetPixel(2, 2));
    EXPECT_EQ(page.GetPixel(1, 0), before.GetPixel(1, 0));
}

TEST(CDIBGeometryTest, MirrorFlipAndExpand)
{
    CDIB page = makePage(3, 2, 24);
    const CDIB original = page;
    ASSERT_TRUE(page.Mirror());
    EXPECT_EQ(page.GetPixel(2, 0), original.GetPixel(0, 0));
    EXPECT_EQ(page.GetPixel(0, 1), original.GetPixel(2, 1));
    ASSERT_TRUE(page.Flip());
    EXPECT_EQ(page.GetPixel(2, 1), original.GetPixel(0, 0));
    EXPECT_FALSE(CDIB().Mirror());

    CDIB larger;
    ASSERT_TRUE(original.GetBpp() == 24);
    CDIB source = original;
    ASSERT_TRUE(source.Expand(8, 5, RGB(255, 0, 0), &larger));
    EXPECT_TRUE(samePixels(source, original));
    EXPECT_EQ(larger.GetWidth(), 8);
    EXPECT_EQ(larger.GetHeight(), 5);
    EXPECT_EQ(larger.GetEffWidth(), 24);
    EXPECT_EQ(larger.GetPixel(2, 1), original.GetPixel(0, 0)); // (8-3)/2, (5-2)/2
    EXPECT_EQ(larger.GetPixel(4, 2), original.GetPixel(2, 1));
    EXPECT_EQ(larger.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(larger.GetPixel(7, 4), RGB(255, 0, 0));

    EXPECT_FALSE(source.Expand(2, 5, 0));
    EXPECT_TRUE(samePixels(source, original));
    ASSERT_TRUE(source.Expand(3, 4, RGB(0, 0, 255)));
    EXPECT_EQ(source.GetPixel(0, 1), original.GetPixel(0, 0));
    EXPECT_EQ(source.GetPixel(0, 0), RGB(0, 0, 255));
}

TEST(CDIBGeometryTest, SetAllGrayAndClearFillEveryPixel)
{
    CDIB colour = makePage(5, 2, 24);
    EXPECT_TRUE(colour.SetAllGray(RGB(100, 100, 100)));
    EXPECT_EQ(colour.GetPixel(4, 1), RGB(100, 100, 100));
    CDIB grey = makePage(5, 2, 8);
    EXPECT_TRUE(grey.SetAllGray(RGB(100, 100, 100)));
    EXPECT_EQ(grey.GetPixelIndex(4, 1), 100);
    grey.Clear(7);
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 7);
    EXPECT_FALSE(CDIB().SetAllGray(0));
}

TEST(CDIBPaintTest, DrawsItsPixelsIntoTheDeviceContext)
{
    CRecordingDC dc;
    const CDIB colour = makePage(5, 3, 24);
    const CDIB grey = makePage(3, 2, 8);
    EXPECT_TRUE(colour.PaintDIB(&dc));
    EXPECT_TRUE(colour.StretchDIB(&dc, CRect(10, 10, 20, 16)));
    EXPECT_TRUE(grey.StretchDIB(&dc, CRect(0, 0, 6, 4)));
    EXPECT_FALSE(CDIB().PaintDIB(&dc));
    EXPECT_FALSE(colour.PaintDIB(nullptr));

    const std::vector<CDCRecord>& r = dc.Records();
    ASSERT_EQ(r.size(), 3U);
    EXPECT_EQ(r[0].args, (std::vector<int>{0, 0, 5, 3, 5, 3, 24}));
    EXPECT_EQ(r[1].args, (std::vector<int>{10, 10, 20, 16, 5, 3, 24}));
    EXPECT_EQ(r[1].points, (std::vector<CPoint>{{10, 10}, {20, 16}}));
    EXPECT_EQ(r[2].args, (std::vector<int>{0, 0, 6, 4, 3, 2, 8}));
}
