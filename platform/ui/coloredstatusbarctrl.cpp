#include "platform/ui/coloredstatusbarctrl.h"

#include "platform/core/dc.h"

IMPLEMENT_DYNAMIC(CColoredStatusBarCtrl, CStatusBar)

CColoredStatusBarCtrl::CColoredStatusBarCtrl() = default;

CColoredStatusBarCtrl::~CColoredStatusBarCtrl()
{
    DestroyHandleNow();
}

void CColoredStatusBarCtrl::SetPane4Text(LPCTSTR lpszText)
{
    m_strPane4Text = lpszText ? lpszText : "";
    if (GetCount() > 3)
        SetPaneText(3, GetPaneText(3)); // repaints the pane
}

void CColoredStatusBarCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct ? lpDrawItemStruct->hDC : nullptr;
    if (pDC == nullptr)
        return;
    const CRect rect(lpDrawItemStruct->rcItem);
    const auto* paneText = reinterpret_cast<const char*>(lpDrawItemStruct->itemData);
    CString text = paneText ? paneText : "";
    const int saved = pDC->SaveDC();
    pDC->SetBkMode(OPAQUE);
    switch (lpDrawItemStruct->itemID) {
    case 0:
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 75, 75));
        break;
    case 1:
        pDC->SetTextColor(RGB(255, 0, 0));
        break;
    case 2:
        pDC->SetTextColor(RGB(0, 128, 64));
        break;
    case 3:
        pDC->SetTextColor(RGB(0, 0, 0));
        text = m_strPane4Text;
        break;
    default:
        pDC->RestoreDC(saved);
        return;
    }
    pDC->TextOut(rect.left + 2, rect.top, text);
    pDC->RestoreDC(saved);
}
