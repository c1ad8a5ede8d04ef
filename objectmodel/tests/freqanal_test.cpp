#include "objectmodel/freqanal.h"

#include "objectmodel/dataarray.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

CDataArray Series(const std::vector<double>& values, double dx)
{
    CDataArray series(CDataArray::typeDouble);
    for (double v : values)
        series.AddDouble(v);
    series.SetDX(dx);
    return series;
}

TEST(FreqAnalTest, HalfTheTurnsPerTimeSpan)
{
    struct Case
    {
        std::vector<double> values;
        double dx;
        std::optional<float> frequency;
    };
    const Case cases[] = {
        {{0, 1, 0, 1, 0}, 1.0, 0.2f},              // three turns
        {{0, 1, 0, 1, 0}, 0.5, 0.4f},
        {{0, 1, 0, 1, 0, 1, 0}, 1.0, 2.0f / 7.0f}, // five turns
        {{3, 3, 3, 3}, 1.0, 0.0f},                 // level
        {{0, 0.05, 0, 0.05, 0}, 1.0, 0.0f},        // rises below 0.1 count as level
        {{5, 4, 3, 2, 1}, 1.0, 0.0f},              // one direction
        {{0, 1, 0}, 2.0, 0.0f},                    // a single turn is no full swing
    };
    for (const Case& c : cases) {
        const CDataArray series = Series(c.values, c.dx);
        CFreqAnal analysis;
        const std::optional<float> result = analysis.CalcFrequency(series);
        ASSERT_EQ(result.has_value(), c.frequency.has_value());
        EXPECT_FLOAT_EQ(*result, *c.frequency);
        EXPECT_FLOAT_EQ(analysis.GetFrequency(), *c.frequency);
    }
}

TEST(FreqAnalTest, NoResultKeepsEarlierFrequency)
{
    CFreqAnal analysis;
    ASSERT_TRUE(analysis.CalcFrequency(Series({0, 1, 0, 1, 0}, 1.0)));
    // No time span, and too few values.
    EXPECT_FALSE(analysis.CalcFrequency(Series({0, 1, 0, 1, 0}, 0.0)));
    EXPECT_FALSE(analysis.CalcFrequency(Series({0, 1}, 1.0)));
    EXPECT_FALSE(analysis.CalcFrequency(Series({}, 1.0)));
    EXPECT_FLOAT_EQ(analysis.GetFrequency(), 0.2f);
}

TEST(FreqAnalTest, CountsOnlyValuesWritten)
{
    CDataArray series(CDataArray::typeFloat);
    series.SetSize(20);
    for (double v : {0.0, 2.0, 0.0, 2.0, 0.0})
        series.AddDouble(v);
    CFreqAnal analysis;
    EXPECT_FLOAT_EQ(analysis.CalcFrequency(series).value_or(-1.0f), 0.2f);
}

} // namespace
