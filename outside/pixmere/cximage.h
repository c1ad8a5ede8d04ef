#pragma once
// CxImage: the storage part of an image page. An 8-bit page holds palette
// indices and a 256-entry palette, a 24-bit page blue-green-red bytes. The
// pixels live in one cv::Mat, rows top down, each row padded to a multiple
// of 4 bytes (GetEffWidth), so OpenCV sees the image the right way up and
// nobody computes byte offsets: GetRow (y) and GetMat give typed access.
//
// Operations that can fail answer false, leave the page as it was and keep
// a text for the user in GetLastError (the text of the last failure).

#include "platform/core/cstring.h"
#include "platform/core/geometry.h"
#include "platform/core/types.h"

#include <opencv2/core/mat.hpp>

#include <array>
#include <span>
#include <vector>

class CxImage
{
public:
    // File format codes; 0 lets the file name or the content decide.
    enum : int
    {
        FormatUnknown = 0,
        FormatBmp = 1,
        FormatJpg = 3,
        FormatPng = 4,
        FormatTif = 5,
        FormatJp2 = 6,
    };

    CxImage();
    CxImage(const CxImage& other);
    CxImage& operator=(const CxImage& other);
    CxImage(CxImage&& other) noexcept;
    CxImage& operator=(CxImage&& other) noexcept;
    virtual ~CxImage();

    // A page of the size (1 to 65535 each way) and depth (8 or 24 bits),
    // every pixel 0; an 8-bit page gets the grey palette.
    bool Create(int width, int height, int bitsPerPixel);
    // Back to an empty page.
    void Destroy();
    bool IsValid() const { return !m_pixels.empty(); }

    int GetWidth() const { return m_pixels.cols; }
    int GetHeight() const { return m_pixels.rows; }
    // 8 or 24; 0 for an empty page.
    int GetBpp() const;
    // Bytes of one row, padding included.
    int GetEffWidth() const;
    // Vertical resolution in dots per inch, 96 unless set.
    int GetYRes() const { return m_yRes; }
    void SetYRes(int dpi) { m_yRes = dpi; }

    // Row y counted from the top: exactly width x bytes per pixel bytes.
    // A row outside the page raises CInvalidArgException.
    std::span<BYTE> GetRow(int y);
    std::span<const BYTE> GetRow(int y) const;
    // A header over the pixels (CV_8UC1 or CV_8UC3, top down, step =
    // GetEffWidth), valid while the page keeps its size. OpenCV writes
    // through it in place as long as the size and type stay; to change them
    // use AssignMat. The header does not know the padded storage around it,
    // so OpenCV's filters never take padding bytes for border pixels.
    cv::Mat GetMat() const
    {
        return m_pixels.empty() ? cv::Mat() : cv::Mat(m_pixels.rows, m_pixels.cols, m_pixels.type(), m_pixels.data, m_pixels.step);
    }
    // Takes the size and pixels of an 8-bit image of 1, 3 or 4 channels
    // (4: the fourth is dropped), copied row by row. One channel makes an
    // 8-bit page that keeps its palette when it was 8-bit already, else
    // gets the grey palette. Other images raise CInvalidArgException.
    void AssignMat(const cv::Mat& image);

    // The palette of an 8-bit page: 256 colour words; empty otherwise.
    std::span<const COLORREF> GetPalette() const;
    // 0 on a page without palette.
    COLORREF GetPaletteColor(BYTE index) const;
    // Ignored on a page without palette.
    void SetPaletteColor(BYTE index, COLORREF colour);
    void SetGrayPalette();
    // The entry closest to the colour (first of equals); 0 without palette.
    BYTE GetNearestIndex(COLORREF colour) const;

    // Pixels by (x, y) from the top left. Reads outside the page answer 0,
    // writes outside it do nothing. Indices belong to 8-bit pages (0 and no
    // effect on 24-bit ones); colours on an 8-bit page are its palette's
    // (a written colour becomes the nearest entry).
    BYTE GetPixelIndex(int x, int y) const;
    void SetPixelIndex(int x, int y, BYTE index);
    COLORREF GetPixelColor(int x, int y) const;
    void SetPixelColor(int x, int y, COLORREF colour);

    // Every pixel byte set to the value.
    void Clear(BYTE value = 0);
    // Left-right and top-bottom; false for an empty page.
    bool Mirror();
    bool Flip();
    // Size, depth, palette and resolution of the source, and its pixels
    // when copyPixels (else every pixel 0). Pages have no selection and no
    // alpha channel: those flags change nothing.
    void Copy(const CxImage& source, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    // The rectangle (right and bottom exclusive) as a page of its own in
    // target, or in this page. False when the rectangle is empty or not
    // inside the page.
    bool Crop(const RECT& rect, CxImage& target) const;
    bool Crop(const RECT& rect);
    // A larger page with this image in its centre ((new - old) / 2 to the
    // left and top) on the canvas colour, in target or in this page.
    bool Expand(int newWidth, int newHeight, COLORREF canvas, CxImage* target = nullptr);

    // Files. Load and Decode take format 0 as "whatever it is"; Save takes
    // it as "by the file name's extension". An 8-bit page is written as
    // its grey indices (the palette is not stored); files with colours
    // come back as 24-bit pages, grey files as 8-bit pages.
    bool Load(const CString& path, int format = FormatUnknown);
    bool Save(const CString& path, int format = FormatUnknown);
    bool Decode(const BYTE* data, size_t size, int format);
    bool Encode(std::vector<BYTE>& out, int format);

    const CString& GetLastError() const { return m_lastError; }

protected:
    // Records a failure and answers false.
    bool Fail(const CString& text);

private:
    // Takes the decoded pixels over without a copy when their rows already
    // have the page's padded layout, else copies them.
    bool TakeDecoded(cv::Mat decoded);
    void PaletteChanged();

    cv::Mat m_pixels;
    std::array<COLORREF, 256> m_palette{};
    bool m_grayRamp = true; // palette entry i is RGB(i, i, i)
    int m_yRes = 96;
    CString m_lastError;
};
