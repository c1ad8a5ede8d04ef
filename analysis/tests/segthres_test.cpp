#include "analysis/aoi.h"
#include "analysis/segthres.h"

#include "objectmodel/dataanalysis.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "outside/pixmere/dib.h"
#include "platform/core/file.h"
#include "platform/core/profile.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

COLORREF Grey(int v)
{
    return RGB(v, v, v);
}

CSegThres Threshold(WORD mode, COLORREF lower, COLORREF upper)
{
    CSegThres t;
    t.m_Mode = mode;
    t.SetLower(lower);
    t.SetUpper(upper);
    return t;
}

// Every byte a channel accepts, tested one channel at a time with the
// other two held at a value the mode accepts for them.
bool AcceptsEveryColour(const CSegThres& t)
{
    for (int r = 0; r < 256; r += 1)
        for (int g : {0, 1, 127, 128, 254, 255})
            for (int b : {0, 1, 127, 128, 254, 255})
                if (!t.IsObjectColor(RGB(r, g, b)) || !t.IsObjectColor(RGB(g, r, b)) || !t.IsObjectColor(RGB(g, b, r)))
                    return false;
    return true;
}

} // namespace

// --- the pixel test --------------------------------------------------------------------

struct PixelCase
{
    WORD mode;
    COLORREF lower;
    COLORREF upper;
    COLORREF color;
    bool object;
};

class SegThresPixelTest : public ::testing::TestWithParam<PixelCase>
{
};

TEST_P(SegThresPixelTest, ColourAndGreyFollowTheMode)
{
    const PixelCase& c = GetParam();
    const CSegThres t = Threshold(c.mode, c.lower, c.upper);
    EXPECT_EQ(t.IsObjectColor(c.color), c.object ? TRUE : FALSE);
    // A grey byte is tested against the green limits.
    const int green = (c.color >> 8) & 0xFF;
    const CSegThres grey = Threshold(c.mode, Grey((c.lower >> 8) & 0xFF), Grey((c.upper >> 8) & 0xFF));
    EXPECT_EQ(t.IsObjectGrey(static_cast<BYTE>(green)), grey.IsObjectColor(Grey(green)));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SegThresPixelTest,
    ::testing::Values(
        // Mode 0: dark objects, every channel at or below its lower limit.
        PixelCase{0, Grey(80), Grey(240), RGB(80, 80, 80), true}, PixelCase{0, Grey(80), Grey(240), RGB(81, 80, 80), false},
        PixelCase{0, RGB(10, 20, 30), Grey(240), RGB(10, 20, 31), false},
        PixelCase{0, RGB(10, 20, 30), Grey(240), RGB(0, 20, 30), true},
        // Mode 1: bright objects, every channel at or above its upper limit.
        PixelCase{1, Grey(80), Grey(240), RGB(240, 240, 240), true},
        PixelCase{1, Grey(80), Grey(240), RGB(239, 240, 240), false},
        PixelCase{1, Grey(80), RGB(200, 210, 220), RGB(200, 210, 220), true},
        PixelCase{1, Grey(80), RGB(200, 210, 220), RGB(255, 255, 219), false},
        // Mode 2: inside the band on every channel, limits included.
        PixelCase{2, Grey(10), Grey(20), RGB(10, 20, 15), true}, PixelCase{2, Grey(10), Grey(20), RGB(9, 15, 15), false},
        PixelCase{2, Grey(10), Grey(20), RGB(15, 15, 21), false},
        // Mode 3: at least one channel outside its band.
        PixelCase{3, Grey(10), Grey(20), RGB(15, 15, 25), true}, PixelCase{3, Grey(10), Grey(20), RGB(15, 15, 15), false},
        PixelCase{3, Grey(10), Grey(20), RGB(10, 20, 9), true},
        // Unknown modes test as mode 2.
        PixelCase{7, Grey(10), Grey(20), RGB(15, 15, 15), true}, PixelCase{7, Grey(10), Grey(20), RGB(15, 15, 25), false}));

TEST(SegThresTest, NewThresholdHasTheStoredDefaults)
{
    const CSegThres t;
    EXPECT_EQ(t.GetLower(), Grey(80));
    EXPECT_EQ(t.GetUpper(), Grey(240));
    EXPECT_EQ(t.m_Mode, 0);
    EXPECT_EQ(t.m_MarkColor, 0u);
    EXPECT_EQ(t.m_bPerChannel, 1);
    EXPECT_EQ(t.m_AutoOffset, 20);

    const CSegThres bright(Grey(10), Grey(200), 1);
    EXPECT_EQ(bright.m_MarkColor, RGB(0, 0, 0));
    EXPECT_TRUE(bright.IsMarkColor(0));
    EXPECT_TRUE(bright.IsMarkGrey(0));
    EXPECT_FALSE(bright.IsMarkGrey(1));
}

TEST(SegThresTest, CopyTakesEverythingAndComparisonOnlyBoundsAndMode)
{
    CSegThres a(RGB(1, 2, 3), RGB(100, 110, 120), 2);
    a.m_bPerChannel = 0;
    a.m_AutoOffset = 7;
    const CSegThres b(a);
    EXPECT_EQ(b.GetLower(), a.GetLower());
    EXPECT_EQ(b.GetUpper(), a.GetUpper());
    EXPECT_EQ(b.m_MarkColor, a.m_MarkColor);
    EXPECT_EQ(b.m_bPerChannel, 0);
    EXPECT_EQ(b.m_AutoOffset, 7);
    EXPECT_TRUE(a == b);

    CSegThres c(b);
    c.m_MarkColor = 0x123456;
    c.m_AutoOffset = 1;
    EXPECT_TRUE(c == a);
    EXPECT_FALSE(c != a);
    c.m_Mode = 3;
    EXPECT_TRUE(c != a);
    EXPECT_FALSE(c == a);
}

// --- mark colour -----------------------------------------------------------------------

struct MarkCase
{
    WORD mode;
    COLORREF lower;
    COLORREF upper;
    COLORREF mark;
};

class SegThresMarkTest : public ::testing::TestWithParam<MarkCase>
{
};

TEST_P(SegThresMarkTest, FollowsTheModeWherePossible)
{
    const MarkCase& c = GetParam();
    CSegThres t = Threshold(c.mode, c.lower, c.upper);
    EXPECT_TRUE(t.UpdateMarkColor());
    EXPECT_EQ(t.m_MarkColor, c.mark);
    EXPECT_FALSE(t.IsObjectColor(t.m_MarkColor));
}

INSTANTIATE_TEST_SUITE_P(Modes, SegThresMarkTest,
                         ::testing::Values(MarkCase{0, Grey(80), Grey(240), RGB(255, 255, 255)},
                                           MarkCase{1, Grey(80), Grey(240), RGB(0, 0, 0)},
                                           MarkCase{2, RGB(0, 5, 5), Grey(200), RGB(255, 4, 4)},
                                           MarkCase{2, RGB(10, 20, 30), Grey(200), RGB(9, 19, 29)},
                                           MarkCase{3, RGB(10, 20, 30), Grey(200), RGB(11, 21, 31)},
                                           // Lower + 1 lies outside a band of one value: the band itself is taken.
                                           MarkCase{3, Grey(10), Grey(10), RGB(10, 10, 10)}));

TEST(SegThresTest, MarkColourIsRejectedWheneverTheLimitsRejectAnything)
{
    // Every combination of limits at the ends of the byte range and in the
    // middle, in every mode: a mark colour the test accepts would let the
    // object search find traced objects again.
    const int values[] = {0, 1, 128, 254, 255};
    for (WORD mode = 0; mode <= 3; ++mode) {
        for (int lo : values) {
            for (int up : values) {
                for (int other : {0, 200}) {
                    CSegThres t = Threshold(mode, RGB(lo, lo, other), RGB(up, up, 255 - other));
                    const BOOL rejected = t.UpdateMarkColor();
                    const bool acceptsAll = AcceptsEveryColour(t);
                    EXPECT_EQ(rejected == TRUE, !acceptsAll) << "mode " << mode << " lo " << lo << " up " << up;
                    if (rejected) {
                        EXPECT_FALSE(t.IsObjectColor(t.m_MarkColor)) << "mode " << mode << " lo " << lo << " up " << up;
                    }
                }
            }
        }
    }

    // Grey pages are marked with the green byte: it is rejected too where
    // the green limits allow it.
    CSegThres outside = Threshold(3, RGB(10, 255, 10), RGB(20, 255, 20));
    ASSERT_TRUE(outside.UpdateMarkColor());
    EXPECT_FALSE(outside.IsObjectColor(outside.m_MarkColor));
    EXPECT_FALSE(outside.IsObjectGrey(static_cast<BYTE>((outside.m_MarkColor >> 8) & 0xFF)));
}

TEST(SegThresTest, InvertMarkColourFlipsEveryByte)
{
    CSegThres t;
    t.m_MarkColor = RGB(0, 100, 255);
    t.InvertMarkColor();
    EXPECT_EQ(t.m_MarkColor, RGB(255, 155, 0));
}

// --- limits --------------------------------------------------------------------------

struct ShiftCase
{
    WORD mode;
    COLORREF lower;
    COLORREF upper;
    int lowerDelta;
    int upperDelta;
    COLORREF newLower;
    COLORREF newUpper;
    BOOL changed;
};

class SegThresShiftTest : public ::testing::TestWithParam<ShiftCase>
{
};

TEST_P(SegThresShiftTest, MovesAndGuardsTheBounds)
{
    const ShiftCase& c = GetParam();
    CSegThres t = Threshold(c.mode, c.lower, c.upper);
    EXPECT_EQ(t.ShiftLimits(c.lowerDelta, c.upperDelta), c.changed);
    EXPECT_EQ(t.GetLower(), c.newLower);
    EXPECT_EQ(t.GetUpper(), c.newUpper);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SegThresShiftTest,
    ::testing::Values(
        // Band modes keep the bounds three apart.
        ShiftCase{2, Grey(100), Grey(105), 10, 0, Grey(102), Grey(105), TRUE},
        ShiftCase{2, Grey(100), Grey(105), 0, -10, Grey(100), Grey(103), TRUE},
        ShiftCase{3, Grey(10), Grey(20), 250, 0, Grey(17), Grey(20), TRUE},
        ShiftCase{2, Grey(0), Grey(2), 5, 0, Grey(0), Grey(2), FALSE},
        ShiftCase{2, Grey(253), Grey(255), 0, -5, Grey(253), Grey(255), FALSE},
        ShiftCase{2, Grey(100), Grey(105), 0, 0, Grey(100), Grey(105), FALSE},
        // Clamped to the byte range.
        ShiftCase{0, RGB(50, 60, 70), Grey(240), -300, 0, Grey(0), Grey(240), TRUE},
        ShiftCase{1, Grey(80), RGB(240, 250, 10), 0, 20, RGB(80, 80, 30), RGB(255, 255, 30), TRUE},
        // Single-sided modes drag the other bound along.
        ShiftCase{0, Grey(100), Grey(50), 10, 0, Grey(110), Grey(110), TRUE},
        ShiftCase{1, Grey(100), Grey(120), 0, -50, Grey(70), Grey(70), TRUE},
        // Channels move independently.
        ShiftCase{2, RGB(10, 100, 200), RGB(50, 150, 250), 5, -5, RGB(15, 105, 205), RGB(45, 145, 245), TRUE}));

struct ModeChange
{
    WORD mode;
    COLORREF lower;
    COLORREF upper;
};

TEST(SegThresTest, TightenAndLoosenMoveEachModeInwardsAndOutwards)
{
    const COLORREF lo = Grey(100);
    const COLORREF up = Grey(160);
    // Tighten by 20: fewer object colours.
    const ModeChange tightened[] = {{0, Grey(80), up}, {1, lo, Grey(180)}, {2, Grey(120), Grey(140)}, {3, Grey(80), Grey(180)}};
    for (const ModeChange& expected : tightened) {
        CSegThres t = Threshold(expected.mode, lo, up);
        EXPECT_TRUE(t.Tighten(20));
        EXPECT_EQ(t.GetLower(), expected.lower) << "mode " << expected.mode;
        EXPECT_EQ(t.GetUpper(), expected.upper) << "mode " << expected.mode;
        EXPECT_TRUE(t.Loosen(20));
        EXPECT_EQ(t.GetLower(), lo) << "mode " << expected.mode;
        EXPECT_EQ(t.GetUpper(), up) << "mode " << expected.mode;
    }
    // A colour at the dark limit drops out when the dark threshold tightens.
    CSegThres dark = Threshold(0, lo, up);
    EXPECT_TRUE(dark.IsObjectColor(lo));
    dark.Tighten(1);
    EXPECT_FALSE(dark.IsObjectColor(lo));
    // An unknown mode is a band: tightening narrows it.
    CSegThres other = Threshold(9, lo, up);
    other.Tighten(20);
    EXPECT_EQ(other.GetLower(), Grey(120));
    EXPECT_EQ(other.GetUpper(), Grey(140));
}

TEST(SegThresTest, TightestLimitsPerMode)
{
    const ModeChange expected[] = {{0, Grey(1), Grey(200)},
                                   {1, Grey(50), Grey(254)},
                                   {2, Grey(127), Grey(129)},
                                   {3, Grey(1), Grey(254)}};
    for (const ModeChange& e : expected) {
        CSegThres t = Threshold(e.mode, Grey(50), Grey(200));
        t.SetTightestLimits();
        EXPECT_EQ(t.GetLower(), e.lower) << "mode " << e.mode;
        EXPECT_EQ(t.GetUpper(), e.upper) << "mode " << e.mode;
    }
}

TEST(SegThresTest, DistanceIsTheMeanChannelMarginTruncated)
{
    const CSegThres dark = Threshold(0, Grey(80), Grey(240));
    EXPECT_EQ(dark.Distance(RGB(0, 0, 1)), 79.0);       // 239 / 3
    EXPECT_EQ(dark.Distance(RGB(81, 81, 82)), -1.0);    // -4 / 3 towards zero
    EXPECT_EQ(dark.Distance(RGB(70, 80, 90)), 0.0);
    const CSegThres bright = Threshold(1, Grey(80), Grey(240));
    EXPECT_EQ(bright.Distance(RGB(255, 255, 255)), 15.0);
    EXPECT_EQ(bright.Distance(RGB(0, 0, 0)), -240.0);
    EXPECT_EQ(Threshold(2, Grey(80), Grey(240)).Distance(RGB(0, 0, 0)), 0.0);
}

// --- automatic threshold -------------------------------------------------------------

namespace {

// Counts of two normal distributions, the first (the background) much
// larger than the second.
std::array<int, 256> Bimodal(unsigned seed, double mainMean, double mainSigma, int mainCount, double otherMean,
                             double otherSigma, int otherCount)
{
    std::mt19937 random(seed);
    std::array<int, 256> counts{};
    const auto draw = [&](double mean, double sigma, int n) {
        std::normal_distribution<double> normal(mean, sigma);
        for (int i = 0; i < n; ++i) {
            const int v = static_cast<int>(std::lround(normal(random)));
            if (v >= 0 && v <= 255)
                ++counts[static_cast<size_t>(v)];
        }
    };
    draw(mainMean, mainSigma, mainCount);
    draw(otherMean, otherSigma, otherCount);
    return counts;
}

int SearchThreshold(const std::array<int, 256>& counts, int mode)
{
    CDataAnalysis histogram(CDataArray::typeLong);
    histogram.SetSize(256);
    histogram.ClearAll();
    for (int i = 0; i < 256; ++i)
        histogram.SetAtWrapped(i, counts[static_cast<size_t>(i)]);
    return CSegThres::FindHistogramThreshold(histogram, mode);
}

} // namespace

TEST(SegThresAutoTest, ThresholdLandsInTheValleyOfBimodalHistograms)
{
    struct Shape
    {
        double mainMean;
        double mainSigma;
        double otherMean;
        double otherSigma;
        int mode; // 0: dark objects below the background, 1: bright ones above it
    };
    const Shape shapes[] = {{180, 12, 60, 10, 0}, {200, 8, 90, 15, 0}, {150, 10, 40, 8, 0},
                            {60, 10, 190, 12, 1}, {90, 15, 200, 8, 1}, {40, 8, 150, 10, 1}};
    // Share of a normal population beyond t, on the side away from its mean.
    const auto tail = [](double mean, double sigma, double t) {
        return 0.5 * std::erfc(std::abs(t - mean) / (sigma * std::sqrt(2.0)));
    };
    for (unsigned seed = 1; seed <= 5; ++seed) {
        for (const Shape& s : shapes) {
            const auto counts = Bimodal(seed, s.mainMean, s.mainSigma, 40000, s.otherMean, s.otherSigma, 8000);
            const int t = SearchThreshold(counts, s.mode);
            const std::string where = "seed " + std::to_string(seed) + " mode " + std::to_string(s.mode) + " t " +
                                      std::to_string(t);
            ASSERT_GT(t, std::min(s.mainMean, s.otherMean)) << where;
            ASSERT_LT(t, std::max(s.mainMean, s.otherMean)) << where;
            // It separates the two: few background pixels pass, almost no
            // object pixels fail, and the histogram is low there.
            EXPECT_LT(tail(s.mainMean, s.mainSigma, t), 0.05) << where;
            EXPECT_LT(tail(s.otherMean, s.otherSigma, t), 0.001) << where;
            const int peak = *std::max_element(counts.begin(), counts.end());
            EXPECT_LT(counts[static_cast<size_t>(t)], peak / 5) << where;
        }
    }
}

TEST(SegThresAutoTest, HistogramWithoutPeakGivesZeroInTheDarkMode)
{
    std::array<int, 256> flat{};
    EXPECT_EQ(SearchThreshold(flat, 0), 0);
    flat.fill(3);
    EXPECT_EQ(SearchThreshold(flat, 0), 0);
}

namespace {

// A 24-bit page: background grey 190 +- noise, dark discs of grey 60.
CDIB BimodalImage()
{
    CDIB image;
    EXPECT_TRUE(image.InitDIB(200, 150, 24));
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 8.0);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool object = ((x - 50) * (x - 50) + (y - 50) * (y - 50) < 400) ||
                                ((x - 140) * (x - 140) + (y - 90) * (y - 90) < 600);
            const int base = object ? 60 : 190;
            const int v = std::clamp(static_cast<int>(base + noise(random)), 0, 255);
            image.SetPixel(x, y, RGB(v, v, v));
        }
    }
    // Outside the area: a white border that must not count.
    for (int x = 0; x < 200; ++x)
        image.SetPixel(x, 0, RGB(255, 255, 255));
    return image;
}

} // namespace

TEST(SegThresAutoTest, AutoThresholdSetsTheBoundOnceAndRepeatsExactly)
{
    const CDIB image = BimodalImage();
    CAOI2 area(CRect(0, 1, 200, 150));

    CSegThres dark = Threshold(0, Grey(80), Grey(240));
    dark.AutoThreshold(image, area);
    const COLORREF first = dark.GetLower();
    const int level = static_cast<int>(first & 0xFF) + dark.m_AutoOffset;
    EXPECT_GT(level, 60 + 16);
    EXPECT_LT(level, 190 - 16);
    // Per channel on a grey image: three equal bytes.
    EXPECT_EQ(first, Grey(first & 0xFF));
    dark.AutoThreshold(image, area);
    EXPECT_EQ(dark.GetLower(), first);

    // From the green channel alone.
    CSegThres green = Threshold(0, Grey(80), Grey(240));
    green.m_bPerChannel = 0;
    green.AutoThreshold(image, area);
    EXPECT_EQ(green.GetLower(), first);

    // An area over the image's edge counts the image's pixels only.
    CSegThres whole = Threshold(0, Grey(80), Grey(240));
    whole.AutoThreshold(image, CAOI2(CRect(0, 0, 200, 150)));
    CSegThres over = Threshold(0, Grey(80), Grey(240));
    over.AutoThreshold(image, CAOI2(CRect(-300, -200, 260, 190)));
    EXPECT_EQ(over.GetLower(), whole.GetLower());

    // The band modes keep their limits on every call.
    for (WORD mode : {WORD(2), WORD(3)}) {
        CSegThres band = Threshold(mode, Grey(50), Grey(200));
        for (int i = 0; i < 5; ++i)
            band.AutoThreshold(image, area);
        EXPECT_EQ(band.GetLower(), Grey(50)) << "mode " << mode;
        EXPECT_EQ(band.GetUpper(), Grey(200)) << "mode " << mode;
    }
}

// --- persistence ---------------------------------------------------------------------

TEST(SegThresPersistenceTest, IniFormRoundTripsUnderTheCallersSection)
{
    CScratchFolder folder;
    const std::string ini = folder / "params.ini";
    CSegThres t(RGB(1, 2, 3), RGB(200, 210, 220), 2);
    t.m_MarkColor = 0x0A0B0C;
    t.m_AutoOffset = 33;
    t.WriteProfile("Threshold", ini.c_str());
    EXPECT_EQ(GetPrivateProfileString("Threshold", "GreenLower", "", ini.c_str()), CString("2"));
    EXPECT_EQ(GetPrivateProfileString("Threshold", "BlueUpper", "", ini.c_str()), CString("220"));
    EXPECT_EQ(GetPrivateProfileString("Threshold", "MarkColor", "", ini.c_str()), CString("658188"));
    EXPECT_EQ(GetPrivateProfileString("Threshold", "Mode", "", ini.c_str()), CString("2"));

    CSegThres read;
    read.m_bPerChannel = 0;
    read.ReadProfile("Threshold", ini.c_str());
    EXPECT_EQ(read.GetLower(), t.GetLower());
    EXPECT_EQ(read.GetUpper(), t.GetUpper());
    EXPECT_EQ(read.m_Mode, 2);
    EXPECT_EQ(read.m_MarkColor, 0x0A0B0Cu);
    EXPECT_EQ(read.m_AutoOffset, 33);
    EXPECT_EQ(read.m_bPerChannel, 0); // not stored

    // Missing keys keep what is there.
    CSegThres kept(RGB(7, 8, 9), RGB(70, 80, 90), 1);
    kept.ReadProfile("Other", ini.c_str());
    EXPECT_EQ(kept.GetLower(), RGB(7, 8, 9));
    EXPECT_EQ(kept.GetUpper(), RGB(70, 80, 90));
    EXPECT_EQ(kept.m_Mode, 1);
}

// Bits above the colour bytes never reach a pixel: a mark colour that kept
// them would never be recognised, and the engine would find the same marked
// object again and again.
TEST(SegThresPersistenceTest, XmlFormKeepsOnlyTheColourBytes)
{
    CScratchFolder folder;
    const std::string path = folder / "threshold.xml";
    {
        std::ofstream out(path);
        out << "<CSegThres><ColorMin>-1</ColorMin><ColorMax>-16777200</ColorMax>"
               "<MarkColor>-16711681</MarkColor><Mode>0</Mode><AutoOffset>20</AutoOffset></CSegThres>";
    }
    CSegThres read;
    {
        CXMLArchive xml(path.c_str(), CArchive::load);
        read.Serialize(xml);
    }
    EXPECT_EQ(read.GetUpper(), 0xFFFFFFu);
    EXPECT_EQ(read.GetLower(), 0x000010u);
    EXPECT_EQ(read.m_MarkColor, 0x00FFFFu);
    EXPECT_TRUE(read.IsMarkColor(RGB(255, 255, 0)));
}

TEST(SegThresPersistenceTest, OldMarkerIsResetAndKeepsTheThreshold)
{
    CScratchFolder folder;
    const std::string ini = folder / "settings.ini";
    CSegThres stored(RGB(11, 12, 13), RGB(111, 112, 113), 3);
    stored.WriteProfile("Threshold0", ini.c_str());
    stored.WriteProfile("Threshold1", ini.c_str());
    WritePrivateProfileString("Thresholds:", "MinColor0:", "12345", ini.c_str());

    CSegThres first;
    first.ReadProfile("Threshold0", ini.c_str());
    EXPECT_EQ(first.GetLower(), Grey(80));
    EXPECT_EQ(first.m_Mode, 0);
    EXPECT_EQ(GetPrivateProfileString("Thresholds:", "MinColor0:", "", ini.c_str()), CString("-1"));
    // The marker of the other threshold is absent: that one reads.
    CSegThres second;
    second.ReadProfile("Threshold1", ini.c_str());
    EXPECT_EQ(second.GetLower(), RGB(11, 12, 13));
    // With the marker reset the next read takes the values.
    first.ReadProfile("Threshold0", ini.c_str());
    EXPECT_EQ(first.GetUpper(), RGB(111, 112, 113));
    EXPECT_EQ(first.m_Mode, 3);
}

TEST(SegThresPersistenceTest, XmlFormKeepsTheSwappedNames)
{
    CScratchFolder folder;
    const std::string path = folder / "threshold.xml";
    {
        CXMLArchive ar(path.c_str(), CArchive::store);
        CSegThres t;
        t.m_AutoOffset = 12;
        t.Serialize(ar);
        ar.Close();
    }
    const std::string text = ReadBytes(path);
    EXPECT_NE(text.find("<ColorMin>15790320</ColorMin>"), std::string::npos) << text; // upper (240,240,240)
    EXPECT_NE(text.find("<ColorMax>5263440</ColorMax>"), std::string::npos) << text;  // lower (80,80,80)
    EXPECT_LT(text.find("ColorMin"), text.find("ColorMax"));
    EXPECT_NE(text.find("<AutoOffset>12</AutoOffset>"), std::string::npos) << text;

    // Loading puts them back where they belong.
    const std::string other = folder / "other.xml";
    {
        CXMLArchive ar(other.c_str(), CArchive::store);
        CSegThres t(RGB(1, 2, 3), RGB(201, 202, 203), 2);
        t.m_MarkColor = RGB(9, 9, 9);
        t.Serialize(ar);
        ar.Close();
    }
    CXMLArchive in(other.c_str(), CArchive::load);
    CSegThres read;
    read.Serialize(in);
    EXPECT_EQ(read.GetLower(), RGB(1, 2, 3));
    EXPECT_EQ(read.GetUpper(), RGB(201, 202, 203));
    EXPECT_EQ(read.m_Mode, 2);
    EXPECT_EQ(read.m_MarkColor, RGB(9, 9, 9));
}
