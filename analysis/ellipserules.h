#pragma once
// The limits of the ellipse objects of "Model" 2: how long a segment must
// be to start an ellipse and how much object colour an ellipse or circle
// must hold to be kept.

#include "platform/core/types.h"

namespace kestrun {

// Contour points of the shortest segment that starts an ellipse.
inline constexpr int kShortestEllipseSegment = 10;

inline constexpr bool StartsEllipse(int segmentLength)
{
    return segmentLength >= kShortestEllipseSegment;
}
// Share of object colour inside a segment ellipse, at least one half.
inline constexpr bool KeepsSegmentEllipse(double share)
{
    return share >= 0.5;
}
// More than half of a circle's pixels are object colour; a circle without
// pixels is none.
inline constexpr bool IsCircleOnObject(DWORD passing, DWORD total)
{
    return total > 0 && static_cast<double>(passing) / total > 0.5;
}
// Share of object colour inside a circle ellipse, at least 0.3.
inline constexpr bool KeepsCircleEllipse(double share)
{
    return share >= 0.3;
}

} // namespace kestrun
