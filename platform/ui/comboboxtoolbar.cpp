#include "platform/ui/comboboxtoolbar.h"

IMPLEMENT_DYNAMIC(CComboBoxToolBar, CToolBar)

CComboBoxToolBar::~CComboBoxToolBar()
{
    // The combo boxes go with the bar's window, before their members.
    DestroyHandleNow();
}

BOOL CComboBoxToolBar::CreateComboBox(CComboBox& combo, int nIndex, UINT nID, int cxWidth, int nDropHeight,
                                      DWORD dwStyle)
{
    if (m_hWnd == nullptr || nIndex < 0 || nIndex >= GetCount() || cxWidth <= 0)
        return FALSE;
    SetButtonInfo(nIndex, nID, TBBS_SEPARATOR, cxWidth);
    CRect rect;
    GetItemRect(nIndex, &rect);
    rect.top = 3;
    rect.bottom = rect.top + nDropHeight;
    if (!combo.Create(dwStyle, rect, this, nID))
        return FALSE;
    if (m_font.GetSafeHandle())
        combo.SetFont(&m_font);
    return TRUE;
}
