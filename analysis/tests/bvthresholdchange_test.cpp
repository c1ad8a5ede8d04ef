// Threshold change marking: the pixels a threshold step would drop (dark
// mode) or add (bright mode) are painted, only inside the working area and
// outside the excluded columns; the thresholds stay.

#include "analysis/bv.h"
#include "outside/pixmere/dib.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A grey ramp: column x has the grey value x.
void FillRamp(CDIB& page)
{
    page.InitDIB(256, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 256; ++x)
            page.SetPixel(x, y, RGB(x, x, x));
}

int CountColour(const CDIB& page, COLORREF colour)
{
    int count = 0;
    for (int y = 0; y < page.GetHeight(); ++y)
        for (int x = 0; x < page.GetWidth(); ++x)
            count += page.GetPixel(x, y) == colour ? 1 : 0;
    return count;
}

} // namespace

TEST(ThresholdChange, MarksWhatAStepWouldChange)
{
    struct sCase
    {
        const char* name;
        WORD mode;
        int offset;
        int firstExcluded;
        int lastExcluded;
        bool marks;
    };
    const sCase cases[] = {
        {"dark, tightened", CSegThres::modeDark, 25, 300, 400, true},
        {"bright, loosened", CSegThres::modeBright, 25, 300, 400, true},
        {"band: nothing", CSegThres::modeBand, 25, 300, 400, false},
        {"offset 0: nothing", CSegThres::modeDark, 0, 300, 400, false},
        {"all columns excluded", CSegThres::modeDark, 25, 0, 255, false},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        CBV engine;
        engine.m_AOIDoc.SetImageSize(256, 4, true);
        engine.GetSettings().m_SegThres = CSegThres(RGB(100, 100, 100), RGB(150, 150, 150), c.mode);
        const CSegThres before = engine.GetSettings().m_SegThres;
        CDIB page;
        FillRamp(page);
        engine.MarkThresholdChange(&page, c.firstExcluded, c.lastExcluded, c.offset);
        const COLORREF mark = c.mode == CSegThres::modeDark ? RGB(151, 151, 151) : RGB(101, 101, 101);
        const int marked = CountColour(page, mark) - 4; // the ramp holds the mark colour once per row
        EXPECT_EQ(marked > 0, c.marks) << marked;
        EXPECT_TRUE(engine.GetSettings().m_SegThres == before);
    }
}

TEST(ThresholdChange, OnlyTheLargestFreeAreaAndNothingForThinAreas)
{
    CBV engine;
    engine.m_AOIDoc.SetImageSize(256, 4, true);
    engine.GetSettings().m_SegThres = CSegThres(RGB(100, 100, 100), RGB(150, 150, 150), CSegThres::modeDark);
    const auto add = [&engine](const CRect& rect, int function) {
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(rect);
        area->m_nFunction = function;
        engine.m_AOIDoc.AddAOI(area);
    };
    add(CRect(0, 0, 40, 4), -1);
    add(CRect(0, 0, 256, 4), 0); // has a function: not a working area
    add(CRect(80, 0, 100, 4), -1);
    // The first area, fitted into the image.
    EXPECT_LT(engine.GetWorkingAOI()->GetLeft(), 5);
    EXPECT_LE(engine.GetWorkingAOI()->GetWidth(), 40);
    EXPECT_GT(engine.GetWorkingAOI()->GetWidth(), 30);

    CDIB page;
    FillRamp(page);
    engine.MarkThresholdChange(&page, -1, -1, 25);
    // Only columns below 40: the ramp's dropped values (76 to 100) lie
    // outside them.
    EXPECT_EQ(CountColour(page, RGB(151, 151, 151)), 4);

    // Nothing without a page, nothing for an area of width 1.
    engine.MarkThresholdChange(nullptr, -1, -1, 25);
    CBV thin;
    thin.m_AOIDoc.SetImageSize(256, 4, true);
    std::unique_ptr<CAOI> line = std::make_unique<CAOI2>(CRect(90, 0, 91, 4));
    thin.m_AOIDoc.AddAOI(line);
    thin.GetSettings().m_SegThres = engine.GetSettings().m_SegThres;
    CDIB ramp;
    FillRamp(ramp);
    thin.MarkThresholdChange(&ramp, -1, -1, 25);
    EXPECT_EQ(CountColour(ramp, RGB(151, 151, 151)), 4);
}
