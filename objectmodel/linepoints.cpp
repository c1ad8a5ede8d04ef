#include "objectmodel/linepoints.h"

#include "platform/core/exceptions.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// The fixed-point arithmetic runs in 64 bits: within the 16-bit range that
// images use it gives the 32-bit results exactly, and beyond it nothing
// overflows.
constexpr std::int64_t kOne = 65536;
constexpr std::int64_t kHalf = 32768;

LONG FixedToInt(std::int64_t fixed)
{
    return static_cast<LONG>(fixed >> 16); // arithmetic shift: rounds down
}

} // namespace

int CLinePoints::Init(int x1, int y1, int x2, int y2)
{
    const std::int64_t dx = std::int64_t{x2} - x1;
    const std::int64_t dy = std::int64_t{y2} - y1;
    const std::int64_t adx = std::llabs(dx);
    const std::int64_t ady = std::llabs(dy);

    m_Points.clear();
    m_Points.reserve(static_cast<size_t>(std::max(adx, ady) + 1));
    m_Points.push_back({x1, y1});

    if (adx > ady) {
        const std::int64_t increment = dy * kOne / adx;
        std::int64_t accumulator = y1 * kOne + kHalf;
        const int sx = x2 < x1 ? -1 : 1;
        for (int x = x1 + sx; x != x2; x += sx) {
            accumulator += increment;
            m_Points.push_back({x, FixedToInt(accumulator)});
        }
        m_Points.push_back({x2, y2});
    } else if (ady > 0) {
        const std::int64_t increment = dx * kOne / ady;
        std::int64_t accumulator = x1 * kOne + kHalf;
        const int sy = y2 < y1 ? -1 : 1;
        for (int y = y1 + sy; y != y2; y += sy) {
            accumulator += increment;
            m_Points.push_back({FixedToInt(accumulator), y});
        }
        m_Points.push_back({x2, y2});
    }
    return 1;
}

const POINT& CLinePoints::GetAt(int index) const
{
    if (index < 0 || index >= GetCount())
        AfxThrowInvalidArgException();
    return m_Points[static_cast<size_t>(index)];
}
