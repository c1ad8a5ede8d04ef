#pragma once
// The clipboard: text, and images as plain pixel blocks (no image library
// below the windows). Call from the main thread, with the application
// running; without one every call answers FALSE or nothing.

#include "platform/core/cstring.h"

#include <optional>
#include <span>
#include <vector>

// An image taken from the clipboard. Rows run top down, stride bytes apart
// (a multiple of 4); 24 bits per pixel are blue, green, red; 8 bits index
// the palette.
struct CClipboardImage
{
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    int stride = 0;
    std::vector<BYTE> bits;
    std::vector<COLORREF> palette;
};

namespace kestrun {

BOOL SetClipboardText(const CString& text);
// Empty when the clipboard holds no text.
CString GetClipboardText();
BOOL ClipboardHasText();

// Puts a copy of the pixels on the clipboard: 24 bits (blue, green, red),
// 32 bits (blue, green, red, unused) or 8 bits with a palette of 1 to 256
// colours (grey levels without one). Throws CInvalidArgException for a block
// that does not add up.
BOOL SetClipboardImage(int width, int height, const void* bits, int stride, int bitsPerPixel,
                       std::span<const COLORREF> palette = {});
// The clipboard's image: 8 bits for a grey or palette image, 24 bits for
// any other; nothing when it holds none.
std::optional<CClipboardImage> GetClipboardImage();
BOOL ClipboardHasImage();

BOOL EmptyClipboard();

} // namespace kestrun
