#include "objectmodel/boundingrect.h"

#include "platform/core/dc.h"

#include <algorithm>

void CBoundingRect::Draw(CDC* pDC) const
{
    pDC->MoveTo(left, top);
    pDC->LineTo(right, top);
    pDC->LineTo(right, bottom);
    pDC->LineTo(left, bottom);
    pDC->LineTo(left, top);
}

void CBoundingRect::AddPoint(int x, int y)
{
    const CPoint point(x, y);
    if (IsEmpty()) {
        SetRect(x, y, x, y);
        m_ptLeftmost = m_ptTopmost = m_ptRightmost = m_ptBottommost = point;
        m_bHasPoint = true;
    }
    // Strict tests against the old bounds: ties keep the earlier point.
    if (x < left)
        m_ptLeftmost = point;
    if (y < top)
        m_ptTopmost = point;
    if (x > right)
        m_ptRightmost = point;
    if (y > bottom)
        m_ptBottommost = point;
    left = std::min<LONG>(left, x);
    top = std::min<LONG>(top, y);
    right = std::max<LONG>(right, x);
    bottom = std::max<LONG>(bottom, y);
}

void CBoundingRect::Offset(int dx, int dy)
{
    OffsetRect(dx, dy);
    m_ptLeftmost.Offset(dx, dy);
    m_ptTopmost.Offset(dx, dy);
    m_ptRightmost.Offset(dx, dy);
    m_ptBottommost.Offset(dx, dy);
}

void CBoundingRect::SetFromExtremes(POINT leftmost, POINT topmost, POINT rightmost, POINT bottommost)
{
    const POINT points[] = {leftmost, topmost, rightmost, bottommost};
    left = right = leftmost.x;
    top = bottom = leftmost.y;
    for (const POINT& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    m_ptLeftmost = leftmost;
    m_ptTopmost = topmost;
    m_ptRightmost = rightmost;
    m_ptBottommost = bottommost;
    m_bHasPoint = true;
}
