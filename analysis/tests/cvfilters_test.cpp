// The page filters against direct OpenCV calls and analytic values, their
// refusals, and the filter parameter record.

#include "analysis/cvfilters.h"
#include "analysis/filterparams.h"
#include "analysis/tests/inifiles_fixture.h"
#include "outside/pixmere/dib.h"
#include "platform/core/profile.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using kestrun::testing::ScopedMessageBoxes;

CDIB PageFrom(const cv::Mat& image)
{
    CDIB page;
    page.AssignMat(image);
    return page;
}

// Widths whose rows need padding (37 bytes, 111 bytes): copies that ignore
// the padding would shift every row.
cv::Mat Noise(int type, int seed, int width = 37, int height = 23)
{
    cv::Mat image(height, width, type);
    cv::RNG rng(static_cast<uint64>(seed));
    rng.fill(image, cv::RNG::UNIFORM, 0, 256);
    return image;
}

bool SameImage(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

sFilterParameters Params(int kernel, int aperture = 3, int iterations = 1)
{
    sFilterParameters p;
    p.KernelWidth = kernel;
    p.ApertureSize = aperture;
    p.Iterations = iterations;
    return p;
}

cv::Mat AbsSobel(const cv::Mat& image, int dx, int dy, int aperture)
{
    cv::Mat d;
    cv::Sobel(image, d, CV_16S, dx, dy, aperture, 1.0, 0.0, cv::BORDER_REPLICATE);
    cv::Mat r;
    cv::convertScaleAbs(d, r);
    return r;
}

cv::Mat Ellipse(int k)
{
    return cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(k, k));
}

struct FilterCase
{
    const char* name;
    std::function<BOOL(CDIB*)> filter;
    std::function<cv::Mat(const cv::Mat&)> reference;
};

std::vector<FilterCase> FilterCases()
{
    return {
        {"gaussian", [](CDIB* p) { return SmoothFilter(p, SMOOTH_GAUSSIAN, Params(5)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::GaussianBlur(m, r, cv::Size(5, 5), 0.0, 0.0, cv::BORDER_REPLICATE);
             return r;
         }},
        {"median", [](CDIB* p) { return SmoothFilter(p, SMOOTH_MEDIAN, Params(5)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::medianBlur(m, r, 5);
             return r;
         }},
        {"laplace", [](CDIB* p) { return LaplaceFilter(p, Params(3)); },
         [](const cv::Mat& m) {
             cv::Mat d;
             cv::Laplacian(m, d, CV_16S, 3, 1.0, 0.0, cv::BORDER_REPLICATE);
             cv::Mat r;
             cv::convertScaleAbs(d, r);
             return r;
         }},
        {"sobel x", [](CDIB* p) { return SobelFilter(p, 1, 0, Params(3, 5)); },
         [](const cv::Mat& m) { return AbsSobel(m, 1, 0, 5); }},
        {"sobel y", [](CDIB* p) { return SobelFilter(p, 0, 1, Params(3, 3)); },
         [](const cv::Mat& m) { return AbsSobel(m, 0, 1, 3); }},
        {"sobel max", [](CDIB* p) { return SobelMaxFilter(p, Params(3, 3)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::max(AbsSobel(m, 1, 0, 3), AbsSobel(m, 0, 1, 3), r);
             return r;
         }},
        {"dilate", [](CDIB* p) { return MorphologyFilter(p, MORPH_OP_DILATE, Params(5, 3, 2)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::dilate(m, r, Ellipse(5), cv::Point(-1, -1), 2, cv::BORDER_REPLICATE);
             return r;
         }},
        {"erode", [](CDIB* p) { return MorphologyFilter(p, MORPH_OP_ERODE, Params(5, 3, 2)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::erode(m, r, Ellipse(5), cv::Point(-1, -1), 2, cv::BORDER_REPLICATE);
             return r;
         }},
        {"gradient", [](CDIB* p) { return MorphologyFilter(p, 4, Params(3)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::morphologyEx(m, r, cv::MORPH_GRADIENT, Ellipse(3), cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
             return r;
         }},
        {"black hat", [](CDIB* p) { return MorphologyFilter(p, 6, Params(5)); },
         [](const cv::Mat& m) {
             cv::Mat r;
             cv::morphologyEx(m, r, cv::MORPH_BLACKHAT, Ellipse(5), cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
             return r;
         }},
        {"canny", [](CDIB* p) { return CannyFilter(p, Params(3)); },
         [](const cv::Mat& m) {
             cv::Mat grey = m;
             if (m.channels() == 3)
                 cv::cvtColor(m, grey, cv::COLOR_BGR2GRAY);
             cv::Mat edges;
             cv::Canny(grey, edges, 50.0, 200.0, 3);
             cv::Mat r = m.clone();
             r.setTo(cv::Scalar::all(0), edges);
             return r;
         }},
        {"adaptive threshold", [](CDIB* p) { return AdaptiveThresholdFilter(p, Params(7)); },
         [](const cv::Mat& m) {
             std::vector<cv::Mat> planes;
             cv::split(m, planes);
             cv::Mat all(m.size(), CV_8U, cv::Scalar(255));
             for (const cv::Mat& plane : planes) {
                 cv::Mat b;
                 cv::adaptiveThreshold(plane, b, 255.0, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY, 7, 5.0);
                 all &= b;
             }
             cv::Mat r;
             cv::merge(std::vector<cv::Mat>(static_cast<size_t>(m.channels()), all), r);
             return r;
         }},
    };
}

TEST(CvPageFilters, AgreeWithOpenCvOnGreyAndColourPagesWithPaddedRows)
{
    ScopedMessageBoxes boxes;
    for (const FilterCase& c : FilterCases()) {
        for (const int type : {CV_8UC1, CV_8UC3}) {
            SCOPED_TRACE(std::string(c.name) + (type == CV_8UC1 ? " grey" : " colour"));
            const cv::Mat source = Noise(type, 7);
            CDIB page = PageFrom(source);
            ASSERT_TRUE(c.filter(&page));
            EXPECT_TRUE(SameImage(page.GetMat(), c.reference(source)));
        }
    }
    EXPECT_TRUE(boxes->Texts().empty());
}

TEST(CvPageFilters, DilateGrowsAndErodeRemovesALonePixel)
{
    // The operation numbers are ours (0 dilate, 1 erode), not OpenCV 4's.
    cv::Mat dot = cv::Mat::zeros(21, 21, CV_8UC1);
    dot.at<uchar>(10, 10) = 255;
    CDIB dilated = PageFrom(dot);
    ASSERT_TRUE(MorphologyFilter(&dilated, MORPH_OP_DILATE, Params(5)));
    EXPECT_EQ(cv::countNonZero(dilated.GetMat()), cv::countNonZero(Ellipse(5)));
    CDIB eroded = PageFrom(dot);
    ASSERT_TRUE(MorphologyFilter(&eroded, MORPH_OP_ERODE, Params(5)));
    EXPECT_EQ(cv::countNonZero(eroded.GetMat()), 0);
}

TEST(CvPageFilters, CannyBlackensEdgesOfAGreyPageAndKeepsItsPalette)
{
    cv::Mat grey(40, 41, CV_8UC1, cv::Scalar(30));
    cv::rectangle(grey, cv::Rect(10, 10, 20, 20), cv::Scalar(100), cv::FILLED);
    CDIB page = PageFrom(grey);
    page.SetPaletteColor(100, RGB(1, 2, 3));
    ASSERT_TRUE(CannyFilter(&page, Params(3)));

    const cv::Mat result = page.GetMat();
    cv::Mat changed = result != grey;
    EXPECT_GT(cv::countNonZero(changed), 40);
    cv::Mat blackWhereChanged = result == 0;
    EXPECT_EQ(cv::countNonZero(changed & ~blackWhereChanged), 0);
    EXPECT_EQ(result.at<uchar>(20, 20), 100); // inside and far outside untouched
    EXPECT_EQ(result.at<uchar>(2, 2), 30);
    EXPECT_EQ(page.GetPaletteColor(100), RGB(1, 2, 3));
}

struct RefusedCase
{
    const char* name;
    std::function<BOOL(CDIB*)> filter;
    const char* textPart;
};

TEST(CvPageFilters, RefuseBadSettingsAndOpenCvErrorsWithAMessageAndAnUnchangedPage)
{
    const std::vector<RefusedCase> cases = {
        {"smooth, even kernel", [](CDIB* p) { return SmoothFilter(p, SMOOTH_GAUSSIAN, Params(4)); }, "odd"},
        {"median, even kernel", [](CDIB* p) { return SmoothFilter(p, SMOOTH_MEDIAN, Params(6)); }, "odd"},
        {"morphology, even kernel", [](CDIB* p) { return MorphologyFilter(p, 2, Params(4)); }, "odd"},
        {"laplace, even kernel", [](CDIB* p) { return LaplaceFilter(p, Params(2)); }, "odd"},
        {"adaptive, even kernel", [](CDIB* p) { return AdaptiveThresholdFilter(p, Params(8)); }, "odd"},
        {"sobel, even aperture", [](CDIB* p) { return SobelFilter(p, 1, 0, Params(3, 4)); }, "odd"},
        {"sobel max, even aperture", [](CDIB* p) { return SobelMaxFilter(p, Params(3, 2)); }, "odd"},
        {"canny, even aperture", [](CDIB* p) { return CannyFilter(p, Params(3, 4)); }, "odd"},
        {"canny, aperture too large", [](CDIB* p) { return CannyFilter(p, Params(3, 9)); }, "between"},
        {"adaptive, kernel 1", [](CDIB* p) { return AdaptiveThresholdFilter(p, Params(1)); }, "between"},
        {"unknown smoothing", [](CDIB* p) { return SmoothFilter(p, 1, Params(3)); }, "type 1"},
        {"unknown morphology", [](CDIB* p) { return MorphologyFilter(p, 7, Params(3)); }, "operation 7"},
        {"negative morphology", [](CDIB* p) { return MorphologyFilter(p, -1, Params(3)); }, "operation -1"},
        {"negative iterations", [](CDIB* p) { return MorphologyFilter(p, 0, Params(3, 3, -1)); }, "iterations"},
        {"no derivative", [](CDIB* p) { return SobelFilter(p, 0, 0, Params(3)); }, "OpenCV"},
    };
    const cv::Mat source = Noise(CV_8UC3, 3);
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedMessageBoxes boxes;
        CDIB page = PageFrom(source);
        EXPECT_FALSE(c.filter(&page));
        EXPECT_TRUE(SameImage(page.GetMat(), source));
        const std::vector<CString> texts = boxes->Texts();
        ASSERT_EQ(texts.size(), 1U);
        EXPECT_NE(std::string(texts[0]).find(c.textPart), std::string::npos) << texts[0];
    }
}

TEST(CvPageFilters, AMissingPageIsReportedNotCrashed)
{
    ScopedMessageBoxes boxes;
    CDIB empty;
    EXPECT_FALSE(SmoothFilter(nullptr, SMOOTH_GAUSSIAN));
    EXPECT_FALSE(LaplaceFilter(&empty));
    CArray<POINT, const POINT&> points;
    EXPECT_FALSE(HoughLinesFilter(nullptr, points));
    EXPECT_FALSE(SquaresFilter(&empty, points, 0, 0));
    EXPECT_EQ(boxes->Texts().size(), 4U);
    EXPECT_TRUE(points.IsEmpty());
}

// ----------------------------------------------------------- pattern matching

class MatchTemplateTest : public ::testing::Test
{
protected:
    MatchTemplateTest() : m_image(Noise(CV_8UC3, 11, 80, 60)), m_page(PageFrom(m_image)) {}

    CDIB Pattern(int x, int y) const { return PageFrom(m_image(cv::Rect(x, y, 12, 9)).clone()); }

    cv::Mat m_image;
    CDIB m_page;
};

TEST_F(MatchTemplateTest, MovesThePositionToThePattern)
{
    CDIB pattern = Pattern(30, 20);
    POINT pos{27, 18};
    EXPECT_NEAR(MatchTemplate(&m_page, &pattern, pos, 4, 4), 0.0, 1e-6);
    EXPECT_EQ(pos.x, 30);
    EXPECT_EQ(pos.y, 20);
}

TEST_F(MatchTemplateTest, ComparesTheGreenPlaneOnly)
{
    cv::Mat recoloured = m_image(cv::Rect(30, 20, 12, 9)).clone();
    recoloured.forEach<cv::Vec3b>([](cv::Vec3b& p, const int*) {
        p[0] = static_cast<uchar>(255 - p[0]);
        p[2] = 7;
    });
    CDIB pattern = PageFrom(recoloured);
    POINT pos{29, 21};
    EXPECT_NEAR(MatchTemplate(&m_page, &pattern, pos, 3, 3), 0.0, 1e-6);
    EXPECT_EQ(pos.x, 30);
    EXPECT_EQ(pos.y, 20);
}

TEST_F(MatchTemplateTest, ClipsTheWindowAtTheBorder)
{
    CDIB pattern = Pattern(68, 51); // touches the right and bottom border
    POINT pos{70, 55};
    EXPECT_NEAR(MatchTemplate(&m_page, &pattern, pos, 6, 6), 0.0, 1e-6);
    EXPECT_EQ(pos.x, 68);
    EXPECT_EQ(pos.y, 51);
}

TEST_F(MatchTemplateTest, AWindowSmallerThanThePatternIsNoMatch)
{
    CDIB pattern = Pattern(30, 20);
    struct Case
    {
        POINT start;
        int dx;
        int dy;
    };
    for (const Case& c : {Case{{30, 20}, -1, 2}, Case{{30, 20}, 2, -1}, Case{{72, 20}, 2, 2}, Case{{30, 55}, 2, 2},
                          Case{{500, 500}, 3, 3}}) {
        SCOPED_TRACE(testing::Message() << c.start.x << "," << c.start.y << " " << c.dx << "," << c.dy);
        POINT pos = c.start;
        EXPECT_EQ(MatchTemplate(&m_page, &pattern, pos, c.dx, c.dy), MATCH_NONE);
        EXPECT_EQ(pos.x, c.start.x);
        EXPECT_EQ(pos.y, c.start.y);
    }
}

// ------------------------------------------------------- difference threshold

TEST(CvDifferenceThreshold, ThresholdsTheAbsoluteDifferencePerChannel)
{
    const cv::Mat a = Noise(CV_8UC3, 1);
    const cv::Mat b = Noise(CV_8UC3, 2);
    cv::Mat expected;
    cv::absdiff(a, b, expected);
    cv::threshold(expected, expected, 40, 255, cv::THRESH_BINARY);

    CDIB pageA = PageFrom(a);
    CDIB pageB = PageFrom(b);
    CDIB output = PageFrom(cv::Mat::zeros(a.size(), CV_8UC3));
    ASSERT_TRUE(DifferenceThreshold(&pageA, &pageB, &output, 40));
    EXPECT_TRUE(SameImage(output.GetMat(), expected));
    EXPECT_TRUE(SameImage(pageA.GetMat(), a));

    ASSERT_TRUE(DifferenceThreshold(&pageA, &pageB, nullptr, 40));
    EXPECT_TRUE(SameImage(pageA.GetMat(), expected));
}

TEST(CvDifferenceThreshold, PagesOfOtherGeometryAreLeftAlone)
{
    ScopedMessageBoxes boxes;
    const cv::Mat a = Noise(CV_8UC3, 1);
    CDIB pageA = PageFrom(a);
    CDIB smallB = PageFrom(Noise(CV_8UC3, 2, 20, 23));
    CDIB greyB = PageFrom(Noise(CV_8UC1, 2));
    CDIB pageB = PageFrom(Noise(CV_8UC3, 2));
    const cv::Mat narrow = Noise(CV_8UC3, 5, 36, 23);
    CDIB narrowOutput = PageFrom(narrow);

    EXPECT_FALSE(DifferenceThreshold(&pageA, &smallB, nullptr, 10));
    EXPECT_FALSE(DifferenceThreshold(&pageA, &greyB, nullptr, 10));
    EXPECT_FALSE(DifferenceThreshold(&pageA, &pageB, &narrowOutput, 10));
    EXPECT_TRUE(SameImage(pageA.GetMat(), a));
    EXPECT_TRUE(SameImage(narrowOutput.GetMat(), narrow));
    EXPECT_TRUE(boxes->Texts().empty()); // it runs per live frame
}

// ---------------------------------------------------------- distance transform

TEST(CvDistanceTransform, ReturnsTheFirstLargestDistanceLessTwo)
{
    // A 19 x 19 block inside a zero frame: the centre (10, 10) is 10 from the frame.
    cv::Mat mask = cv::Mat::zeros(21, 21, CV_8UC1);
    mask(cv::Rect(1, 1, 19, 19)).setTo(1);
    CDIB page = PageFrom(mask);
    double maximum = 0.0;
    const POINT at = DistanceTransform(&page, maximum);
    EXPECT_EQ(at.x, 8);
    EXPECT_EQ(at.y, 8);
    EXPECT_FLOAT_EQ(maximum, 10.0F);

    // Rows count from the top: a wide block low in the mask.
    cv::Mat low = cv::Mat::zeros(30, 40, CV_8UC1);
    low(cv::Rect(3, 18, 30, 9)).setTo(255);
    CDIB lowPage = PageFrom(low);
    cv::Mat distances;
    cv::distanceTransform(low, distances, cv::DIST_L2, cv::DIST_MASK_5);
    double expected = 0.0;
    cv::Point expectedAt;
    cv::minMaxLoc(distances, nullptr, &expected, nullptr, &expectedAt);
    const POINT lowAt = DistanceTransform(&lowPage, maximum);
    EXPECT_EQ(lowAt.x, expectedAt.x - 2);
    EXPECT_EQ(lowAt.y, expectedAt.y - 2);
    EXPECT_GT(lowAt.y, 14);
    EXPECT_DOUBLE_EQ(maximum, expected);
}

TEST(CvDistanceTransform, AColourOrMissingPageAnswersAsAnEmptyMask)
{
    CDIB colour = PageFrom(Noise(CV_8UC3, 4));
    double maximum = 5.0;
    POINT at = DistanceTransform(&colour, maximum);
    EXPECT_EQ(at.x, -2);
    EXPECT_EQ(at.y, -2);
    EXPECT_EQ(maximum, 0.0);
    maximum = 5.0;
    at = DistanceTransform(nullptr, maximum);
    EXPECT_EQ(at.x, -2);
    EXPECT_EQ(maximum, 0.0);
}

// ------------------------------------------------------------------ Hough lines

TEST(CvHoughLines, AppendsTheSegmentsOfTheEdgesInPageRows)
{
    cv::Mat image(80, 121, CV_8UC3, cv::Scalar::all(255));
    cv::line(image, {10, 60}, {100, 60}, cv::Scalar::all(0), 3);
    CDIB page = PageFrom(image);

    CArray<POINT, const POINT&> lines;
    lines.Add(POINT{-7, -7});
    ASSERT_TRUE(HoughLinesFilter(&page, lines, Params(3)));

    cv::Mat grey;
    cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
    cv::Mat edges;
    cv::Canny(grey, edges, 50.0, 200.0, 3);
    std::vector<cv::Vec4i> segments;
    cv::HoughLinesP(edges, segments, 1.0, CV_PI / 180.0, 80, 30.0, 10.0);
    ASSERT_FALSE(segments.empty());
    ASSERT_EQ(lines.GetSize(), 1 + 2 * static_cast<INT_PTR>(segments.size()));
    for (size_t i = 0; i < segments.size(); ++i) {
        const POINT a = lines[1 + 2 * static_cast<INT_PTR>(i)];
        const POINT b = lines[2 + 2 * static_cast<INT_PTR>(i)];
        EXPECT_EQ(a.x, segments[i][0]);
        EXPECT_EQ(a.y, segments[i][1]);
        EXPECT_EQ(b.x, segments[i][2]);
        EXPECT_EQ(b.y, segments[i][3]);
        EXPECT_NEAR(a.y, 60, 4); // the edges of the line, not mirrored rows
        EXPECT_NEAR(b.y, 60, 4);
    }
    EXPECT_TRUE(SameImage(page.GetMat(), image));
}

// ------------------------------------------------------------- polygon search

std::vector<cv::Point> RegularPolygon(int corners, cv::Point2d centre, double radius)
{
    std::vector<cv::Point> polygon;
    for (int i = 0; i < corners; ++i) {
        const double angle = 2.0 * CV_PI * i / corners + 0.3;
        polygon.emplace_back(cvRound(centre.x + radius * std::cos(angle)), cvRound(centre.y + radius * std::sin(angle)));
    }
    return polygon;
}

cv::Mat PolygonImage(const std::vector<cv::Point>& polygon, int width = 120, int height = 120, bool dark = false)
{
    cv::Mat image(height, width, CV_8UC3, cv::Scalar::all(dark ? 220 : 20));
    cv::fillConvexPoly(image, polygon, cv::Scalar::all(dark ? 20 : 220));
    return image;
}

double FarthestCorner(const std::vector<cv::Point>& found, const std::vector<cv::Point>& truth)
{
    double worst = 0.0;
    for (const cv::Point& p : found) {
        double nearest = 1e9;
        for (const cv::Point& t : truth)
            nearest = std::min(nearest, cv::norm(p - t));
        worst = std::max(worst, nearest);
    }
    return worst;
}

TEST(CvFindSquares, FindsRegularPolygonsOfFiveOrMoreCornersInEachChannel)
{
    struct Case
    {
        int corners;
        double radius;
        size_t expected;
    };
    // Limits of the 120 x 120 image: area above 400 and below 3600.
    for (const Case& c : {Case{6, 30.0, 3}, Case{5, 30.0, 3}, Case{8, 28.0, 3}, Case{4, 28.0, 0}, Case{6, 10.0, 0},
                          Case{6, 45.0, 0}}) {
        SCOPED_TRACE(testing::Message() << c.corners << " corners, radius " << c.radius);
        const std::vector<cv::Point> truth = RegularPolygon(c.corners, {60.0, 60.0}, c.radius);
        const auto found = FindSquares(PolygonImage(truth), 128, 0);
        ASSERT_EQ(found.size(), c.expected);
        for (const auto& polygon : found) {
            EXPECT_EQ(polygon.size(), static_cast<size_t>(c.corners));
            EXPECT_LE(FarthestCorner(polygon, truth), 5.0);
        }
    }
}

TEST(CvFindSquares, InvertsAndSearchesTheEvenPartOfOddSides)
{
    const std::vector<cv::Point> truth = RegularPolygon(6, {60.0, 60.0}, 30.0);
    const auto dark = FindSquares(PolygonImage(truth, 120, 120, true), 128, 1);
    ASSERT_EQ(dark.size(), 3U);
    EXPECT_LE(FarthestCorner(dark[0], truth), 5.0);

    const auto even = FindSquares(PolygonImage(truth), 128, 0);
    cv::Mat odd = PolygonImage(truth, 121, 121);
    odd.col(120).setTo(cv::Scalar::all(255));
    odd.row(120).setTo(cv::Scalar::all(255));
    EXPECT_EQ(FindSquares(odd, 128, 0), even);
}

TEST(CvSquaresFilter, DrawsAndAppendsTheCornersAndKeepsAGreyPageGrey)
{
    const std::vector<cv::Point> truth = RegularPolygon(6, {60.0, 60.0}, 30.0);
    const cv::Mat colour = PolygonImage(truth);
    cv::Mat grey;
    cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);

    CDIB colourPage = PageFrom(colour);
    CArray<POINT, const POINT&> corners;
    corners.Add(POINT{1, 1});
    ASSERT_TRUE(SquaresFilter(&colourPage, corners, RGB(128, 0, 0), 0));
    ASSERT_EQ(corners.GetSize(), 1 + 18);
    EXPECT_EQ(corners[0].x, 1);
    std::vector<cv::Point> listed;
    for (INT_PTR i = 1; i < corners.GetSize(); ++i)
        listed.emplace_back(corners[i].x, corners[i].y);
    EXPECT_LE(FarthestCorner(listed, truth), 5.0);
    // Counted with a mask: forEach runs its calls on several threads.
    cv::Mat orange;
    cv::inRange(colourPage.GetMat(), cv::Scalar(0, 128, 255), cv::Scalar(0, 128, 255), orange);
    EXPECT_GT(cv::countNonZero(orange), 20);

    CDIB greyPage = PageFrom(grey);
    CArray<POINT, const POINT&> greyCorners;
    ASSERT_TRUE(SquaresFilter(&greyPage, greyCorners, 128, 0));
    EXPECT_EQ(greyPage.GetBpp(), 8);
    EXPECT_EQ(greyCorners.GetSize(), 18);
    EXPECT_GT(cv::countNonZero(greyPage.GetMat() != grey), 20);
}

// ------------------------------------------------------------ parameter record

TEST(FilterParameters, DefaultsAreTheProgramsStartValues)
{
    sFilterParameters p{7, 9, 5, 1.0, 2.0, 6};
    InitFilterDefaults(p);
    EXPECT_EQ(p.Iterations, 1);
    EXPECT_EQ(p.KernelWidth, 3);
    EXPECT_EQ(p.ApertureSize, 3);
    EXPECT_EQ(p.ThresholdCanny1, 50.0);
    EXPECT_EQ(p.ThresholdCanny2, 200.0);
    EXPECT_EQ(p.MorphologyType, 2);
    EXPECT_EQ(sFilterParams.KernelWidth, 3);
}

using FilterParametersProfile = IniFilesTest;

TEST_F(FilterParametersProfile, RoundTripsTheStoredFieldsOnly)
{
    WriteFilterParams(sFilterParameters{4, 7, 5, 12.5, 150.25, 5});
    EXPECT_EQ(GetPrivateProfileString("ImageFilter", "ApertureSize", "none", m_appProfile), "none");
    EXPECT_EQ(GetPrivateProfileString("ImageFilter", "KernelWidth", "", m_appProfile), "7");

    sFilterParameters read;
    ReadFilterParams(read);
    EXPECT_EQ(read.Iterations, 4);
    EXPECT_EQ(read.KernelWidth, 7);
    EXPECT_EQ(read.ApertureSize, 3);
    EXPECT_EQ(read.ThresholdCanny1, 12.5);
    EXPECT_EQ(read.ThresholdCanny2, 150.25);
    EXPECT_EQ(read.MorphologyType, 5);
}

} // namespace
