#pragma once
// Point-list fixtures shared by the polygon tests.

#include "objectmodel/rpointarray.h"

#include <initializer_list>
#include <vector>

inline CRPointArray MakeList(std::initializer_list<POINT> points)
{
    CRPointArray list;
    for (const POINT& p : points)
        list.Add(p);
    return list;
}

inline std::vector<CPoint> PointsOf(const CRPointArray& list)
{
    return {list.begin(), list.end()};
}
