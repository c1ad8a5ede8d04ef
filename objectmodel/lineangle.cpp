#include "objectmodel/lineangle.h"

#include <cmath>
#include <numbers>

double GetLineAngle(int x0, int y0, int x1, int y1)
{
    constexpr double pi = std::numbers::pi;
    const double dx = static_cast<double>(x1) - x0;
    const double dy = static_cast<double>(y1) - y0;
    if (dx == 0.0)
        return dy > 0.0 ? 1.5 * pi : 0.5 * pi;
    const double a = std::atan(dy / dx);
    if (dx > 0.0)
        return dy > 0.0 ? 2.0 * pi - a : -a;
    return pi - a;
}
