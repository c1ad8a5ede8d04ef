// Convexity defects, Hu moments with the orientation, and the Fourier
// smoothing, against analytic values and direct OpenCV calls.

#include "analysis/cvcontours.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

using PointList = CArray<POINT, const POINT&>;
using DefectList = CArray<sConvexityDefect, const sConvexityDefect&>;

PointList ListOf(const std::vector<cv::Point>& points)
{
    PointList list;
    for (const cv::Point& p : points)
        list.Add(POINT{p.x, p.y});
    return list;
}

// ------------------------------------------------------------ convexity defects

TEST(CvConvexityDefects, MeasuresTheNotchOfASquare)
{
    const PointList contour = ListOf({{0, 0}, {40, 0}, {50, 30}, {60, 0}, {100, 0}, {100, 100}, {0, 100}});
    DefectList defects;
    ASSERT_TRUE(ConvexityDefects(contour, defects));
    ASSERT_EQ(defects.GetSize(), 1);
    const sConvexityDefect& d = defects[0];
    // (40, 0) and (60, 0) lie on the hull edge, not at its corners.
    EXPECT_EQ(d.m_nStartX, 0);
    EXPECT_EQ(d.m_nStartY, 0);
    EXPECT_EQ(d.m_nEndX, 100);
    EXPECT_EQ(d.m_nEndY, 0);
    EXPECT_EQ(d.m_nDeepestX, 50);
    EXPECT_EQ(d.m_nDeepestY, 30);
    EXPECT_EQ(d.m_fDepth, 30.0F); // exact, not OpenCV 4's 1/256 steps

    // Appended after what the list held.
    const PointList slanted = ListOf({{0, 0}, {40, 0}, {47, 13}, {60, 0}, {100, 0}, {100, 100}, {0, 100}});
    ASSERT_TRUE(ConvexityDefects(slanted, defects));
    ASSERT_EQ(defects.GetSize(), 2);
    EXPECT_FLOAT_EQ(defects[1].m_fDepth, 13.0F);
}

TEST(CvConvexityDefects, HandlesAContourThatTouchesItself)
{
    // A traced block with a notch and a one pixel thin spur at its corner:
    // the spur is walked out and back, and its hull points come out of
    // contour order.
    cv::Mat image = cv::Mat::zeros(50, 50, CV_8UC1);
    cv::rectangle(image, {10, 10}, {40, 40}, 255, cv::FILLED);
    cv::fillConvexPoly(image, std::vector<cv::Point>{{20, 10}, {25, 25}, {30, 10}}, 0);
    cv::line(image, {10, 10}, {1, 3}, 255, 1, 8);
    cv::line(image, {1, 3}, {8, 1}, 255, 1, 8);
    std::vector<std::vector<cv::Point>> traced;
    cv::findContours(image, traced, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    ASSERT_EQ(traced.size(), 1U);
    std::vector<int> rawHull;
    cv::convexHull(traced[0], rawHull, true, false);
    std::vector<cv::Vec4i> unused;
    ASSERT_THROW(cv::convexityDefects(traced[0], rawHull, unused), cv::Exception); // what the guard is for

    DefectList defects;
    ASSERT_TRUE(ConvexityDefects(ListOf(traced[0]), defects));
    ASSERT_GT(defects.GetSize(), 0);
    const sConvexityDefect* deepest = &defects[0];
    for (const sConvexityDefect& d : defects)
        if (d.m_fDepth > deepest->m_fDepth)
            deepest = &d;
    EXPECT_NEAR(deepest->m_nDeepestX, 25, 1) << deepest->m_nDeepestY;
    EXPECT_NEAR(deepest->m_nDeepestY, 24, 2);
    // Below the slanted hull edge from the spur's tip (8, 1) to (40, 10).
    EXPECT_NEAR(deepest->m_fDepth, 18.8F, 0.5F);
}

TEST(CvConvexityDefects, ShortAndStraightContoursHaveNone)
{
    for (const std::vector<cv::Point>& points :
         {std::vector<cv::Point>{}, std::vector<cv::Point>{{3, 3}}, std::vector<cv::Point>{{0, 0}, {5, 5}, {9, 9}, {5, 5}}}) {
        DefectList defects;
        EXPECT_TRUE(ConvexityDefects(ListOf(points), defects));
        EXPECT_EQ(defects.GetSize(), 0);
    }
}

// ------------------------------------------------------------------ Hu moments

std::vector<cv::Point> Rectangle(double length, double width, double degrees)
{
    const double a = degrees * CV_PI / 180.0;
    const cv::Point2d along(std::cos(a), std::sin(a));
    const cv::Point2d across(-std::sin(a), std::cos(a));
    std::vector<cv::Point> corners;
    for (const auto& [s, t] : {std::pair{-1, -1}, std::pair{1, -1}, std::pair{1, 1}, std::pair{-1, 1}}) {
        const cv::Point2d p = cv::Point2d(500, 500) + along * (s * length / 2) + across * (t * width / 2);
        corners.emplace_back(cvRound(p.x), cvRound(p.y));
    }
    return corners;
}

std::vector<cv::Point> Ellipse(int length, int width, int degrees)
{
    std::vector<cv::Point> points;
    cv::ellipse2Poly(cv::Point(500, 500), cv::Size(length / 2, width / 2), degrees, 0, 360, 1, points);
    return points;
}

// Arms of 120 x 30 meeting at the lower left corner (y grows downward):
// symmetric about the diagonal, so mu20 = mu02 and the axis is at 45 degrees.
std::vector<cv::Point> LShape()
{
    return {{400, 400}, {430, 400}, {430, 490}, {520, 490}, {520, 520}, {400, 520}};
}

// Degrees between two axes: 90 and -90 are the same axis.
double AxisDifference(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 180.0);
    return std::min(d, 180.0 - d);
}

TEST(CvHuMoments, AppendsTheSevenInvariantsAndTheOrientation)
{
    struct Case
    {
        const char* shape;
        std::vector<cv::Point> contour;
        double degrees; // the principal axis, y downward
    };
    const std::vector<Case> cases = {
        {"wide rectangle", Rectangle(400, 100, 0), 0.0},
        {"tall rectangle", Rectangle(400, 100, 90), 90.0},
        {"rectangle at 30", Rectangle(400, 100, 30), 30.0},
        {"rectangle at 60", Rectangle(400, 100, 60), 60.0},
        {"rectangle at 120", Rectangle(400, 100, 120), -60.0},
        {"wide ellipse", Ellipse(300, 100, 0), 0.0},
        {"tall ellipse", Ellipse(300, 100, 90), 90.0},
        {"ellipse at 45", Ellipse(300, 100, 45), 45.0},
        {"ellipse at 135", Ellipse(300, 100, 135), -45.0},
        {"L shape", LShape(), 45.0},
        {"square: no axis", Rectangle(200, 200, 0), 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        const cv::Moments m = cv::moments(c.contour);
        double expected[7];
        cv::HuMoments(m, expected);

        CArray<double, double> values;
        values.Add(42.0);
        HuMoments(ListOf(c.contour), values);
        ASSERT_EQ(values.GetSize(), 9);
        EXPECT_EQ(values[0], 42.0);
        for (int i = 0; i < 7; ++i)
            EXPECT_DOUBLE_EQ(values[1 + i], expected[i]) << i;
        // Within a degree of the shape's axis and of the moments' own answer.
        const double moments = 0.5 * std::atan2(2.0 * m.mu11, m.mu20 - m.mu02) * 180.0 / CV_PI;
        const double degrees = values[8] * 180.0 / CV_PI;
        EXPECT_LT(AxisDifference(degrees, c.degrees), 1.0) << degrees;
        EXPECT_LT(AxisDifference(degrees, moments), 1.0) << degrees;
        EXPECT_GT(values[8], -CV_PI / 2);
        EXPECT_LE(values[8], CV_PI / 2 + 1e-6);
    }
}

TEST(CvHuMoments, AnEmptyContourStillGivesEightValues)
{
    CArray<double, double> values;
    HuMoments(PointList(), values);
    ASSERT_EQ(values.GetSize(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(values[i], 0.0);
}

// ------------------------------------------------------------ Fourier smoothing

CArray<double, double> Series(int n, const std::function<double(int)>& f)
{
    CArray<double, double> values;
    for (int i = 0; i < n; ++i)
        values.Add(f(i));
    return values;
}

TEST(CvFourierSpectrum, KeepsCoefficientZeroAndTheHighestOnes)
{
    // n = 60 needs no padding. Kept are 0, N-2 and N-1: each harmonic 1 and 2
    // survives through one of its two coefficients, so with half its
    // amplitude; harmonic 7 goes.
    const int n = 60;
    const auto angle = [&](int i) { return 2.0 * CV_PI * i / n; };
    CArray<double, double> values =
        Series(n, [&](int i) { return 5.0 + 2.0 * std::cos(angle(i)) + 1.0 * std::cos(2 * angle(i)) + 3.0 * std::cos(7 * angle(i)); });
    ASSERT_TRUE(FourierSpectrum(values, 3));
    ASSERT_EQ(values.GetSize(), n);
    for (int i = 0; i < n; ++i)
        EXPECT_NEAR(values[i], 5.0 + 1.0 * std::cos(angle(i)) + 0.5 * std::cos(2 * angle(i)), 1e-9) << i;
}

TEST(CvFourierSpectrum, PadsToAFastSizeNotBelowTheSeriesLength)
{
    // The fast size for n - 1 is 50 at n = 51 and 60 at n = 61: too short.
    for (const auto& [n, padded] : {std::pair{51, 54}, std::pair{55, 60}, std::pair{61, 64}}) {
        SCOPED_TRACE(n);
        ASSERT_EQ(cv::getOptimalDFTSize(n), padded);
        CArray<double, double> values = Series(n, [](int) { return 2.0; });
        ASSERT_TRUE(FourierSpectrum(values, 1));
        ASSERT_EQ(values.GetSize(), n);
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(values[i], 2.0 * n / padded, 1e-9); // the mean of the padded series
    }
}

TEST(CvFourierSpectrum, EdgeCounts)
{
    CArray<double, double> values = Series(10, [](int i) { return i * i; });
    const CArray<double, double> before = values;
    EXPECT_FALSE(FourierSpectrum(values, 0));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(values[i], before[i]);
    ASSERT_TRUE(FourierSpectrum(values, 10)); // every coefficient kept
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(values[i], before[i], 1e-9);
    CArray<double, double> empty;
    EXPECT_TRUE(FourierSpectrum(empty, 3));
    EXPECT_EQ(empty.GetSize(), 0);
}

} // namespace
