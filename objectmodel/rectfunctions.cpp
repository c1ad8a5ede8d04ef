#include "objectmodel/rectfunctions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kFullTurn = 6.2831854820251465; // 2*pi as a float

} // namespace

CPoint RectBorderPoint(const RECT& rect, double angle)
{
    while (angle < 0.0)
        angle += kFullTurn;
    while (angle >= kFullTurn)
        angle -= kFullTurn;

    const int w = (rect.right - rect.left) / 2;
    const int h = (rect.bottom - rect.top) / 2;
    const CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    if (angle == 0.0)
        return {centre.x + w, centre.y};
    if (std::fabs(angle - kPi) < 0.001)
        return {centre.x - w, centre.y};

    const double t = std::fabs(std::tan(angle));
    double dx = std::min((rect.bottom - rect.top) * 0.5 / t, static_cast<double>(w));
    double dy = std::min(t * 0.5 * (rect.right - rect.left), static_cast<double>(h));
    if (angle < kPi)
        dy = -dy; // y points down
    if (angle > kPi / 2 && angle < 3 * kPi / 2)
        dx = -dx;
    return {centre.x + static_cast<int>(dx), centre.y + static_cast<int>(dy)};
}

double RectDistance(const RECT& r1, const RECT& r2)
{
    CRect overlap;
    if (overlap.IntersectRect(r1, r2))
        return 0.0;

    const CPoint c1 = CRect(r1).CenterPoint();
    const CPoint c2 = CRect(r2).CenterPoint();
    double a1;
    double a2;
    if (c1.x == c2.x) {
        // Straight up or straight down, towards the other rectangle.
        a1 = c2.y <= c1.y ? kPi / 2 : 3 * kPi / 2;
        a2 = a1 + kPi;
    } else {
        a1 = -std::atan(static_cast<double>(c2.y - c1.y) / (c2.x - c1.x));
        a2 = a1 + kPi;
        if (c1.x > c2.x)
            std::swap(a1, a2);
    }
    const CPoint p1 = RectBorderPoint(r1, a1);
    const CPoint p2 = RectBorderPoint(r2, a2);
    return std::hypot(static_cast<double>(p2.x - p1.x), static_cast<double>(p2.y - p1.y));
}
