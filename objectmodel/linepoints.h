#pragma once
// CLinePoints: the pixels of a digital straight line between two integer
// points, one pixel per step along the longer axis. The other coordinate
// is carried in 16.16 fixed point from one half, so it is rounded to the
// nearest pixel (halves upwards); both end points are exact.

#include "platform/core/geometry.h"

#include <span>
#include <vector>

class CLinePoints
{
public:
    CLinePoints() = default;

    // Replaces the points by the line from (x1, y1) to (x2, y2), both ends
    // included: max(|dx|, |dy|) + 1 points. Returns 1.
    int Init(int x1, int y1, int x2, int y2);

    // Null while there are no points.
    const POINT* GetPoints() const { return m_Points.empty() ? nullptr : m_Points.data(); }
    int GetCount() const { return static_cast<int>(m_Points.size()); }
    // Raises CInvalidArgException outside 0 .. count - 1.
    const POINT& GetAt(int index) const;
    std::span<const POINT> Points() const { return m_Points; }

private:
    std::vector<POINT> m_Points;
};
