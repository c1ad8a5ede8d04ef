// The quick depth of the deepest convexity defect against OpenCV's defects
// on traced outlines: the same wherever it answers, and an answer for the
// plain outlines the cut searches pass over.

#include "analysis/cvcontours.h"
#include "analysis/defectdepth.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

struct sOutlineCase
{
    std::string name;
    std::function<void(cv::Mat&)> draw;
    bool answered; // the quick depth must answer
};

CRPointArray Outline(const cv::Mat& image)
{
    std::vector<std::vector<cv::Point>> traced;
    cv::findContours(image, traced, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    CRPointArray points;
    if (!traced.empty())
        for (const cv::Point& p : traced[0])
            points.Add(POINT{p.x, p.y});
    return points;
}

double OpenCVDeepest(const CRPointArray& outline)
{
    CArray<sConvexityDefect, const sConvexityDefect&> defects;
    EXPECT_TRUE(ConvexityDefects(outline, defects));
    double deepest = 0.0;
    for (const sConvexityDefect& d : defects)
        deepest = std::max(deepest, static_cast<double>(d.m_fDepth));
    return deepest;
}

} // namespace

TEST(DefectDepth, AgreesWithOpenCVOnTracedOutlines)
{
    std::vector<sOutlineCase> cases;
    for (int r : {3, 6, 9, 14, 25})
        cases.push_back({"disc " + std::to_string(r), [r](cv::Mat& m) { cv::circle(m, {50, 50}, r, 255, cv::FILLED); },
                         true});
    for (int angle : {0, 30, 45, 80})
        cases.push_back({"ellipse " + std::to_string(angle),
                         [angle](cv::Mat& m) { cv::ellipse(m, {50, 50}, {30, 12}, angle, 0, 360, 255, cv::FILLED); },
                         true});
    cases.push_back({"touching discs",
                     [](cv::Mat& m) {
                         cv::circle(m, {40, 50}, 9, 255, cv::FILLED);
                         cv::circle(m, {56, 50}, 9, 255, cv::FILLED);
                     },
                     true});
    cases.push_back({"notched square",
                     [](cv::Mat& m) {
                         cv::rectangle(m, {20, 20}, {80, 80}, 255, cv::FILLED);
                         cv::fillConvexPoly(m, std::vector<cv::Point>{{40, 20}, {50, 45}, {60, 20}}, 0);
                     },
                     true});
    cases.push_back({"L", [](cv::Mat& m) { cv::fillPoly(m, std::vector<std::vector<cv::Point>>{{{20, 20}, {35, 20}, {35, 65}, {80, 65}, {80, 80}, {20, 80}}}, 255); }, true});
    // A thin spur walked out and back puts hull corners out of contour
    // order: left to OpenCV.
    cases.push_back({"spur",
                     [](cv::Mat& m) {
                         cv::rectangle(m, {30, 30}, {60, 60}, 255, cv::FILLED);
                         cv::line(m, {30, 30}, {21, 23}, 255, 1, 8);
                         cv::line(m, {21, 23}, {28, 21}, 255, 1, 8);
                     },
                     false});
    cv::RNG rng(127);
    for (int i = 0; i < 20; ++i)
        cases.push_back({"seeded polygon " + std::to_string(i),
                         [&rng](cv::Mat& m) {
                             std::vector<cv::Point> corners;
                             for (int k = rng.uniform(3, 9); k > 0; --k)
                                 corners.push_back({rng.uniform(15, 85), rng.uniform(15, 85)});
                             cv::fillPoly(m, std::vector<std::vector<cv::Point>>{corners}, 255);
                         },
                         false});

    CDefectDepth quick;
    int answered = 0;
    for (const sOutlineCase& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat image = cv::Mat::zeros(100, 100, CV_8UC1);
        c.draw(image);
        CRPointArray outline = Outline(image);
        ASSERT_GE(outline.GetSize(), 3);
        const double expected = OpenCVDeepest(outline);
        // Traced outlines of the engine end on their first point.
        CRPointArray closed = outline;
        closed.Add(outline[0]);
        for (const CRPointArray* points : {&outline, &closed}) {
            const std::optional<double> deepest = quick.Deepest(*points);
            EXPECT_TRUE(deepest.has_value() || !c.answered);
            if (c.name == "spur") {
                EXPECT_FALSE(deepest.has_value());
            }
            if (deepest) {
                EXPECT_NEAR(*deepest, expected, 1e-4);
                ++answered;
            }
        }
    }
    // The seeded polygons are mostly plain too.
    EXPECT_GT(answered, 50);
}

TEST(DefectDepth, NoAnswerWithoutAHull)
{
    CDefectDepth quick;
    for (const std::vector<POINT>& points :
         {std::vector<POINT>{}, std::vector<POINT>{{3, 3}, {4, 4}}, std::vector<POINT>{{0, 0}, {5, 5}, {9, 9}, {5, 5}},
          std::vector<POINT>{{0, 2}, {1, 2}, {2, 2}, {1, 2}}}) {
        CRPointArray outline;
        for (const POINT& p : points)
            outline.Add(p);
        EXPECT_FALSE(quick.Deepest(outline).has_value()) << points.size();
    }
}
