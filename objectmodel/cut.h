#pragma once
// tagCUT: one cut line recorded on a polygon. It covers the polygon indices
// nStart .. nStart + nCount - 1 (taken modulo the point count on a closed
// polygon), from end point ptA to end point ptB.

#include "platform/core/geometry.h"

struct tagCUT
{
    LONG nStart;
    POINT ptA;
    POINT ptB;
    LONG nCount;
    LONG nSpare;
    LONG bValid; // 1 = in use
};
static_assert(sizeof(tagCUT) == 8 * sizeof(LONG));
