#pragma once
// CDIB: an image page, the storage of CxImage behind the pixel interface
// Device. Pages are 8-bit (palette) or 24-bit (blue-green-red); pixel
// coordinates count y from the top. GetLPDIBBITSLINE keeps the numbering
// of bottom-up bitmaps (row 0 is the bottom row) for the callers written
// against it.

#include "outside/pixmere/cximage.h"
#include "outside/pixmere/device.h"

#include "platform/core/cstring.h"
#include "platform/core/geometry.h"
#include "platform/core/globalmem.h"

class CDC;
class CPalette;
class CStatusBar;
class CWnd;

class CDIB : public CxImage, public Device
{
public:
    CDIB() = default;
    CDIB(const CDIB&) = default;
    CDIB& operator=(const CDIB&) = default;
    CDIB(CDIB&&) noexcept = default;
    CDIB& operator=(CDIB&&) noexcept = default;
    ~CDIB() override;

    // A blank page (every pixel 0, grey palette) of 1 to 65535 pixels each
    // way and 8 or 24 bits; FALSE, and the page unchanged, otherwise.
    BOOL InitDIB(int width, int height, int bitsPerPixel);

    // Reads the file by its extension: bmp, jpg, jp2 (where this system
    // has the codec), tif, png. An unreadable, unsupported, damaged or
    // truncated file gives FALSE with the file's name and the reason in
    // GetLastError and leaves the page as it was. The status bar is not used.
    BOOL Read(const CString& path, CStatusBar* status = nullptr);
    // The same for a file that must be JPEG, whatever its name.
    BOOL JPEG2DIB(const CString& path, CStatusBar* status = nullptr);
    // Writes the page through a temporary file renamed over the path:
    // format 0 by the extension (bmp, tif, jpg, jp2, png), else the format
    // code (5: TIFF). FALSE with GetLastError on failure; an existing file
    // then stays as it was.
    virtual BOOL Write(const CString& path, CWnd* status = nullptr, int reserved = 0, int format = FormatUnknown);
    // The packed bitmap in the block (an acquisition source's transfer);
    // the block stays the caller's. FALSE with GetLastError, and the page
    // unchanged, for a handle that is no block or a bitmap we cannot read.
    BOOL CreateFromHANDLE(HGLOBAL handle);
    // The file the page was last read from; empty when none.
    const CString& GetPathName() const { return m_pathName; }

    // The rectangle (right and bottom exclusive) into target, which takes
    // its size, depth and palette. FALSE when it is not inside the page.
    BOOL CopyDIB(const CRect& rect, CDIB& target) const;
    // Pastes the source with its top-left corner at (x, y), clipped to
    // this page. FALSE when the depths differ or nothing overlaps.
    BOOL InsertDIB(int x, int y, const CDIB& source);
    // Every pixel set to the colour word (the nearest palette entry on an
    // 8-bit page). FALSE for an empty page.
    BOOL SetAllGray(COLORREF colour);
    // Entries 0 .. count-1 of an 8-bit page's palette: red from the first
    // table, green from the second, blue from the third. A count outside
    // 1..256 or a missing table raises CInvalidArgException; a 24-bit page
    // has no palette and ignores it.
    void SetPalette(int count, const BYTE* red, const BYTE* green, const BYTE* blue);

    // Draws the page 1:1 at the logical origin, or stretched into the
    // rectangle. Display palettes do not exist on the devices we draw on:
    // the palette argument is accepted and not used. FALSE without a
    // device context or an image.
    BOOL PaintDIB(CDC* dc, CPalette* palette = nullptr) const;
    BOOL StretchDIB(CDC* dc, const CRect& rect, CPalette* palette = nullptr) const;

    // Row `row` counted from the bottom (row 0 is y = height - 1). A row
    // outside the page raises CInvalidArgException.
    BYTE* GetLPDIBBITSLINE(int row);
    const BYTE* GetLPDIBBITSLINE(int row) const;

    // Device
    int GetWidth() const override { return CxImage::GetWidth(); }
    int GetHeight() const override { return CxImage::GetHeight(); }
    int GetBitCount() const override { return GetBpp(); }
    CDIB* GetDIB() override { return this; }
    COLORREF GetPalEntry(int index) const override;
    COLORREF GetPixel(int x, int y) const override { return GetPixelColor(x, y); }
    void SetPixel(int x, int y, COLORREF colour) override { SetPixelColor(x, y, colour); }

private:
    BOOL ReadAs(const CString& path, int format);

    CString m_pathName;
};
