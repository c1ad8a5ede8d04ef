#include "outside/pixmere/imagecheck.h"

#include "outside/pixmere/imagecodec.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <vector>

namespace kestrun {

namespace {

[[noreturn]] void truncated(const char* format)
{
    throw CImageFileException(FormatString("Truncated %s file", format));
}

[[noreturn]] void damaged(const char* format)
{
    throw CImageFileException(FormatString("Damaged %s file", format));
}

constexpr BYTE kMarker = 0xFF;
constexpr BYTE kStartOfImage = 0xD8;
constexpr BYTE kEndOfImage = 0xD9;
constexpr BYTE kStartOfScan = 0xDA;

bool isRestart(BYTE code) { return code >= 0xD0 && code <= 0xD7; }

// The position of the marker that ends the entropy-coded data from pos on.
size_t skipEntropyData(std::span<const BYTE> data, size_t pos)
{
    while (true) {
        if (pos + 1 >= data.size())
            truncated("JPEG");
        if (data[pos] != kMarker) {
            ++pos;
            continue;
        }
        const BYTE next = data[pos + 1];
        if (next == 0x00 || isRestart(next))
            pos += 2; // stuffed byte or restart marker: still scan data
        else
            return pos;
    }
}

} // namespace

void CheckJpegComplete(std::span<const BYTE> data)
{
    if (data.size() < 2 || data[0] != kMarker || data[1] != kStartOfImage)
        damaged("JPEG");
    size_t pos = 2;
    while (true) {
        if (pos >= data.size())
            truncated("JPEG");
        if (data[pos] != kMarker)
            damaged("JPEG");
        while (pos < data.size() && data[pos] == kMarker)
            ++pos; // fill bytes
        if (pos >= data.size())
            truncated("JPEG");
        const BYTE code = data[pos++];
        if (code == kEndOfImage)
            return;
        if (code == 0x01 || isRestart(code))
            continue; // markers without a segment
        if (code == 0x00)
            damaged("JPEG");
        if (pos + 2 > data.size())
            truncated("JPEG");
        const size_t length = (static_cast<size_t>(data[pos]) << 8) | data[pos + 1];
        if (length < 2)
            damaged("JPEG");
        if (pos + length > data.size())
            truncated("JPEG");
        pos += length;
        if (code == kStartOfScan)
            pos = skipEntropyData(data, pos);
    }
}

namespace {

class CTiffReader
{
public:
    CTiffReader(std::span<const BYTE> data, bool bigEndian) : m_data(data), m_bigEndian(bigEndian) {}

    std::uint32_t U16(std::uint64_t pos) const { return static_cast<std::uint32_t>(Read(pos, 2)); }
    std::uint32_t U32(std::uint64_t pos) const { return static_cast<std::uint32_t>(Read(pos, 4)); }
    bool Holds(std::uint64_t pos, std::uint64_t count) const
    {
        return pos <= m_data.size() && count <= m_data.size() - pos;
    }

private:
    std::uint64_t Read(std::uint64_t pos, int bytes) const
    {
        if (!Holds(pos, static_cast<std::uint64_t>(bytes)))
            truncated("TIFF");
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint64_t b = m_data[pos + static_cast<std::uint64_t>(m_bigEndian ? i : bytes - 1 - i)];
            value = (value << 8) | b;
        }
        return value;
    }

    std::span<const BYTE> m_data;
    bool m_bigEndian;
};

// Bytes of one value of a TIFF field type; 0 for a type we do not know.
std::uint64_t tiffTypeSize(std::uint32_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7:
        return 1;
    case 3: case 8:
        return 2;
    case 4: case 9: case 11: case 13:
        return 4;
    case 5: case 10: case 12:
        return 8;
    default:
        return 0;
    }
}

constexpr std::uint32_t kStripOffsets = 273;
constexpr std::uint32_t kStripByteCounts = 279;
constexpr std::uint32_t kTileOffsets = 324;
constexpr std::uint32_t kTileByteCounts = 325;
constexpr int kMaxDirectories = 4096;

struct CDataBlocks
{
    std::vector<std::uint64_t> offsets;
    std::vector<std::uint64_t> counts;
};

// The values of an offset or count field (SHORT or LONG).
std::vector<std::uint64_t> readIntegers(const CTiffReader& in, std::uint32_t type, std::uint64_t count,
                                        std::uint64_t at)
{
    std::vector<std::uint64_t> values;
    if (type != 3 && type != 4)
        return values;
    values.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i)
        values.push_back(type == 3 ? in.U16(at + 2 * i) : in.U32(at + 4 * i));
    return values;
}

void checkBlocks(const CTiffReader& in, const CDataBlocks& blocks)
{
    if (blocks.offsets.size() != blocks.counts.size())
        damaged("TIFF");
    for (size_t i = 0; i < blocks.offsets.size(); ++i) {
        if (!in.Holds(blocks.offsets[i], blocks.counts[i]))
            truncated("TIFF");
    }
}

// Checks one directory and answers the offset of the next (0: none).
std::uint32_t checkDirectory(const CTiffReader& in, std::uint32_t at)
{
    const std::uint32_t entries = in.U16(at);
    if (!in.Holds(at, 2 + 12ULL * entries + 4))
        truncated("TIFF");
    CDataBlocks strips, tiles;
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::uint64_t entry = at + 2 + 12ULL * e;
        const std::uint32_t tag = in.U16(entry);
        const std::uint32_t type = in.U16(entry + 2);
        const std::uint64_t count = in.U32(entry + 4);
        const std::uint64_t size = tiffTypeSize(type) * count;
        const std::uint64_t valueAt = size <= 4 ? entry + 8 : in.U32(entry + 8);
        if (!in.Holds(valueAt, size))
            truncated("TIFF");
        if (tag == kStripOffsets)
            strips.offsets = readIntegers(in, type, count, valueAt);
        else if (tag == kStripByteCounts)
            strips.counts = readIntegers(in, type, count, valueAt);
        else if (tag == kTileOffsets)
            tiles.offsets = readIntegers(in, type, count, valueAt);
        else if (tag == kTileByteCounts)
            tiles.counts = readIntegers(in, type, count, valueAt);
    }
    if (!strips.counts.empty())
        checkBlocks(in, strips);
    if (!tiles.counts.empty())
        checkBlocks(in, tiles);
    return in.U32(at + 2 + 12ULL * entries);
}

} // namespace

void CheckTiffComplete(std::span<const BYTE> data)
{
    if (data.size() < 8)
        truncated("TIFF");
    const bool little = data[0] == 'I' && data[1] == 'I';
    const bool big = data[0] == 'M' && data[1] == 'M';
    if (!little && !big)
        damaged("TIFF");
    const CTiffReader in(data, big);
    const std::uint32_t magic = in.U16(2);
    if (magic == 43)
        return; // BigTIFF: left to the codec
    if (magic != 42)
        damaged("TIFF");
    std::set<std::uint32_t> seen;
    for (std::uint32_t at = in.U32(4); at != 0;) {
        if (!seen.insert(at).second || seen.size() > kMaxDirectories)
            damaged("TIFF");
        at = checkDirectory(in, at);
    }
    if (seen.empty())
        damaged("TIFF");
}

namespace {

constexpr std::uint64_t kMaxSide = 65535;
constexpr std::uint64_t kAlwaysPlausiblePixels = std::uint64_t{1} << 24;
// Pixels one file byte may stand for where the format sets no firm bound
// (fax and JPEG compressed TIFF, run-length bitmaps): far more than real
// pictures reach. JPEG 2000 has none: a plain page of any size takes a few
// hundred bytes, so only its sides are checked.
constexpr std::uint64_t kMaxPixelsPerByte = 4096;
// Deflate turns one byte into at most 1032.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
// TIFF's LZW with 12-bit codes reaches about 1360 on uniform data.
constexpr std::uint64_t kMaxLzwRatio = 1400;

struct CDeclaredImage
{
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t leastBytes = 0; // the fewest file bytes that can hold the pixels
};

// Saturating, so that absurd fields compare as absurd instead of wrapping.
std::uint64_t times(std::uint64_t a, std::uint64_t b)
{
    return a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a ? std::numeric_limits<std::uint64_t>::max()
                                                                        : a * b;
}

std::uint64_t plus(std::uint64_t a, std::uint64_t b)
{
    return b > std::numeric_limits<std::uint64_t>::max() - a ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) { return a / b + (a % b != 0 ? 1 : 0); }

std::uint64_t anyCompression(std::uint64_t width, std::uint64_t height)
{
    return times(width, height) / kMaxPixelsPerByte;
}

std::uint64_t little(std::span<const BYTE> data, size_t pos, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | data[pos + static_cast<size_t>(i)];
    return value;
}

std::uint64_t big(std::span<const BYTE> data, size_t pos, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | data[pos + static_cast<size_t>(i)];
    return value;
}

std::optional<CDeclaredImage> declaredBmp(std::span<const BYTE> data)
{
    if (data.size() < 18)
        return std::nullopt;
    const std::uint64_t offset = little(data, 10, 4);
    std::int64_t width = 0, height = 0;
    std::uint64_t bitsPerPixel = 0, compression = 0;
    if (little(data, 14, 4) == 12) { // the old core header
        if (data.size() < 26)
            return std::nullopt;
        width = static_cast<std::int64_t>(little(data, 18, 2));
        height = static_cast<std::int64_t>(little(data, 20, 2));
        bitsPerPixel = little(data, 24, 2);
    } else {
        if (data.size() < 34)
            return std::nullopt;
        width = static_cast<std::int32_t>(little(data, 18, 4));
        height = static_cast<std::int32_t>(little(data, 22, 4));
        bitsPerPixel = little(data, 28, 2);
        compression = little(data, 30, 4);
    }
    if (width <= 0 || height == 0)
        return std::nullopt;
    CDeclaredImage image{static_cast<std::uint64_t>(width),
                         static_cast<std::uint64_t>(height < 0 ? -height : height), 0};
    constexpr std::uint64_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
    if (compression == kRgb || compression == kBitFields || compression == kAlphaBitFields) {
        const std::uint64_t stride = ceilDiv(times(image.width, bitsPerPixel), 32) * 4;
        image.leastBytes = plus(offset, times(stride, image.height));
    } else {
        image.leastBytes = anyCompression(image.width, image.height);
    }
    return image;
}

std::optional<CDeclaredImage> declaredPng(std::span<const BYTE> data)
{
    if (data.size() < 33 || big(data, 12, 4) != 0x49484452) // "IHDR"
        return std::nullopt;
    CDeclaredImage image{big(data, 16, 4), big(data, 20, 4), 0};
    const std::uint64_t depth = data[24];
    std::uint64_t samples = 1;
    switch (data[25]) {
    case 2: samples = 3; break;
    case 4: samples = 2; break;
    case 6: samples = 4; break;
    default: break;
    }
    // Each row starts with its filter byte.
    const std::uint64_t rowBytes = plus(1, ceilDiv(times(times(image.width, samples), depth), 8));
    image.leastBytes = times(rowBytes, image.height) / kMaxDeflateRatio;
    return image;
}

std::optional<CDeclaredImage> declaredJpeg(std::span<const BYTE> data)
{
    size_t pos = 2;
    while (pos + 1 < data.size() && data[pos] == kMarker) {
        while (pos < data.size() && data[pos] == kMarker)
            ++pos;
        if (pos + 2 >= data.size())
            return std::nullopt;
        const BYTE code = data[pos++];
        if (code == 0x01 || isRestart(code))
            continue;
        if (code == kStartOfScan || code == kEndOfImage)
            return std::nullopt; // no frame header before the data
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            if (pos + 7 > data.size())
                return std::nullopt;
            CDeclaredImage image{big(data, pos + 5, 2), big(data, pos + 3, 2), 0};
            if (image.height == 0)
                return std::nullopt; // the height follows the first scan
            // Huffman coding spends at least one bit on every 8 x 8 block.
            const bool arithmetic = code >= 0xC9;
            image.leastBytes = arithmetic ? anyCompression(image.width, image.height)
                                          : times(ceilDiv(image.width, 8), ceilDiv(image.height, 8)) / 8;
            return image;
        }
        pos += static_cast<size_t>(big(data, pos, 2));
    }
    return std::nullopt;
}

std::optional<CDeclaredImage> declaredTiff(std::span<const BYTE> data)
{
    if (data.size() < 8)
        return std::nullopt;
    const CTiffReader in(data, data[0] == 'M');
    if (in.U16(2) != 42)
        return std::nullopt;
    const std::uint32_t at = in.U32(4);
    constexpr std::uint32_t kWidth = 256, kLength = 257, kBitsPerSample = 258, kCompression = 259,
                            kSamplesPerPixel = 277;
    CDeclaredImage image;
    std::uint64_t bitsPerSample = 1, samples = 1, compression = 1;
    const std::uint32_t entries = in.U16(at);
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::uint64_t entry = at + 2 + 12ULL * e;
        const std::uint32_t tag = in.U16(entry);
        const std::uint32_t type = in.U16(entry + 2);
        const std::uint64_t count = in.U32(entry + 4);
        if ((type != 3 && type != 4) || count == 0)
            continue;
        // The first value: in the entry when the values fit there.
        const std::uint64_t valueAt = tiffTypeSize(type) * count <= 4 ? entry + 8 : in.U32(entry + 8);
        const std::uint64_t value = type == 3 ? in.U16(valueAt) : in.U32(valueAt);
        if (tag == kWidth)
            image.width = value;
        else if (tag == kLength)
            image.height = value;
        else if (tag == kBitsPerSample)
            bitsPerSample = value;
        else if (tag == kSamplesPerPixel)
            samples = value;
        else if (tag == kCompression)
            compression = value;
    }
    if (image.width == 0 || image.height == 0)
        return std::nullopt;
    const std::uint64_t pixelBytes = times(ceilDiv(times(times(image.width, samples), bitsPerSample), 8), image.height);
    constexpr std::uint64_t kUncompressed = 1, kLzw = 5, kDeflate = 8, kOldDeflate = 32946, kPackBits = 32773;
    switch (compression) {
    case kUncompressed:
        image.leastBytes = pixelBytes;
        break;
    case kLzw:
    case kDeflate:
    case kOldDeflate:
    case kPackBits:
        image.leastBytes = pixelBytes / kMaxLzwRatio;
        break;
    default:
        image.leastBytes = anyCompression(image.width, image.height);
        break;
    }
    return image;
}

std::optional<CDeclaredImage> declaredCodestream(std::span<const BYTE> data, size_t at)
{
    // SOC, then SIZ: length, capabilities, Xsiz, Ysiz, XOsiz, YOsiz.
    if (at + 24 > data.size() || big(data, at, 4) != 0xFF4FFF51)
        return std::nullopt;
    const std::uint64_t right = big(data, at + 8, 4), bottom = big(data, at + 12, 4);
    const std::uint64_t left = big(data, at + 16, 4), top = big(data, at + 20, 4);
    if (right <= left || bottom <= top)
        return std::nullopt;
    return CDeclaredImage{right - left, bottom - top, 0};
}

std::optional<CDeclaredImage> declaredJp2(std::span<const BYTE> data)
{
    if (data.size() >= 4 && big(data, 0, 4) == 0xFF4FFF51)
        return declaredCodestream(data, 0);
    constexpr std::uint64_t kHeaderBox = 0x6A703268, kImageHeader = 0x69686472, kCodestream = 0x6A703263;
    // Boxes: length (1: a 64-bit length follows, 0: to the end), type, content.
    const auto boxAt = [&](size_t pos, size_t end, std::uint64_t& type, size_t& content, size_t& next) {
        if (pos + 8 > end)
            return false;
        std::uint64_t length = big(data, pos, 4);
        type = big(data, pos + 4, 4);
        content = pos + 8;
        if (length == 1) {
            if (pos + 16 > end)
                return false;
            length = big(data, pos + 8, 8);
            content = pos + 16;
        } else if (length == 0) {
            length = end - pos;
        }
        if (length < content - pos || length > end - pos)
            return false;
        next = pos + static_cast<size_t>(length);
        return true;
    };
    std::uint64_t type = 0;
    size_t content = 0, next = 0;
    for (size_t pos = 0; boxAt(pos, data.size(), type, content, next); pos = next) {
        if (type == kCodestream)
            return declaredCodestream(data, content);
        if (type != kHeaderBox)
            continue;
        const size_t end = next;
        std::uint64_t childType = 0;
        size_t childContent = 0, childNext = 0;
        for (size_t child = content; boxAt(child, end, childType, childContent, childNext); child = childNext) {
            if (childType == kImageHeader && childContent + 8 <= end) {
                return CDeclaredImage{big(data, childContent + 4, 4), big(data, childContent, 4), 0};
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<CDeclaredImage> declaredImage(std::span<const BYTE> data, CImageFormat format)
{
    switch (format) {
    case CImageFormat::Bmp: return declaredBmp(data);
    case CImageFormat::Png: return declaredPng(data);
    case CImageFormat::Jpg: return declaredJpeg(data);
    case CImageFormat::Tif: return declaredTiff(data);
    case CImageFormat::Jp2: return declaredJp2(data);
    default: return std::nullopt;
    }
}

} // namespace

void CheckDeclaredSize(std::span<const BYTE> data, CImageFormat format)
{
    const std::optional<CDeclaredImage> image = declaredImage(data, format);
    if (!image)
        return;
    const auto width = static_cast<unsigned long long>(image->width);
    const auto height = static_cast<unsigned long long>(image->height);
    if (image->width > kMaxSide || image->height > kMaxSide)
        throw CImageFileException(
            FormatString("The %s image is too large: %llu x %llu pixels", ImageFormatName(format), width, height));
    if (times(image->width, image->height) > kAlwaysPlausiblePixels && image->leastBytes > data.size())
        throw CImageFileException(FormatString("Damaged %s file: %llu x %llu pixels cannot be in %zu bytes",
                                               ImageFormatName(format), width, height, data.size()));
}

} // namespace kestrun
