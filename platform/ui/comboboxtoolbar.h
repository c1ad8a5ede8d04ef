#pragma once
// CComboBoxToolBar: a tool bar that carries up to two combo boxes in gaps
// kept for them, with the font they share.

#include "platform/core/gdi.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/listboxes.h"

class CComboBoxToolBar : public CToolBar
{
    DECLARE_DYNAMIC(CComboBoxToolBar)

public:
    CComboBoxToolBar() = default;
    ~CComboBoxToolBar() override;

    // Turns button nIndex into a gap of cxWidth pixels with id nID and
    // creates the combo box there (its list nDropHeight pixels tall), with
    // the bar's font when one was made.
    BOOL CreateComboBox(CComboBox& combo, int nIndex, UINT nID, int cxWidth, int nDropHeight = 500,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);

    CComboBox m_wndComboBox1;
    CComboBox m_wndComboBox2;
    CFont m_font;
};
