#include "analysis/lineobj.h"
#include "analysis/region.h"

#include "analysis/tests/tracepage.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tracetest;

namespace {

const std::vector<std::string> kRing = {".........", ".#######.", ".#######.", ".##...##.", ".##...##.",
                                        ".##...##.", ".#######.", ".#######.", "........."};

class RegionTest : public ::testing::Test
{
protected:
    void Bind(const std::vector<std::string>& picture)
    {
        m_page = MakePage(picture);
        m_aoi = WholePage(m_page);
    }

    // A region of that stack capacity over the page, to be filled from seed.
    std::unique_ptr<CRegion> Region(POINT seed, int capacity = 100, CAOI* aoi = nullptr)
    {
        auto region = std::make_unique<CRegion>(capacity);
        region->SetImage(&m_page, aoi != nullptr ? aoi : &m_aoi, &m_threshold);
        region->SetSeed(seed);
        return region;
    }

    CDIB m_page;
    CAOI2 m_aoi;
    CSegThres m_threshold = DarkThreshold();
};

TEST_F(RegionTest, FillTakesEveryObjectPixelOnce)
{
    Bind(kRing);
    auto region = Region(POINT{1, 4});
    ASSERT_EQ(region->FillStatistics(), 1);

    EXPECT_EQ(region->GetPixelCount(), 40);
    EXPECT_EQ(region->GetSumRed(), 40u * kObject);
    EXPECT_EQ(region->GetSumBlue(), 40u * kObject);
    EXPECT_EQ(CRect(region->GetBoundingRect()), CRect(1, 1, 7, 7));
    EXPECT_FALSE(region->TouchesBorder());
    int runPixels = 0;
    for (const sRegionRun& run : region->GetRuns())
        runPixels += run.right - run.left + 1;
    EXPECT_EQ(region->GetRuns().GetSize(), 10); // two runs on each row through the hole
    EXPECT_EQ(runPixels, 40);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            const char c = kRing[static_cast<size_t>(y)][static_cast<size_t>(x)];
            EXPECT_EQ(m_page.GetPixel(x, y), c == '#' ? kMark : RGB(kBackground, kBackground, kBackground));
        }
    }

    // Painted pixels do not pass again.
    EXPECT_EQ(region->FillStatistics(), 1);
    EXPECT_EQ(region->GetPixelCount(), 0);
}

TEST_F(RegionTest, FillStopsAtThePageAndReportsTheBorder)
{
    // Dark objects: the page's outside must not count as object colour.
    Bind({"##....", "##....", "......"});
    auto region = Region(POINT{1, 1});
    ASSERT_EQ(region->FillStatistics(), 1);
    EXPECT_EQ(region->GetPixelCount(), 4);
    EXPECT_TRUE(region->TouchesBorder());

    // Runs reach beyond a smaller area; rows outside it are not followed.
    Bind({"......", ".####.", ".####.", ".####.", "......"});
    CAOI2 inner(CRect(2, 1, 4, 3)); // columns 2..3, rows 1..2
    region = Region(POINT{2, 1}, 100, &inner);
    ASSERT_EQ(region->FillStatistics(), 1);
    EXPECT_EQ(region->GetPixelCount(), 8);
    EXPECT_TRUE(region->TouchesBorder());
}

TEST_F(RegionTest, FullStackKeepsWhatWasFilled)
{
    Bind(kRing);
    auto region = Region(POINT{1, 1}, 2);
    // One slot: rows 1 and 2 go through, the second run end of row 3 fails.
    EXPECT_EQ(region->FillStatistics(), 0);
    EXPECT_EQ(region->GetPixelCount(), 14);
    EXPECT_EQ(m_page.GetPixel(7, 2), kMark);
    EXPECT_EQ(m_page.GetPixel(1, 3), RGB(kObject, kObject, kObject));
}

TEST_F(RegionTest, MarkColourThePageCannotHoldIsRefused)
{
    // On a grey page red becomes grey 85, which this threshold calls object:
    // filled pixels would pass again and again.
    Bind(kRing);
    m_threshold = CSegThres(RGB(120, 120, 120), RGB(240, 240, 240), CSegThres::modeDark);
    m_threshold.m_MarkColor = RGB(255, 0, 0);
    const std::vector<BYTE> before = PixelBytes(m_page);
    auto region = Region(POINT{1, 4});
    EXPECT_EQ(region->FillStatistics(), 0);
    EXPECT_EQ(PixelBytes(m_page), before);
}

TEST_F(RegionTest, LineInsideNeedsAreaAndObjectOrMark)
{
    Bind(kRing);
    m_page.SetPixel(4, 1, kMark);
    CSegObj bound(&m_page, &m_aoi, &m_threshold);
    const CLineObj line(bound);
    EXPECT_EQ(line.IsLineInside(POINT{1, 1}, POINT{7, 1}), 1); // over the mark
    EXPECT_EQ(line.IsLineInside(POINT{1, 7}, POINT{1, 1}), 1);
    EXPECT_EQ(line.IsLineInside(POINT{1, 4}, POINT{7, 4}), 0); // across the hole
    CAOI2 small(CRect(0, 0, 5, 9));
    CSegObj smaller(&m_page, &small, &m_threshold);
    EXPECT_EQ(CLineObj(smaller).IsLineInside(POINT{1, 1}, POINT{7, 1}), 0);
}

TEST(SegObjTest, DumpNeighbourhoodWritesRowsDownwardsAndColumnsLeftwards)
{
    CDIB page;
    page.InitDIB(3, 3, 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            page.GetRow(y)[static_cast<size_t>(x)] = static_cast<BYTE>(10 * y + x);
    CSegObj object(&page, nullptr, nullptr);
    CScratchFolder folder;

    object.DumpNeighbourhood((folder / "n.txt").c_str(), ";", 1, 1);
    EXPECT_EQ(ReadBytes(folder / "n.txt"), "22;21;20\n12;11;10\n2;1;0\n");
    object.DumpNeighbourhood((folder / "n.txt").c_str(), ", ", 0, 0);
    EXPECT_EQ(ReadBytes(folder / "n.txt"), "11, 10, 0\n1, 0, 0\n0, 0, 0\n");
}

} // namespace
