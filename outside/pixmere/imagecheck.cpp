#include "outside/pixmere/imagecheck.h"

#include "outside/pixmere/imagecodec.h"

#include <cstdint>
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

} // namespace kestrun
