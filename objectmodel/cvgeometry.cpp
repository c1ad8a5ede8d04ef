#include "objectmodel/cvgeometry.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<cv::Point> ToCv(const CArray<POINT, const POINT&>& points)
{
    std::vector<cv::Point> out;
    out.reserve(static_cast<size_t>(points.GetSize()));
    for (const POINT& p : points)
        out.emplace_back(p.x, p.y);
    return out;
}

// All x equal or all y equal: no rectangle with an area.
bool IsDegenerate(const CArray<POINT, const POINT&>& points)
{
    bool sameX = true;
    bool sameY = true;
    for (INT_PTR i = 1; i < points.GetSize(); ++i) {
        sameX = sameX && points[i].x == points[i - 1].x;
        sameY = sameY && points[i].y == points[i - 1].y;
    }
    return sameX || sameY;
}

} // namespace

BOOL MinAreaRect(const CArray<POINT, const POINT&>& points, sMinAreaRect& rect)
{
    if (points.IsEmpty() || IsDegenerate(points))
        return FALSE;
    BoxToMinAreaRect(rect, cv::minAreaRect(ToCv(points)));
    return TRUE;
}

void BoxToMinAreaRect(sMinAreaRect& rect, const cv::RotatedRect& box)
{
    // OpenCV 4 reports the angle in (0, 90]. The same rectangle seen from
    // its other side is 90 degrees less; 90 itself is the upright box that
    // the older convention calls -90 with the sides as they are.
    double angle = box.angle;
    if (angle > 0.0 && angle < 90.0)
        angle -= 90.0;
    else if (angle >= 90.0)
        angle -= 180.0;

    rect.m_nCenterX = static_cast<int>(box.center.x);
    rect.m_nCenterY = static_cast<int>(box.center.y);
    rect.m_dLength = std::max(box.size.width, box.size.height);
    rect.m_dWidth = std::min(box.size.width, box.size.height);
    rect.m_dAngle = angle;
    cv::Point2f corners[4];
    box.points(corners);
    for (int i = 0; i < 4; ++i)
        rect.m_Corners[i] = {static_cast<LONG>(corners[i].x), static_cast<LONG>(corners[i].y)};
}

void ConvexHull(const CArray<POINT, const POINT&>& points, CArray<POINT, const POINT&>& hull)
{
    if (points.IsEmpty()) {
        hull.SetSize(0);
        return;
    }
    const std::vector<cv::Point> input = ToCv(points);
    std::vector<int> indices;
    // OpenCV's clockwise assumes y pointing up: on screen it runs counter-clockwise.
    cv::convexHull(input, indices, /*clockwise=*/true, /*returnPoints=*/false);
    hull.SetSize(static_cast<INT_PTR>(indices.size()));
    for (size_t i = 0; i < indices.size(); ++i)
        hull[static_cast<INT_PTR>(i)] = points[indices[i]];
}
