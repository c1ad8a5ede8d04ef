#pragma once
// Packed device-independent bitmaps: an information header, the palette and
// the pixel rows (bottom-up when the height is positive, each padded to 4
// bytes) in one block. This is how an acquisition source hands over an
// image. The bytes come from outside the program: every size is checked
// against the block before a pixel is read.

#include "outside/pixmere/cximage.h"

#include "platform/core/cstring.h"
#include "platform/core/globalmem.h"

#include <span>

struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

namespace kestrun {

// The page as a packed bitmap in a new movable block (8-bit pages with
// their palette, 24-bit pages as they are); null for an empty page or
// when memory runs out.
HGLOBAL PackPage(const CxImage& page);

// The bitmap in the bytes as an 8-bit or 24-bit page: 8-bit bitmaps keep
// their palette, 1-bit ones become 8-bit pages of their two colours, 32-bit
// ones drop the fourth byte. Uncompressed bitmaps only. On failure the
// page stays as it was and error says why.
bool UnpackPage(std::span<const BYTE> bytes, CxImage& page, CString& error);

} // namespace kestrun
