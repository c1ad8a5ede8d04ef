#pragma once
// Small geometric tests of the engine's measures and of the width
// measurement of the image documents.

#include "platform/core/geometry.h"

// a <= x <= b; for b < a, a range that wraps past its end: x > a or x < b.
BOOL IsInRange(double x, double a, double b);

// The distance of the point to the nearest side of the rectangle, compared
// as |x - left| (side 0), |x - right| (2), |y - top| (1), |y - bottom| (3)
// in this order, a later side winning only when strictly nearer; side
// receives the winner.
int DistanceToRectBorder(int x, int y, RECT rect, int& side);
