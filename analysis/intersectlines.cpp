#include "analysis/intersectlines.h"

#include "objectmodel/ludecomp.h"

#include <cmath>

namespace {

// 2π as the stored results computed it, in single precision.
constexpr double kTwoPi = 6.2831854820251465;
// Angles arrive in single precision: directions closer than this (half a
// turn apart included) are parallel, whose "crossing" would only be the
// rounding error of the angles projected millions of pixels away.
constexpr double kParallelSine = 1e-6;

double IntoFullTurn(double angle)
{
    angle = std::fmod(angle, kTwoPi);
    if (angle < 0.0)
        angle += kTwoPi;
    return angle;
}

} // namespace

std::optional<CPoint> IntersectLines(int x1, int y1, double angle1, int x2, int y2, double angle2)
{
    if (!std::isfinite(angle1) || !std::isfinite(angle2))
        return std::nullopt;
    if (std::fabs(std::sin(angle1 - angle2)) < kParallelSine)
        return std::nullopt;
    const double m1 = -std::tan(IntoFullTurn(angle1));
    const double m2 = -std::tan(IntoFullTurn(angle2));

    CMatrixD a(2, 2);
    a(0, 0) = -m1;
    a(0, 1) = 1.0;
    a(1, 0) = -m2;
    a(1, 1) = 1.0;
    CVectorD b{y1 - m1 * x1, y2 - m2 * x2};
    // Parallel lines are an ordinary answer here, not a numerical accident.
    CLUDecomp lu;
    lu.SetQuiet(true);
    if (!lu.Solve(a, b))
        return std::nullopt;
    const auto x = kestrun::TruncateToInt(b[0]);
    const auto y = kestrun::TruncateToInt(b[1]);
    if (!x || !y)
        return std::nullopt;
    return CPoint(*x, *y);
}
