#include "series/trackchart.h"

#include "platform/core/dc.h"

CTrackChart::CTrackChart() : m_Cross(RGB(255, 0, 0), 1, R2_COPYPEN)
{
}

void CTrackChart::DrawTrackSegment(CDC* pDC, double x1, double y1, double x2, double y2, COLORREF crColour)
{
    const CPoint origin = m_rectPlot.TopLeft();
    const CPoint from(origin.x + m_XAxis.ValueToPixel(x1 * m_dFactor), origin.y + m_LeftAxis.ValueToPixel(y1 * m_dFactor));
    const CPoint to(origin.x + m_XAxis.ValueToPixel(x2 * m_dFactor), origin.y + m_LeftAxis.ValueToPixel(y2 * m_dFactor));
    CPen pen(PS_SOLID, 1, crColour);
    CPen* old = pDC->SelectObject(&pen);
    pDC->MoveTo(from);
    pDC->LineTo(to);
    pDC->SelectObject(old);
}
