// The orientation the main run gives each object, against the second
// moments of the object's own pixels: diagonal shapes whose mu20 and mu02
// are equal included.

#include "enginescene.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <functional>
#include <vector>

using enginetest::CEngineScene;

namespace {

// Degrees between two axes: 90 and -90 are the same axis.
double AxisDifference(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 180.0);
    return std::min(d, 180.0 - d);
}

double MomentsDegrees(const cv::Mat& mask)
{
    const cv::Moments m = cv::moments(mask, true);
    return 0.5 * std::atan2(2.0 * m.mu11, m.mu20 - m.mu02) * 180.0 / CV_PI;
}

} // namespace

TEST(EngineOrientation, FollowsTheSecondMomentsOfThePixels)
{
    struct Case
    {
        const char* shape;
        std::function<void(cv::Mat&, const cv::Scalar&)> draw;
        double degrees; // the shape's axis, y downward
    };
    const std::vector<Case> cases = {
        {"ellipse at 45",
         [](cv::Mat& m, const cv::Scalar& c) { cv::ellipse(m, {60, 60}, {40, 15}, 45, 0, 360, c, cv::FILLED); }, 45.0},
        {"ellipse at -45",
         [](cv::Mat& m, const cv::Scalar& c) { cv::ellipse(m, {60, 60}, {40, 15}, -45, 0, 360, c, cv::FILLED); },
         -45.0},
        {"L shape",
         [](cv::Mat& m, const cv::Scalar& c) {
             cv::rectangle(m, cv::Rect(20, 20, 20, 80), c, cv::FILLED);
             cv::rectangle(m, cv::Rect(20, 80, 80, 20), c, cv::FILLED);
         },
         45.0},
        {"wide bar", [](cv::Mat& m, const cv::Scalar& c) { cv::rectangle(m, cv::Rect(15, 50, 90, 20), c, cv::FILLED); },
         0.0},
        {"tall bar", [](cv::Mat& m, const cv::Scalar& c) { cv::rectangle(m, cv::Rect(50, 15, 20, 90), c, cv::FILLED); },
         90.0},
        {"ellipse at 30",
         [](cv::Mat& m, const cv::Scalar& c) { cv::ellipse(m, {60, 60}, {45, 12}, 30, 0, 360, c, cv::FILLED); }, 30.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        CEngineScene scene(120, 120);
        cv::Mat pixels = scene.page.GetMat();
        c.draw(pixels, enginetest::ToBGR(enginetest::kDark));
        cv::Mat mask(pixels.size(), CV_8U, cv::Scalar(0));
        c.draw(mask, cv::Scalar(255));
        scene.Form().m_Type |= featureLength | featureWidth;
        CAOI2 aoi = scene.WholePage();

        EXPECT_EQ(scene.Run(aoi), 1);
        ASSERT_EQ(scene.Records().size(), 1U);
        const double degrees = scene.Records().front()->m_fOrientation * 180.0 / CV_PI;
        EXPECT_LT(AxisDifference(degrees, MomentsDegrees(mask)), 1.0) << degrees;
        EXPECT_LT(AxisDifference(degrees, c.degrees), 1.0) << degrees;
    }
}
