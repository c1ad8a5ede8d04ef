#include "objectmodel/moments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Moments
{
    double mean, meanAbsDev, stdDev, variance, skewness, kurtosis;
};

BOOL Calc(const std::vector<float>& values, Moments& m)
{
    return CalcMoments(values, m.mean, m.meanAbsDev, m.stdDev, m.variance, m.skewness, m.kurtosis);
}

TEST(CalcMomentsTest, KnownLists)
{
    struct Case
    {
        std::vector<float> values;
        BOOL result;
        Moments expected;
    };
    const Case cases[] = {
        {{1, 2, 3, 4}, TRUE, {2.5, 1.0, std::sqrt(5.0 / 3.0), 5.0 / 3.0, 0.0, 10.25 / (4.0 * 25.0 / 9.0) - 3.0}},
        {{0, 0, 0, 1}, TRUE, {0.25, 0.375, 0.5, 0.25, 0.75, -1.6875}},
        {{-3, 3}, TRUE, {0.0, 3.0, std::sqrt(18.0), 18.0, 0.0, 0.25 - 3.0}},
        // No spread: mean and deviations, skewness and kurtosis 0.
        {{2, 2, 2}, FALSE, {2.0, 0.0, 0.0, 0.0, 0.0, 0.0}},
    };
    for (const Case& c : cases) {
        Moments m{};
        EXPECT_EQ(Calc(c.values, m), c.result);
        EXPECT_NEAR(m.mean, c.expected.mean, 1e-12);
        EXPECT_NEAR(m.meanAbsDev, c.expected.meanAbsDev, 1e-12);
        EXPECT_NEAR(m.stdDev, c.expected.stdDev, 1e-12);
        EXPECT_NEAR(m.variance, c.expected.variance, 1e-12);
        EXPECT_NEAR(m.skewness, c.expected.skewness, 1e-12);
        EXPECT_NEAR(m.kurtosis, c.expected.kurtosis, 1e-12);
    }
}

TEST(CalcMomentsTest, FewerThanTwoValuesLeaveOutputsUntouched)
{
    for (const std::vector<float>& values : {std::vector<float>{}, std::vector<float>{7}}) {
        Moments m{-1, -1, -1, -1, -1, -1};
        EXPECT_FALSE(Calc(values, m));
        for (double v : {m.mean, m.meanAbsDev, m.stdDev, m.variance, m.skewness, m.kurtosis})
            EXPECT_EQ(v, -1.0);
    }
}

} // namespace
