// The colour-excess split of a colour page into red, green and blue grey
// pages.

#include "analysis/bv.h"

#include "analysis/tests/testimages.h"
#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr COLORREF kGrey = RGB(100, 100, 100);

CDIB GreyPage(int width, int height, BYTE value)
{
    CDIB page;
    EXPECT_TRUE(page.InitDIB(width, height, 8));
    page.GetMat().setTo(cv::Scalar(value));
    return page;
}

class ColourSplit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Grey everywhere but a red pixel, a greenish pixel and a blue one.
        m_source = testimages::MakeImage(8, 6, [](int x, int y) {
            if (x == 2 && y == 1)
                return RGB(200, 0, 0);
            if (x == 3 && y == 2)
                return RGB(0, 120, 30);
            if (x == 6 && y == 4)
                return RGB(0, 0, 250); // outside the area below
            return kGrey;
        });
        m_engine.m_AOIDoc.SetImageSize(8, 6, true);
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(CRect(1, 1, 6, 5));
        ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
    }

    CDIB m_source;
    CBV m_engine;
    CDIB m_red = GreyPage(8, 6, 77);
    CDIB m_green = GreyPage(8, 6, 77);
    CDIB m_blue = GreyPage(8, 6, 77);
};

TEST_F(ColourSplit, EachChannelIsStretchedOverTheAreaAndBlackOutsideIt)
{
    m_engine.SplitColorChannels(&m_source, &m_red, &m_green, &m_blue, 2);

    // Red excess of (200, 0, 0) is 200^2 / 256 = 156, the largest: 255.
    EXPECT_EQ(m_red.GetPixel(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(m_red.GetPixel(3, 2), RGB(0, 0, 0));
    // Green of (0, 120, 30): 120 - 15 = 105 -> 43 of 43; blue of it: 30 - 60 < 0.
    EXPECT_EQ(m_green.GetPixel(3, 2), RGB(0, 255, 0));
    EXPECT_EQ(m_green.GetPixel(2, 2), RGB(0, 0, 0));
    // The blue pixel lies outside the area: no blue excess anywhere.
    EXPECT_EQ(m_blue.GetPixel(6, 4), RGB(0, 0, 0));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
            if (!inside) {
                EXPECT_EQ(m_red.GetMat().at<BYTE>(y, x), 0) << x << ", " << y;
                EXPECT_EQ(m_blue.GetMat().at<BYTE>(y, x), 0) << x << ", " << y;
            }
        }
    }
    // The palettes are ramps of the channel.
    EXPECT_EQ(m_blue.GetPalEntry(200), RGB(0, 0, 200));
    EXPECT_EQ(m_engine.m_nExcessMode, 2);
}

TEST_F(ColourSplit, TwoThirdsModeIsKept)
{
    // Red of (120, 90, 0) over two thirds of (0 + 90) = 60: excess 60,
    // 14 after squaring; over the half sum 45: excess 75, 21. The largest
    // red excess is that of (130, 90, 0): 19 and 28.
    m_source.SetPixel(2, 1, RGB(120, 90, 0));
    m_source.SetPixel(3, 2, RGB(130, 90, 0));
    CDIB halves = GreyPage(8, 6, 0);
    m_engine.SplitColorChannels(&m_source, &halves, nullptr, nullptr, 2);
    m_engine.SplitColorChannels(&m_source, &m_red, nullptr, nullptr, 3);
    EXPECT_EQ(m_engine.m_nExcessMode, 3);
    EXPECT_EQ(GetRValue(m_red.GetPixel(2, 1)), static_cast<int>(14 * 255.0 / 19 + 0.5));
    EXPECT_EQ(GetRValue(halves.GetPixel(2, 1)), static_cast<int>(21 * 255.0 / 28 + 0.5));
}

TEST_F(ColourSplit, AGreySourceOnlyGetsThePalettes)
{
    CDIB grey = GreyPage(8, 6, 40);
    m_engine.SplitColorChannels(&grey, &m_red, &m_green, nullptr, 2);
    EXPECT_EQ(m_red.GetPalEntry(77), RGB(77, 0, 0));
    EXPECT_EQ(m_green.GetPalEntry(77), RGB(0, 77, 0));
    EXPECT_EQ(m_red.GetMat().at<BYTE>(3, 3), 77);
    EXPECT_EQ(m_green.GetMat().at<BYTE>(0, 0), 77);
}

TEST_F(ColourSplit, OutputsThatCannotHoldTheSourceAreRefusedBeforeAnyWrite)
{
    CDIB small = GreyPage(7, 6, 77);
    CDIB colour = testimages::MakeImage(8, 6, [](int, int) { return kGrey; });
    CAOI* area = m_engine.m_AOIDoc.GetActiveAOI(true);
    for (CDIB* bad : {&small, &colour}) {
        EXPECT_THROW(m_engine.SplitColorChannels(&m_source, &m_red, bad, &m_blue, 3), CInvalidArgException);
        EXPECT_THROW(m_engine.ColourExcessChannels(&m_source, &m_red, bad, nullptr, area), CInvalidArgException);
    }
    // Nothing written, not even the palettes; the mode is not taken.
    EXPECT_EQ(m_red.GetPalEntry(77), RGB(77, 77, 77));
    EXPECT_EQ(m_blue.GetMat().at<BYTE>(0, 0), 77);
    EXPECT_EQ(small.GetMat().at<BYTE>(0, 0), 77);
    EXPECT_EQ(m_engine.m_nExcessMode, 2);
    // A larger output is fine; beyond the source it keeps its pixels.
    CDIB large = GreyPage(10, 9, 77);
    m_engine.SplitColorChannels(&m_source, &large, nullptr, nullptr, 2);
    EXPECT_EQ(large.GetMat().at<BYTE>(8, 9), 77);
    EXPECT_EQ(large.GetMat().at<BYTE>(5, 7), 0);
}

} // namespace
