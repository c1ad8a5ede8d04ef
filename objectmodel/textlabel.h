#pragma once
// CTextLabel: a text with its own font, background mode and colour that
// draws itself at a point. Image views, chart axes, areas of interest and
// records label what they draw with it.

#include "platform/core/cstring.h"
#include "platform/core/gdi.h"
#include "platform/core/geometry.h"

#include <optional>

class CDC;

class CTextLabel
{
public:
    CTextLabel() = default;
    explicit CTextLabel(const CString& text) : m_strText(text) {}

    // Top-left corner of the text at (x, y); the context's font, background
    // mode and text colour are restored afterwards.
    void Draw(CDC* pDC, int x, int y) const;
    // Size of the text in the context, measured with the label's font when
    // it has one.
    CSize GetExtent(CDC* pDC) const;

    void SetFont(const LOGFONT& font) { m_Font = font; }
    void ClearFont() { m_Font.reset(); }
    const std::optional<LOGFONT>& GetFont() const { return m_Font; }

    CString m_strText;
    int m_nBkMode = TRANSPARENT;
    COLORREF m_crTextColor = RGB(0, 0, 0);

private:
    std::optional<LOGFONT> m_Font;
};
