#include "objectmodel/textlabel.h"

#include "platform/core/dc.h"

void CTextLabel::Draw(CDC* pDC, int x, int y) const
{
    if (pDC == nullptr)
        return;
    // The saved state brings font, modes and colours back afterwards.
    const int saved = pDC->SaveDC();
    pDC->SetBkMode(m_nBkMode);
    pDC->SetTextColor(m_crTextColor);
    CFont font;
    if (m_Font && font.CreateFontIndirect(&*m_Font))
        pDC->SelectObject(&font);
    // Top-left corner of the text at the point, whatever the context's alignment.
    pDC->SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
    pDC->TextOut(x, y, m_strText);
    pDC->RestoreDC(saved);
}

CSize CTextLabel::GetExtent(CDC* pDC) const
{
    if (pDC == nullptr)
        return CSize();
    const int saved = pDC->SaveDC();
    CFont font;
    if (m_Font && font.CreateFontIndirect(&*m_Font))
        pDC->SelectObject(&font);
    const CSize extent = pDC->GetTextExtent(m_strText);
    pDC->RestoreDC(saved);
    return extent;
}
