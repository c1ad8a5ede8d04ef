#pragma once
// CPageAccess: direct pixel access to an image page for the loops that visit
// pixels one at a time (tracing, filling, marking). It reads the row memory
// of the page's matrix and its palette: no virtual call and no bounds check
// per pixel, so callers test IsInside first. Reads and writes mean what the
// page's own GetPixel and SetPixel mean, and the "first byte" of a pixel is
// its palette index on an 8-bit page and its blue byte on a 24-bit page.

#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"

#include <opencv2/core/mat.hpp>

namespace kestrun {

class CPageAccess
{
public:
    // Raises CInvalidArgException for a page that is neither 8 nor 24 bits.
    explicit CPageAccess(CDIB& page) : m_page(page), m_mat(page.GetMat())
    {
        const int bits = page.GetBitCount();
        if (bits != 8 && bits != 24)
            AfxThrowInvalidArgException();
        m_bytesPerPixel = bits / 8;
        m_width = m_mat.cols;
        m_height = m_mat.rows;
        m_base = m_mat.data;
        m_step = m_mat.step[0];
        if (m_bytesPerPixel == 1)
            m_palette = page.GetPalette().data();
    }

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool IsPaletted() const { return m_bytesPerPixel == 1; }
    bool IsInside(int x, int y) const
    {
        return static_cast<unsigned>(x) < static_cast<unsigned>(m_width) &&
               static_cast<unsigned>(y) < static_cast<unsigned>(m_height);
    }

    BYTE* Pixel(int x, int y) const
    {
        return m_base + static_cast<size_t>(y) * m_step + static_cast<size_t>(x) * m_bytesPerPixel;
    }
    BYTE GetFirstByte(int x, int y) const { return *Pixel(x, y); }
    void SetFirstByte(int x, int y, BYTE value) const { *Pixel(x, y) = value; }

    // Entry of an 8-bit page's palette.
    COLORREF GetPaletteColor(BYTE index) const { return m_palette[index]; }
    COLORREF GetColor(int x, int y) const
    {
        const BYTE* p = Pixel(x, y);
        return m_bytesPerPixel == 1 ? m_palette[*p] : RGB(p[2], p[1], p[0]);
    }
    // The colour a pixel holds after SetColor (colour): on an 8-bit page
    // that of the nearest palette entry.
    COLORREF StoredColor(COLORREF colour) const
    {
        return m_bytesPerPixel == 1 ? m_palette[m_page.GetNearestIndex(colour)] : (colour & 0x00FFFFFF);
    }
    // An 8-bit page takes the nearest palette entry, as SetPixel does.
    void SetColor(int x, int y, COLORREF colour)
    {
        BYTE* p = Pixel(x, y);
        if (m_bytesPerPixel == 1) {
            if (colour != m_lastColour || !m_bLastValid) {
                m_lastIndex = m_page.GetNearestIndex(colour);
                m_lastColour = colour;
                m_bLastValid = true;
            }
            *p = m_lastIndex;
        } else {
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    }

private:
    CDIB& m_page;
    cv::Mat m_mat; // keeps the pixels alive while the access lives
    BYTE* m_base = nullptr;
    size_t m_step = 0;
    int m_bytesPerPixel = 0;
    int m_width = 0;
    int m_height = 0;
    const COLORREF* m_palette = nullptr;
    COLORREF m_lastColour = 0;
    BYTE m_lastIndex = 0;
    bool m_bLastValid = false;
};

} // namespace kestrun
