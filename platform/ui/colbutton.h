#pragma once
// CColButton: a colour swatch. A selected swatch shows two sunken frames
// around its colour; the focused one a focus rectangle.

#include "platform/ui/button.h"

class CColButton : public CButton
{
    DECLARE_DYNAMIC(CColButton)

public:
    CColButton() = default;

    void SetColor(COLORREF color);
    COLORREF GetColor() const { return m_crColor; }
    void SetSelected(BOOL bSelected);
    BOOL IsSelected() const { return m_bSelected; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void TakeOverFrom(CWnd& other) override;
    void OnSetFocus(CWnd* pOldWnd) override;
    void OnKillFocus(CWnd* pNewWnd) override;

private:
    COLORREF m_crColor = RGB(0, 0, 0);
    BOOL m_bSelected = FALSE;
};
