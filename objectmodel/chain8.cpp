#include "objectmodel/chain8.h"

#include "objectmodel/pointtarget.h"
#include "platform/core/dc.h"

#include <array>
#include <cstdint>

IMPLEMENT_DYNAMIC(CChain8, CChain)

namespace {

struct Step
{
    int dx;
    int dy;
};

constexpr std::array<Step, 8> kSteps = {{{1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

} // namespace

CChain8::CChain8(std::span<const POINT> closedPoints) : CChain8()
{
    size_t n = closedPoints.size();
    if (n == 0)
        return;
    const POINT first = closedPoints.front();
    if (closedPoints.back().x == first.x && closedPoints.back().y == first.y)
        --n;
    m_nStartX = first.x;
    m_nStartY = first.y;
    SetSize(static_cast<INT_PTR>(n));
    for (size_t i = 0; i < n; ++i) {
        const POINT& from = closedPoints[i];
        const POINT& to = closedPoints[i + 1 < n ? i + 1 : 0];
        SetAt(static_cast<INT_PTR>(i), static_cast<BYTE>(DirectionOf(from.x, from.y, to.x, to.y)));
    }
}

int CChain8::DirectionOf(int x1, int y1, int x2, int y2)
{
    const std::int64_t dx = std::int64_t{x2} - x1;
    const std::int64_t dy = std::int64_t{y2} - y1;
    for (int code = 0; code < 8; ++code) {
        if (kSteps[static_cast<size_t>(code)].dx == dx && kSteps[static_cast<size_t>(code)].dy == dy)
            return code;
    }
    return -1;
}

CPoint CChain8::StepPoint(int code, int x, int y)
{
    const Step& step = kSteps[code >= 1 && code <= 7 ? static_cast<size_t>(code) : 0];
    return CPoint(x + step.dx, y + step.dy);
}

void CChain8::ForEachPoint(CPointTarget& target, DWORD value) const
{
    CPoint point = GetStartPoint();
    target.SetPoint(point.x, point.y, value);
    for (const BYTE code : *this) {
        point = StepPoint(code, point.x, point.y);
        target.SetPoint(point.x, point.y, value);
    }
}

void CChain8::Draw(CDC* dc) const
{
    if (dc == nullptr)
        AfxThrowInvalidArgException();
    CPoint point = GetStartPoint();
    dc->MoveTo(point.x, point.y);
    for (const BYTE code : *this) {
        point = StepPoint(code, point.x, point.y);
        dc->LineTo(point.x, point.y);
    }
}

void CChain8::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_nStartX << m_nStartY;
        CByteArray::Serialize(ar);
        return;
    }
    LONG startX = 0;
    LONG startY = 0;
    ar >> startX >> startY;
    CByteArray codes;
    codes.Serialize(ar);
    CByteArray::Copy(codes);
    m_nStartX = startX;
    m_nStartY = startY;
}

int CChain8::Compact(std::span<const INT> codes)
{
    INT_PTR count = 0;
    for (const INT code : codes)
        count += code >= 0 ? 1 : 0;
    SetSize(count);
    INT_PTR next = 0;
    for (const INT code : codes) {
        if (code >= 0)
            SetAt(next++, static_cast<BYTE>(code % 8));
    }
    return static_cast<int>(count);
}
