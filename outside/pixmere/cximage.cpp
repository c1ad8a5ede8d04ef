#include "outside/pixmere/cximage.h"

#include "outside/pixmere/imagecodec.h"

#include "platform/core/exceptions.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <limits>
#include <new>
#include <utility>

namespace {

constexpr int kMaxSide = 65535;

// Pixels of the size with every row padded to a multiple of 4 bytes: a
// byte block as wide as the padded row, seen through a column range.
cv::Mat allocatePixels(int width, int height, int channels)
{
    const int rowBytes = width * channels;
    const int stride = (rowBytes + 3) / 4 * 4;
    cv::Mat block(height, stride, CV_8UC1, cv::Scalar(0));
    return block.colRange(0, rowBytes).reshape(channels);
}

// The same image in fresh padded storage.
cv::Mat copyPixels(const cv::Mat& source)
{
    if (source.empty())
        return {};
    cv::Mat copy = allocatePixels(source.cols, source.rows, source.channels());
    source.copyTo(copy);
    return copy;
}

int distance2(COLORREF a, COLORREF b)
{
    const int dr = GetRValue(a) - GetRValue(b);
    const int dg = GetGValue(a) - GetGValue(b);
    const int db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
}

// OpenCV reports a failed allocation as its own exception, not bad_alloc.
const char* openCvFailure(const cv::Exception& e)
{
    return e.code == cv::Error::StsNoMem ? "Not enough memory for the image" : "Cannot convert the image";
}

bool isGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

} // namespace

CxImage::CxImage() { SetGrayPalette(); }

CxImage::CxImage(const CxImage& other)
    : m_pixels(copyPixels(other.m_pixels)), m_palette(other.m_palette), m_grayRamp(other.m_grayRamp),
      m_yRes(other.m_yRes), m_lastError(other.m_lastError)
{
}

CxImage& CxImage::operator=(const CxImage& other)
{
    if (this != &other) {
        CxImage copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CxImage::CxImage(CxImage&& other) noexcept
    : m_pixels(std::move(other.m_pixels)), m_palette(other.m_palette), m_grayRamp(other.m_grayRamp),
      m_yRes(other.m_yRes), m_lastError(std::move(other.m_lastError))
{
    other.m_pixels.release();
}

CxImage& CxImage::operator=(CxImage&& other) noexcept
{
    if (this != &other) {
        m_pixels = std::move(other.m_pixels);
        other.m_pixels.release();
        m_palette = other.m_palette;
        m_grayRamp = other.m_grayRamp;
        m_yRes = other.m_yRes;
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

CxImage::~CxImage() = default;

bool CxImage::Fail(const CString& text)
{
    m_lastError = text;
    return false;
}

// ---------------------------------------------------------------- geometry

bool CxImage::Create(int width, int height, int bitsPerPixel)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return Fail(FormatString("Invalid image size %d x %d", width, height));
    if (bitsPerPixel != 8 && bitsPerPixel != 24)
        return Fail(FormatString("Unsupported bit depth %d", bitsPerPixel));
    try {
        m_pixels = allocatePixels(width, height, bitsPerPixel / 8);
    } catch (const std::bad_alloc&) {
        return Fail("Not enough memory for the image");
    } catch (const cv::Exception&) {
        return Fail("Not enough memory for the image");
    }
    SetGrayPalette();
    return true;
}

void CxImage::Destroy()
{
    m_pixels.release();
    SetGrayPalette();
}

int CxImage::GetBpp() const { return IsValid() ? m_pixels.channels() * 8 : 0; }

int CxImage::GetEffWidth() const { return IsValid() ? static_cast<int>(m_pixels.step[0]) : 0; }

std::span<BYTE> CxImage::GetRow(int y)
{
    if (y < 0 || y >= GetHeight())
        AfxThrowInvalidArgException();
    return {m_pixels.ptr<BYTE>(y), static_cast<size_t>(m_pixels.cols) * m_pixels.channels()};
}

std::span<const BYTE> CxImage::GetRow(int y) const
{
    if (y < 0 || y >= GetHeight())
        AfxThrowInvalidArgException();
    return {m_pixels.ptr<BYTE>(y), static_cast<size_t>(m_pixels.cols) * m_pixels.channels()};
}

void CxImage::AssignMat(const cv::Mat& image)
{
    if (image.empty() || image.depth() != CV_8U || image.dims != 2 || image.cols > kMaxSide || image.rows > kMaxSide)
        AfxThrowInvalidArgException();
    const int channels = image.channels();
    if (channels != 1 && channels != 3 && channels != 4)
        AfxThrowInvalidArgException();
    const bool wasIndexed = GetBpp() == 8;
    cv::Mat pixels = allocatePixels(image.cols, image.rows, channels == 1 ? 1 : 3);
    if (channels == 4)
        cv::cvtColor(image, pixels, cv::COLOR_BGRA2BGR);
    else
        image.copyTo(pixels);
    m_pixels = pixels;
    if (channels == 1 && !wasIndexed)
        SetGrayPalette();
}

// ---------------------------------------------------------------- palette

std::span<const COLORREF> CxImage::GetPalette() const
{
    if (GetBpp() != 8)
        return {};
    return m_palette;
}

COLORREF CxImage::GetPaletteColor(BYTE index) const { return GetBpp() == 8 ? m_palette[index] : 0; }

void CxImage::SetPaletteColor(BYTE index, COLORREF colour)
{
    if (GetBpp() != 8)
        return;
    m_palette[index] = colour & 0x00FFFFFF;
    PaletteChanged();
}

void CxImage::SetGrayPalette()
{
    for (int i = 0; i < 256; ++i)
        m_palette[static_cast<size_t>(i)] = RGB(i, i, i);
    m_grayRamp = true;
}

void CxImage::PaletteChanged()
{
    m_grayRamp = true;
    for (int i = 0; i < 256 && m_grayRamp; ++i)
        m_grayRamp = m_palette[static_cast<size_t>(i)] == RGB(i, i, i);
}

BYTE CxImage::GetNearestIndex(COLORREF colour) const
{
    if (GetBpp() != 8)
        return 0;
    if (m_grayRamp && isGrey(colour))
        return GetRValue(colour);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < 256 && bestDistance > 0; ++i) {
        const int d = distance2(colour, m_palette[static_cast<size_t>(i)]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

// ---------------------------------------------------------------- pixels

BYTE CxImage::GetPixelIndex(int x, int y) const
{
    if (GetBpp() != 8 || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 0;
    return m_pixels.at<BYTE>(y, x);
}

void CxImage::SetPixelIndex(int x, int y, BYTE index)
{
    if (GetBpp() != 8 || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return;
    m_pixels.at<BYTE>(y, x) = index;
}

COLORREF CxImage::GetPixelColor(int x, int y) const
{
    if (!IsValid() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 0;
    if (GetBpp() == 8)
        return m_palette[m_pixels.at<BYTE>(y, x)];
    const cv::Vec3b& bgr = m_pixels.at<cv::Vec3b>(y, x);
    return RGB(bgr[2], bgr[1], bgr[0]);
}

void CxImage::SetPixelColor(int x, int y, COLORREF colour)
{
    if (!IsValid() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return;
    if (GetBpp() == 8)
        m_pixels.at<BYTE>(y, x) = GetNearestIndex(colour);
    else
        m_pixels.at<cv::Vec3b>(y, x) = cv::Vec3b(GetBValue(colour), GetGValue(colour), GetRValue(colour));
}

// ---------------------------------------------------------------- whole page

void CxImage::Clear(BYTE value)
{
    if (IsValid())
        m_pixels.setTo(cv::Scalar::all(value));
}

bool CxImage::Mirror()
{
    if (!IsValid())
        return Fail("Image is empty");
    cv::Mat mirrored;
    cv::flip(m_pixels, mirrored, 1);
    mirrored.copyTo(m_pixels);
    return true;
}

bool CxImage::Flip()
{
    if (!IsValid())
        return Fail("Image is empty");
    cv::Mat flipped;
    cv::flip(m_pixels, flipped, 0);
    flipped.copyTo(m_pixels);
    return true;
}

void CxImage::Copy(const CxImage& source, bool copyPixels, bool /*copySelection*/, bool /*copyAlpha*/)
{
    if (this == &source)
        return;
    CxImage copy;
    if (copyPixels)
        copy = source;
    else if (source.IsValid())
        copy.m_pixels = allocatePixels(source.GetWidth(), source.GetHeight(), source.m_pixels.channels());
    copy.m_palette = source.m_palette;
    copy.m_grayRamp = source.m_grayRamp;
    copy.m_yRes = source.m_yRes;
    copy.m_lastError = m_lastError;
    *this = std::move(copy);
}

bool CxImage::Crop(const RECT& rect, CxImage& target) const
{
    CRect area(rect);
    area.NormalizeRect();
    if (area.IsRectEmpty() || area.left < 0 || area.top < 0 || area.right > GetWidth() || area.bottom > GetHeight())
        return target.Fail(FormatString("Rectangle (%d, %d, %d, %d) is not inside the %d x %d image",
                                        static_cast<int>(rect.left), static_cast<int>(rect.top),
                                        static_cast<int>(rect.right), static_cast<int>(rect.bottom), GetWidth(),
                                        GetHeight()));
    CxImage part;
    part.m_pixels = copyPixels(m_pixels(cv::Rect(area.left, area.top, area.Width(), area.Height())));
    part.m_palette = m_palette;
    part.m_grayRamp = m_grayRamp;
    part.m_yRes = m_yRes;
    part.m_lastError = target.m_lastError;
    target = std::move(part);
    return true;
}

bool CxImage::Crop(const RECT& rect)
{
    CxImage part;
    if (!Crop(rect, part))
        return Fail(part.GetLastError());
    part.m_lastError = m_lastError;
    *this = std::move(part);
    return true;
}

bool CxImage::Expand(int newWidth, int newHeight, COLORREF canvas, CxImage* target)
{
    CxImage& result = target ? *target : *this;
    if (!IsValid())
        return result.Fail("Image is empty");
    if (newWidth < GetWidth() || newHeight < GetHeight() || newWidth > kMaxSide || newHeight > kMaxSide)
        return result.Fail(FormatString("Cannot expand a %d x %d image to %d x %d", GetWidth(), GetHeight(), newWidth,
                                        newHeight));
    CxImage larger;
    larger.m_pixels = allocatePixels(newWidth, newHeight, m_pixels.channels());
    larger.m_palette = m_palette;
    larger.m_grayRamp = m_grayRamp;
    larger.m_yRes = m_yRes;
    larger.m_lastError = result.m_lastError;
    if (GetBpp() == 8)
        larger.m_pixels.setTo(cv::Scalar::all(GetNearestIndex(canvas)));
    else
        larger.m_pixels.setTo(cv::Scalar(GetBValue(canvas), GetGValue(canvas), GetRValue(canvas)));
    const cv::Rect centre((newWidth - GetWidth()) / 2, (newHeight - GetHeight()) / 2, GetWidth(), GetHeight());
    m_pixels.copyTo(larger.m_pixels(centre));
    result = std::move(larger);
    return true;
}

// ---------------------------------------------------------------- files

namespace {

// A caller's format code as ours; Unknown for 0 and for codes we lack.
kestrun::CImageFormat formatOfCode(int code, bool& known)
{
    switch (code) {
    case CxImage::FormatUnknown:
    case CxImage::FormatBmp:
    case CxImage::FormatJpg:
    case CxImage::FormatPng:
    case CxImage::FormatTif:
    case CxImage::FormatJp2:
        known = true;
        return static_cast<kestrun::CImageFormat>(code);
    default:
        known = false;
        return kestrun::CImageFormat::Unknown;
    }
}

} // namespace

bool CxImage::TakeDecoded(cv::Mat decoded)
{
    CxImage page;
    const int channels = decoded.channels();
    const size_t rowBytes = static_cast<size_t>(decoded.cols) * static_cast<size_t>(channels);
    // OpenCV's rows are the page's rows when their length is a multiple of
    // four: the decoded block becomes the page, which halves the memory a
    // load needs.
    const bool handOver = decoded.dims == 2 && (decoded.type() == CV_8UC1 || decoded.type() == CV_8UC3) &&
                          decoded.cols <= kMaxSide && decoded.rows <= kMaxSide && !decoded.empty() &&
                          decoded.step[0] == rowBytes && rowBytes % 4 == 0 && decoded.u != nullptr &&
                          decoded.u->refcount == 1;
    if (handOver)
        page.m_pixels = std::move(decoded);
    else
        page.AssignMat(decoded);
    decoded.release();
    page.m_yRes = m_yRes;
    page.m_lastError = m_lastError;
    *this = std::move(page);
    return true;
}

bool CxImage::Load(const CString& path, int format)
{
    bool known = false;
    const kestrun::CImageFormat expected = formatOfCode(format, known);
    if (!known)
        return Fail(FormatString("Unsupported file format code %d", format));
    try {
        cv::Mat decoded;
        {
            // The file's bytes go before the page is made.
            const std::vector<BYTE> bytes = kestrun::ReadImageFileBytes(path);
            decoded = kestrun::DecodeImage(bytes, expected);
        }
        return TakeDecoded(std::move(decoded));
    } catch (const CException& e) {
        return Fail(e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        return Fail("Not enough memory for the image");
    } catch (const cv::Exception& e) {
        return Fail(openCvFailure(e));
    }
}

bool CxImage::Decode(const BYTE* data, size_t size, int format)
{
    bool known = false;
    const kestrun::CImageFormat expected = formatOfCode(format, known);
    if (!known)
        return Fail(FormatString("Unsupported file format code %d", format));
    if (data == nullptr && size > 0)
        return Fail("No image data");
    try {
        return TakeDecoded(kestrun::DecodeImage({data, size}, expected));
    } catch (const CException& e) {
        return Fail(e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        return Fail("Not enough memory for the image");
    } catch (const cv::Exception& e) {
        return Fail(openCvFailure(e));
    }
}

bool CxImage::Encode(std::vector<BYTE>& out, int format)
{
    bool known = false;
    const kestrun::CImageFormat chosen = formatOfCode(format, known);
    if (!known || chosen == kestrun::CImageFormat::Unknown)
        return Fail(FormatString("Unsupported file format code %d", format));
    try {
        out = kestrun::EncodeImage(m_pixels, chosen);
        return true;
    } catch (const CException& e) {
        return Fail(e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        return Fail("Not enough memory for the image");
    }
}

bool CxImage::Save(const CString& path, int format)
{
    bool known = false;
    kestrun::CImageFormat chosen = formatOfCode(format, known);
    if (!known)
        return Fail(FormatString("Unsupported file format code %d", format));
    if (chosen == kestrun::CImageFormat::Unknown)
        chosen = kestrun::ImageFormatFromPath(path);
    if (chosen == kestrun::CImageFormat::Unknown)
        return Fail(FormatString("Unsupported file format: %s", path.GetString()));
    std::vector<BYTE> bytes;
    if (!Encode(bytes, static_cast<int>(chosen)))
        return false;
    try {
        kestrun::WriteImageFileBytes(path, bytes);
        return true;
    } catch (const CException& e) {
        return Fail(e.GetErrorMessage());
    }
}
