#include "analysis/markmask.h"

#include "platform/core/exceptions.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

namespace kestrun {

namespace {

// MarksFrom reads a word from the byte of its first pixel on.
constexpr size_t kTailBytes = 4;

} // namespace

void CMarkMask::Cover(int width, int height)
{
    if (width < 0 || height < 0)
        AfxThrowInvalidArgException();
    if (m_bits && width == m_width && height == m_height) {
        Clear();
        return;
    }
    const size_t stride = (static_cast<size_t>(width) + 7) / 8;
    const size_t bytes = stride * static_cast<size_t>(height) + kTailBytes;
    // Zeroed by the system where it can: a search that marks a few rows of
    // a large mask (a stripe's) never touches the others.
    m_bits.reset(static_cast<BYTE*>(std::calloc(bytes, 1)));
    if (!m_bits)
        throw std::bad_alloc();
    m_width = width;
    m_height = height;
    m_stride = stride;
    m_firstRow = INT_MAX;
    m_lastRow = -1;
}

void CMarkMask::Clear()
{
    if (m_firstRow <= m_lastRow) {
        BYTE* first = m_bits.get() + static_cast<size_t>(m_firstRow) * m_stride;
        std::fill(first, first + static_cast<size_t>(m_lastRow - m_firstRow + 1) * m_stride, BYTE{0});
    }
    m_firstRow = INT_MAX;
    m_lastRow = -1;
}

void CMarkMask::Mark(const CRPointArray& points)
{
    for (const POINT& point : points)
        Mark(point.x, point.y);
}

} // namespace kestrun
