// The filters that replace a page's pixels by a neighbourhood operation,
// and the entry they share.

#include "analysis/cvfilters.h"

#include "analysis/cvfilterentry.h"

#include <opencv2/imgproc.hpp>

#include <climits>

namespace kestrun::filters {

void Refuse(const char* filter, const CString& problem)
{
    throw CFilterRefusal(FormatString("%s: %s", filter, problem.GetString()));
}

void RequireOddWidth(const char* filter, const char* what, int width, int minimum, int maximum)
{
    // An even width has no centre pixel: OpenCV either refuses it or
    // shifts the result by half a pixel.
    if (width % 2 == 0)
        Refuse(filter, FormatString("the %s must be odd (3, 5, 7, ...), not %d.", what, width));
    if (width < minimum || width > maximum)
        Refuse(filter, FormatString("the %s must lie between %d and %d, not %d.", what, minimum, maximum, width));
}

cv::Mat PageImage(const char* filter, const CDIB* page)
{
    if (page == nullptr || !page->IsValid())
        Refuse(filter, "there is no image.");
    // A dense copy: the page's matrix is a window on rows padded to 4
    // bytes, and OpenCV's filters would take the padding for border pixels.
    return page->GetMat().clone();
}

cv::Mat GreyImage(const cv::Mat& image)
{
    if (image.channels() == 1)
        return image;
    cv::Mat grey;
    cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
    return grey;
}

CString OpenCvErrorText(const char* filter, const cv::Exception& e)
{
    return FormatString("%s: OpenCV refused the operation (%s).", filter, e.err.c_str());
}

} // namespace kestrun::filters

using namespace kestrun::filters;

namespace {

// The old smoothing, Laplace and morphology calls replicated the border
// pixels; OpenCV 4 reflects them unless told.
constexpr int kBorder = cv::BORDER_REPLICATE;

cv::Mat AbsoluteSobel(const cv::Mat& image, int xOrder, int yOrder, int aperture)
{
    cv::Mat derivative;
    cv::Sobel(image, derivative, CV_16S, xOrder, yOrder, aperture, 1.0, 0.0, kBorder);
    cv::Mat result;
    cv::convertScaleAbs(derivative, result);
    return result;
}

} // namespace

BOOL AdaptiveThresholdFilter(CDIB* page, const sFilterParameters& params)
{
    constexpr const char* kName = "Adaptive threshold filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "kernel width", params.KernelWidth, 3, INT_MAX);
        const auto threshold = [&](const cv::Mat& plane) {
            cv::Mat binary;
            cv::adaptiveThreshold(plane, binary, 255.0, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY, params.KernelWidth, 5.0);
            return binary;
        };
        if (image.channels() == 1)
            return threshold(image);
        std::vector<cv::Mat> planes;
        cv::split(image, planes);
        const cv::Mat all = threshold(planes[0]) & threshold(planes[1]) & threshold(planes[2]);
        cv::Mat result;
        cv::merge(std::vector<cv::Mat>{all, all, all}, result);
        return result;
    });
}

BOOL CannyFilter(CDIB* page, const sFilterParameters& params)
{
    constexpr const char* kName = "Canny filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "aperture size", params.ApertureSize, 3, 7);
        cv::Mat edges;
        cv::Canny(GreyImage(image), edges, params.ThresholdCanny1, params.ThresholdCanny2, params.ApertureSize);
        cv::Mat result = image.clone();
        result.setTo(cv::Scalar::all(0), edges);
        return result;
    });
}

BOOL MorphologyFilter(CDIB* page, int operation, const sFilterParameters& params)
{
    constexpr const char* kName = "Morphology filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "kernel width", params.KernelWidth, 1, INT_MAX);
        if (operation < MORPH_OP_DILATE || operation > cv::MORPH_BLACKHAT)
            Refuse(kName, FormatString("operation %d is unknown (0 dilate, 1 erode, 2 to 6 opening to black hat).", operation));
        if (params.Iterations < 0)
            Refuse(kName, FormatString("the iterations must not be negative, not %d.", params.Iterations));
        const int k = params.KernelWidth;
        const cv::Mat element = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(k, k), cv::Point(k / 2, k / 2));
        const cv::Point anchor(-1, -1);
        cv::Mat result;
        // Our 0 and 1 are OpenCV 4's MORPH_DILATE and MORPH_ERODE swapped.
        if (operation == MORPH_OP_DILATE)
            cv::dilate(image, result, element, anchor, params.Iterations, kBorder);
        else if (operation == MORPH_OP_ERODE)
            cv::erode(image, result, element, anchor, params.Iterations, kBorder);
        else
            cv::morphologyEx(image, result, operation, element, anchor, params.Iterations, kBorder);
        return result;
    });
}

BOOL SmoothFilter(CDIB* page, int type, const sFilterParameters& params)
{
    constexpr const char* kName = "Smooth filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "kernel width", params.KernelWidth, 1, INT_MAX);
        const int k = params.KernelWidth;
        cv::Mat result;
        if (type == SMOOTH_GAUSSIAN)
            cv::GaussianBlur(image, result, cv::Size(k, k), 0.0, 0.0, kBorder);
        else if (type == SMOOTH_MEDIAN)
            cv::medianBlur(image, result, k);
        else
            Refuse(kName, FormatString("smoothing type %d is unknown (2 Gaussian, 3 median).", type));
        return result;
    });
}

BOOL LaplaceFilter(CDIB* page, const sFilterParameters& params)
{
    constexpr const char* kName = "Laplace filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "kernel width", params.KernelWidth, 1, 31);
        cv::Mat laplacian;
        cv::Laplacian(image, laplacian, CV_16S, params.KernelWidth, 1.0, 0.0, kBorder);
        cv::Mat result;
        cv::convertScaleAbs(laplacian, result);
        return result;
    });
}

BOOL SobelFilter(CDIB* page, int xOrder, int yOrder, const sFilterParameters& params)
{
    constexpr const char* kName = "Sobel filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "aperture size", params.ApertureSize, 1, 31);
        return AbsoluteSobel(image, xOrder, yOrder, params.ApertureSize);
    });
}

BOOL SobelMaxFilter(CDIB* page, const sFilterParameters& params)
{
    constexpr const char* kName = "Sobel maximum filter";
    return FilterPage(kName, page, [&](const cv::Mat& image) {
        RequireOddWidth(kName, "aperture size", params.ApertureSize, 1, 31);
        cv::Mat result;
        cv::max(AbsoluteSobel(image, 1, 0, params.ApertureSize), AbsoluteSobel(image, 0, 1, params.ApertureSize), result);
        return result;
    });
}
