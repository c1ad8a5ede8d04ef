#include "platform/ui/colorbutton.h"

#include "platform/core/dc.h"
#include "platform/ui/systemlook.h"

#include <vector>

IMPLEMENT_DYNAMIC(CColorButton, CButton)

CColorButton::CColorButton()
    : m_crText(GetSysColor(COLOR_BTNTEXT)),
      m_crBackground(GetSysColor(COLOR_BTNFACE)),
      m_crDisabledBackground(GetSysColor(COLOR_BTNFACE)),
      m_crLight(GetSysColor(COLOR_3DLIGHT)),
      m_crHighlight(GetSysColor(COLOR_BTNHIGHLIGHT)),
      m_crShadow(GetSysColor(COLOR_BTNSHADOW)),
      m_crDarkShadow(GetSysColor(COLOR_3DDKSHADOW))
{
}

BOOL CColorButton::PreCreateWindow(CREATESTRUCT& cs)
{
    const auto style = static_cast<DWORD>(cs.style);
    m_bDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    cs.style = static_cast<LONG>((style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    return CButton::PreCreateWindow(cs);
}

void CColorButton::TakeOverFrom(CWnd& other)
{
    CButton::TakeOverFrom(other);
    m_bDefault = (GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

void CColorButton::SetColors(COLORREF crText, COLORREF crBackground)
{
    m_crText = crText;
    m_crBackground = crBackground;
    if (m_hWnd)
        Invalidate();
}

void CColorButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct ? lpDrawItemStruct->hDC : nullptr;
    if (pDC == nullptr)
        return;
    const UINT state = lpDrawItemStruct->itemState;
    const bool pressed = (state & ODS_SELECTED) != 0;
    const bool focused = (state & ODS_FOCUS) != 0;
    const bool disabled = (state & ODS_DISABLED) != 0;
    const CRect rect(lpDrawItemStruct->rcItem);

    CFont font;
    const int saved = pDC->SaveDC();
    SelectControlFont(pDC, this, font);
    pDC->FillSolidRect(rect, disabled ? m_crDisabledBackground : m_crBackground);
    DrawFrame(pDC, rect, pressed, !pressed && (focused || m_bDefault));
    DrawCaption(pDC, rect, disabled);
    if (focused) {
        CRect focusRect = rect;
        focusRect.DeflateRect(4, 4);
        DrawFocusRect(pDC, &focusRect);
    }
    pDC->RestoreDC(saved);
}

void CColorButton::DrawFrame(CDC* pDC, CRect rect, bool pressed, bool outlined) const
{
    const auto frame = [pDC](const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
        pDC->Draw3dRect(&r, topLeft, bottomRight);
    };
    if (pressed) {
        frame(rect, m_crDarkShadow, m_crDarkShadow);
        rect.DeflateRect(1, 1);
        frame(rect, m_crShadow, m_crShadow);
        return;
    }
    if (outlined) {
        frame(rect, RGB(0, 0, 0), RGB(0, 0, 0));
        rect.DeflateRect(1, 1);
    }
    frame(rect, m_crHighlight, m_crDarkShadow);
    rect.DeflateRect(1, 1);
    frame(rect, m_crLight, m_crShadow);
}

void CColorButton::DrawCaption(CDC* pDC, const CRect& rect, bool disabled) const
{
    CString caption;
    GetWindowText(caption);
    const DWORD style = GetStyle();
    std::vector<CString> lines;
    if (style & BS_MULTILINE) {
        int start = 0;
        for (int nl = caption.Find('\n'); nl >= 0; nl = caption.Find('\n', start)) {
            lines.push_back(caption.Mid(start, nl - start));
            start = nl + 1;
        }
        lines.push_back(caption.Mid(start));
    } else {
        lines.push_back(caption);
    }

    const int lineHeight = pDC->GetTextExtent("Ay").cy;
    const int blockHeight = lineHeight * static_cast<int>(lines.size());
    int top = 0;
    switch (style & BS_VCENTER) {
    case BS_TOP:
        top = rect.top + 2;
        break;
    case BS_BOTTOM:
        top = rect.bottom - 2 - blockHeight;
        break;
    default:
        top = rect.top + (rect.Height() - blockHeight) / 2 - 1;
        break;
    }
    UINT format = DT_SINGLELINE | DT_CENTER;
    if ((style & BS_CENTER) == BS_LEFT)
        format = DT_SINGLELINE | DT_LEFT;
    else if ((style & BS_CENTER) == BS_RIGHT)
        format = DT_SINGLELINE | DT_RIGHT;

    pDC->SetBkMode(TRANSPARENT);
    for (const CString& line : lines) {
        CRect lineRect(rect.left + 3, top, rect.right - 3, top + lineHeight);
        if (disabled) {
            // Embossed: white a pixel down and right, grey in place.
            CRect shadowRect = lineRect;
            shadowRect.OffsetRect(1, 1);
            pDC->SetTextColor(RGB(255, 255, 255));
            pDC->DrawText(line, shadowRect, format);
            pDC->SetTextColor(RGB(128, 128, 128));
        } else {
            pDC->SetTextColor(m_crText);
        }
        pDC->DrawText(line, lineRect, format);
        top += lineHeight;
    }
}
