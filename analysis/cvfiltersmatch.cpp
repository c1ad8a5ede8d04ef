// The filters that compare pages or measure one: pattern matching, the
// difference threshold and the distance transform.

#include "analysis/cvfilters.h"

#include "analysis/cvfilterentry.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

using namespace kestrun::filters;

namespace {

// Patterns are compared in one plane: green on colour pages. Always a
// dense copy, never a window on the page's padded rows.
cv::Mat MatchPlane(const cv::Mat& image)
{
    if (image.channels() == 1)
        return image.clone();
    cv::Mat green;
    cv::extractChannel(image, green, 1);
    return green;
}

bool HasImage(const CDIB* page)
{
    return page != nullptr && page->IsValid();
}

bool SameGeometry(const CDIB& a, const CDIB& b)
{
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() && a.GetBpp() == b.GetBpp();
}

} // namespace

double MatchTemplate(CDIB* page, CDIB* templ, POINT& pos, int dx, int dy)
{
    return Guarded("Pattern matching", MATCH_NONE, [&]() -> double {
        if (!HasImage(page) || !HasImage(templ))
            return MATCH_NONE;
        const int patternWidth = templ->GetWidth();
        const int patternHeight = templ->GetHeight();
        // 64 bits: margins and positions come from the caller unchecked.
        const long long x0 = std::max(0LL, static_cast<long long>(pos.x) - dx);
        const long long y0 = std::max(0LL, static_cast<long long>(pos.y) - dy);
        const long long width = std::min(patternWidth + 2LL * dx, page->GetWidth() - x0);
        const long long height = std::min(patternHeight + 2LL * dy, page->GetHeight() - y0);
        // A window that cannot hold the template has no match: OpenCV would
        // search the wrong way round, or not at all.
        if (width < patternWidth || height < patternHeight)
            return MATCH_NONE;

        const cv::Rect window(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(width), static_cast<int>(height));
        cv::Mat scores;
        cv::matchTemplate(MatchPlane(page->GetMat()(window)), MatchPlane(templ->GetMat()), scores, cv::TM_SQDIFF_NORMED);
        double minimum = 0.0;
        cv::Point at;
        cv::minMaxLoc(scores, &minimum, nullptr, &at);
        pos = {window.x + at.x, window.y + at.y};
        return minimum;
    });
}

BOOL DifferenceThreshold(CDIB* pageA, CDIB* pageB, CDIB* output, int threshold)
{
    return Guarded("Difference threshold", FALSE, [&]() -> BOOL {
        CDIB* target = output != nullptr ? output : pageA;
        if (!HasImage(pageA) || !HasImage(pageB) || !HasImage(target))
            return FALSE;
        if (!SameGeometry(*pageA, *pageB) || !SameGeometry(*pageA, *target))
            return FALSE;
        cv::Mat difference;
        cv::absdiff(pageA->GetMat(), pageB->GetMat(), difference);
        cv::Mat result;
        cv::threshold(difference, result, threshold, 255.0, cv::THRESH_BINARY);
        target->AssignMat(result);
        return TRUE;
    });
}

POINT DistanceTransform(CDIB* page, double& maximum)
{
    // Callers add the mask's origin back; the 2 is theirs to expect.
    constexpr LONG kOffset = 2;
    maximum = 0.0;
    const POINT empty{-kOffset, -kOffset};
    if (!HasImage(page) || page->GetBpp() != 8)
        return empty;
    try {
        cv::Mat distances;
        cv::distanceTransform(page->GetMat().clone(), distances, cv::DIST_L2, cv::DIST_MASK_5);
        cv::Point at;
        cv::minMaxLoc(distances, nullptr, &maximum, nullptr, &at);
        return {at.x - kOffset, at.y - kOffset};
    } catch (const cv::Exception&) {
        maximum = 0.0;
        return empty;
    }
}
