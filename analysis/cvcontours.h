#pragma once
// The filter functions over point and value lists: convexity defects, Hu
// moments with the orientation, and the Fourier smoothing of a series.
// The minimum-area rectangle and the convex hull of the same family live
// with the polygons (objectmodel/cvgeometry.h) and come in with this
// header. The engine calls these per object: they never show a message;
// a refusal of OpenCV is their answer FALSE with the output unchanged.

#include "objectmodel/cvgeometry.h"
#include "platform/core/arrays.h"

struct sConvexityDefect
{
    int m_nStartX = 0;
    int m_nStartY = 0;
    int m_nEndX = 0;
    int m_nEndY = 0;
    int m_nDeepestX = 0;
    int m_nDeepestY = 0;
    float m_fDepth = 0.0F; // distance of the deepest point from the hull edge, pixels
};

// One defect per hull edge that has contour points inside it, appended in
// contour order. Contours that touch themselves (one pixel thin parts)
// are handled too.
BOOL ConvexityDefects(const CArray<POINT, const POINT&>& contour, CArray<sConvexityDefect, const sConvexityDefect&>& defects);

// Appends exactly eight values: the seven Hu invariants of the contour
// polygon, then its orientation in radians (single precision): the
// principal axis, 0.5 * atan2(2 mu11, mu20 - mu02) in (-pi/2, pi/2]: 0 for
// a wide and pi/2 for a tall axis-parallel shape, and 0 when the second
// moments have no axis (a square, a circle, an empty contour).
void HuMoments(const CArray<POINT, const POINT&>& contour, CArray<double, double>& values);

// Smooths the series in place: zero-padded to OpenCV's next fast size
// N >= n, transformed, only coefficient 0 and the kept - 1 highest ones
// (N - kept + 1 .. N - 1) left, transformed back; the real parts replace
// the values. FALSE, and the values unchanged, for kept < 1.
BOOL FourierSpectrum(CArray<double, double>& values, int kept);
