// Copies, fills, masks, border patterns, circle growth, bright positions
// and the threshold share of an area of interest.

#include "analysis/aoi.h"
#include "analysis/aoiimaging.h"
#include "analysis/aoipatterns.h"
#include "analysis/classes.h"
#include "analysis/colorpositionarray.h"
#include "analysis/segthres.h"
#include "analysis/thresholdarea.h"
#include "objectmodel/rpolygon.h"
#include "analysis/tests/testimages.h"
#include "outside/pixmere/dib.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

namespace {

using kestrun::testing::ScopedMessageBoxes;
using testimages::MakeImage;

COLORREF Numbered(int x, int y)
{
    return RGB(x, y, 7);
}

const CSegThres kBright(RGB(0, 0, 0), RGB(200, 200, 200), CSegThres::modeBright);

CRPolygon Square(int left, int top, int right, int bottom)
{
    CRPointArray vertices;
    vertices.Add(left, top);
    vertices.Add(right, top);
    vertices.Add(right, bottom);
    vertices.Add(left, bottom);
    CRPolygon polygon;
    polygon.SetFromVertices(vertices);
    return polygon;
}

TEST(AOICopyTest, LinesAndAreas)
{
    const CDIB image = MakeImage(10, 8, Numbered);
    const CAOI2 aoi(CRect(2, 1, 6, 4)); // 4 wide, 3 high
    CDIB line;
    ASSERT_TRUE(CopyLineToDIB(aoi, image, &line, CPoint(3, 2), false));
    ASSERT_EQ(line.GetWidth(), 3);
    ASSERT_EQ(line.GetHeight(), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(line.GetPixel(i, 0), Numbered(3, 1 + i));
    ASSERT_TRUE(CopyLineToDIB(aoi, image, &line, CPoint(3, 2), true));
    ASSERT_EQ(line.GetWidth(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(line.GetPixel(i, 0), Numbered(2 + i, 2));
    EXPECT_FALSE(CopyLineToDIB(aoi, image, nullptr, CPoint(3, 2), true));

    CDIB area;
    ASSERT_TRUE(CopyImageArea(aoi, &area, image));
    ASSERT_EQ(area.GetWidth(), 4);
    ASSERT_EQ(area.GetHeight(), 3);
    EXPECT_EQ(area.GetPixel(3, 2), Numbered(5, 3));
    EXPECT_FALSE(CopyImageArea(CAOI2(CRect(8, 0, 12, 2)), &area, image)); // not inside the page
}

TEST(AOIFillTest, FillAndInteriorFill)
{
    const CAOI2 aoi(CRect(10, 20, 14, 24)); // 4 x 4
    CDIB target;
    ASSERT_TRUE(target.InitDIB(8, 8, 24));
    FillInto(aoi, target, 1, 2, RGB(9, 9, 9));
    int filled = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            filled += target.GetPixel(x, y) == RGB(9, 9, 9);
    EXPECT_EQ(filled, 16);
    EXPECT_EQ(target.GetPixel(1, 2), RGB(9, 9, 9));
    EXPECT_EQ(target.GetPixel(4, 5), RGB(9, 9, 9));

    // The interior: rows 1 and 2, and x 1 and 2 of each run.
    FillInteriorInto(aoi, target, 1, 2, RGB(1, 1, 1));
    const std::vector<POINT> interior{{2, 3}, {3, 3}, {2, 4}, {3, 4}};
    for (const POINT& p : interior)
        EXPECT_EQ(target.GetPixel(p.x, p.y), RGB(1, 1, 1)) << p.x << "," << p.y;
    EXPECT_EQ(target.GetPixel(1, 2), RGB(9, 9, 9));
    EXPECT_EQ(target.GetPixel(4, 3), RGB(9, 9, 9));
}

TEST(AOIMaskTest, MaskOfPolygonWithHoles)
{
    CAOI4 aoi;
    CDIB mask;
    // A box 10 pixels wide and no border: 11 rounded up to 12.
    const CRPolygon outer = Square(5, 5, 14, 14);
    ASSERT_TRUE(CreateMask(aoi, &mask, &outer, nullptr, 0));
    EXPECT_EQ(mask.GetWidth(), 12);
    EXPECT_EQ(mask.GetHeight(), 10);
    EXPECT_EQ(mask.GetBitCount(), 8);
    EXPECT_EQ(mask.GetPixelIndex(0, 0), 255);
    EXPECT_EQ(mask.GetPixelIndex(9, 9), 255);
    EXPECT_EQ(mask.GetPixelIndex(10, 0), 0);
    EXPECT_EQ(aoi.GetLeft(), 5); // the area took the polygon over

    // A border of 2 and two holes: one inside, one that starts outside.
    CRPolygon inside = Square(8, 8, 11, 11);
    CRPolygon outside = Square(30, 30, 33, 33);
    CArray<CRPolygon*, CRPolygon*> holes;
    holes.Add(&inside);
    holes.Add(&outside);
    ASSERT_TRUE(CreateMask(aoi, &mask, &outer, &holes, 2));
    EXPECT_EQ(mask.GetWidth(), 16);
    EXPECT_EQ(mask.GetHeight(), 14);
    EXPECT_EQ(mask.GetPixelIndex(1, 1), 0);
    EXPECT_EQ(mask.GetPixelIndex(2, 2), 255);
    // The hole's interior (9..10) is cleared, its outline (8, 11) stays.
    for (const int v : {9, 10}) {
        EXPECT_EQ(mask.GetPixelIndex(v - 5 + 2, v - 5 + 2), 0) << v;
    }
    EXPECT_EQ(mask.GetPixelIndex(8 - 5 + 2, 8 - 5 + 2), 255);
    EXPECT_EQ(mask.GetPixelIndex(11 - 5 + 2, 9 - 5 + 2), 255);

    // Without a polygon the area's own rectangle is the box.
    ASSERT_TRUE(CreateMask(aoi, &mask, nullptr, nullptr, 0));
    EXPECT_EQ(mask.GetHeight(), 11);
    EXPECT_EQ(mask.GetPixelIndex(0, 0), 255);

    EXPECT_FALSE(CreateMask(aoi, &mask, &outer, nullptr, -100)); // no page of that size
    const CRPolygon empty;
    EXPECT_FALSE(CreateMask(aoi, &mask, &empty, nullptr, 0));
    EXPECT_FALSE(CreateMask(aoi, nullptr, &outer, nullptr, 0));
}

TEST(AOIPatternTest, LearnCompareAndPaste)
{
    ScopedMessageBoxes boxes;
    CDIB image = MakeImage(10, 8, Numbered);
    const CAOI2 aoi(CRect(2, 1, 6, 4)); // rows 1..3, borders x 2 and 5
    CDIB pattern;
    ASSERT_TRUE(LearnBorderPattern(aoi, image, &pattern));
    ASSERT_EQ(pattern.GetWidth(), 6);
    ASSERT_EQ(pattern.GetHeight(), 1);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(pattern.GetPixel(2 * r, 0), Numbered(2, 1 + r));
        EXPECT_EQ(pattern.GetPixel(2 * r + 1, 0), Numbered(5, 1 + r));
    }

    Color_Double mean(-1, -1, -1);
    Color_Double spread(-1, -1, -1);
    ASSERT_TRUE(CompareBorderPattern(aoi, &pattern, image, mean, spread));
    EXPECT_EQ(mean.red, 0.0);
    EXPECT_EQ(spread.green, 0.0);

    // One border pixel 30 redder: differences 0, 0, 0, 30, 0, 0 in red.
    image.SetPixel(5, 2, Numbered(5, 2) + 30);
    ASSERT_TRUE(CompareBorderPattern(aoi, &pattern, image, mean, spread));
    EXPECT_DOUBLE_EQ(mean.red, 5.0);
    EXPECT_DOUBLE_EQ(spread.red, std::sqrt(150.0));
    EXPECT_EQ(mean.blue, 0.0);

    // The border pattern pasted back restores the pixel.
    ASSERT_TRUE(PastePattern(aoi, &pattern, image));
    EXPECT_EQ(image.GetPixel(5, 2), Numbered(5, 2));
    EXPECT_TRUE(boxes->Texts().empty());

    // A border beyond the image cannot be compared.
    const CAOI2 beyond(CRect(7, 1, 11, 4));
    ASSERT_TRUE(LearnBorderPattern(beyond, image, &pattern));
    EXPECT_FALSE(CompareBorderPattern(beyond, &pattern, image, mean, spread));

    // A pattern of another size: the message and false.
    CDIB wrong;
    ASSERT_TRUE(wrong.InitDIB(5, 1, 24));
    EXPECT_FALSE(CompareBorderPattern(aoi, &wrong, image, mean, spread));
    EXPECT_EQ(boxes->Texts(),
              std::vector<CString>{"Template pattern size does not match to area border size!"});
}

TEST(AOIPatternTest, PasteAnAreaPattern)
{
    CDIB image = MakeImage(10, 8, [](int, int) { return RGB(0, 0, 0); });
    const CAOI2 aoi(CRect(2, 1, 6, 4)); // 4 x 3
    CDIB area = MakeImage(4, 3, Numbered);
    ASSERT_TRUE(PastePattern(aoi, &area, image));
    EXPECT_EQ(image.GetPixel(2, 1), Numbered(0, 0));
    EXPECT_EQ(image.GetPixel(5, 3), Numbered(3, 2));

    // The same number of pixels in another shape is refused.
    const CDIB reshaped = MakeImage(12, 1, Numbered);
    EXPECT_FALSE(PastePattern(aoi, &reshaped, image));
    EXPECT_FALSE(PastePattern(aoi, nullptr, image));
}

TEST(GrowLargestCircleTest, FindsTheCentreOfADisc)
{
    const CDIB image = MakeImage(60, 60, [](int x, int y) {
        return (x - 30) * (x - 30) + (y - 30) * (y - 30) <= 15 * 15 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    });
    CAOIEllipse circle;
    CPoint centre(22, 27);
    GrowLargestCircle(circle, centre, image, kBright, CRect(0, 0, 60, 60));
    EXPECT_NEAR(centre.x, 30, 2);
    EXPECT_NEAR(centre.y, 30, 2);
    // The circle ends one step too large: it no longer fits.
    EXPECT_GE(circle.GetAxisWidth(), 2 * 13);
}

TEST(GrowLargestCircleTest, EndsInBandsAndOnEmptyImages)
{
    // A band 11 rows high across a wide image: the circle cannot grow by
    // moving sideways, so the search must end instead of wandering.
    const CDIB band = MakeImage(200, 40, [](int, int y) { return y >= 10 && y <= 20 ? RGB(255, 255, 255) : 0; });
    CAOIEllipse circle;
    CPoint centre(100, 13);
    GrowLargestCircle(circle, centre, band, kBright, CRect(0, 0, 200, 40));
    EXPECT_GE(centre.y, 14);
    EXPECT_LE(centre.y, 16);
    EXPECT_NEAR(centre.x, 100, 6);

    // Nothing passes: the centre stays.
    const CDIB black = MakeImage(20, 20, [](int, int) { return RGB(0, 0, 0); });
    centre = CPoint(10, 10);
    GrowLargestCircle(circle, centre, black, kBright, CRect(0, 0, 20, 20));
    EXPECT_EQ(centre, CPoint(10, 10));

    // Everything passes: the image rectangle stops the growth.
    const CDIB white = MakeImage(30, 30, [](int, int) { return RGB(255, 255, 255); });
    centre = CPoint(5, 5);
    GrowLargestCircle(circle, centre, white, kBright, CRect(0, 0, 30, 30));
    EXPECT_NEAR(centre.x, 15, 2);
    EXPECT_NEAR(centre.y, 15, 2);
}

TEST(CollectBrightPositionsTest, EveryStepthPixelAboveTheLimit)
{
    const CDIB image = MakeImage(8, 8, [](int x, int) { return RGB(0, x >= 4 ? 200 : 100, 0); });
    CColorPositionArray positions;
    CollectBrightPositions(CAOI2(CRect(0, 0, 8, 8)), positions, image, 150, 2);
    // x 4 and 6 of rows 0, 2, 4, 6.
    ASSERT_EQ(positions.GetSize(), 8);
    EXPECT_EQ(positions[0].xFirst, 4);
    EXPECT_EQ(positions[1].xFirst, 6);
    EXPECT_EQ(positions[7].y, 6);
    EXPECT_THROW(CollectBrightPositions(CAOI2(CRect(0, 0, 8, 8)), positions, image, 150, 0), CInvalidArgException);
}

// Records what MeasureThresholdArea hands over.
class CRecordedArea : public IThresholdAreaRecord
{
public:
    void ResetTotals() override { ++m_nResets; }
    void AddPixel(int x, int y, COLORREF color, int classNumber) override
    {
        m_Pixels.emplace_back(x, y, color, classNumber);
    }
    void SetTotals(DWORD total, COLORREF meanColor, DWORD passing, int share) override
    {
        m_nTotal = total;
        m_Mean = meanColor;
        m_nPassing = passing;
        m_nShare = share;
    }
    void FinishStatistics() override { ++m_nFinished; }

    int m_nResets = 0;
    int m_nFinished = 0;
    std::vector<std::tuple<int, int, COLORREF, int>> m_Pixels;
    DWORD m_nTotal = 99;
    COLORREF m_Mean = 99;
    DWORD m_nPassing = 99;
    int m_nShare = 99;
};

TEST(ThresholdAreaTest, CountsShareAndProgress)
{
    // Three of eight columns bright.
    const CDIB image = MakeImage(8, 4, [](int x, int) { return x >= 5 ? RGB(250, 210, 201) : RGB(10, 20, 30); });
    CRecordedArea record;
    std::vector<int> progress;
    MeasureThresholdArea(CAOI2(CRect(0, 0, 8, 4)), image, kBright, record, nullptr,
                         [&](int percent) { progress.push_back(percent); });
    EXPECT_EQ(record.m_nResets, 1);
    EXPECT_EQ(record.m_nFinished, 1);
    EXPECT_EQ(record.m_nTotal, 32u);
    EXPECT_EQ(record.m_nPassing, 12u);
    EXPECT_EQ(record.m_nShare, 37); // trunc(12 * 100 / 32)
    // Means 100, 91 (91.25) and 94 (94.125), truncated.
    EXPECT_EQ(record.m_Mean, RGB(100, 91, 94));
    EXPECT_TRUE(record.m_Pixels.empty()); // no classes
    EXPECT_EQ(progress, (std::vector<int>{0, 0, 33, 66, 100}));

    // Partly outside the image: only the pixels inside count.
    MeasureThresholdArea(CAOI2(CRect(4, -2, 12, 2)), image, kBright, record, nullptr);
    EXPECT_EQ(record.m_nTotal, 8u);
    EXPECT_EQ(record.m_nPassing, 6u);
    EXPECT_EQ(record.m_nShare, 75);

    // Entirely outside: no pixel, a share of 0.
    MeasureThresholdArea(CAOI2(CRect(20, 20, 24, 24)), image, kBright, record, nullptr);
    EXPECT_EQ(record.m_nTotal, 0u);
    EXPECT_EQ(record.m_nShare, 0);
}

TEST(ThresholdAreaTest, PassingPixelsGoToTheirColourClass)
{
    CClasses classes;
    CVectorNormal reddish(1, "Reddish");
    reddish.AddFeature("Red", 32, 230.0, 255.0);
    reddish.AddFeature("Green", 64, 190.0, 210.0);
    reddish.AddFeature("Blue", 128, 190.0, 210.0);
    CVectorNormal greenish(2, "Greenish");
    greenish.AddFeature("Red", 32, 180.0, 220.0);
    greenish.AddFeature("Green", 64, 230.0, 255.0);
    classes.Add(reddish);
    classes.Add(greenish);

    EXPECT_EQ(FindColorClass(classes, RGB(250, 200, 200), CClasses::colorFeatureType), 1);
    EXPECT_EQ(FindColorClass(classes, RGB(200, 250, 40), CClasses::colorFeatureType), 2);
    EXPECT_EQ(FindColorClass(classes, RGB(0, 0, 0), CClasses::colorFeatureType), 0);

    const CDIB image = MakeImage(4, 1, [](int x, int) {
        const COLORREF colors[] = {RGB(250, 200, 200), RGB(200, 250, 210), RGB(201, 201, 255), RGB(0, 0, 0)};
        return colors[x];
    });
    CRecordedArea record;
    MeasureThresholdArea(CAOI2(CRect(0, 0, 4, 1)), image, kBright, record, &classes);
    ASSERT_EQ(record.m_Pixels.size(), 3u); // the black pixel does not pass
    EXPECT_EQ(record.m_Pixels[0], std::make_tuple(0, 0, RGB(250, 200, 200), 1));
    EXPECT_EQ(std::get<3>(record.m_Pixels[1]), 2);
    EXPECT_EQ(std::get<3>(record.m_Pixels[2]), 0); // blue 255 lies in no class
}

} // namespace
