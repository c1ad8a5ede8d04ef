#pragma once
// CColorPositionArray: pixel runs of one row each, as 16-bit words, so that
// a long list of bright pixels stays small; Paint puts them back into an
// image in one colour.

#include "platform/core/arrays.h"

class Device;

#pragma pack(push, 1)
struct tagCOLOR_POS
{
    WORD xFirst;
    WORD xLast;
    WORD y;
};
#pragma pack(pop)
static_assert(sizeof(tagCOLOR_POS) == 6);

class CColorPositionArray : public CArray<tagCOLOR_POS, const tagCOLOR_POS&>
{
    DECLARE_DYNAMIC(CColorPositionArray)

public:
    CColorPositionArray() = default;
    CColorPositionArray(const CColorPositionArray&) = default;
    CColorPositionArray& operator=(const CColorPositionArray&) = default;
    ~CColorPositionArray() override = default;

    // Appends the pixel (x, y) as a run of one, unless the value's low byte
    // is 255 (saturated values are not positions of interest). Coordinates
    // outside 0..65535 are an invalid argument.
    void Add(COLORREF value, int x, int y);
    // Every pixel of every run set to the colour (pixels outside the image
    // are skipped by the image).
    void Paint(Device& image, COLORREF color) const;
};
