#pragma once
// Geometry of two rectangles seen from their centres.

#include "platform/core/geometry.h"

// The point where a ray from the rectangle's integer centre at the angle
// (radians, counter-clockwise on screen) leaves the rectangle.
CPoint RectBorderPoint(const RECT& rect, double angle);

// Gap between two rectangles along the line joining their centres: 0.0
// when they intersect, else the distance between the two border points.
double RectDistance(const RECT& r1, const RECT& r2);
