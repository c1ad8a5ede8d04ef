#include "objectmodel/cross.h"

#include "platform/core/dc.h"

CCross::CCross(COLORREF color, int penWidth, int rop) : m_nRop(rop), m_crColor(color), m_nPenWidth(penWidth) {}

void CCross::DrawArms(CDC* pDC, int x, int y, double upper, double lower) const
{
    const int up = static_cast<int>(upper * armLength);
    const int down = static_cast<int>(lower * armLength);
    CPen pen(PS_SOLID, m_nPenWidth, m_crColor);
    const int saved = pDC->SaveDC();
    pDC->SelectObject(&pen);
    // The arms leave the centre out of the vertical stroke, so that an
    // inverting cross touches every pixel once.
    pDC->MoveTo(x, y - up);
    pDC->LineTo(x, y - 1);
    pDC->MoveTo(x, y + 1);
    pDC->LineTo(x, y + down);
    pDC->MoveTo(x - up, y);
    pDC->LineTo(x + up, y);
    pDC->RestoreDC(saved);
}

void CCross::Draw(CDC* pDC, int x, int y, BOOL erase)
{
    if (pDC == nullptr)
        return;
    if (erase)
        Erase(pDC);
    const int oldRop = pDC->SetROP2(m_nRop);
    DrawArms(pDC, x, y, m_dUpperFactor, m_dLowerFactor);
    m_nX = x;
    m_nY = y;
    m_bShown = TRUE;
    pDC->MoveTo(x, y);
    pDC->SetROP2(oldRop);
}

void CCross::Erase(CDC* pDC)
{
    if (pDC == nullptr || !m_bShown)
        return;
    const int oldRop = pDC->SetROP2(m_nRop);
    DrawArms(pDC, m_nX, m_nY, 1.0, 1.0);
    m_bShown = FALSE;
    pDC->SetROP2(oldRop);
}

COLORREF CCross::SetColor(COLORREF color)
{
    const COLORREF old = m_crColor;
    m_crColor = color;
    return old;
}
