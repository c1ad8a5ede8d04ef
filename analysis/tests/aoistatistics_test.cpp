// Area statistics and texture against values worked out by hand on small
// fixtures: a uniform area, two colours, a gradient and a checkerboard.

#include "analysis/aoi.h"
#include "analysis/aoistatistics.h"
#include "analysis/segthres.h"
#include "objectmodel/dataarray.h"
#include "analysis/tests/testimages.h"
#include "outside/pixmere/dib.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using kestrun::testing::ScopedMessageBoxes;
using testimages::MakeImage;

// Spread of n values, half a and half b, with the n - 1 variance.
double HalfHalfSpread(double a, double b, int n)
{
    const double d = (b - a) / 2.0;
    return std::sqrt(n * d * d / (n - 1));
}

struct Texture
{
    double energy = -1;
    double contrast = -1;
    double entropy = -1;
    double homogeneity = -1;
};

struct Fixture
{
    const char* name;
    std::function<COLORREF(int, int)> color;
    int channel;
    Color_Double mean;
    Color_Double spread;
    Texture texture;
};

TEST(AOIStatisticsTest, StatisticsAndTextureOfFixtures)
{
    const double ln2 = std::log(2.0);
    const double ln3 = std::log(3.0);
    const double ln6 = std::log(6.0);
    // 4 x 4 pixels; texture pairs: 3 per row, 12 in all, each counted both
    // ways round.
    const Fixture fixtures[] = {
        {"uniform", [](int, int) { return RGB(10, 20, 30); }, 0, {10, 20, 30}, {0, 0, 0}, {1.0, 0.0, 0.0, 1.0}},
        // Columns 0-1 black, 2-3 red: per row the levels (0,0), (0,31), (31,31).
        {"two colours",
         [](int x, int) { return x < 2 ? RGB(0, 0, 0) : RGB(255, 0, 0); },
         0,
         {127.5, 0, 0},
         {HalfHalfSpread(0, 255, 16), 0, 0},
         {2.0 / 9.0 + 2.0 / 36.0, 961.0 / 3.0, -(2.0 / 3.0 * ln3 + 1.0 / 3.0 * ln6), 2.0 / 3.0 + 1.0 / (3.0 * 962.0)}},
        // Blue 8x: neighbouring levels in every pair, three kinds per row.
        {"gradient",
         [](int x, int) { return RGB(0, 0, 8 * x); },
         2,
         {0, 0, 12},
         {0, 0, std::sqrt((4 * (144 + 16 + 16 + 144)) / 15.0)},
         {6.0 / 36.0, 1.0, -ln6, 0.5}},
        {"checkerboard",
         [](int x, int y) { return (x + y) % 2 ? RGB(0, 255, 0) : RGB(0, 0, 0); },
         1,
         {0, 127.5, 0},
         {0, HalfHalfSpread(0, 255, 16), 0},
         {0.5, 961.0, -ln2, 1.0 / 962.0}},
    };
    const CAOI2 aoi(CRect(0, 0, 4, 4));
    for (const Fixture& f : fixtures) {
        SCOPED_TRACE(f.name);
        const CDIB image = MakeImage(4, 4, f.color);
        Color_Double mean;
        Color_Double spread;
        ComputeColorStatistics(aoi, image, mean, spread);
        EXPECT_NEAR(mean.red, f.mean.red, 1e-9);
        EXPECT_NEAR(mean.green, f.mean.green, 1e-9);
        EXPECT_NEAR(mean.blue, f.mean.blue, 1e-9);
        EXPECT_NEAR(spread.red, f.spread.red, 1e-9);
        EXPECT_NEAR(spread.green, f.spread.green, 1e-9);
        EXPECT_NEAR(spread.blue, f.spread.blue, 1e-9);

        Texture t;
        ASSERT_TRUE(ComputeTexture(aoi, image, f.channel, &t.energy, &t.contrast, &t.entropy, &t.homogeneity, 1));
        EXPECT_NEAR(t.energy, f.texture.energy, 1e-12);
        EXPECT_NEAR(t.contrast, f.texture.contrast, 1e-9);
        EXPECT_NEAR(t.entropy, f.texture.entropy, 1e-12);
        EXPECT_NEAR(t.homogeneity, f.texture.homogeneity, 1e-12);
    }
}

TEST(AOIStatisticsTest, TextureChannelsStepsAndMissingOutputs)
{
    // Red 0, green 255: the channel decides between a uniform and a
    // contrasting texture; grey is trunc(0.587 * 255) = 149 -> level 18.
    const CDIB image = MakeImage(4, 4, [](int x, int) { return x % 2 ? RGB(0, 255, 0) : RGB(0, 0, 0); });
    const CAOI2 aoi(CRect(0, 0, 4, 4));
    double contrast = -1;
    ASSERT_TRUE(ComputeTexture(aoi, image, 0, nullptr, &contrast, nullptr, nullptr, 1));
    EXPECT_EQ(contrast, 0.0);
    ASSERT_TRUE(ComputeTexture(aoi, image, 1, nullptr, &contrast, nullptr, nullptr, 1));
    EXPECT_EQ(contrast, 961.0);
    ASSERT_TRUE(ComputeTexture(aoi, image, 3, nullptr, &contrast, nullptr, nullptr, 1));
    EXPECT_EQ(contrast, 18.0 * 18.0);
    ASSERT_TRUE(ComputeTexture(aoi, image, 7, nullptr, &contrast, nullptr, nullptr, 1));
    EXPECT_EQ(contrast, 0.0); // an unknown channel reads 0
    // Step 2 pairs x - 1 and x for x = 1 and 3 only: always black, then green.
    double homogeneity = -1;
    ASSERT_TRUE(ComputeTexture(aoi, image, 1, nullptr, nullptr, nullptr, &homogeneity, 2));
    EXPECT_DOUBLE_EQ(homogeneity, 4 * 2 / 962.0); // raw counts: nothing normalised it
    EXPECT_THROW(ComputeTexture(aoi, image, 1, nullptr, nullptr, nullptr, nullptr, 0), CInvalidArgException);

    // One pixel wide: no pair.
    const CAOI2 column(CRect(2, 0, 3, 4));
    EXPECT_FALSE(ComputeTexture(column, image, 1, nullptr, &contrast, nullptr, nullptr, 1));
}

TEST(AOIStatisticsTest, PixelsOutsideTheImageAreLeftOut)
{
    const CDIB image = MakeImage(4, 4, [](int, int) { return RGB(40, 50, 60); });
    // Half of the area lies left of the image: it would read black there.
    const CAOI2 aoi(CRect(-4, 0, 4, 4));
    Color_Double mean;
    Color_Double spread;
    ComputeColorStatistics(aoi, image, mean, spread);
    EXPECT_EQ(mean.red, 40.0);
    EXPECT_EQ(spread.blue, 0.0);
}

// A page seen only through its pixels, as a frame-grabber board is.
class CPixelsOnly : public Device
{
public:
    explicit CPixelsOnly(CDIB& page) : m_page(page) {}
    int GetWidth() const override { return m_page.GetWidth(); }
    int GetHeight() const override { return m_page.GetHeight(); }
    int GetBitCount() const override { return m_page.GetBitCount(); }
    CDIB* GetDIB() override { return nullptr; }
    COLORREF GetPalEntry(int) const override { return 0; }
    COLORREF GetPixel(int x, int y) const override { return m_page.GetPixel(x, y); }
    void SetPixel(int x, int y, COLORREF colour) override { m_page.SetPixel(x, y, colour); }

private:
    CDIB& m_page;
};

TEST(AOIStatisticsTest, ColourPagesReadByRowsGiveWhatPixelsGive)
{
    // Seeded noise; an ellipse that hangs over the page's top-left corner.
    CDIB page = MakeImage(90, 70, [](int x, int y) {
        const unsigned h = static_cast<unsigned>(x * 7919 + y * 104729) * 2654435761u;
        return RGB(h & 0xFF, (h >> 8) & 0xFF, (h >> 16) & 0xFF);
    });
    CAOIEllipse ellipse;
    ellipse.SetFromCorners(-20, -10, 60, 50);
    const CAOI2 inside(CRect(10, 5, 80, 66));
    const CPixelsOnly pixels(page);
    for (const CAOI* aoi : {static_cast<const CAOI*>(&ellipse), static_cast<const CAOI*>(&inside)}) {
        Color_Double mean;
        Color_Double spread;
        Color_Double pixelMean;
        Color_Double pixelSpread;
        ComputeColorStatistics(*aoi, page, mean, spread);
        ComputeColorStatistics(*aoi, pixels, pixelMean, pixelSpread);
        EXPECT_DOUBLE_EQ(mean.red, pixelMean.red);
        EXPECT_DOUBLE_EQ(mean.blue, pixelMean.blue);
        EXPECT_DOUBLE_EQ(spread.green, pixelSpread.green);
        EXPECT_DOUBLE_EQ(spread.blue, pixelSpread.blue);
        EXPECT_GT(spread.red, 10.0);
    }
}

TEST(AOIStatisticsTest, Histograms)
{
    ScopedMessageBoxes boxes;
    const CDIB image = MakeImage(3, 2, [](int x, int) { return RGB(x, 10, 255); });
    const CAOI2 aoi(CRect(0, 0, 3, 2));
    CDataArray red(CDataArray::typeLong);
    CDataArray green(CDataArray::typeLong);
    CDataArray blue(CDataArray::typeLong);
    for (CDataArray* s : {&red, &green, &blue})
        s->SetSize(256);
    red.SetAtWrapped(200, 99.0); // cleared first
    ComputeColorHistogram(aoi, image, red, green, blue);
    EXPECT_EQ(red.GetAt(0), 2.0);
    EXPECT_EQ(red.GetAt(1), 2.0);
    EXPECT_EQ(red.GetAt(2), 2.0);
    EXPECT_EQ(red.GetAt(200), 0.0);
    EXPECT_EQ(green.GetAt(10), 6.0);
    EXPECT_EQ(blue.GetAt(255), 6.0);
    EXPECT_TRUE(boxes->Texts().empty());

    CDataArray single(CDataArray::typeLong);
    single.SetSize(256);
    ComputeGreenHistogram(aoi, image, single);
    EXPECT_EQ(single.GetAt(10), 6.0);

    // A series that is not a histogram: a message and nothing counted.
    CDataArray shorts(CDataArray::typeShort);
    shorts.SetSize(256);
    red.ClearAll();
    ComputeColorHistogram(aoi, image, red, shorts, blue);
    ComputeGreenHistogram(aoi, image, shorts);
    EXPECT_EQ(boxes->Texts(), (std::vector<CString>{"Wrong Data Type", "Wrong Data Type"}));
    EXPECT_EQ(red.GetAt(0), 0.0);
    EXPECT_EQ(shorts.GetAt(10), 0.0);

    CDataArray tooShort(CDataArray::typeLong);
    tooShort.SetSize(16);
    EXPECT_THROW(ComputeGreenHistogram(aoi, image, tooShort), CInvalidArgException);
}

TEST(AOIStatisticsTest, FieldMeansOfEvenAndOddRows)
{
    const CDIB image = MakeImage(4, 4, [](int x, int y) { return RGB(10 * y + x, 100, 3 * y); });
    COLORREF even = 1;
    COLORREF odd = 1;
    GetFieldMeanColors(CAOI2(CRect(0, 0, 4, 4)), image, even, odd);
    // Rows 0 and 2: red 20 * ... mean of (0..3) and (20..23) = 11 (11.5 truncated).
    EXPECT_EQ(even, RGB(11, 100, 3));
    EXPECT_EQ(odd, RGB(21, 100, 6)); // rows 1, 3: red mean 21.5, blue 6
    // One even row: the odd field is black.
    GetFieldMeanColors(CAOI2(CRect(0, 2, 4, 3)), image, even, odd);
    EXPECT_EQ(even, RGB(21, 100, 6));
    EXPECT_EQ(odd, RGB(0, 0, 0));
    // An area of no size leaves both.
    GetFieldMeanColors(CAOI2(CRect(1, 1, 1, 1)), image, even, odd);
    EXPECT_EQ(even, RGB(21, 100, 6));
}

TEST(AOIStatisticsTest, BlueMoments)
{
    const CDIB image = MakeImage(2, 2, [](int x, int y) { return RGB(0, 0, 10 * (2 * y + x)); });
    double mean = 0, avgDev = 0, stdDev = 0, variance = 0, skewness = 0, kurtosis = 0;
    EXPECT_TRUE(ComputeBlueMoments(CAOI2(CRect(0, 0, 2, 2)), image, mean, avgDev, stdDev, variance, skewness,
                                   kurtosis));
    EXPECT_DOUBLE_EQ(mean, 15.0);
    EXPECT_DOUBLE_EQ(avgDev, 10.0);
    EXPECT_DOUBLE_EQ(variance, 500.0 / 3.0);
    EXPECT_NEAR(skewness, 0.0, 1e-12);
    mean = -1;
    EXPECT_FALSE(ComputeBlueMoments(CAOI2(CRect(0, 0, 0, 0)), image, mean, avgDev, stdDev, variance, skewness,
                                    kurtosis));
    EXPECT_EQ(mean, -1);
}

TEST(AOIStatisticsTest, CoverageEdge)
{
    // Bright pixels (all channels >= 200) in columns 5.. and rows 6..
    const CDIB image = MakeImage(8, 8, [](int x, int y) { return x >= 5 && y >= 6 ? RGB(255, 255, 255) : 0; });
    const CSegThres bright(RGB(0, 0, 0), RGB(200, 200, 200), CSegThres::modeBright);
    const CAOI2 aoi(CRect(0, 0, 8, 8));

    CPoint point(7, 7);
    float low = 10.0f;
    float high = 20.0f;
    FindCoverageEdge(aoi, image, bright, point, low, high, false);
    EXPECT_EQ(point, CPoint(5, -1));
    EXPECT_EQ(low, 0.0f);
    EXPECT_EQ(high, 25.0f); // 2 of 8 rows

    point = CPoint(7, 7);
    low = 10.0f;
    high = 20.0f;
    FindCoverageEdge(aoi, image, bright, point, low, high, true);
    EXPECT_EQ(point, CPoint(-1, 6));
    EXPECT_EQ(high, 37.5f); // 3 of 8 columns

    // Nothing rises above 50 percent: the running minimum and the last share.
    point = CPoint(7, 7);
    low = 10.0f;
    high = 50.0f;
    FindCoverageEdge(aoi, image, bright, point, low, high, false);
    EXPECT_EQ(point, CPoint(7, 7));
    EXPECT_EQ(low, 0.0f);
    EXPECT_EQ(high, 25.0f);
}

TEST(AOIStatisticsTest, ObjectSpanInRow)
{
    const CDIB image = MakeImage(8, 2, [](int x, int y) { return y == 0 && x >= 2 && x <= 4 ? RGB(255, 255, 255) : 0; });
    const CSegThres bright(RGB(0, 0, 0), RGB(200, 200, 200), CSegThres::modeBright);
    const struct
    {
        int first, last, y;
        int wantFirst, wantLast;
    } cases[] = {
        {0, 7, 0, 2, 4},
        {3, 7, 0, 3, 4},
        {0, 7, 1, -1, -1}, // a row without object pixels
        {5, 2, 0, -1, -1}, // last before first
        {-5, 20, 0, 2, 4}, // beyond the image
    };
    for (const auto& c : cases) {
        int first = c.first;
        int last = c.last;
        FindObjectSpanInRow(image, first, last, c.y, bright);
        EXPECT_EQ(first, c.wantFirst) << c.first << ".." << c.last << " row " << c.y;
        EXPECT_EQ(last, c.wantLast) << c.first << ".." << c.last << " row " << c.y;
    }
}

} // namespace
