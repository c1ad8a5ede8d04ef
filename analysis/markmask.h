#pragma once
// CMarkMask: the marks of an object search, one bit per page pixel, kept
// apart from the page. A traced object is marked here so that the search
// finds it once; a page pixel is never taken for a mark, whatever its
// colour and the thresholds, and the page is not touched.
//
// The storage stays while the size stays, so a run covers the page once
// and each search inside it only clears the rows it marked.

#include "objectmodel/rpointarray.h"
#include "platform/core/types.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kestrun {

class CMarkMask
{
public:
    CMarkMask() = default;
    CMarkMask(const CMarkMask&) = delete;
    CMarkMask& operator=(const CMarkMask&) = delete;

    // A mask of width x height pixels without marks. A negative size is an
    // invalid argument.
    void Cover(int width, int height);
    // Takes every mark away.
    void Clear();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Bytes per row.
    size_t GetStride() const { return m_stride; }

    // Points outside the mask are never marked.
    void Mark(int x, int y)
    {
        if (!IsInside(x, y))
            return;
        m_bits[Offset(x, y)] |= static_cast<BYTE>(1U << (x & 7));
        if (y < m_firstRow)
            m_firstRow = y;
        if (y > m_lastRow)
            m_lastRow = y;
    }
    void Mark(const CRPointArray& points);
    bool IsMarked(int x, int y) const
    {
        return IsInside(x, y) && ((m_bits[Offset(x, y)] >> (x & 7)) & 1U) != 0;
    }

    // Row y (inside the mask) for scans: bit x & 7 of byte x / 8 is pixel x.
    const BYTE* GetRow(int y) const { return m_bits.get() + static_cast<size_t>(y) * m_stride; }
    static bool IsMarkedIn(const BYTE* row, int x) { return ((row[x >> 3] >> (x & 7)) & 1U) != 0; }
    // Bit i of the answer is pixel x + i, for i < 16; pixels x to x + 15
    // lie in the row.
    static unsigned MarksFrom(const BYTE* row, int x)
    {
        // One word load: three bytes copied in pieces stall the load
        // behind them.
        uint32_t word = 0;
        std::memcpy(&word, row + (x >> 3), 4);
        return (word >> (x & 7)) & 0xFFFFU;
    }

private:
    bool IsInside(int x, int y) const
    {
        return static_cast<unsigned>(x) < static_cast<unsigned>(m_width) &&
               static_cast<unsigned>(y) < static_cast<unsigned>(m_height);
    }
    size_t Offset(int x, int y) const { return static_cast<size_t>(y) * m_stride + static_cast<size_t>(x >> 3); }

    struct sFreeBits
    {
        void operator()(BYTE* bits) const { std::free(bits); }
    };
    std::unique_ptr<BYTE[], sFreeBits> m_bits;
    int m_width = 0;
    int m_height = 0;
    size_t m_stride = 0; // bytes per row
    // The rows that hold marks; none when the first lies below the last.
    int m_firstRow = INT_MAX;
    int m_lastRow = -1;
};

// The mask of one search: covers the page and is bound to the tracer's
// mask pointer while the search lasts; afterwards the marks are gone and
// the pointer is what it was. Searches with one mask do not nest.
class CMarkSession
{
public:
    CMarkSession(CMarkMask& mask, CMarkMask*& binding, int width, int height)
        : m_mask(mask), m_binding(binding), m_previous(binding)
    {
        m_mask.Cover(width, height);
        m_binding = &m_mask;
    }
    CMarkSession(const CMarkSession&) = delete;
    CMarkSession& operator=(const CMarkSession&) = delete;
    ~CMarkSession()
    {
        m_binding = m_previous;
        m_mask.Clear();
    }

private:
    CMarkMask& m_mask;
    CMarkMask*& m_binding;
    CMarkMask* m_previous;
};

} // namespace kestrun
