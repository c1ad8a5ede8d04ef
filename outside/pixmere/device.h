#pragma once
// Device: the pixel interface of an image page (and of the frame grabber's
// board). Pixel coordinates run x to the right and y downwards; colours are
// colour words 0x00BBGGRR. A width or height of 0 means no image.

#include "platform/core/gdi.h"
#include "platform/core/geometry.h"
#include "platform/core/types.h"

class CDIB;

class Device
{
public:
    virtual ~Device() = default;

    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Bits per pixel: 8 or 24 for pages, 0 without an image.
    virtual int GetBitCount() const = 0;
    // Bytes per pixel.
    virtual int GetBytes() const { return GetBitCount() / 8; }
    // Number of pixels.
    virtual DWORD GetSize() const { return static_cast<DWORD>(GetWidth()) * static_cast<DWORD>(GetHeight()); }
    // The page behind this interface; null when there is none.
    virtual CDIB* GetDIB() = 0;
    // Palette entry of an 8-bit image; 0 where there is no such entry.
    virtual COLORREF GetPalEntry(int index) const = 0;
    // Outside the image GetPixel answers 0 and SetPixel does nothing.
    virtual COLORREF GetPixel(int x, int y) const = 0;
    virtual void SetPixel(int x, int y, COLORREF colour) = 0;

    // Lines drawn into the pixels. LineTo draws from the current position
    // up to, not including, the point (so a closed path touches every pixel
    // once) and moves the position there. The third argument is the raster
    // operation (R2_COPYPEN, R2_NOT, R2_XORPEN, ...: each pixel's colour
    // word combined bit by bit with the colour), the fourth the pen width
    // in pixels (a square pen); every pixel a line covers is combined once.
    // Pixels outside the image are skipped.
    CPoint MoveTo(POINT point);
    void LineTo(POINT point, COLORREF colour, int rop = R2_COPYPEN, int width = 1);
    CPoint GetCurrentPosition() const { return m_position; }

protected:
    Device() = default;
    Device(const Device&) = default;
    Device& operator=(const Device&) = default;

private:
    CPoint m_position;
};

namespace kestrun {

// A colour word combined with a pixel by a raster operation (R2_BLACK ..
// R2_WHITE); an unknown operation leaves the pixel.
COLORREF ApplyRop2(int rop, COLORREF pen, COLORREF pixel);

} // namespace kestrun
