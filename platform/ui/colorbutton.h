#pragma once
// CColorButton: a push button with its own text and background colours and
// a 3-D frame, drawn by itself. The caption keeps the button's alignment
// styles; a multi-line button breaks it at line feeds.

#include "platform/ui/button.h"

// Caption alignment of buttons.
inline constexpr DWORD BS_LEFT = 0x100;
inline constexpr DWORD BS_RIGHT = 0x200;
inline constexpr DWORD BS_CENTER = 0x300;
inline constexpr DWORD BS_TOP = 0x400;
inline constexpr DWORD BS_BOTTOM = 0x800;
inline constexpr DWORD BS_VCENTER = 0xC00;

class CColorButton : public CButton
{
    DECLARE_DYNAMIC(CColorButton)

public:
    CColorButton();

    // Repaints when the window exists.
    void SetColors(COLORREF crText, COLORREF crBackground);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBkColor() const { return m_crBackground; }
    void SetDisabledBkColor(COLORREF color) { m_crDisabledBackground = color; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void TakeOverFrom(CWnd& other) override;

private:
    void DrawFrame(CDC* pDC, CRect rect, bool pressed, bool outlined) const;
    void DrawCaption(CDC* pDC, const CRect& rect, bool disabled) const;

    COLORREF m_crText;
    COLORREF m_crBackground;
    COLORREF m_crDisabledBackground;
    COLORREF m_crLight;
    COLORREF m_crHighlight;
    COLORREF m_crShadow;
    COLORREF m_crDarkShadow;
    bool m_bDefault = false;
};
