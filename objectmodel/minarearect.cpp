#include "objectmodel/minarearect.h"

#include "platform/core/dc.h"

void sMinAreaRect::Draw(CDC* pDC) const
{
    if (m_nCenterX == 0)
        return;
    pDC->MoveTo(m_Corners[0]);
    for (int i = 1; i < 4; ++i)
        pDC->LineTo(m_Corners[i]);
    pDC->LineTo(m_Corners[0]);
}
