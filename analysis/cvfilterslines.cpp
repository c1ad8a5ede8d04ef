// The filters that find lines and polygons in a page.

#include "analysis/cvfilters.h"

#include "analysis/cvfilterentry.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

using namespace kestrun::filters;

namespace {

// Nearly regular: no two neighbouring sides differ by 1.2 mean sides or more.
bool IsNearlyRegular(const std::vector<cv::Point>& polygon)
{
    const size_t n = polygon.size();
    double sum = 0.0;
    double largestStep = 0.0;
    double previous = 0.0;
    for (size_t i = 1; i <= n; ++i) {
        const double side = cv::norm(polygon[i % n] - polygon[i - 1]);
        sum += side;
        if (i >= 2)
            largestStep = std::max(largestStep, std::abs(side - previous));
        previous = side;
    }
    return largestStep < 1.2 * (sum / static_cast<double>(n));
}

} // namespace

BOOL HoughLinesFilter(CDIB* page, CArray<POINT, const POINT&>& lines, const sFilterParameters& params)
{
    constexpr const char* kName = "Hough lines filter";
    return Guarded(kName, FALSE, [&]() -> BOOL {
        const cv::Mat image = PageImage(kName, page);
        RequireOddWidth(kName, "aperture size", params.ApertureSize, 3, 7);
        cv::Mat edges;
        cv::Canny(GreyImage(image), edges, params.ThresholdCanny1, params.ThresholdCanny2, params.ApertureSize);
        std::vector<cv::Vec4i> segments;
        cv::HoughLinesP(edges, segments, 1.0, CV_PI / 180.0, 80, 30.0, 10.0);
        for (const cv::Vec4i& s : segments) {
            lines.Add(POINT{s[0], s[1]});
            lines.Add(POINT{s[2], s[3]});
        }
        return TRUE;
    });
}

std::vector<std::vector<cv::Point>> FindSquares(const cv::Mat& image, int threshold, int invert)
{
    if (image.type() != CV_8UC3)
        AfxThrowInvalidArgException();
    std::vector<std::vector<cv::Point>> found;
    // The pyramid needs even sides.
    const int width = image.cols & ~1;
    const int height = image.rows & ~1;
    if (width < 2 || height < 2)
        return found;

    // Down and up the pyramid to lose the noise.
    cv::Mat smooth;
    image(cv::Rect(0, 0, width, height)).copyTo(smooth);
    cv::Mat pyramid;
    cv::pyrDown(smooth, pyramid, cv::Size(width / 2, height / 2));
    cv::pyrUp(pyramid, smooth, cv::Size(width, height));

    const double smallest = static_cast<double>((height / 6) * (width / 6));
    const double largest = static_cast<double>((height / 2) * (width / 2));
    const int type = invert == 1 ? cv::THRESH_BINARY_INV : cv::THRESH_BINARY;
    for (int channel = 0; channel < 3; ++channel) {
        cv::Mat plane;
        cv::extractChannel(smooth, plane, channel);
        cv::Mat binary;
        cv::threshold(plane, binary, threshold, 255.0, type);
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
        for (const std::vector<cv::Point>& contour : contours) {
            std::vector<cv::Point> polygon;
            cv::approxPolyDP(contour, polygon, cv::arcLength(contour, true) * 0.02, true);
            const double area = std::abs(cv::contourArea(polygon));
            if (polygon.size() >= 5 && area > smallest && area < largest && cv::isContourConvex(polygon) &&
                IsNearlyRegular(polygon))
                found.push_back(std::move(polygon));
        }
    }
    return found;
}

void DrawSquares(cv::Mat& image, const std::vector<std::vector<cv::Point>>& polygons, CArray<POINT, const POINT&>& corners)
{
    const cv::Scalar orange(0, 128, 255);
    for (const std::vector<cv::Point>& polygon : polygons) {
        cv::polylines(image, polygon, true, orange, 1, cv::LINE_AA, 0);
        for (const cv::Point& p : polygon)
            corners.Add(POINT{p.x, p.y});
    }
}

BOOL SquaresFilter(CDIB* page, CArray<POINT, const POINT&>& corners, COLORREF threshold, int invert)
{
    constexpr const char* kName = "Squares filter";
    return Guarded(kName, FALSE, [&]() -> BOOL {
        const cv::Mat image = PageImage(kName, page);
        cv::Mat colour;
        if (image.channels() == 1)
            cv::cvtColor(image, colour, cv::COLOR_GRAY2BGR);
        else
            colour = image.clone();
        CArray<POINT, const POINT&> found;
        DrawSquares(colour, FindSquares(colour, static_cast<int>(threshold & 0xFF), invert), found);
        if (image.channels() == 1) {
            // Back to grey: the page keeps its depth, the drawing shows grey.
            cv::Mat grey;
            cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);
            page->AssignMat(grey);
        } else {
            page->AssignMat(colour);
        }
        corners.Append(found);
        return TRUE;
    });
}
