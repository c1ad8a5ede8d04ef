#include "analysis/objectpixelscan.h"

#include "analysis/markmask.h"
#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrun {

namespace {

// The first position x + k * step (k >= 0) at or beyond limit.
int StepTo(int x, int limit, int step)
{
    if (x >= limit)
        return x;
    const long long steps = (static_cast<long long>(limit) - x + step - 1) / step;
    return static_cast<int>(x + steps * step);
}

// Bit i of a byte to bit 3 i.
constexpr std::array<uint32_t, 256> kSpreadByte = [] {
    std::array<uint32_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte)
        for (unsigned i = 0; i < 8; ++i)
            if ((byte >> i) & 1U)
                table[byte] |= uint32_t{1} << (3 * i);
    return table;
}();

// Bit i of marks (i < 16) to bit 3 i, the bit of pixel i in the vector
// test's masks.
uint64_t SpreadToPixels(unsigned marks)
{
    return kSpreadByte[marks & 0xFFU] | (uint64_t{kSpreadByte[(marks >> 8) & 0xFFU]} << 24);
}

} // namespace

bool CObjectPixelScan::CanScan(const CDIB& page)
{
    const int bits = page.GetBitCount();
    return page.IsValid() && (bits == 8 || bits == 24);
}

bool CObjectPixelScan::Reads(const CDIB& page, const CSegThres& threshold, const CMarkMask* marks) const
{
    return &threshold == &m_threshold && marks == m_pMarks && page.GetMat().data == m_base;
}

CObjectPixelScan::CObjectPixelScan(const CDIB& page, const CSegThres& threshold, const CMarkMask* marks)
    : m_threshold(threshold), m_pMarks(marks)
{
    if (!CanScan(page))
        AfxThrowInvalidArgException();
    const cv::Mat mat = page.GetMat();
    if (marks && (marks->GetWidth() != mat.cols || marks->GetHeight() != mat.rows))
        AfxThrowInvalidArgException();
    m_base = mat.data;
    m_stride = mat.step[0];
    m_width = mat.cols;
    m_height = mat.rows;
    m_bytesPerPixel = page.GetBitCount() / 8;
    m_bPlain = typeid(threshold) == typeid(CSegThres);
    if (m_bPlain) {
        const CSegThres::sChannelRanges ranges = threshold.GetObjectRanges();
        for (size_t i = 0; i < 3; ++i) {
            const bool empty = ranges.max[i] < ranges.min[i];
            m_min[i] = empty ? 256U : static_cast<unsigned>(ranges.min[i]);
            m_span[i] = empty ? 0U : static_cast<unsigned>(ranges.max[i] - ranges.min[i]);
        }
        m_bInverted = ranges.inverted;
        m_mark = threshold.m_MarkColor;
        m_markBytes[0] = GetRValue(m_mark);
        m_markBytes[1] = GetGValue(m_mark);
        m_markBytes[2] = GetBValue(m_mark);
        m_bMarkable = m_pMarks == nullptr && (m_mark & 0xFF000000) == 0;
        for (size_t i = 0; i < 48; ++i) {
            const size_t channel = 2 - i % 3; // memory order blue, green, red
            m_bRangeEmpty = m_bRangeEmpty || m_min[channel] > 255;
            m_minBytes[i] = static_cast<BYTE>(m_min[channel]);
            m_spanBytes[i] = static_cast<BYTE>(m_span[channel]);
            m_markRow[i] = m_markBytes[channel];
        }
    } else if (m_bytesPerPixel == 3) {
        m_pCache = std::make_unique<CThresholdTestCache>();
    }
    if (m_bytesPerPixel == 1) {
        const std::span<const COLORREF> palette = page.GetPalette();
        for (size_t i = 0; i < m_paletteSamples.size() && i < palette.size(); ++i)
            m_paletteSamples[i] = Classify(palette[i]);
    }
}

CObjectPixelScan::Sample CObjectPixelScan::AskThreshold(COLORREF color) const
{
    if (m_pMarks == nullptr && m_threshold.IsMarkColor(color))
        return mark;
    return m_threshold.IsObjectColor(color) ? object : background;
}

CObjectPixelScan::Sample CObjectPixelScan::Classify(COLORREF color)
{
    if (m_bPlain) {
        if (m_bMarkable && color == m_mark)
            return mark;
        return InRanges(GetRValue(color), GetGValue(color), GetBValue(color)) ? object : background;
    }
    if (m_pCache)
        return static_cast<Sample>(m_pCache->Lookup(color, [this](DWORD c) { return AskThreshold(c); }));
    return AskThreshold(color);
}

// The mark rule over the pixels from x up to end; true with x on the
// pixel found.
template <class SampleAt>
bool CObjectPixelScan::ScanPixels(int& x, int end, int step, bool& marked, SampleAt&& sampleAt)
{
    for (; x < end; x += step) {
        const Sample sample = sampleAt(x);
        if (sample == mark)
            marked = true;
        else if (sample == background)
            marked = false;
        else if (!marked)
            return true;
    }
    return false;
}

bool CObjectPixelScan::IsMarkAt(const BYTE* row, const BYTE* marks, int x) const
{
    return marks ? CMarkMask::IsMarkedIn(marks, x) : IsMarkPixel(row + static_cast<size_t>(x) * 3);
}

bool CObjectPixelScan::ScanPlainRow(const BYTE* row, const BYTE* marks, int& x, int end) const
{
    // The rule only asks where background starts and ends: the first pixel
    // that is not background is found when it is no mark, and after a mark
    // the search goes on behind the next background pixel.
    for (;;) {
        x = FindPixel(row, marks, x, end, false);
        if (x >= end)
            return false;
        if (!IsMarkAt(row, marks, x))
            return true;
        x = FindPixel(row, marks, x + 1, end, true);
        if (x >= end)
            return false;
    }
}

int CObjectPixelScan::FindPixel(const BYTE* row, const BYTE* marks, int x, int end, bool background) const
{
#if defined(__SSE2__)
    // 16 pixels (48 bytes) at a time: every byte is tested against the
    // range and the mark byte of its channel, and a pixel passes when its
    // three bytes do; or the marks are 16 bits of the mask. Bit 3 i of a
    // mask stands for pixel i.
    constexpr int kBlock = 16;
    constexpr uint64_t kPixelBits = 0x249249249249ULL;
    const auto load = [](const BYTE* bytes) { return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes)); };
    const __m128i minimum[3] = {load(m_minBytes), load(m_minBytes + 16), load(m_minBytes + 32)};
    const __m128i span[3] = {load(m_spanBytes), load(m_spanBytes + 16), load(m_spanBytes + 32)};
    const __m128i markBytes[3] = {load(m_markRow), load(m_markRow + 16), load(m_markRow + 32)};
    while (end - x >= kBlock) {
        const BYTE* p = row + static_cast<size_t>(x) * 3;
        uint64_t inside = 0;
        uint64_t equal = 0;
        for (int k = 0; k < 3; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            const __m128i offset = _mm_sub_epi8(v, minimum[k]);
            const __m128i within = _mm_cmpeq_epi8(_mm_max_epu8(offset, span[k]), span[k]);
            inside |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(within))) << (16 * k);
            if (m_bMarkable)
                equal |= static_cast<uint64_t>(
                             static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, markBytes[k]))))
                         << (16 * k);
        }
        uint64_t object = m_bRangeEmpty ? 0 : inside & (inside >> 1) & (inside >> 2) & kPixelBits;
        if (m_bInverted)
            object = ~object & kPixelBits;
        uint64_t marked = equal & (equal >> 1) & (equal >> 2) & kPixelBits;
        if (marks)
            if (const unsigned bits = CMarkMask::MarksFrom(marks, x))
                marked = SpreadToPixels(bits);
        const uint64_t notBackground = object | marked;
        const uint64_t hits = background ? ~notBackground & kPixelBits : notBackground;
        if (hits != 0)
            return x + std::countr_zero(hits) / 3;
        x += kBlock;
    }
#endif
    for (; x < end; ++x)
        if (IsBackgroundAt(row, marks, x) == background)
            return x;
    return end;
}

void CObjectPixelScan::ReadAhead(int y)
{
    // Objects found on row y are traced downwards over rows the scan has
    // not read yet; fetched ahead, a trace finds them in the cache
    // instead of waiting for memory at every row.
    m_nReadAheadRow = y;
    const int row = y + kReadAheadRows;
    if (row < 0 || row >= m_height)
        return;
    const BYTE* first = m_base + static_cast<size_t>(row) * m_stride;
    const size_t bytes = static_cast<size_t>(m_width) * static_cast<size_t>(m_bytesPerPixel);
    for (size_t offset = 0; offset < bytes; offset += 64)
        __builtin_prefetch(first + offset, 0, 3);
}

int CObjectPixelScan::ScanRow(int& x, int y, int right, int step)
{
    step = std::max(step, 1);
    if (y != m_nReadAheadRow)
        ReadAhead(y);
    // Left of the page: background, which only clears the mark state, and
    // the state starts cleared.
    x = StepTo(x, std::min(0, right), step);
    bool marked = false;
    const int end = std::min(right, m_width);
    if (y >= 0 && y < m_height && x < end) {
        const BYTE* row = m_base + static_cast<size_t>(y) * m_stride;
        const BYTE* marks = m_pMarks ? m_pMarks->GetRow(y) : nullptr;
        // The colour's sample, behind the mask's marks when there is one.
        const auto scan = [&](auto colourSample) {
            if (marks == nullptr)
                return ScanPixels(x, end, step, marked, colourSample);
            return ScanPixels(x, end, step, marked, [&](int px) {
                return CMarkMask::IsMarkedIn(marks, px) ? mark : colourSample(px);
            });
        };
        bool found = false;
        if (m_bytesPerPixel == 1) {
            found = scan([&](int px) { return m_paletteSamples[row[px]]; });
        } else if (m_bPlain && step == 1) {
            found = ScanPlainRow(row, marks, x, end);
        } else if (m_bPlain) {
            found = scan([&](int px) {
                const BYTE* p = row + static_cast<size_t>(px) * 3;
                if (IsMarkPixel(p))
                    return mark;
                return InRanges(p[2], p[1], p[0]) ? object : background;
            });
        } else {
            found = scan([&](int px) {
                const BYTE* p = row + static_cast<size_t>(px) * 3;
                return Classify(RGB(p[2], p[1], p[0]));
            });
        }
        if (found)
            return 1;
    }
    // Right of the page, or a row outside it: background to the row's end.
    x = StepTo(x, right, step);
    return 0;
}

} // namespace kestrun
