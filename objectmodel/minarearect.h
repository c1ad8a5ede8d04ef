#pragma once
// sMinAreaRect: the smallest rotated rectangle around a point list. The
// angle follows the convention stored results were made with: degrees in
// [-90, 0), the angle of the first box side against the x axis; -10.0
// marks a record that was never filled.

#include "platform/core/geometry.h"

class CDC;

struct sMinAreaRect
{
    static constexpr double kAngleNotSet = -10.0;

    // Connects the four corners; a record whose centre x is 0 (never
    // filled) draws nothing.
    void Draw(CDC* pDC) const;

    int m_nCenterX = 0; // truncated
    int m_nCenterY = 0;
    double m_dLength = 0.0; // the longer side
    double m_dWidth = 0.0;  // the shorter side
    double m_dAngle = kAngleNotSet;
    POINT m_Corners[4] = {};
};
