#include "outside/pixmere/device.h"

#include "platform/core/exceptions.h"

#include <cstdlib>
#include <set>
#include <utility>

namespace kestrun {

COLORREF ApplyRop2(int rop, COLORREF pen, COLORREF pixel)
{
    if (rop < R2_BLACK || rop > R2_WHITE)
        return pixel;
    // The operation code less one is a truth table over (pen, pixel) bit
    // pairs: bit 0 for (0, 0), bit 1 for (0, 1), bit 2 for (1, 0), bit 3 for (1, 1).
    const unsigned table = static_cast<unsigned>(rop - 1);
    const auto when = [&](unsigned bit) { return (table >> bit) & 1U ? 0xFFFFFFFFU : 0U; };
    const COLORREF result = (~pen & ~pixel & when(0)) | (~pen & pixel & when(1)) | (pen & ~pixel & when(2)) |
                            (pen & pixel & when(3));
    return result & 0x00FFFFFF;
}

} // namespace kestrun

namespace {

// Visits the points of a digital line from one point up to, not including,
// the other.
template <typename Visit>
void walkLine(CPoint from, CPoint to, Visit visit)
{
    const long long dx = std::llabs(static_cast<long long>(to.x) - from.x);
    const long long dy = -std::llabs(static_cast<long long>(to.y) - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    long long error = dx + dy;
    CPoint p = from;
    while (p != to) {
        visit(p);
        const long long twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.y += sy;
        }
    }
}

} // namespace

CPoint Device::MoveTo(POINT point) { return std::exchange(m_position, CPoint(point)); }

void Device::LineTo(POINT point, COLORREF colour, int rop, int width)
{
    if (width < 1)
        AfxThrowInvalidArgException();
    const CPoint from = std::exchange(m_position, CPoint(point));
    const CRect image(0, 0, GetWidth(), GetHeight());
    const auto paint = [&](int x, int y) { SetPixel(x, y, kestrun::ApplyRop2(rop, colour, GetPixel(x, y))); };
    if (width == 1) {
        walkLine(from, point, [&](CPoint p) {
            if (image.PtInRect(p))
                paint(p.x, p.y);
        });
        return;
    }
    // A square pen covers neighbouring pixels several times; combine each once.
    const int before = (width - 1) / 2;
    std::set<std::pair<int, int>> covered;
    walkLine(from, point, [&](CPoint p) {
        const CRect pen = CRect(p.x - before, p.y - before, p.x - before + width, p.y - before + width) & image;
        for (int y = pen.top; y < pen.bottom; ++y) {
            for (int x = pen.left; x < pen.right; ++x)
                covered.emplace(y, x);
        }
    });
    for (const auto& [y, x] : covered)
        paint(x, y);
}
