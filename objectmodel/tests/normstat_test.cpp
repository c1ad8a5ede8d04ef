#include "objectmodel/normstat.h"

#include "platform/core/archive.h"
#include "platform/core/arrays.h"
#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

struct AddCase
{
    const char* name;
    std::vector<std::pair<double, int>> values; // value, weight
    int count;
    double sum;
    double sumSquares;
    double min;
    int posMin;
    double max;
    int posMax;
};

void PrintTo(const AddCase& c, std::ostream* os)
{
    *os << c.name;
}

class NormStatAddTest : public testing::TestWithParam<AddCase>
{
};

TEST_P(NormStatAddTest, TracksSumsAndExtremesWithPositions)
{
    const AddCase& c = GetParam();
    CNormStat stat;
    for (const auto& [value, weight] : c.values)
        stat.AddValue(value, weight);
    EXPECT_EQ(stat.GetCount(), c.count);
    EXPECT_DOUBLE_EQ(stat.GetSum(), c.sum);
    EXPECT_DOUBLE_EQ(stat.GetSumSquares(), c.sumSquares);
    EXPECT_EQ(stat.GetMin(), c.min);
    EXPECT_EQ(stat.GetPosMin(), c.posMin);
    EXPECT_EQ(stat.GetMax(), c.max);
    EXPECT_EQ(stat.GetPosMax(), c.posMax);
    EXPECT_FALSE(stat.IsFinished());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormStatAddTest,
    testing::Values(AddCase{"MinimumTieTakesLatest", {{5, 1}, {3, 1}, {3, 1}}, 3, 11, 43, 3, 2, 5, 0},
                    AddCase{"WeightCountsAsRepeats", {{4, 3}}, 3, 12, 48, 4, 2, 4, 2},
                    AddCase{"MaximumTieTakesLatest", {{2, 1}, {7, 1}, {7, 1}, {1, 1}}, 4, 17, 103, 1, 3, 7, 2},
                    AddCase{"WeightedPositionIsLastRepeat", {{1, 1}, {9, 2}, {0, 1}}, 4, 19, 163, 0, 3, 9, 2},
                    AddCase{"NegativeValues", {{-2, 1}, {-8, 1}}, 2, -10, 68, -8, 1, -2, 0}),
    [](const testing::TestParamInfo<AddCase>& info) { return std::string(info.param.name); });

TEST(NormStatTest, FinishGivesMeanAndSampleVariance)
{
    struct Case
    {
        std::vector<double> values;
        int result;
        double mean;
        double variance;
    };
    const Case cases[] = {
        {{}, 0, 0.0, 0.0},
        {{6.5}, 1, 6.5, 0.0},
        {{2, 4, 6}, 2, 4.0, 4.0},
        {{1, 2, 3, 4}, 3, 2.5, 5.0 / 3.0},
    };
    for (const Case& c : cases) {
        CNormStat stat;
        for (double v : c.values)
            stat.AddValue(v, 1);
        EXPECT_EQ(stat.Finish(), c.result);
        EXPECT_TRUE(stat.IsFinished());
        EXPECT_DOUBLE_EQ(stat.GetMean(), c.mean);
        EXPECT_NEAR(stat.GetVariance(), c.variance, 1e-12);
    }
}

TEST(NormStatTest, FinishNeverGivesNegativeVarianceFromRounding)
{
    CNormStat stat;
    for (int i = 0; i < 3; ++i)
        stat.AddValue(0.1, 1);
    stat.Finish();
    EXPECT_GE(stat.GetVariance(), 0.0);
    EXPECT_NEAR(stat.GetVariance(), 0.0, 1e-15);
}

TEST(NormStatTest, ResetRestoresEmptyState)
{
    CNormStat stat;
    stat.AddValue(3, 2);
    stat.Finish();
    EXPECT_EQ(stat.Reset(), 0);
    EXPECT_EQ(stat.GetCount(), 0);
    EXPECT_EQ(stat.GetSum(), 0.0);
    EXPECT_EQ(stat.GetMin(), DBL_MAX);
    EXPECT_EQ(stat.GetMax(), -DBL_MAX);
    EXPECT_FALSE(stat.IsFinished());
}

TEST(NormStatTest, ExpectedRangeBecomesPrior)
{
    const CNormStat stat(10, 40);
    EXPECT_EQ(stat.GetCount(), 2);
    EXPECT_DOUBLE_EQ(stat.GetMean(), 25.0);
    // A sixth of the range to eight digits, not exactly.
    EXPECT_NEAR(std::sqrt(stat.GetVariance()), 5.00000002, 5e-9);
    EXPECT_NE(std::sqrt(stat.GetVariance()), 5.0);
    EXPECT_EQ(stat.GetMin(), 10.0);
    EXPECT_EQ(stat.GetMax(), 40.0);
    EXPECT_TRUE(stat.IsFinished());
}

TEST(NormStatTest, RangeSymmetricAboutZeroSetsOnlyExtremes)
{
    for (const auto& [lo, hi] : {std::pair{-5.0, 5.0}, std::pair{0.0, 0.0}}) {
        const CNormStat fresh(lo, hi);
        EXPECT_EQ(fresh.GetCount(), 0);
        EXPECT_FALSE(fresh.IsFinished());
        EXPECT_EQ(fresh.GetMin(), lo);
        EXPECT_EQ(fresh.GetMax(), hi);

        // On a used statistic the learned values stay.
        CNormStat used;
        used.AddValue(3, 1);
        used.AddValue(7, 1);
        used.Finish();
        used.SetRange(lo, hi);
        EXPECT_EQ(used.GetCount(), 2);
        EXPECT_DOUBLE_EQ(used.GetMean(), 5.0);
        EXPECT_EQ(used.GetMin(), lo);
        EXPECT_EQ(used.GetMax(), hi);
    }
}

// Little-endian bytes of the values, as the archive writes them.
template <class... T>
Bytes LittleEndian(T... values)
{
    Bytes out;
    auto put = [&out](auto v) {
        BYTE raw[sizeof(v)];
        std::memcpy(raw, &v, sizeof(v));
        out.insert(out.end(), raw, raw + sizeof(v));
    };
    (put(values), ...);
    return out;
}

Bytes Store(CObject& object)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        object.Serialize(ar);
        ar.Close();
    }
    return file.Data();
}

TEST(NormStatTest, BinaryFormMatchesGoldenBytes)
{
    CNormStat stat;
    stat.AddValue(5, 1);
    stat.AddValue(3, 2);
    stat.Finish();

    Bytes expected = {0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00, 'C', 'N', 'o', 'r', 'm', 'S', 't', 'a', 't'};
    const Bytes fields = LittleEndian(std::int32_t{3}, 11.0, 43.0, std::fabs(43.0 - 121.0 / 3.0), 11.0 / 3.0,
                                      std::fabs(43.0 - 121.0 / 3.0) / 2.0, 3.0, std::int32_t{2}, 5.0,
                                      std::int32_t{0}, WORD{1});
    expected.insert(expected.end(), fields.begin(), fields.end());
    EXPECT_EQ(Store(stat), expected);
}

TEST(NormStatTest, BinaryFormRoundTripsAndReadsAsObject)
{
    CNormStat stat(2, 12);
    stat.AddValue(-1.5, 1);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        stat.Serialize(ar);
        ar.WriteObject(&stat);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CNormStat loaded;
    loaded.Serialize(ar);
    std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(CNormStat)));
    for (const CNormStat* read : {&loaded, DYNAMIC_DOWNCAST(CNormStat, object.get())}) {
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->GetCount(), stat.GetCount());
        EXPECT_EQ(read->GetSum(), stat.GetSum());
        EXPECT_EQ(read->GetSumSquares(), stat.GetSumSquares());
        EXPECT_EQ(read->GetSumDiffSquares(), stat.GetSumDiffSquares());
        EXPECT_EQ(read->GetMean(), stat.GetMean());
        EXPECT_EQ(read->GetVariance(), stat.GetVariance());
        EXPECT_EQ(read->GetMin(), stat.GetMin());
        EXPECT_EQ(read->GetPosMin(), stat.GetPosMin());
        EXPECT_EQ(read->GetMax(), stat.GetMax());
        EXPECT_EQ(read->GetPosMax(), stat.GetPosMax());
        EXPECT_EQ(read->IsFinished(), stat.IsFinished());
    }
}

TEST(NormStatTest, ShortArchiveLeavesStatisticUnchanged)
{
    CNormStat stored;
    stored.AddValue(9, 1);
    Bytes bytes = Store(stored);
    ASSERT_GT(bytes.size(), 3u);
    bytes.erase(bytes.end() - 3, bytes.end());

    CNormStat target;
    target.AddValue(1, 4);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    EXPECT_THROW(target.Serialize(ar), CArchiveException);
    EXPECT_EQ(target.GetCount(), 4);
    EXPECT_EQ(target.GetSum(), 4.0);
    EXPECT_EQ(target.GetMax(), 1.0);
}

TEST(NormStatTest, ArchiveOfAnotherClassIsRefused)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteClass(RUNTIME_CLASS(CObArray));
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CNormStat target;
    EXPECT_THROW(target.Serialize(ar), CArchiveException);
    EXPECT_EQ(target.GetCount(), 0);
}

} // namespace
