#pragma once
// CPointTarget: what a chain walk hands its points to. The segmented-object
// code marks the pixels of an outline in an image with it.

#include "platform/core/types.h"

class CPointTarget
{
public:
    virtual ~CPointTarget() = default;
    // One point of the walk with the caller's value (the pixel value when
    // marking).
    virtual void SetPoint(int x, int y, DWORD value) = 0;

protected:
    CPointTarget() = default;
    CPointTarget(const CPointTarget&) = default;
    CPointTarget& operator=(const CPointTarget&) = default;
};
