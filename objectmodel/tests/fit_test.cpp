#include "objectmodel/fit.h"

#include "platform/core/exceptions.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using kestrun::testing::ScopedMessageBoxes;
using Points = std::vector<std::pair<int, int>>;

const double kPi = std::acos(-1.0);

void Load(CFit& fit, const Points& points, float error = 1.0f)
{
    fit.SetSize(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        fit.SetPoint(static_cast<int>(i), points[i].first, points[i].second, error, error);
}

struct Result
{
    bool fitted;
    double errorA, errorB, chi2;
};

Result Fit(CFit& fit)
{
    Result r{false, -1, -1, -1};
    r.fitted = fit.FitLine(r.errorA, r.errorB, r.chi2);
    return r;
}

TEST(FitTest, FewerThanThreePointsChangeNothing)
{
    CFit fit;
    Load(fit, {{0, 0}, {5, 5}});
    const Result r = Fit(fit);
    EXPECT_FALSE(r.fitted);
    EXPECT_EQ(r.errorA, -1.0);
    EXPECT_EQ(r.errorB, -1.0);
    EXPECT_EQ(r.chi2, -1.0);
    EXPECT_FALSE(fit.IsFitValid());
    EXPECT_EQ(fit.GetA(), 0.0);
    EXPECT_EQ(fit.GetB(), 0.0);
}

struct DegenerateCase
{
    const char* name;
    Points points;
    double a, b, q;
};

void PrintTo(const DegenerateCase& c, std::ostream* os)
{
    *os << c.name;
}

class FitDegenerateTest : public testing::TestWithParam<DegenerateCase>
{
};

TEST_P(FitDegenerateTest, AxisParallelLinesAndSinglePlaces)
{
    const DegenerateCase& c = GetParam();
    CFit fit;
    Load(fit, c.points);
    const Result r = Fit(fit);
    ASSERT_TRUE(r.fitted);
    EXPECT_TRUE(fit.IsFitValid());
    EXPECT_EQ(fit.GetA(), c.a);
    EXPECT_EQ(fit.GetB(), c.b);
    EXPECT_EQ(fit.GetQ(), c.q);
    EXPECT_EQ(r.errorA, 0.0);
    EXPECT_EQ(r.errorB, 0.0);
    EXPECT_EQ(r.chi2, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitDegenerateTest,
    testing::Values(DegenerateCase{"Vertical", {{5, 0}, {5, 1}, {5, 2}, {5, 7}}, 0.0, CFit::kVerticalSlope, 1.0},
                    DegenerateCase{"HorizontalThroughZero", {{0, 0}, {3, 0}, {4, 0}}, 0.0, 0.0, 1.0},
                    // The height of a horizontal line is its intercept.
                    DegenerateCase{"HorizontalAtSeven", {{-2, 7}, {3, 7}, {9, 7}}, 7.0, 0.0, 1.0},
                    DegenerateCase{"OnePlace", {{4, 4}, {4, 4}, {4, 4}}, 0.0, 0.0, 0.0}),
    [](const testing::TestParamInfo<DegenerateCase>& info) { return std::string(info.param.name); });

struct LineCase
{
    const char* name;
    double a, b;
    int x0, x1, step;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class FitExactLineTest : public testing::TestWithParam<LineCase>
{
};

TEST_P(FitExactLineTest, RecoversLine)
{
    const LineCase& c = GetParam();
    Points points;
    for (int x = c.x0; x <= c.x1; x += c.step)
        points.emplace_back(x, static_cast<int>(std::lround(c.a + c.b * x)));
    ScopedMessageBoxes boxes;
    for (float error : {1.0f, 0.0f}) {
        CFit fit;
        Load(fit, points, error);
        const Result r = Fit(fit);
        ASSERT_TRUE(r.fitted);
        EXPECT_NEAR(fit.GetB(), c.b, 1e-4 * std::fabs(c.b)) << error;
        EXPECT_NEAR(fit.GetA(), c.a, 1e-3 * (1.0 + std::fabs(c.a) + std::fabs(c.b))) << error;
        if (error > 0.0f) {
            EXPECT_NEAR(r.chi2, 0.0, 1e-6);
            EXPECT_NEAR(fit.GetQ(), 1.0, 1e-6);
        }
    }
    EXPECT_TRUE(boxes->Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, FitExactLineTest,
                         testing::Values(LineCase{"Rising", 3.0, 2.0, 0, 9, 1},
                                         LineCase{"Falling", 20.0, -0.5, 0, 40, 2},
                                         LineCase{"Steep", -4.0, 10.0, -5, 5, 1},
                                         LineCase{"SteepFalling", 100.0, -25.0, 0, 8, 2},
                                         LineCase{"Diagonal", 0.0, 1.0, -3, 3, 1}),
                         [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// Points of a line with integer noise in both coordinates from a fixed seed.
Points NoisyLine(double a, double b, int count, double spacing, double noise, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> jitter(0.0, noise);
    Points points;
    for (int i = 0; i < count; ++i) {
        const double x = i * spacing;
        const double y = a + b * x;
        points.emplace_back(static_cast<int>(std::lround(x + jitter(random))),
                            static_cast<int>(std::lround(y + jitter(random))));
    }
    return points;
}

TEST(FitTest, NoisyLinesWithinTheirErrors)
{
    struct Case
    {
        double a, b, spacing;
        bool steep;
    };
    const Case cases[] = {{10.0, 0.5, 3.0, false}, {-20.0, 2.0, 2.0, true}, {50.0, -8.0, 4.0, true}};
    ScopedMessageBoxes boxes;
    for (const Case& c : cases) {
        for (unsigned seed : {1u, 2u, 3u}) {
            CFit fit;
            Load(fit, NoisyLine(c.a, c.b, 60, c.spacing, 2.0, seed), 2.0f);
            const Result r = Fit(fit);
            ASSERT_TRUE(r.fitted);
            // Within four of its own standard errors, and those are small.
            EXPECT_NEAR(fit.GetB(), c.b, 4.0 * r.errorB) << c.b << " seed " << seed;
            EXPECT_NEAR(fit.GetA(), c.a, 4.0 * r.errorA) << c.b << " seed " << seed;
            EXPECT_LT(r.errorB, 0.05 * std::fabs(c.b));
            EXPECT_GT(r.errorB, 0.0);
            // The noise matches the stated errors: a plausible chi2.
            EXPECT_GT(fit.GetQ(), 0.001);
            EXPECT_LT(r.chi2, 2.0 * 58);
        }
    }
    EXPECT_TRUE(boxes->Texts().empty());
}

TEST(FitTest, ErrorsUnderstatedGiveSmallProbability)
{
    CFit fit;
    Load(fit, NoisyLine(0.0, 1.0, 40, 3.0, 3.0, 7), 0.1f);
    const Result r = Fit(fit);
    ASSERT_TRUE(r.fitted);
    EXPECT_GT(r.chi2, 100.0);
    EXPECT_LT(fit.GetQ(), 1e-6);
}

TEST(FitTest, PushPointSlidesWindow)
{
    CFit fit;
    Load(fit, {{100, -100}, {-50, 70}, {3, 3}});
    double ea, eb, chi2;
    fit.FitLine(ea, eb, chi2);
    ASSERT_TRUE(fit.IsFitValid());
    for (int x = 0; x < 4; ++x) {
        fit.PushPoint(x, 2 * x + 1, 1.0f, 1.0f);
        EXPECT_FALSE(fit.IsFitValid());
    }
    EXPECT_EQ(fit.GetSize(), 3);
    ASSERT_TRUE(fit.FitLine(ea, eb, chi2));
    EXPECT_NEAR(fit.GetB(), 2.0, 1e-4);
    EXPECT_NEAR(fit.GetA(), 1.0, 1e-3);
}

TEST(FitTest, SizeGrowsAndShrinks)
{
    CFit fit;
    Load(fit, {{0, 0}, {1, 1}, {2, 2}});
    fit.SetSize(5);
    for (int i = 0; i < 5; ++i)
        fit.SetPoint(i, i, 3 * i, 1.0f, 1.0f);
    double ea, eb, chi2;
    ASSERT_TRUE(fit.FitLine(ea, eb, chi2));
    EXPECT_NEAR(fit.GetB(), 3.0, 1e-4);
    fit.SetSize(3); // the first three stay in use
    ASSERT_TRUE(fit.FitLine(ea, eb, chi2));
    EXPECT_NEAR(fit.GetB(), 3.0, 1e-4);
}

TEST(FitTest, BadPointsAreInvalidArguments)
{
    CFit fit;
    EXPECT_THROW(fit.PushPoint(1, 1, 1.0f, 1.0f), CInvalidArgException);
    EXPECT_THROW(fit.SetSize(-1), CInvalidArgException);
    fit.SetSize(3);
    EXPECT_THROW(fit.SetPoint(3, 0, 0, 1.0f, 1.0f), CInvalidArgException);
    EXPECT_THROW(fit.SetPoint(-1, 0, 0, 1.0f, 1.0f), CInvalidArgException);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_THROW(fit.SetPoint(0, 0, 0, nan, 1.0f), CInvalidArgException);
    EXPECT_THROW(fit.PushPoint(0, 0, 1.0f, inf), CInvalidArgException);
}

struct DirectionCase
{
    const char* name;
    Points points;
    double direction;
};

void PrintTo(const DirectionCase& c, std::ostream* os)
{
    *os << c.name;
}

class FitDirectionTest : public testing::TestWithParam<DirectionCase>
{
};

TEST_P(FitDirectionTest, FollowsPointOrder)
{
    const DirectionCase& c = GetParam();
    CFit fit;
    Load(fit, c.points);
    double ea, eb, chi2;
    fit.FitLine(ea, eb, chi2);
    EXPECT_NEAR(fit.GetDirection(), c.direction, 1e-3);
}

// y runs downwards: a line running up and to the right points at pi/4.
INSTANTIATE_TEST_SUITE_P(
    Cases, FitDirectionTest,
    testing::Values(DirectionCase{"NoPoints", {}, kPi / 2},
                    DirectionCase{"OnePoint", {{3, 3}}, kPi / 2},
                    DirectionCase{"BackAndDown", {{0, 0}, {1, 1}, {0, 2}}, 3 * kPi / 2},
                    DirectionCase{"BackAndUp", {{0, 2}, {1, 1}, {0, 0}}, kPi / 2},
                    DirectionCase{"Right", {{0, 0}, {1, 0}, {2, 0}}, 2 * kPi},
                    DirectionCase{"Left", {{2, 0}, {1, 0}, {0, 0}}, kPi},
                    DirectionCase{"RightAndUp", {{0, 0}, {1, -1}, {2, -2}}, kPi / 4},
                    DirectionCase{"RightAndDown", {{0, 0}, {1, 1}, {2, 2}}, 7 * kPi / 4},
                    DirectionCase{"LeftAndUp", {{2, 2}, {1, 1}, {0, 0}}, 3 * kPi / 4},
                    DirectionCase{"LeftAndDown", {{2, -2}, {1, -1}, {0, 0}}, 5 * kPi / 4},
                    DirectionCase{"ShallowRightUp", {{0, 0}, {2, -1}, {4, -2}}, std::atan(0.5)},
                    DirectionCase{"SteepLeftDown", {{1, 0}, {0, 3}, {-1, 6}}, kPi + std::atan(3.0)}),
    [](const testing::TestParamInfo<DirectionCase>& info) { return std::string(info.param.name); });

} // namespace
