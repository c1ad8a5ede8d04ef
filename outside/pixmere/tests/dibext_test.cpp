#include "outside/pixmere/dibext.h"

#include "outside/pixmere/dib.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <array>
#include <vector>

namespace {

// Per pixel of a 3 x 1 page: the values of four frames, their rounded mean
// and their sum limited to 255.
struct Stack
{
    std::array<BYTE, 4> frames;
    BYTE average;
    BYTE sum;
};
constexpr std::array<Stack, 3> kStacks = {{
    {{10, 20, 30, 41}, 25, 101}, // 25.25
    {{200, 100, 0, 0}, 75, 255}, // 300 saturates
    {{0, 0, 1, 1}, 1, 2},        // 0.5 rounds up
}};

std::vector<CDIB> fourFrames(int bpp)
{
    std::vector<CDIB> frames(4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(frames[k].InitDIB(3, 1, bpp));
        for (int x = 0; x < 3; ++x) {
            const BYTE v = kStacks[x].frames[k];
            // Channels of a colour frame differ: blue v, green v / 2, red the stack's value again.
            if (bpp == 24)
                frames[k].SetPixel(x, 0, RGB(v, v / 2, v));
            else
                frames[k].SetPixelIndex(x, 0, v);
        }
    }
    return frames;
}

} // namespace

TEST(CDIBExtTest, WriteBackAveragesAndSumsFourPages)
{
    for (const int bpp : {8, 24}) {
        SCOPED_TRACE(bpp);
        const std::vector<CDIB> frames = fourFrames(bpp);
        CDIBExt sums;
        ASSERT_TRUE(sums.InitDIB(3, 1, bpp));
        for (const CDIB& frame : frames)
            sums.Add(frame);
        EXPECT_EQ(sums.GetCount(), 4);

        CDIB average = frames[0];
        CDIB total = frames[0];
        EXPECT_EQ(sums.WriteBack(average, CDIBExt::WriteAverage), 1);
        EXPECT_EQ(sums.WriteBack(total, CDIBExt::WriteSum), 1);
        for (int x = 0; x < 3; ++x) {
            SCOPED_TRACE(x);
            const Stack& s = kStacks[x];
            if (bpp == 8) {
                EXPECT_EQ(average.GetPixelIndex(x, 0), s.average);
                EXPECT_EQ(total.GetPixelIndex(x, 0), s.sum);
                continue;
            }
            int halves = 0;
            for (const BYTE v : s.frames)
                halves += v / 2;
            EXPECT_EQ(average.GetPixel(x, 0), RGB(s.average, (halves + 2) / 4, s.average));
            EXPECT_EQ(total.GetPixel(x, 0), RGB(s.sum, std::min(halves, 255), s.sum));
        }
    }
}

TEST(CDIBExtTest, OnePageWritesBackUnchanged)
{
    const std::vector<CDIB> frames = fourFrames(24);
    CDIBExt sums;
    ASSERT_TRUE(sums.InitDIB(3, 1, 24));
    sums.Add(frames[3]);
    CDIB page;
    ASSERT_TRUE(page.InitDIB(3, 1, 24));
    sums.WriteBack(page, CDIBExt::WriteAverage);
    EXPECT_EQ(cv::norm(page.GetMat(), frames[3].GetMat(), cv::NORM_INF), 0.0);
}

TEST(CDIBExtTest, SixteenBitPixelsAsTheWatershedUsesThem)
{
    CDIBExt image;
    ASSERT_TRUE(image.InitDIB(4, 2, 1));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetDIB(), nullptr);
    const COLORREF values[4] = {0, 254, 300, 70000};
    for (int x = 0; x < 4; ++x)
        image.SetPixel(x, 1, values[x]);
    EXPECT_EQ(image.GetPixel(2, 1), 300U);
    EXPECT_EQ(image.GetPixel(3, 1), 65535U);
    EXPECT_EQ(image.GetPixel(4, 1), 0U);

    CDIBExt copy = image;
    copy.SetPixel(2, 1, 5);
    EXPECT_EQ(image.GetPixel(2, 1), 300U);

    CDIB target; // empty: takes the size
    EXPECT_EQ(image.WriteBack(target, CDIBExt::WriteSum), 1);
    EXPECT_EQ(target.GetBpp(), 8);
    EXPECT_EQ(target.GetWidth(), 4);
    const BYTE expected[4] = {0, 254, 255, 255};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(target.GetPixelIndex(x, 1), expected[x]);

    CDIB colour;
    ASSERT_TRUE(colour.InitDIB(4, 2, 24));
    image.WriteBack(colour, CDIBExt::WriteSum);
    EXPECT_EQ(colour.GetPixel(1, 1), RGB(254, 254, 254));
}

TEST(CDIBExtTest, RefusesPagesThatDoNotFit)
{
    CDIBExt sums;
    CDIB frame;
    ASSERT_TRUE(frame.InitDIB(3, 1, 24));
    EXPECT_THROW(sums.Add(frame), CInvalidArgException); // not initialised
    ASSERT_TRUE(sums.InitDIB(3, 1, 24));
    CDIB other;
    ASSERT_TRUE(other.InitDIB(3, 2, 24));
    EXPECT_THROW(sums.Add(other), CInvalidArgException);
    ASSERT_TRUE(other.InitDIB(3, 1, 8));
    EXPECT_THROW(sums.Add(other), CInvalidArgException);
    EXPECT_EQ(sums.GetCount(), 0);
    EXPECT_THROW(sums.WriteBack(other, CDIBExt::WriteSum), CInvalidArgException); // 8-bit under 24
    EXPECT_THROW(sums.WriteBack(frame, 2), CInvalidArgException);
    EXPECT_EQ(CDIBExt().WriteBack(frame, CDIBExt::WriteSum), 0);

    EXPECT_FALSE(sums.InitDIB(0, 1, 8));
    EXPECT_FALSE(sums.InitDIB(1, 1, 16));
    EXPECT_EQ(sums.GetWidth(), 3);
}

TEST(CDIBExtTest, IncreaseDynamicSpreadsTheValuesOverTheGreyRange)
{
    CDIB page;
    ASSERT_TRUE(page.InitDIB(3, 1, 8));
    page.SetPixelIndex(0, 0, 50);
    page.SetPixelIndex(1, 0, 100);
    page.SetPixelIndex(2, 0, 150);
    CDIBExt sums;
    ASSERT_TRUE(sums.InitDIB(3, 1, 8));
    sums.Add(page);
    sums.Add(page);
    ASSERT_TRUE(sums.IncreaseDynamic());
    for (const int mode : {CDIBExt::WriteAverage, CDIBExt::WriteSum}) {
        sums.WriteBack(page, mode);
        EXPECT_EQ(page.GetPixelIndex(0, 0), 0);
        EXPECT_NEAR(page.GetPixelIndex(1, 0), 128, 1);
        EXPECT_EQ(page.GetPixelIndex(2, 0), 255);
    }

    CDIBExt flat;
    ASSERT_TRUE(flat.InitDIB(2, 2, 8));
    EXPECT_FALSE(flat.IncreaseDynamic());
}
