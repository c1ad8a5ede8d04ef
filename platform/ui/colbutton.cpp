#include "platform/ui/colbutton.h"

#include "platform/core/dc.h"
#include "platform/ui/systemlook.h"

IMPLEMENT_DYNAMIC(CColButton, CButton)

BOOL CColButton::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style = static_cast<LONG>((static_cast<DWORD>(cs.style) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    return CButton::PreCreateWindow(cs);
}

void CColButton::TakeOverFrom(CWnd& other)
{
    CButton::TakeOverFrom(other);
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

void CColButton::SetColor(COLORREF color)
{
    m_crColor = color;
    if (m_hWnd)
        Invalidate();
}

void CColButton::SetSelected(BOOL bSelected)
{
    m_bSelected = bSelected;
    if (m_hWnd)
        Invalidate();
}

void CColButton::OnSetFocus(CWnd* pOldWnd)
{
    CButton::OnSetFocus(pOldWnd);
    Invalidate();
}

void CColButton::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    Invalidate();
}

void CColButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct ? lpDrawItemStruct->hDC : nullptr;
    if (pDC == nullptr)
        return;
    const CRect whole(lpDrawItemStruct->rcItem);
    pDC->FillSolidRect(whole, GetSysColor(COLOR_BTNFACE));
    CRect rect = whole;
    rect.DeflateRect(2, 2);
    if (m_bSelected) {
        for (int frame = 0; frame < 2; ++frame) {
            pDC->Draw3dRect(&rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            rect.DeflateRect(1, 1);
        }
    }
    pDC->FillSolidRect(rect, m_crColor);
    if (lpDrawItemStruct->itemState & ODS_FOCUS)
        DrawFocusRect(pDC, &whole);
}
