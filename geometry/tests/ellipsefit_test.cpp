#include "geometry/ellipse.h"

#include "geometry/tests/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <unistd.h>

namespace {

using geometry_test::kDegree;
using geometry_test::kPi;


// Records every fit it is asked for.
class CRecordingEllipse : public CEllipse
{
public:
    double Fit(const point* points, int n) override
    {
        fits.emplace_back(points, points + n);
        return CEllipse::Fit(points, n);
    }
    std::vector<std::vector<point>> fits;
};

std::vector<point> OnEllipse(double a, double b, double cx, double cy, double rotation, int n, double noise,
                             unsigned seed, double startAngle = 0.0)
{
    const CEllipse truth(a, b, point(cx, cy), rotation);
    std::mt19937 random(seed);
    // Uniform in [-noise, noise], the same on every standard library.
    auto jitter = [&] { return noise * (2.0 * random() / 4294967295.0 - 1.0); };
    std::vector<point> points;
    for (int k = 0; k < n; ++k) {
        const point p = truth.GetPointOnEllipse(startAngle + 2 * kPi * k / n);
        points.emplace_back(p.getx() + jitter(), p.gety() + jitter());
    }
    return points;
}

// Major and minor semi-axis and the major axis' angle in [0, pi).
struct CShape
{
    double major, minor, angle;
};

CShape ShapeOf(double a, double b, double rotation)
{
    CShape shape{std::fabs(a), std::fabs(b), rotation};
    if (shape.major < shape.minor) {
        std::swap(shape.major, shape.minor);
        shape.angle += kPi / 2;
    }
    shape.angle = std::fmod(shape.angle, kPi);
    if (shape.angle < 0)
        shape.angle += kPi;
    return shape;
}

double AngleApart(double first, double second)
{
    const double d = std::fmod(std::fabs(first - second), kPi);
    return std::min(d, kPi - d);
}

TEST(GeometryEllipseFit, TwelvePointsFitOnceThirteenStartFromSix)
{
    const std::vector<point> points = OnEllipse(30, 20, 100, 100, 0.3, 13, 0.0, 1);
    CRecordingEllipse twelve;
    twelve.FitEll(points.data(), 12, 0.0, 0.0);
    ASSERT_EQ(twelve.fits.size(), 1u);
    EXPECT_EQ(twelve.fits[0].size(), 12u);

    CRecordingEllipse thirteen;
    thirteen.FitEll(points.data(), 13, 0.0, 0.0);
    ASSERT_EQ(thirteen.fits.size(), 2u);
    ASSERT_EQ(thirteen.fits[0].size(), 6u);
    const int expected[6] = {0, 3, 3, 9, 6, 12};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(thirteen.fits[0][k].getx(), points[expected[k]].getx()) << k;
        EXPECT_EQ(thirteen.fits[0][k].gety(), points[expected[k]].gety()) << k;
    }
    EXPECT_EQ(thirteen.fits[1].size(), 13u);
}

TEST(GeometryEllipseFit, Circles)
{
    // Radius 10 about (20, 30); the symmetric sets have no principal
    // direction, which must not make the start rotation NaN.
    struct Case
    {
        const char* name;
        int n;
        double startAngle;
        bool determined; // enough points to fix the circle
    };
    for (const Case& c : {Case{"4 on the axes", 4, 0.0, true}, Case{"4 on the diagonals", 4, kPi / 4, false},
                          Case{"8", 8, 0.0, true}, Case{"8 turned", 8, 0.1, true}, Case{"36", 36, 0.0, true}}) {
        const std::vector<point> points = OnEllipse(10, 10, 20, 30, 0.0, c.n, 0.0, 1, c.startAngle);
        CEllipse ellipse;
        const double chi = ellipse.FitEll(points.data(), c.n, 0, 0);
        ASSERT_TRUE(std::isfinite(ellipse.GetRotation())) << c.name;
        EXPECT_LT(chi, 0.01) << c.name;
        for (const point& p : points)
            EXPECT_NEAR(ellipse.WhereIsPoint(&p), 0.0, 0.1) << c.name;
        if (!c.determined)
            continue; // four points leave a family of ellipses through them
        EXPECT_NEAR(ellipse.GetCenter()->getx(), 20.0, 0.05) << c.name;
        EXPECT_NEAR(ellipse.GetCenter()->gety(), 30.0, 0.05) << c.name;
        EXPECT_NEAR(std::fabs(ellipse.GetXAxis()), 10.0, 0.05) << c.name;
        EXPECT_NEAR(std::fabs(ellipse.GetYAxis()), 10.0, 0.05) << c.name;
    }
}

TEST(GeometryEllipseFit, RotatedEllipsesWithNoise)
{
    // 90 points with +-0.5 px noise in x and y. Tolerances: centre 0.3 px,
    // axes 0.5 px, rotation 1.5 degrees.
    struct Case
    {
        double major, ratio, rotationDegrees;
        unsigned seed;
    };
    const Case cases[] = {{40, 1.5, 20, 1}, {40, 2, -50, 2}, {40, 3, 75, 3}, {40, 4, 35, 4}, {60, 4, -10, 5},
                          {30, 2.5, 120, 6}};
    for (const Case& c : cases) {
        const double minor = c.major / c.ratio;
        const std::vector<point> points =
            OnEllipse(c.major, minor, 120.3, 80.7, c.rotationDegrees * kDegree, 90, 0.5, c.seed);
        CEllipse ellipse;
        ellipse.FitEll(points.data(), static_cast<int>(points.size()), 0, 0);
        const CShape fitted = ShapeOf(ellipse.GetXAxis(), ellipse.GetYAxis(), ellipse.GetRotation());
        const CShape truth = ShapeOf(c.major, minor, c.rotationDegrees * kDegree);
        SCOPED_TRACE(::testing::Message() << "ratio " << c.ratio << ", " << c.rotationDegrees << " degrees");
        EXPECT_NEAR(ellipse.GetCenter()->getx(), 120.3, 0.3);
        EXPECT_NEAR(ellipse.GetCenter()->gety(), 80.7, 0.3);
        EXPECT_NEAR(fitted.major, truth.major, 0.5);
        EXPECT_NEAR(fitted.minor, truth.minor, 0.5);
        EXPECT_LT(AngleApart(fitted.angle, truth.angle), 1.5 * kDegree);
    }
}

TEST(GeometryEllipseFit, BadPointSetsKeepAFiniteShape)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char* name;
        std::vector<point> points;
    };
    const Case cases[] = {
        {"a NaN point", {point(1, 2), point(nan, 3), point(5, 9), point(7, 1)}},
        {"an infinite point", {point(1, 2), point(std::numeric_limits<double>::infinity(), 3), point(5, 9)}},
        {"a huge spread", {point(1e308, 0), point(-1e308, 0), point(0, 1e308), point(0, -1e308)}},
        {"no points", {}},
    };
    for (const Case& c : cases) {
        CEllipse ellipse(20, 10, point(40, 40), 0.2);
        ellipse.Fit(c.points.data(), static_cast<int>(c.points.size()));
        EXPECT_EQ(ellipse.GetXAxis(), 20) << c.name;
        EXPECT_EQ(ellipse.GetYAxis(), 10) << c.name;
        EXPECT_EQ(ellipse.GetRotation(), 0.2) << c.name;
        EXPECT_EQ(ellipse.GetCenter()->getx(), 40) << c.name;
    }
    // One point: a finite, if degenerate, answer.
    CEllipse single;
    const point one(3, 4);
    EXPECT_TRUE(std::isfinite(single.Fit(&one, 1)));
    EXPECT_TRUE(std::isfinite(single.GetXAxis()) && std::isfinite(single.GetRotation()));
}

TEST(GeometryEllipseFit, ParameterFileOverTheDefaults)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("kestrun-ellipse-dgo-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "good.txt") << "nParameter: 5 MaxRuns: 10\n";
    std::ofstream(folder / "other.txt") << "nParameter: 4\n";

    CEllipse ellipse;
    EXPECT_EQ(ellipse.GetpDGO()->GetSettings().maxRuns, 300);
    EXPECT_EQ(ellipse.DGOParamFile((folder / "missing.txt").c_str()), CDecGradOpt::fileCannotOpen);
    EXPECT_EQ(ellipse.DGOParamFile((folder / "other.txt").c_str()), CDecGradOpt::fileBadCountOrComment);
    EXPECT_EQ(ellipse.DGOParamFile((folder / "good.txt").c_str()), CDecGradOpt::fileOk);
    const CDGOSettings& settings = ellipse.GetpDGO()->GetSettings();
    EXPECT_EQ(settings.maxRuns, 10);
    EXPECT_EQ(settings.stepFactor.size(), 5u) << "the rest stays";
    EXPECT_EQ(settings.derivStep[4], 0.00001);
    fs::remove_all(folder);
}

} // namespace
