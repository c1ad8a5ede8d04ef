#include "objectmodel/dataanalysis.h"
#include "seriesbytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

CDataAnalysis MakeAnalysis(int type, const std::vector<double>& values, bool ring = false)
{
    CDataAnalysis series(type);
    for (double v : values)
        series.AddDouble(v);
    series.SetRing(ring ? TRUE : FALSE);
    return series;
}

// n samples of 0 with the given values placed at their indices.
std::vector<double> Bumps(int n, std::initializer_list<std::pair<int, double>> at)
{
    std::vector<double> values(static_cast<size_t>(n), 0.0);
    for (const auto& [i, v] : at)
        values[static_cast<size_t>(i)] = v;
    return values;
}

struct PeakWant
{
    int index;
    int left;
    int right;
    double value;
};

void ExpectPeaks(const CDataAnalysis& series, const std::vector<PeakWant>& want)
{
    ASSERT_EQ(series.GetPeakCount(), static_cast<int>(want.size()));
    for (size_t k = 0; k < want.size(); ++k) {
        const sPeak& p = series.GetPeaks()[static_cast<INT_PTR>(k)];
        EXPECT_EQ(p.m_nIndex, want[k].index) << "peak " << k;
        EXPECT_EQ(p.m_nLeft, want[k].left) << "peak " << k;
        EXPECT_EQ(p.m_nRight, want[k].right) << "peak " << k;
        EXPECT_NEAR(p.m_dValue, want[k].value, 1e-5) << "peak " << k;
    }
}

} // namespace

// --- local maxima ----------------------------------------------------------------

TEST(DataAnalysisMaxima, Cases)
{
    struct Case
    {
        const char* name;
        std::vector<double> values;
        bool ring;
        double threshold;
        std::vector<PeakWant> peaks;
    };
    const std::vector<Case> cases = {
        {"nine samples are too few", {0, 1, 9, 1, 0, 0, 0, 0, 0}, false, 0.5, {}},
        {"one peak with its bases", {0, 0, 0, 1, 4, 9, 4, 1, 0, 0, 0, 0}, false, 0.5, {{5, 2, 8, 9}}},
        {"at the threshold is not above it", {0, 0, 0, 1, 4, 9, 4, 1, 0, 0, 0, 0}, false, 9.0, {}},
        {"plateau: the second sample when the next is lower",
         {0, 0, 0, 0, 5, 5, 1, 0, 0, 0, 0, 0}, false, 0.5, {{5, 3, 7, 5}}},
        {"a plateau peaks at its last sample",
         {0, 0, 0, 0, 5, 5, 5, 0, 0, 0, 0, 0}, false, 0.5, {{6, 3, 7, 5}}},
        {"open ends need no neighbours on the missing side",
         {7, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 6}, false, 0.5, {{2, 0, 3, 9}, {11, 10, 11, 6}}},
        {"first sample of an open series", Bumps(20, {{0, 9}, {1, 6}, {2, 3}, {18, 3}, {19, 6}}), false, 1.0,
         {{0, 0, 3, 9}, {18, 17, 19, 3}}}, // 18 goes unchecked on its right
        {"a ring peak across the wrap", Bumps(20, {{0, 9}, {1, 6}, {2, 3}, {18, 3}, {19, 6}}), true, 1.0,
         {{0, 17, 3, 9}}},
        {"a ring peak at the last sample", Bumps(20, {{19, 9}, {0, 6}, {1, 3}, {17, 3}, {18, 6}}), true, 1.0,
         {{19, 16, 2, 9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDataAnalysis series = MakeAnalysis(CDataArray::typeFloat, c.values, c.ring);
        EXPECT_EQ(series.FindMaxima(c.threshold), c.peaks.empty() ? FALSE : TRUE);
        ExpectPeaks(series, c.peaks);
    }
}

TEST(DataAnalysisMaxima, RingPeakWidthCountsAcrossTheWrap)
{
    CDataAnalysis series = MakeAnalysis(CDataArray::typeFloat, Bumps(20, {{0, 9}, {1, 6}, {2, 3}, {18, 3}, {19, 6}}),
                                        true);
    ASSERT_TRUE(series.FindMaxima(1.0));
    EXPECT_EQ(series.GetPeakWidth(0), 6);
    EXPECT_EQ(series.GetDuration(0), 6);
    EXPECT_EQ(series.GetPeakWidth(1), 0);
    EXPECT_EQ(series.GetPeakWidth(-1), 0);

    CDataAnalysis hundred(CDataArray::typeShort);
    hundred.SetSize(100);
    EXPECT_EQ(hundred.AddPeak(sPeak{0, 95, 5, 1.0}), 0);
    EXPECT_EQ(hundred.AddPeak(sPeak{50, 40, 55, 1.0}), 1);
    EXPECT_EQ(hundred.GetPeakWidth(0), 10);
    EXPECT_EQ(hundred.GetPeakWidth(1), 15);
}

// --- runs above the baseline ---------------------------------------------------

TEST(DataAnalysisBaseline, TrailingMeanOfReflectedOrWrappedSamples)
{
    CDataAnalysis open = MakeAnalysis(CDataArray::typeDouble, {1, 2, 3, 4, 5, 6});
    open.ComputeBaseline();
    // h = 3: entry 0 averages samples -3..-1, reflected to 4, 3, 2.
    const std::vector<float> wantOpen = {3.0f, 2.0f, 5.0f / 3.0f, 2.0f, 3.0f, 4.0f};
    ASSERT_EQ(open.GetBaseline().GetSize(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(open.GetBaseline()[i], wantOpen[static_cast<size_t>(i)]) << i;

    CDataAnalysis ring = MakeAnalysis(CDataArray::typeDouble, {1, 2, 3, 4, 5, 6}, true);
    ring.ComputeBaseline();
    EXPECT_FLOAT_EQ(ring.GetBaseline()[0], 5.0f); // samples 3, 4, 5 wrapped: 4, 5, 6
    EXPECT_FLOAT_EQ(ring.GetBaseline()[1], 4.0f);

    CDataAnalysis single = MakeAnalysis(CDataArray::typeDouble, {7});
    single.ComputeBaseline();
    ASSERT_EQ(single.GetBaseline().GetSize(), 1);
    EXPECT_EQ(single.GetBaseline()[0], 0.0f);
}

TEST(DataAnalysisBaseline, PeaksOverTheBaseline)
{
    struct Case
    {
        const char* name;
        std::vector<double> values;
        bool ring;
        double threshold;
        std::vector<PeakWant> peaks;
    };
    const std::vector<Case> cases = {
        {"seven samples are too few", {0, 0, 0, 50, 0, 0, 0}, false, 1.0, {}},
        {"one run", Bumps(100, {{50, 30}, {51, 40}}), false, 10.0, {{51, 50, 51, 40 - 0.6}}},
        {"an excess equal to the limit is not enough", Bumps(100, {{50, 10}}), false, 10.0, {}},
        {"an excess above the limit is", Bumps(100, {{50, 10.5}}), false, 10.0, {{50, 50, 50, 10.5}}},
        {"a run cut off by the end adds no peak", Bumps(100, {{98, 50}, {99, 50}}), false, 1.0, {}},
        {"a run across the wrap of a ring",
         Bumps(100, {{97, 50}, {98, 50}, {99, 50}, {0, 50}, {1, 50}, {2, 50}}), true, 1.0, {{97, 97, 2, 50}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDataAnalysis series = MakeAnalysis(CDataArray::typeDouble, c.values, c.ring);
        // limit = threshold / 100 * 100
        EXPECT_EQ(series.FindPeaksOverBaseline(c.threshold, 100.0), c.peaks.empty() ? FALSE : TRUE);
        ExpectPeaks(series, c.peaks);
    }
}

TEST(DataAnalysisBaseline, RingRunAcrossTheWrapHasItsWidth)
{
    CDataAnalysis series =
        MakeAnalysis(CDataArray::typeDouble, Bumps(100, {{97, 50}, {98, 50}, {99, 50}, {0, 50}, {1, 50}, {2, 50}}),
                     true);
    ASSERT_TRUE(series.SearchPeaks(1.0, 100.0));
    EXPECT_EQ(series.GetPeakWidth(0), 5);
}

TEST(DataAnalysisPeaks, SortLargestFirstKeepingEqualOnesInOrder)
{
    CDataAnalysis series(CDataArray::typeDouble);
    series.AddPeak(sPeak{1, 0, 2, 3.0});
    series.AddPeak(sPeak{2, 0, 2, 7.0});
    series.AddPeak(sPeak{3, 0, 2, 3.0});
    series.AddPeak(sPeak{4, 0, 2, 9.0});
    series.SortPeaks();
    std::vector<int> order;
    for (const sPeak& p : series.GetPeaks())
        order.push_back(p.m_nIndex);
    EXPECT_EQ(order, (std::vector<int>{4, 2, 1, 3}));
}

// --- edges ---------------------------------------------------------------------

TEST(DataAnalysisEdges, ExtremeAfterGivesUpAtTheFourthMiss)
{
    const CDataAnalysis series = MakeAnalysis(CDataArray::typeShort, {10, 20, 15, 15, 15, 30, 40});
    int extreme = -5;
    EXPECT_EQ(series.FindExtremeAfter(0, extreme, 0), 40);
    EXPECT_EQ(extreme, 6); // three misses are forgiven

    const CDataAnalysis longer = MakeAnalysis(CDataArray::typeShort, {10, 20, 15, 15, 15, 15, 40});
    extreme = -5;
    EXPECT_EQ(longer.FindExtremeAfter(0, extreme, 0), 20);
    EXPECT_EQ(extreme, 1);

    const CDataAnalysis dark = MakeAnalysis(CDataArray::typeShort, {200, 100, 0, 50});
    extreme = -5;
    EXPECT_EQ(dark.FindExtremeAfter(0, extreme, 1), 255);
    EXPECT_EQ(extreme, 2);

    extreme = -5;
    EXPECT_EQ(dark.FindExtremeAfter(2, extreme, 0), 50);
    EXPECT_EQ(extreme, 3);
    extreme = -5;
    EXPECT_EQ(dark.FindExtremeAfter(3, extreme, 0), 50);
    EXPECT_EQ(extreme, -5); // nothing followed: the caller's value stays
}

TEST(DataAnalysisEdges, FindsASyntheticStep)
{
    // Bright, then dark, then a bright step at 49/50.
    std::vector<double> profile(100, 200.0);
    for (int i = 10; i < 50; ++i)
        profile[static_cast<size_t>(i)] = 20.0;
    const CDataAnalysis series = MakeAnalysis(CDataArray::typeDouble, profile);

    CArray<sEdgePos> edges;
    edges.Add(sEdgePos{});
    ASSERT_EQ(series.FindEdges(edges, 10, 0), 1);
    ASSERT_EQ(edges.GetSize(), 1);
    const sEdgePos& edge = edges[0];
    EXPECT_EQ(edge.m_nIndex, 49);
    EXPECT_EQ(edge.m_nExtremeIndex, 99);
    EXPECT_EQ(edge.m_nGrey, 20 + 180 / 6);
    EXPECT_EQ(edge.m_nCumulative, 10); // the ten bright samples before the step
    // The slope peak's excess over its baseline (the falling edge at 9 lowers it).
    const double excess = 180.0 - static_cast<double>(static_cast<float>(-180.0 / 49.0));
    EXPECT_EQ(edge.m_nPeakHeight, static_cast<int>(excess));
    EXPECT_NEAR(edge.m_dStrength, (200.0 / 255.0) * excess * 0.49, 1e-9);
    EXPECT_EQ(edge.m_nX, 0);
    EXPECT_EQ(edge.m_dAngle, 0.0);
}

TEST(DataAnalysisEdges, FindsASmoothedStepNearItsMiddle)
{
    CDataAnalysis series(CDataArray::typeShort);
    for (int i = 0; i < 80; ++i)
        series.AddInt(i < 40 ? 30 + (i % 3) : 220 - (i % 2));
    series.Smooth(5);
    CArray<sEdgePos> edges;
    ASSERT_GE(series.FindEdges(edges, 10, 0), 1);
    EXPECT_NEAR(edges[0].m_nIndex, 39, 2);
}

TEST(DataAnalysisEdges, DarkModeWeightsDarkExtremes)
{
    std::vector<double> profile(100, 200.0);
    for (int i = 50; i < 100; ++i)
        profile[static_cast<size_t>(i)] = 0.0;
    const CDataAnalysis series = MakeAnalysis(CDataArray::typeDouble, profile);
    CArray<sEdgePos> edges;
    ASSERT_EQ(series.FindEdges(edges, 10, 1), 1);
    EXPECT_EQ(edges[0].m_nIndex, 49);
    // The dark extreme after the edge reads 255 - 0.
    EXPECT_NEAR(edges[0].m_dStrength, 1.0 * 200.0 * 0.49, 1e-9);
    EXPECT_EQ(edges[0].m_nGrey, 200 - 200 / 6);
    EXPECT_EQ(edges[0].m_nCumulative, 0);

    // In bright mode the same profile has no rising edge.
    EXPECT_EQ(series.FindEdges(edges, 20, 0), 0);
    EXPECT_EQ(edges.GetSize(), 0);
}

TEST(DataAnalysisEdges, ShortProfiles)
{
    CArray<sEdgePos> edges;
    edges.Add(sEdgePos{});
    EXPECT_EQ(MakeAnalysis(CDataArray::typeDouble, {5}).FindEdges(edges, 10, 0), -1);
    EXPECT_EQ(edges.GetSize(), 1); // untouched
    EXPECT_EQ(MakeAnalysis(CDataArray::typeDouble, {5, 200, 5}).FindEdges(edges, 10, 0), 0);
    EXPECT_EQ(edges.GetSize(), 0);
}

// --- export and archive ---------------------------------------------------------

TEST(DataAnalysisExport, DecimalCommasAndTheBaselineWhenItFits)
{
    const auto path = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / "analysis.txt";
    CDataAnalysis series = MakeAnalysis(CDataArray::typeFloat, {1.5, -2.25});
    series.WriteText(path.c_str(), "\t");
    const auto read = [&path] {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    EXPECT_EQ(read(), "0\t1,500000\n1\t-2,250000\n");

    series.ComputeBaseline();
    series.WriteText(path.c_str(), ";");
    EXPECT_EQ(read(), "0;1,500000;-2,250000\n1;-2,250000;1,500000\n");

    std::filesystem::remove(path);
    CDataAnalysis(CDataArray::typeFloat).WriteText(path.c_str(), ";");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(DataAnalysisArchive, StoredAsAPlainSeriesUnderItsOwnName)
{
    CDataAnalysis series = MakeAnalysis(CDataArray::typeFloat, Bumps(12, {{5, 9}}));
    series.FindMaxima(1.0);
    const std::vector<BYTE> bytes = StoreBytes(series);
    CSeriesBytes expected;
    expected.NewClass("CDataAnalysis", 6).Word(2).Word(0).Put(0.0).Put(1.0).Word(12);
    for (int i = 0; i < 12; ++i)
        expected.Put(i == 5 ? 9.0f : 0.0f);
    EXPECT_EQ(bytes, expected.Bytes());

    CDataAnalysis loaded(CDataArray::typeShort);
    LoadFrom(loaded, bytes);
    EXPECT_EQ(loaded.GetPeakCount(), 0);
    EXPECT_EQ(loaded.GetAt(5), 9.0);
    EXPECT_EQ(StoreBytes(loaded), bytes);
}
