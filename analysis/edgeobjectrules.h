#pragma once
// The decisions of the edge-object measurement that depend on counts and
// distances alone, apart from the images they come from.

#include "analysis/scanrayparams.h"

#include <cmath>

namespace edgeobject {

// Rays of the edge object's second pass.
inline constexpr int kRays = 32;

// Fewer than 12 of the 16 first-pass rays hit the border: the second pass
// looks for weaker edges.
inline int SecondPassEdgeThreshold(int hits)
{
    return hits < 12 ? 5 : 10;
}

// The rays move to the mean border point when it lies less than 100
// pixels from the area's centre.
inline POINT RayCentre(POINT mean, POINT centre)
{
    const double d = std::hypot(static_cast<double>(mean.x - centre.x), static_cast<double>(mean.y - centre.y));
    return d < 100.0 ? mean : centre;
}

// Pieces of border of more than 10 points enter the record.
inline bool KeepsPiece(int points)
{
    return points > 10;
}

// The ray after ray i whose farthest hit is set, from i + 1 on; the ray
// count stands for ray 0 (so the last ray ends on the first). The search
// gives up past the ray count: end is unset then.
inline int FindEndRay(const ScanRayParams& rays, int i, sEdgePos& end)
{
    int j = i + 1;
    end = rays.GetRankedHit(j, 0);
    while ((end.m_nX == 0 && end.m_nY == 0) && j <= kRays) {
        ++j;
        end = rays.GetRankedHit(j, 0);
    }
    // The fetch past the ray count reads the last ray again: not a hit found.
    if (j > kRays)
        end = sEdgePos{};
    return j;
}

} // namespace edgeobject
