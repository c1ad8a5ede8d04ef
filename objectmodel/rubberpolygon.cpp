#include "objectmodel/rubberpolygon.h"

#include "platform/core/dc.h"

namespace {

// Inverting raster mode with a 1-pixel solid pen for as long as it lives.
class CInvertingPen
{
public:
    explicit CInvertingPen(CDC* pDC) : m_pDC(pDC)
    {
        m_pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        m_pOldPen = m_pDC->SelectObject(&m_pen);
        m_nOldRop = m_pDC->SetROP2(R2_NOT);
    }
    ~CInvertingPen()
    {
        m_pDC->SetROP2(m_nOldRop);
        if (m_pOldPen != nullptr)
            m_pDC->SelectObject(m_pOldPen);
    }
    CInvertingPen(const CInvertingPen&) = delete;
    CInvertingPen& operator=(const CInvertingPen&) = delete;

private:
    CDC* m_pDC;
    CPen m_pen;
    CPen* m_pOldPen = nullptr;
    int m_nOldRop = R2_COPYPEN;
};

} // namespace

void CRubberPolygon::DrawRubberLine(CDC* pDC, int x, int y)
{
    if (IsEmpty() || !m_bActive)
        return;
    const CPoint last = GetAt(GetUpperBound());
    CInvertingPen pen(pDC);
    if (m_bFirstMove) {
        m_bFirstMove = FALSE;
    } else {
        pDC->MoveTo(last);
        pDC->LineTo(m_ptRubberEnd);
    }
    m_ptRubberEnd.SetPoint(x, y);
    pDC->MoveTo(last);
    pDC->LineTo(m_ptRubberEnd);
    m_nLastDrawn = static_cast<int>(GetUpperBound());
}

void CRubberPolygon::DrawNewPoints(CDC* pDC)
{
    if (GetSize() < m_nLastDrawn + 2)
        return;
    for (INT_PTR i = m_nLastDrawn + 1; i < GetSize(); ++i) {
        const POINT& p = GetAt(i);
        pDC->SetPixel(p, ~pDC->GetPixel(p) & 0x00FFFFFF);
    }
    // The index of the last point shown, as DrawRubberLine keeps it.
    m_nLastDrawn = static_cast<int>(GetUpperBound());
}
