#pragma once
// CImageAxis: a straight line through the image, given by a point and a
// slope (image y grows downwards), onto which points are projected.

#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <limits>

class CImageAxis : public CObject
{
    DECLARE_SERIAL(CImageAxis)

public:
    // The slope that marks a vertical line.
    static constexpr double verticalSlope = std::numeric_limits<double>::max();

    CImageAxis() = default;
    CImageAxis(int x, int y, double slope) : m_nX(x), m_nY(y), m_dSlope(slope) {}

    // The foot of the perpendicular from (x, y), truncated to pixels.
    CPoint ProjectPoint(int x, int y) const;

    int m_nX = 0;
    int m_nY = 0;
    double m_dSlope = 0.0;
    int m_nReserved[5] = {};
};
