#include "objectmodel/regression.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct RegressionCase
{
    const char* name;
    std::vector<std::pair<double, double>> points;
    bool result;
    bool vertical;
    double slope;
    double intercept;
};

void PrintTo(const RegressionCase& c, std::ostream* os)
{
    *os << c.name;
}

class RegressionCalculateTest : public testing::TestWithParam<RegressionCase>
{
};

TEST_P(RegressionCalculateTest, GivesLineOrNoResult)
{
    const RegressionCase& c = GetParam();
    CRegression regression;
    regression.Reset();
    for (const auto& [x, y] : c.points)
        regression.AddPoint(x, y);
    EXPECT_EQ(regression.Calculate(), c.result);
    EXPECT_EQ(regression.IsVertical(), c.vertical);
    if (c.vertical)
        EXPECT_EQ(regression.GetSlope(), DBL_MAX);
    else
        EXPECT_NEAR(regression.GetSlope(), c.slope, 1e-12);
    EXPECT_NEAR(regression.GetIntercept(), c.intercept, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegressionCalculateTest,
    testing::Values(
        // Syy > Sxx: the slope comes from regressing x on y.
        RegressionCase{"SteepThroughOrigin", {{0, 0}, {1, 10}, {2, 20}}, true, false, 10.0, 0.0},
        RegressionCase{"SteepWithOffset", {{0, 1}, {1, 3}, {2, 5}}, true, false, 2.0, 1.0},
        RegressionCase{"Shallow", {{0, 0}, {2, 1}, {4, 2}}, true, false, 0.5, 0.0},
        RegressionCase{"Horizontal", {{0, 5}, {1, 5}, {2, 5}}, true, false, 0.0, 5.0},
        RegressionCase{"FallingShallow", {{0, 4}, {4, 2}, {8, 0}}, true, false, -0.5, 4.0},
        RegressionCase{"Vertical", {{3, 0}, {3, 1}, {3, 5}}, true, true, 0.0, 0.0},
        // x values that are equal but not representable leave rounding in Sxx.
        RegressionCase{"VerticalWithRounding", {{0.1, 0}, {0.1, 1}, {0.1, 2}}, true, true, 0.0, 0.0},
        RegressionCase{"SinglePointIsVertical", {{2, 3}}, true, true, 0.0, 0.0},
        // Spread more in y than in x, but no correlation: no slope.
        RegressionCase{"SteepWithoutCorrelation", {{-1, 1}, {0, -2}, {1, 1}}, false, false, 0.0, 0.0},
        RegressionCase{"NoPoints", {}, false, false, 0.0, 0.0}),
    [](const testing::TestParamInfo<RegressionCase>& info) { return std::string(info.param.name); });

TEST(RegressionTest, ScaledSlopeUsesRangesOfPoints)
{
    CRegression regression;
    regression.Reset();
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, std::pair{2.0, 4.0}, std::pair{1.0, 2.0}})
        regression.AddPoint(x, y);
    ASSERT_TRUE(regression.Calculate());
    EXPECT_DOUBLE_EQ(regression.GetSlope(), 2.0);
    EXPECT_DOUBLE_EQ(regression.GetScaledSlope(), 2.0 * 2.0 / 4.0);

    // A flat y range leaves the slope as it is.
    regression.Reset();
    regression.AddPoint(0, 1);
    regression.AddPoint(2, 1);
    ASSERT_TRUE(regression.Calculate());
    EXPECT_EQ(regression.GetScaledSlope(), regression.GetSlope());
}

TEST(RegressionTest, NoResultClearsEarlierLine)
{
    CRegression regression;
    regression.AddPoint(0, 1);
    regression.AddPoint(1, 3);
    ASSERT_TRUE(regression.Calculate());
    regression.Reset();
    EXPECT_FALSE(regression.Calculate());
    EXPECT_EQ(regression.GetSlope(), 0.0);
    EXPECT_EQ(regression.GetScaledSlope(), 0.0);
    EXPECT_EQ(regression.GetIntercept(), 0.0);
}

TEST(RegressionTest, RangesLastUntilNextFirstPoint)
{
    CRegression regression;
    regression.Add(-4, 9);
    regression.Add(6, -1);
    regression.Reset();
    EXPECT_EQ(regression.GetCount(), 0);
    EXPECT_EQ(regression.GetMinX(), -4.0);
    EXPECT_EQ(regression.GetMaxX(), 6.0);
    EXPECT_EQ(regression.GetMinY(), -1.0);
    EXPECT_EQ(regression.GetMaxY(), 9.0);

    regression.Add(1, 2);
    EXPECT_EQ(regression.GetMinX(), 1.0);
    EXPECT_EQ(regression.GetMaxX(), 1.0);
    EXPECT_EQ(regression.GetMinY(), 2.0);
    EXPECT_EQ(regression.GetMaxY(), 2.0);
}

} // namespace
