#pragma once
// Geometry of point lists through OpenCV: the minimum-area rectangle and
// the convex hull. The polygon classes and the filter functions share them.

#include "objectmodel/minarearect.h"
#include "platform/core/arrays.h"

#include <opencv2/core/types.hpp>

// The smallest rotated rectangle around the points. FALSE, and the record
// untouched, for an empty list and for a list whose x coordinates or whose
// y coordinates are all equal.
BOOL MinAreaRect(const CArray<POINT, const POINT&>& points, sMinAreaRect& rect);

// Fills the record from an OpenCV 4 box: centre and corners truncated,
// length the longer and width the shorter side, and the angle turned into
// the stored convention, [-90, 0) degrees for the side the box calls its
// width (OpenCV 4 reports (0, 90] for the other side).
void BoxToMinAreaRect(sMinAreaRect& rect, const cv::RotatedRect& box);

// The convex hull of the points, counter-clockwise on screen, in hull
// order; hull is resized to the hull's size.
void ConvexHull(const CArray<POINT, const POINT&>& points, CArray<POINT, const POINT&>& hull);
