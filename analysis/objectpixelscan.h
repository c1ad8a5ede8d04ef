#pragma once
// CObjectPixelScan: the row scan of the object search over the row memory
// of an image page. Counting walks every pixel of the area once, so the
// scan reads rows through pointers and tests colours inline (the
// threshold's channel ranges, or a palette table on an 8-bit page) instead
// of calling the page and the threshold per pixel. A threshold class that
// overrides the tests is asked through them, once per colour.
//
// The marks of traced objects are those of a mark mask when the scan has
// one; only without it is the threshold's mark colour a mark.
//
// The answers are those of the scan through Device::GetPixel and the
// threshold's virtual tests: the same pixels found, the same end position.

#include "analysis/segthres.h"
#include "analysis/thresholdtestcache.h"
#include "platform/core/types.h"

#include <array>
#include <memory>

class CDIB;

namespace kestrun {

class CMarkMask;

class CObjectPixelScan
{
public:
    enum Sample : BYTE
    {
        background = 0,
        mark = 1,
        object = 2,
    };

    // page (8 or 24 bits), threshold and marks stay alive and unchanged in
    // size while the scan lives; their pixels may change between calls.
    // marks, when given, has the page's size (else CInvalidArgException).
    CObjectPixelScan(const CDIB& page, const CSegThres& threshold, const CMarkMask* marks = nullptr);
    CObjectPixelScan(const CObjectPixelScan&) = delete;
    CObjectPixelScan& operator=(const CObjectPixelScan&) = delete;

    // Whether the page has a depth the scan reads (8 or 24 bits).
    static bool CanScan(const CDIB& page);
    // Whether the scan was made for these (a scan kept for a search).
    bool Reads(const CDIB& page, const CSegThres& threshold, const CMarkMask* marks) const;

    // Row y from x on in steps, up to but not including right. An object
    // pixel counts only when no mark precedes it since the last
    // background pixel; outside the page there is only background. Returns
    // 1 with x on the pixel found, else 0 with x on the first step position
    // at or beyond right.
    int ScanRow(int& x, int y, int right, int step);

    // The colour alone: with a mark mask no colour is a mark.
    Sample Classify(COLORREF color);

private:
    template <class SampleAt>
    static bool ScanPixels(int& x, int end, int step, bool& marked, SampleAt&& sampleAt);
    // The mark rule over the pixels of a 24-bit row from x up to end, one
    // pixel at a time, for a plain threshold. marks: the row of the mark
    // mask, null without one.
    bool ScanPlainRow(const BYTE* row, const BYTE* marks, int& x, int end) const;
    // The first pixel from x on (end when none) that is (not) background.
    int FindPixel(const BYTE* row, const BYTE* marks, int x, int end, bool background) const;
    Sample AskThreshold(COLORREF color) const;
    // Asks the cache for the row kReadAheadRows below y.
    void ReadAhead(int y);
    bool InRanges(unsigned red, unsigned green, unsigned blue) const
    {
        const bool all =
            (red - m_min[0] <= m_span[0]) & (green - m_min[1] <= m_span[1]) & (blue - m_min[2] <= m_span[2]);
        return all != m_bInverted;
    }
    bool IsMarkPixel(const BYTE* p) const
    {
        return m_bMarkable & (p[2] == m_markBytes[0]) & (p[1] == m_markBytes[1]) & (p[0] == m_markBytes[2]);
    }
    bool IsMarkAt(const BYTE* row, const BYTE* marks, int x) const;
    bool IsBackgroundAt(const BYTE* row, const BYTE* marks, int x) const
    {
        const BYTE* p = row + static_cast<size_t>(x) * 3;
        return !(InRanges(p[2], p[1], p[0]) | IsMarkAt(row, marks, x));
    }

    static constexpr int kReadAheadRows = 32;

    const CSegThres& m_threshold;
    const CMarkMask* m_pMarks = nullptr;
    int m_nReadAheadRow = -1;
    const BYTE* m_base = nullptr;
    size_t m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 0;
    // The threshold is a plain CSegThres: its tests are the ranges below.
    bool m_bPlain = false;
    // Channel v passes when v - min <= span (unsigned): empty ranges have
    // min 256.
    unsigned m_min[3] = {};
    unsigned m_span[3] = {};
    bool m_bInverted = false;
    COLORREF m_mark = 0;
    // The mark colour's red, green and blue; a mark word with bits above
    // the colour, or a mark mask, leaves no colour a mark.
    BYTE m_markBytes[3] = {};
    bool m_bMarkable = false;
    // The same for 16 pixels of row memory (blue, green, red, blue, ...),
    // for the vector test; a channel without a range lets no pixel in.
    alignas(16) BYTE m_minBytes[48] = {};
    alignas(16) BYTE m_spanBytes[48] = {};
    alignas(16) BYTE m_markRow[48] = {};
    bool m_bRangeEmpty = false;
    // 8-bit pages: the sample of every palette index.
    std::array<Sample, 256> m_paletteSamples{};
    // 24-bit pages with a threshold class of its own.
    std::unique_ptr<CThresholdTestCache> m_pCache;
};

} // namespace kestrun
