#pragma once
// CGradientStatic: a caption strip. Its background runs from the start
// colour at the left to the end colour at the right; the text sits single-
// line and vertically centred, 10 pixels from the left or centred. Without
// the gradient the strip paints only its text, in the button-text colour,
// over the parent's background.

#include "platform/core/gdi.h"
#include "platform/ui/staticedit.h"

#include <optional>

class CGradientStatic : public CStatic
{
    DECLARE_DYNAMIC(CGradientStatic)

public:
    CGradientStatic();

    void SetColor(COLORREF crStart) { m_crStart = crStart; Invalidate(); }
    void SetGradientColor(COLORREF crEnd) { m_crEnd = crEnd; Invalidate(); }
    void SetTextColor(COLORREF crText) { m_crText = crText; Invalidate(); }
    // The caption's own font; without one the window's font is used.
    void SetCaptionFont(const LOGFONT& font) { m_font = font; Invalidate(); }
    void SetCenter(BOOL bCenter) { m_bCenter = bCenter; Invalidate(); }
    void SetLeftSpacing(int nPixels) { m_nLeftSpacing = nPixels; Invalidate(); }
    void EnableGradient(BOOL bEnable) { m_bGradient = bEnable; Invalidate(); }
    // Takes the window text over as the caption.
    void FetchText();
    const CString& GetText() const { return m_strText; }

protected:
    bool WantsPaint() const override { return true; }
    void OnPaint() override;
    void SetWidgetText(const CString& text) override;

private:
    void PaintGradient(CDC& dc, const CRect& rect) const;

    CString m_strText;
    int m_nLeftSpacing = 10;
    std::optional<LOGFONT> m_font;
    COLORREF m_crStart;
    COLORREF m_crEnd;
    COLORREF m_crText;
    BOOL m_bCenter = FALSE;
    BOOL m_bGradient = TRUE;
};
