#pragma once
// The runs of an area of interest as (y, start, end), row by row, for
// comparing two areas.

#include "analysis/aoi.h"

#include <array>
#include <vector>

inline std::vector<std::array<int, 3>> Runs(const CAOI& aoi)
{
    std::vector<std::array<int, 3>> runs;
    for (int y = aoi.GetTop(); y < aoi.GetTop() + aoi.GetHeight(); ++y) {
        int start = 0;
        int end = 0;
        for (int k = 0; aoi.GetRunStart(k, y, start) && aoi.GetRunEnd(k, y, end); ++k)
            runs.push_back({y, start, end});
    }
    return runs;
}
