#include "analysis/points.h"

#include "analysis/aoi.h"
#include "platform/core/dc.h"
#include "platform/core/gdi.h"

#include <cstdlib>

void CPoints::Start(int nMode)
{
    RemoveAll();
    m_bFirstLine = 1;
    m_bFirst = 1;
    m_bClosed = 0;
    m_nMode = nMode;
}

void CPoints::AddPoint(int x, int y)
{
    Add(POINT{x, y});
    m_ptCurrent = CPoint(x, y);
}

bool CPoints::IsComplete() const
{
    const INT_PTR count = GetSize();
    switch (m_nMode) {
    case modePoint:
        return count >= 1;
    case modeLine:
    case modeRectangle:
    case modeEllipse:
    case modeRing:
        return count >= 2;
    case modeParallelogram:
        return count >= 3;
    case modePolygon:
        return m_bClosed != 0;
    default:
        return false;
    }
}

template <class Draw> void CPoints::Redraw(int& bFirst, Draw draw)
{
    if (bFirst != 0)
        bFirst = 0;
    else
        draw(m_ptPrevious);
    draw(m_ptCurrent);
}

int CPoints::DrawFeedback(CDC* pDC, bool bKeep)
{
    if (!bKeep)
        m_bFirstLine = 1;
    if (IsEmpty() || pDC == nullptr)
        return 0;
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = pDC->SelectObject(&pen);
    const int oldRop = pDC->SetROP2(kRubberBandRop);

    switch (m_nMode) {
    case modeLine:
        Redraw(m_bFirstLine, [&](CPoint end) { DrawLineTo(pDC, end); });
        break;
    case modeRectangle:
        Redraw(m_bFirst, [&](CPoint end) { DrawRectangleTo(pDC, end); });
        break;
    case modeParallelogram:
        if (GetSize() >= 2)
            Redraw(m_bFirst, [&](CPoint end) { DrawParallelogramTo(pDC, end); });
        else
            Redraw(m_bFirstLine, [&](CPoint end) { DrawLineTo(pDC, end); });
        break;
    case modePolygon:
        if (GetSize() >= 2) {
            pDC->MoveTo(PointAt(GetSize() - 2));
            pDC->LineTo(LastPoint());
        }
        break;
    case modeEllipse:
        Redraw(m_bFirst, [&](CPoint end) { DrawEllipseTo(pDC, end); });
        break;
    case modeRing:
        Redraw(m_bFirst, [&](CPoint end) { DrawRingTo(pDC, end); });
        break;
    default:
        break;
    }

    m_ptPrevious = m_ptCurrent;
    pDC->SetROP2(oldRop);
    pDC->SelectObject(oldPen);
    return static_cast<int>(GetSize());
}

void CPoints::DrawLineTo(CDC* pDC, CPoint end) const
{
    pDC->MoveTo(LastPoint());
    pDC->LineTo(end);
}

void CPoints::DrawRectangleTo(CDC* pDC, CPoint end) const
{
    const CPoint p0 = PointAt(0);
    const POINT path[] = {p0, {end.x, p0.y}, end, {p0.x, end.y}, p0};
    pDC->Polyline(path, 5);
}

void CPoints::DrawParallelogramTo(CDC* pDC, CPoint end) const
{
    const CPoint p0 = PointAt(0);
    const CPoint p1 = PointAt(1);
    const CPoint d(p0.x - p1.x, p0.y - p1.y);
    pDC->MoveTo(p1);
    pDC->LineTo(end);
    const POINT path[] = {p0, {end.x + d.x, end.y + d.y}, end};
    pDC->Polyline(path, 3);
}

void CPoints::DrawEllipseTo(CDC* pDC, CPoint end) const
{
    const CPoint p0 = PointAt(0);
    // A flatter figure has no outline to show.
    if (std::abs(end.x - p0.x) < 2 || std::abs(end.y - p0.y) < 2)
        return;
    CAOIEllipse ellipse;
    ellipse.SetFromCorners(p0.x, p0.y, end.x, end.y);
    ellipse.Draw(pDC);
}

void CPoints::DrawRingTo(CDC* pDC, CPoint end) const
{
    const CPoint p0 = PointAt(0);
    CAOIRing ring;
    ring.SetRingWidth(kRingWidth);
    ring.SetFromCorners(p0.x, p0.y, end.x, end.y);
    ring.Draw(pDC);
}

int CPoints::DrawLine(CDC* pDC) const
{
    if (GetSize() >= 2 && pDC != nullptr) {
        pDC->MoveTo(PointAt(0));
        pDC->LineTo(PointAt(1));
    }
    return static_cast<int>(GetSize());
}
