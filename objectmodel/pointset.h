#pragma once
// sPointSet: a point list with two values that belong to it (for a tail:
// its length in pixels and its angle in radians).

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

struct sPointSet
{
    sPointSet() = default;
    sPointSet(const sPointSet& other) { *this = other; }
    sPointSet& operator=(const sPointSet& other)
    {
        if (this != &other) {
            m_fValue1 = other.m_fValue1;
            m_fValue2 = other.m_fValue2;
            m_Points.Copy(other.m_Points);
        }
        return *this;
    }

    CArray<POINT, POINT> m_Points;
    float m_fValue1 = 0.0f;
    float m_fValue2 = 0.0f;
};
