#pragma once
// CLineObj: tests whether a straight line of pixels runs inside an object.

#include "analysis/segobj.h"
#include "platform/core/geometry.h"

class CLineObj : public CSegObj
{
    DECLARE_DYNAMIC(CLineObj)

public:
    // Takes over the page, area and threshold of another segmentation object.
    explicit CLineObj(const CSegObj& source);
    ~CLineObj() override = default;

    // 1 when every pixel of the digital line from p1 to p2 lies inside the
    // area of interest and is object colour or mark colour; 0 at the first
    // pixel that is not.
    int IsLineInside(POINT p1, POINT p2) const;
};
