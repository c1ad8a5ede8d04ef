#pragma once
// CCross: a marker cross drawn with a raster operation, so that an
// inverting or exclusive-or cross drawn twice at the same place disappears.
// It remembers where it was drawn last, to erase it again.

#include "platform/core/gdi.h"
#include "platform/core/geometry.h"
#include "platform/core/object.h"

class CDC;

class CCross : public CObject
{
public:
    CCross(COLORREF color, int penWidth, int rop);
    ~CCross() override = default;

    // Arms of 7 pixels (times the arm factors) around (x, y) in the cross's
    // pen and raster operation; with erase, the previous cross goes first.
    // The current position ends at (x, y); the context's raster operation
    // is restored.
    void Draw(CDC* pDC, int x, int y, BOOL erase = FALSE);
    void Draw(CDC* pDC, POINT point, BOOL erase = FALSE) { Draw(pDC, point.x, point.y, erase); }
    // Draws the shown cross once more (which removes an inverting one).
    void Erase(CDC* pDC);
    // Returns the previous colour.
    COLORREF SetColor(COLORREF color);

    COLORREF GetColor() const { return m_crColor; }
    BOOL IsShown() const { return m_bShown; }
    CPoint GetPosition() const { return CPoint(m_nX, m_nY); }

    static constexpr int armLength = 7;

    double m_dUpperFactor = 1.0;
    double m_dLowerFactor = 1.0;

private:
    void DrawArms(CDC* pDC, int x, int y, double upper, double lower) const;

    int m_nX = 0;
    int m_nY = 0;
    BOOL m_bShown = FALSE;
    int m_nRop;
    COLORREF m_crColor;
    int m_nPenWidth;
};
