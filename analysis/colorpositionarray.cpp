#include "analysis/colorpositionarray.h"

#include "outside/pixmere/device.h"
#include "platform/core/exceptions.h"

IMPLEMENT_DYNAMIC(CColorPositionArray, CObject)

namespace {

WORD ToWord(int value)
{
    if (value < 0 || value > 0xFFFF)
        AfxThrowInvalidArgException();
    return static_cast<WORD>(value);
}

} // namespace

void CColorPositionArray::Add(COLORREF value, int x, int y)
{
    if ((value & 0xFF) == 0xFF)
        return;
    const WORD wx = ToWord(x);
    const tagCOLOR_POS record{wx, wx, ToWord(y)};
    CArray::Add(record);
}

void CColorPositionArray::Paint(Device& image, COLORREF color) const
{
    for (const tagCOLOR_POS& run : *this)
        for (int x = run.xFirst; x <= run.xLast; ++x)
            image.SetPixel(x, run.y, color);
}
