#pragma once
// Image helpers that work on an area of interest: copying a line or the
// area's rectangle, filling the area into another image, the mask of a
// polygon with its holes, the largest circle inside an object, and the
// collection of bright pixels.

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

class CAOI;
class CAOI4;
class CAOIEllipse;
class CColorPositionArray;
class CDIB;
class CRPolygon;
class CSegThres;
class Device;

// A one-row page of the area's column at point.x (height pixels, top
// down), or with horizontal of its row at point.y (width pixels). False
// when the page cannot be made.
bool CopyLineToDIB(const CAOI& aoi, const Device& image, CDIB* out, CPoint point, bool horizontal);
// The area's rectangle of the page into out; false when it is not inside
// the page.
BOOL CopyImageArea(const CAOI& aoi, CDIB* out, const CDIB& image);

// Every pixel of the area, run by run, set in target at (x - left + dx,
// y - top + dy).
void FillInto(const CAOI& aoi, Device& target, int dx, int dy, COLORREF color);
// The same without the border: the first and last row and the ends of
// every run are left.
void FillInteriorInto(const CAOI& aoi, Device& target, int dx, int dy, COLORREF color);

// The size of the mask of a box with a margin of border pixels: one pixel
// wider than the box, rounded up to whole 32-bit words.
CSize MaskSize(const CRect& box, int border);

// An 8-bit mask of the polygon (or of the area as it is) with a margin of
// border pixels: the inside 255, the interior of every hole that starts
// inside 0, the rest 0. The width is rounded up to a multiple of 4. With a
// polygon the area takes it over; false when it cannot.
bool CreateMask(CAOI4& aoi, CDIB* mask, const CRPolygon* polygon, const CArray<CRPolygon*, CRPolygon*>* holes,
                int border);

// Grows a circle from centre while its border pixels lie inside the image
// rectangle and pass the threshold, moving the centre by 2 pixels whenever
// that lets it grow further. The circle ends set to the last tried
// position; centre to the last position whose circle fitted.
void GrowLargestCircle(CAOIEllipse& circle, CPoint& centre, const Device& image, const CSegThres& threshold,
                       const CRect& imageRect);

// Every step-th pixel of every step-th row, run by run, whose green value
// exceeds the limit. A step below 1 is an invalid argument.
void CollectBrightPositions(const CAOI& aoi, CColorPositionArray& positions, const Device& image, int greenLimit,
                            int step);
