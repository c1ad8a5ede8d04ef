// The engine's pixel operations inside the active area of interest and
// its small measures over that area.

#include "analysis/bv.h"

#include "analysis/tests/testimages.h"
#include "outside/grabwell/fgboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

COLORREF Pattern(int x, int y)
{
    return RGB(10 * x + 5, 20 * y + 3, 7 * x + y + 1);
}

// A 6 x 5 page of distinct colours and an engine whose active area is the
// rectangle (1, 1) - (5, 4): the operations visit x 1..3 and y 1..2.
class EngineImageOps : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_page = testimages::MakeImage(6, 5, Pattern);
        m_engine.m_AOIDoc.SetImageSize(6, 5, true);
    }

    void SetActiveArea(const CRect& rect)
    {
        std::unique_ptr<CAOI> aoi = std::make_unique<CAOI2>(rect);
        ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(aoi), 1);
    }

    // Every pixel inside rect must equal expected(original), every other its original.
    template <class Expected>
    void ExpectChangedInside(const CRect& rect, Expected expected) const
    {
        for (int y = 0; y < m_page.GetHeight(); ++y) {
            for (int x = 0; x < m_page.GetWidth(); ++x) {
                const COLORREF original = Pattern(x, y);
                const COLORREF want = rect.PtInRect(CPoint(x, y)) ? expected(original) : original;
                EXPECT_EQ(m_page.GetPixel(x, y), want) << x << ", " << y;
            }
        }
    }

    CDIB m_page;
    CBV m_engine;
};

TEST_F(EngineImageOps, InvertSwapsRedAndBlueInsideTheAreaWithoutItsLastColumnAndRow)
{
    SetActiveArea(CRect(1, 1, 5, 4));
    m_engine.InvertImageInAOI(&m_page);
    ExpectChangedInside(CRect(1, 1, 4, 3), [](COLORREF c) {
        return RGB(255 - GetBValue(c), 255 - GetGValue(c), 255 - GetRValue(c));
    });

    // One pixel wide: nothing. No image: nothing.
    m_page = testimages::MakeImage(6, 5, Pattern);
    SetActiveArea(CRect(2, 0, 3, 5));
    m_engine.InvertImageInAOI(&m_page);
    m_engine.InvertImageInAOI(nullptr);
    ExpectChangedInside(CRect(), [](COLORREF c) { return c; });
}

TEST_F(EngineImageOps, GainAndOffsetWorkOnTheWholeImageAndClamp)
{
    SetActiveArea(CRect(1, 1, 5, 4)); // not used: the whole image counts
    m_engine.ApplyGainOffset(&m_page, 1, 0);
    ExpectChangedInside(CRect(), [](COLORREF c) { return c; });

    m_engine.ApplyGainOffset(&m_page, 3, -20);
    const auto scaled = [](BYTE v) { return static_cast<BYTE>(std::clamp(v * 3 - 20, 0, 255)); };
    ExpectChangedInside(CRect(0, 0, 5, 4), [&](COLORREF c) {
        return RGB(scaled(GetRValue(c)), scaled(GetGValue(c)), scaled(GetBValue(c)));
    });
    EXPECT_EQ(GetRValue(m_page.GetPixel(4, 0)), 115);  // 45 * 3 - 20
    EXPECT_EQ(GetGValue(m_page.GetPixel(0, 3)), 169);  // 63 * 3 - 20
    EXPECT_EQ(GetBValue(m_page.GetPixel(0, 0)), 0);    // 1 * 3 - 20, clamped
}

TEST_F(EngineImageOps, MarkingWritesTheMarkValueIntoTheGreenOfPassingPixels)
{
    struct Case
    {
        WORD mode;
        COLORREF mark;
        BYTE value;
    };
    // Red below 30 passes in every case below (x 0..2).
    const Case cases[] = {
        {CSegThres::modeDark, RGB(255, 255, 255), 254},
        {CSegThres::modeDark, RGB(9, 0, 9), 1},
        {CSegThres::modeBand, RGB(0, 4, 0), 5},
        {CSegThres::modeBand, RGB(0, 255, 0), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        m_page = testimages::MakeImage(6, 5, Pattern);
        CSegThres threshold(RGB(0, 0, 0), RGB(29, 255, 255), c.mode);
        if (c.mode == CSegThres::modeDark)
            threshold.SetLower(RGB(29, 255, 255));
        threshold.m_MarkColor = c.mark;
        CAOI2 area(CRect(1, 1, 5, 4));
        m_engine.MarkThresholdPixels(&m_page, &area, threshold);
        // The whole rectangle, last column and row included.
        ExpectChangedInside(CRect(1, 1, 3, 4), [&](COLORREF p) { return RGB(GetRValue(p), c.value, GetBValue(p)); });
    }
}

TEST_F(EngineImageOps, EvenRowsAreCopiedOntoTheRowsBelowThem)
{
    m_page = testimages::MakeImage(6, 10, Pattern);
    m_engine.m_AOIDoc.SetImageSize(6, 10, true);
    SetActiveArea(CRect(1, 1, 5, 8));
    m_engine.DoubleEvenRows(&m_page);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 6; ++x) {
            // Rows 1, 3 and 5 go to 2, 4 and 6; row 7 is the rectangle's
            // last and keeps its own, as does column 4.
            const bool copied = x >= 1 && x <= 3 && (y == 2 || y == 4 || y == 6);
            EXPECT_EQ(m_page.GetPixel(x, y), copied ? Pattern(x, y - 1) : Pattern(x, y)) << x << ", " << y;
        }
    }
}

TEST_F(EngineImageOps, ColourMeasuresOfTheActiveAreaThenDrawIt)
{
    m_page = testimages::MakeImage(20, 12, [](int, int y) { return y % 2 == 0 ? RGB(100, 40, 7) : RGB(60, 90, 7); });
    m_engine.m_AOIDoc.SetImageSize(20, 12, true);
    SetActiveArea(CRect(2, 2, 18, 10));

    float mean = -1.0f;
    m_engine.GetActiveAOIColorStat(&m_page, mean);
    EXPECT_FLOAT_EQ(mean, 80.0f);
    // The outline runs one pixel outside the area.
    EXPECT_EQ(m_page.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(m_page.GetPixel(2, 2), RGB(100, 40, 7));

    m_page = testimages::MakeImage(20, 12, [](int, int y) { return y % 2 == 0 ? RGB(100, 40, 7) : RGB(60, 90, 7); });
    float even = -1.0f;
    float odd = -1.0f;
    m_engine.GetEvenOddRowGreen(&m_page, even, odd);
    EXPECT_FLOAT_EQ(even, 40.0f);
    EXPECT_FLOAT_EQ(odd, 90.0f);
    EXPECT_EQ(m_page.GetPixel(18, 10), RGB(255, 0, 0));
}

TEST(EngineSettings, FieldImagesByFieldModeOrBoard)
{
    CBV engine;
    engine.m_nFieldMode = 1;
    EXPECT_TRUE(engine.IsFieldImage());
    engine.m_nFieldMode = 2;
    EXPECT_FALSE(engine.IsFieldImage());
    engine.m_nFieldMode = 0;
    ASSERT_FALSE(GetFG()->IsInit());
    EXPECT_FALSE(engine.IsFieldImage());
}

TEST(EngineSettings, FilterSelection)
{
    CBV engine;
    engine.AddFilterSelection(filterSmooth);
    engine.ClearFilterSelection();
    engine.AddFilterSelection(filterBinarize);
    engine.AddFilterSelection(filterUndistort);
    const CObjectFilter& filter = engine.GetSettings().m_ObjectFilter;
    ASSERT_EQ(filter.GetFilterCount(), 2);
    EXPECT_EQ(filter.GetFilter(0), filterBinarize);
    EXPECT_EQ(filter.GetFilter(1), filterUndistort);
}

} // namespace
