#pragma once
// The two ways of walking an area of interest that its statistics, fills
// and masks share: between the row borders (left to right border of each
// row), and run by run (the inside runs of each row, which skip the hole
// of a ring).

#include "analysis/aoi.h"
#include "outside/pixmere/device.h"

namespace kestrun {

inline bool IsInImage(const Device& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.GetWidth() && y < image.GetHeight();
}

// visit(x, y) for every pixel from GetRowLeft to GetRowRight of each row.
template <class Visit>
void ForEachBorderPixel(const CAOI& aoi, Visit&& visit)
{
    const int bottom = aoi.GetTop() + aoi.GetHeight();
    for (int y = aoi.GetTop(); y < bottom; ++y) {
        const int right = aoi.GetRowRight(y);
        for (int x = aoi.GetRowLeft(y); x <= right; ++x)
            visit(x, y);
    }
}

// visit(x, y) for every pixel of every run of row y.
template <class Visit>
void ForEachRunPixelInRow(const CAOI& aoi, int y, Visit&& visit)
{
    int start = 0;
    int end = 0;
    for (int k = 0; aoi.GetRunStart(k, y, start) && aoi.GetRunEnd(k, y, end); ++k)
        for (int x = start; x <= end; ++x)
            visit(x, y);
}

template <class Visit>
void ForEachRunPixel(const CAOI& aoi, Visit&& visit)
{
    const int bottom = aoi.GetTop() + aoi.GetHeight();
    for (int y = aoi.GetTop(); y < bottom; ++y)
        ForEachRunPixelInRow(aoi, y, visit);
}

} // namespace kestrun
