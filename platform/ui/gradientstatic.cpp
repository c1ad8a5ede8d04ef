#include "platform/ui/gradientstatic.h"

#include "platform/ui/systemlook.h"
#include "platform/ui/windowdc.h"

IMPLEMENT_DYNAMIC(CGradientStatic, CStatic)

CGradientStatic::CGradientStatic()
    : m_crStart(GetSysColor(COLOR_ACTIVECAPTION)),
      m_crEnd(GetSysColor(COLOR_BTNFACE)),
      m_crText(GetSysColor(COLOR_CAPTIONTEXT))
{
}

void CGradientStatic::SetWidgetText(const CString& text)
{
    CStatic::SetWidgetText(text);
    m_strText = text;
}

void CGradientStatic::FetchText()
{
    GetWindowText(m_strText);
    Invalidate();
}

void CGradientStatic::PaintGradient(CDC& dc, const CRect& rect) const
{
    const int width = rect.Width();
    const auto blend = [width](BYTE from, BYTE to, int x) {
        return width <= 1 ? from : from + (static_cast<int>(to) - from) * x / (width - 1);
    };
    for (int x = 0; x < width; ++x) {
        const COLORREF color = RGB(blend(GetRValue(m_crStart), GetRValue(m_crEnd), x),
                                   blend(GetGValue(m_crStart), GetGValue(m_crEnd), x),
                                   blend(GetBValue(m_crStart), GetBValue(m_crEnd), x));
        dc.FillSolidRect(rect.left + x, rect.top, 1, rect.Height(), color);
    }
}

void CGradientStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    if (m_bGradient)
        PaintGradient(dc, rect);

    CFont font;
    if (m_font && font.CreateFontIndirect(&*m_font))
        dc.SelectObject(&font);
    else
        SelectControlFont(&dc, this, font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_bGradient ? m_crText : GetSysColor(COLOR_BTNTEXT));
    CRect textRect = rect;
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (m_bCenter)
        format |= DT_CENTER;
    else
        textRect.left += m_nLeftSpacing;
    dc.DrawText(m_strText, textRect, format);
}
