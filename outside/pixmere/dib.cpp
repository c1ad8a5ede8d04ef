#include "outside/pixmere/dib.h"

#include "outside/pixmere/imagecodec.h"
#include "outside/pixmere/packeddib.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <opencv2/core.hpp>

CDIB::~CDIB() = default;

BOOL CDIB::InitDIB(int width, int height, int bitsPerPixel)
{
    if (!Create(width, height, bitsPerPixel))
        return FALSE;
    m_pathName.Empty();
    return TRUE;
}

// ---------------------------------------------------------------- files

BOOL CDIB::ReadAs(const CString& path, int format)
{
    if (!Load(path, format)) {
        // The user reads which file it was; file errors name it already.
        if (GetLastError().Find(path) < 0)
            Fail(FormatString("%s: %s", path.GetString(), GetLastError().GetString()));
        return FALSE;
    }
    m_pathName = path;
    return TRUE;
}

BOOL CDIB::Read(const CString& path, CStatusBar* /*status*/)
{
    const kestrun::CImageFormat format = kestrun::ImageFormatFromPath(path);
    if (format == kestrun::CImageFormat::Unknown)
        return Fail(FormatString("Unsupported file format: %s", path.GetString()));
    return ReadAs(path, static_cast<int>(format));
}

BOOL CDIB::CreateFromHANDLE(HGLOBAL handle)
{
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(handle));
    if (bytes == nullptr)
        return Fail("The transferred image is missing");
    CString error;
    const bool read = kestrun::UnpackPage({bytes, GlobalSize(handle)}, *this, error);
    GlobalUnlock(handle);
    if (!read)
        return Fail(error);
    m_pathName.Empty();
    return TRUE;
}

BOOL CDIB::JPEG2DIB(const CString& path, CStatusBar* /*status*/) { return ReadAs(path, FormatJpg); }

BOOL CDIB::Write(const CString& path, CWnd* /*status*/, int /*reserved*/, int format)
{
    return Save(path, format) ? TRUE : FALSE;
}

// ---------------------------------------------------------------- pages

BOOL CDIB::CopyDIB(const CRect& rect, CDIB& target) const
{
    CDIB part;
    if (!Crop(rect, part))
        return target.Fail(part.GetLastError());
    target = std::move(part);
    return TRUE;
}

BOOL CDIB::InsertDIB(int x, int y, const CDIB& source)
{
    if (!source.IsValid() || !IsValid())
        return Fail("Image is empty");
    if (source.GetBpp() != GetBpp())
        return Fail(FormatString("Cannot insert a %d-bit image into a %d-bit image", source.GetBpp(), GetBpp()));
    const CRect placed(x, y, x + source.GetWidth(), y + source.GetHeight());
    const CRect overlap = placed & CRect(0, 0, GetWidth(), GetHeight());
    if (overlap.IsRectEmpty())
        return Fail("The inserted image lies outside the image");
    const cv::Rect from(overlap.left - x, overlap.top - y, overlap.Width(), overlap.Height());
    const cv::Rect to(overlap.left, overlap.top, overlap.Width(), overlap.Height());
    cv::Mat destination = GetMat()(to);
    if (&source == this)
        source.GetMat()(from).clone().copyTo(destination);
    else
        source.GetMat()(from).copyTo(destination);
    return TRUE;
}

BOOL CDIB::SetAllGray(COLORREF colour)
{
    if (!IsValid())
        return Fail("Image is empty");
    cv::Mat pixels = GetMat();
    if (GetBpp() == 8)
        pixels.setTo(cv::Scalar::all(GetNearestIndex(colour)));
    else
        pixels.setTo(cv::Scalar(GetBValue(colour), GetGValue(colour), GetRValue(colour)));
    return TRUE;
}

void CDIB::SetPalette(int count, const BYTE* red, const BYTE* green, const BYTE* blue)
{
    if (count < 1 || count > 256 || red == nullptr || green == nullptr || blue == nullptr)
        AfxThrowInvalidArgException();
    for (int i = 0; i < count; ++i)
        SetPaletteColor(static_cast<BYTE>(i), RGB(red[i], green[i], blue[i]));
}

// ---------------------------------------------------------------- drawing

BOOL CDIB::PaintDIB(CDC* dc, CPalette* palette) const
{
    return StretchDIB(dc, CRect(0, 0, GetWidth(), GetHeight()), palette);
}

BOOL CDIB::StretchDIB(CDC* dc, const CRect& rect, CPalette* /*palette*/) const
{
    if (dc == nullptr || !IsValid())
        return FALSE;
    const cv::Mat pixels = GetMat();
    return dc->StretchDIBits(rect, GetWidth(), GetHeight(), pixels.data, GetEffWidth(), GetBpp(), GetPalette());
}

// ---------------------------------------------------------------- rows and palette

BYTE* CDIB::GetLPDIBBITSLINE(int row)
{
    if (row < 0 || row >= GetHeight())
        AfxThrowInvalidArgException();
    return GetRow(GetHeight() - 1 - row).data();
}

const BYTE* CDIB::GetLPDIBBITSLINE(int row) const
{
    if (row < 0 || row >= GetHeight())
        AfxThrowInvalidArgException();
    return GetRow(GetHeight() - 1 - row).data();
}

COLORREF CDIB::GetPalEntry(int index) const
{
    if (index < 0 || index > 255)
        return 0;
    return GetPaletteColor(static_cast<BYTE>(index));
}
