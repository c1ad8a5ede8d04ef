#include "analysis/cvcontours.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

static_assert(sizeof(POINT) == 2 * sizeof(int), "POINT lists are handed to OpenCV as CV_32SC2");

// A 1 x n header over the list's own points.
cv::Mat PointMatrix(const CArray<POINT, const POINT&>& points)
{
    if (points.IsEmpty())
        return {};
    return cv::Mat(1, static_cast<int>(points.GetSize()), CV_32SC2, const_cast<POINT*>(points.GetData()));
}

float DepthBelowEdge(POINT start, POINT end, POINT deepest)
{
    const double ex = end.x - start.x;
    const double ey = end.y - start.y;
    const double length = std::hypot(ex, ey);
    if (length == 0.0)
        return 0.0F;
    return static_cast<float>(std::abs(ex * (deepest.y - start.y) - ey * (deepest.x - start.x)) / length);
}

float Orientation(const cv::Moments& m)
{
    // The two-argument arc tangent sees the quadrant, so equal second
    // moments (a diagonal ellipse, an L) still give their axis. A signed
    // zero mu11 would put a tall shape at -pi/2: the range is (-pi/2, pi/2].
    const double mu11 = m.mu11 == 0.0 ? 0.0 : m.mu11;
    return static_cast<float>(0.5 * std::atan2(2.0 * mu11, m.mu20 - m.mu02));
}

} // namespace

BOOL ConvexityDefects(const CArray<POINT, const POINT&>& contour, CArray<sConvexityDefect, const sConvexityDefect&>& defects)
{
    try {
        const cv::Mat points = PointMatrix(contour);
        if (points.empty())
            return TRUE;
        std::vector<int> hull;
        cv::convexHull(points, hull, /*clockwise=*/true, /*returnPoints=*/false);
        if (hull.size() < 3)
            return TRUE;
        // OpenCV walks the contour from hull point to hull point and
        // refuses hull indices out of contour order, which a contour that
        // touches itself gives. In contour order the same hull edges cover
        // the same stretches of contour.
        std::sort(hull.begin(), hull.end());
        std::vector<cv::Vec4i> found;
        cv::convexityDefects(points, hull, found);
        for (const cv::Vec4i& f : found) {
            const POINT start = contour[f[0]];
            const POINT end = contour[f[1]];
            const POINT deepest = contour[f[2]];
            // OpenCV 4 rounds the depth to 1/256 pixel; it is measured again.
            defects.Add({start.x, start.y, end.x, end.y, deepest.x, deepest.y, DepthBelowEdge(start, end, deepest)});
        }
        return TRUE;
    } catch (const cv::Exception&) {
        return FALSE;
    }
}

void HuMoments(const CArray<POINT, const POINT&>& contour, CArray<double, double>& values)
{
    cv::Moments moments; // all 0: the answer for an empty contour
    try {
        const cv::Mat points = PointMatrix(contour);
        if (!points.empty())
            moments = cv::moments(points, false);
    } catch (const cv::Exception&) {
        moments = cv::Moments();
    }
    double hu[7];
    cv::HuMoments(moments, hu);
    for (double h : hu)
        values.Add(h);
    values.Add(static_cast<double>(Orientation(moments)));
}

BOOL FourierSpectrum(CArray<double, double>& values, int kept)
{
    if (kept < 1)
        return FALSE;
    const int n = static_cast<int>(values.GetSize());
    if (n == 0)
        return TRUE;
    try {
        // At least n: every value needs its slot (the size for n - 1 can be
        // smaller, 50 for 51).
        const int size = cv::getOptimalDFTSize(n);
        if (size < n)
            return FALSE;
        cv::Mat series(1, size, CV_64FC2, cv::Scalar::all(0.0));
        for (int i = 0; i < n; ++i)
            series.at<cv::Vec2d>(0, i)[0] = values[i];
        cv::Mat spectrum;
        cv::dft(series, spectrum);
        for (int i = 1; i <= size - kept; ++i)
            spectrum.at<cv::Vec2d>(0, i) = cv::Vec2d(0.0, 0.0);
        cv::Mat smooth;
        cv::dft(spectrum, smooth, cv::DFT_INVERSE | cv::DFT_SCALE);
        for (int i = 0; i < n; ++i)
            values[i] = smooth.at<cv::Vec2d>(0, i)[0];
        return TRUE;
    } catch (const cv::Exception&) {
        return FALSE;
    }
}
