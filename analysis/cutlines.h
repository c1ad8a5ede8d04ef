#pragma once
// The pixel line of a cut, appended to the points of a cut line.

#include "objectmodel/rpointarray.h"

// The 8-connected points from (x1, y1) to (x2, y2), both ends included;
// the first is left out when the array already ends with it.
void AppendLinePoints(int x1, int y1, int x2, int y2, CRPointArray& points);
