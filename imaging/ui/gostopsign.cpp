#include "imaging/ui/gostopsign.h"

#include "platform/ui/windowdc.h"

IMPLEMENT_DYNAMIC(CGoStopSign, CWnd)

CGoStopSign::~CGoStopSign()
{
    DestroyHandleNow();
}

BOOL CGoStopSign::Create(CPoint topLeft, CWnd* pParentWnd, UINT nID)
{
    const CRect rect(topLeft, CSize(kSize, kSize));
    return CWnd::Create(nullptr, "GO", WS_CHILD | WS_VISIBLE, rect, pParentWnd, nID);
}

void CGoStopSign::Show(bool bGo)
{
    m_bGo = bGo;
    if (GetSafeHwnd() == nullptr)
        return;
    EnableWindow(bGo ? TRUE : FALSE);
    SetWindowText(bGo ? "GO" : "STOP");
    Invalidate(FALSE);
}

void CGoStopSign::Draw(CDC* pDC, const CRect& rect) const
{
    const COLORREF colour = m_bGo ? kGoColour : kStopColour;
    CPen pen(PS_SOLID, 1, colour);
    CBrush brush(colour);
    CPen* oldPen = pDC->SelectObject(&pen);
    CBrush* oldBrush = pDC->SelectObject(&brush);
    pDC->Ellipse(rect.left, rect.top, rect.right, rect.bottom);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF oldText = pDC->SetTextColor(RGB(255, 255, 255));
    CRect text = rect;
    pDC->DrawText(m_bGo ? "GO" : "STOP", &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetTextColor(oldText);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(oldBrush);
    pDC->SelectObject(oldPen);
}

void CGoStopSign::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    Draw(&dc, client);
}
