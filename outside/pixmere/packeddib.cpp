#include "outside/pixmere/packeddib.h"

#include <cstring>
#include <limits>

namespace {

constexpr DWORD kCompressionNone = 0;
constexpr int kMaxSide = 65535;
constexpr double kInchesPerMeter = 39.3701;

struct CRgbQuad
{
    BYTE blue;
    BYTE green;
    BYTE red;
    BYTE reserved;
};

std::size_t RowBytes(int width, int bitCount)
{
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

int DotsPerInch(LONG pelsPerMeter)
{
    return pelsPerMeter > 0 ? static_cast<int>(pelsPerMeter / kInchesPerMeter + 0.5) : 0;
}

BYTE Grey(COLORREF colour)
{
    return static_cast<BYTE>((GetRValue(colour) * 299 + GetGValue(colour) * 587 + GetBValue(colour) * 114 + 500) / 1000);
}

} // namespace

namespace kestrun {

HGLOBAL PackPage(const CxImage& page)
{
    const int bitCount = page.GetBpp();
    if (!page.IsValid() || (bitCount != 8 && bitCount != 24))
        return nullptr;
    const int width = page.GetWidth();
    const int height = page.GetHeight();
    const std::size_t colours = bitCount == 8 ? 256 : 0;
    const std::size_t rowBytes = RowBytes(width, bitCount);
    const std::size_t headerBytes = sizeof(BITMAPINFOHEADER) + colours * sizeof(CRgbQuad);
    const std::size_t total = headerBytes + rowBytes * static_cast<std::size_t>(height);
    HGLOBAL handle = GlobalAlloc(GHND, total);
    auto* bytes = static_cast<BYTE*>(GlobalLock(handle));
    if (bytes == nullptr) {
        GlobalFree(handle);
        return nullptr;
    }

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = kCompressionNone;
    header.biSizeImage = static_cast<DWORD>(rowBytes * static_cast<std::size_t>(height));
    header.biXPelsPerMeter = header.biYPelsPerMeter = static_cast<LONG>(page.GetYRes() * kInchesPerMeter + 0.5);
    header.biClrUsed = static_cast<DWORD>(colours);
    std::memcpy(bytes, &header, sizeof(header));
    for (std::size_t i = 0; i < colours; ++i) {
        const COLORREF colour = page.GetPaletteColor(static_cast<BYTE>(i));
        const CRgbQuad quad{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
        std::memcpy(bytes + sizeof(header) + i * sizeof(CRgbQuad), &quad, sizeof(quad));
    }
    BYTE* bits = bytes + headerBytes;
    for (int y = 0; y < height; ++y) {
        const std::span<const BYTE> row = page.GetRow(y);
        std::memcpy(bits + static_cast<std::size_t>(height - 1 - y) * rowBytes, row.data(), row.size());
    }
    GlobalUnlock(handle);
    return handle;
}

bool UnpackPage(std::span<const BYTE> bytes, CxImage& page, CString& error)
{
    BITMAPINFOHEADER header{};
    if (bytes.size() < sizeof(header)) {
        error = "The image is too short for its header";
        return false;
    }
    std::memcpy(&header, bytes.data(), sizeof(header));
    const int bitCount = header.biBitCount;
    if (header.biSize < sizeof(header) || header.biSize > bytes.size()) {
        error = "The image header is damaged";
        return false;
    }
    if (header.biCompression != kCompressionNone ||
        (bitCount != 1 && bitCount != 8 && bitCount != 24 && bitCount != 32)) {
        error = FormatString("Unsupported image: %d bits per pixel, compression %u", bitCount,
                             static_cast<unsigned>(header.biCompression));
        return false;
    }
    const bool bottomUp = header.biHeight > 0;
    const LONGLONG height = bottomUp ? header.biHeight : -static_cast<LONGLONG>(header.biHeight);
    if (header.biWidth < 1 || header.biWidth > kMaxSide || height < 1 || height > kMaxSide) {
        error = FormatString("Unsupported image size %d x %lld", header.biWidth, static_cast<long long>(height));
        return false;
    }
    const int width = header.biWidth;
    const std::size_t maxColours = bitCount <= 8 ? (std::size_t{1} << bitCount) : 0;
    const std::size_t colours = bitCount <= 8 ? (header.biClrUsed == 0 ? maxColours : header.biClrUsed) : 0;
    if (colours > maxColours) {
        error = "The image palette is damaged";
        return false;
    }
    const std::size_t paletteAt = header.biSize;
    const std::size_t bitsAt = paletteAt + colours * sizeof(CRgbQuad);
    const std::size_t rowBytes = RowBytes(width, bitCount);
    if (bitsAt > bytes.size() || (bytes.size() - bitsAt) / rowBytes < static_cast<std::size_t>(height)) {
        error = "The image is shorter than its size";
        return false;
    }

    std::array<COLORREF, 256> palette{};
    for (std::size_t i = 0; i < colours; ++i) {
        CRgbQuad quad{};
        std::memcpy(&quad, bytes.data() + paletteAt + i * sizeof(CRgbQuad), sizeof(quad));
        palette[i] = RGB(quad.red, quad.green, quad.blue);
    }

    CxImage result;
    if (!result.Create(width, static_cast<int>(height), bitCount <= 8 ? 8 : 24)) {
        error = result.GetLastError();
        return false;
    }
    if (bitCount == 8) {
        for (std::size_t i = 0; i < colours; ++i)
            result.SetPaletteColor(static_cast<BYTE>(i), palette[i]);
    }
    for (int y = 0; y < height; ++y) {
        const std::size_t stored = bottomUp ? static_cast<std::size_t>(height - 1 - y) : static_cast<std::size_t>(y);
        const BYTE* source = bytes.data() + bitsAt + stored * rowBytes;
        const std::span<BYTE> row = result.GetRow(y);
        switch (bitCount) {
        case 1: // the two colours' grey levels
            for (int x = 0; x < width; ++x)
                row[x] = Grey(palette[(source[x / 8] >> (7 - x % 8)) & 1]);
            break;
        case 8:
        case 24:
            std::memcpy(row.data(), source, row.size());
            break;
        default: // 32
            for (int x = 0; x < width; ++x)
                std::memcpy(row.data() + 3 * x, source + 4 * x, 3);
            break;
        }
    }
    if (const int dpi = DotsPerInch(header.biYPelsPerMeter); dpi > 0)
        result.SetYRes(dpi);
    page = std::move(result);
    return true;
}

} // namespace kestrun
