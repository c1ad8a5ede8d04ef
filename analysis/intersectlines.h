#pragma once
// The crossing point of two lines, each given by a point and a direction
// angle in radians (measured with y upwards, as the slopes are -tan(angle)
// in image coordinates).

#include "platform/core/geometry.h"

#include <optional>

// Truncated to pixels; nothing for parallel lines (also directions half a
// turn apart, within single-precision rounding), for angles that are not
// finite and for a crossing outside the int range.
std::optional<CPoint> IntersectLines(int x1, int y1, double angle1, int x2, int y2, double angle2);
