#include "analysis/rectgeometry.h"

#include <cstdlib>

BOOL IsInRange(double x, double a, double b)
{
    if (a <= b)
        return a <= x && x <= b;
    return x > a || x < b;
}

int DistanceToRectBorder(int x, int y, RECT rect, int& side)
{
    const struct
    {
        int distance;
        int side;
    } candidates[] = {
        {std::abs(x - rect.left), 0},
        {std::abs(x - rect.right), 2},
        {std::abs(y - rect.top), 1},
        {std::abs(y - rect.bottom), 3},
    };
    int best = candidates[0].distance;
    side = candidates[0].side;
    for (const auto& candidate : candidates) {
        if (candidate.distance < best) {
            best = candidate.distance;
            side = candidate.side;
        }
    }
    return best;
}
