#pragma once
// CRectTracker: the frame with eight handles that lets the user move or
// resize a rectangle of a window with the mouse. Track runs its own loop
// until the left button is released (Escape or the right button cancels);
// it sees the window's mouse messages first through the window's message
// filter. Rectangles are in the window's client pixels.

#include "platform/core/geometry.h"

class CDC;
class CWnd;

class CRectTracker
{
public:
    enum StyleFlags : UINT
    {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };

    enum TrackerHit : int
    {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    static constexpr int kDefaultHandleSize = 5;

    CRectTracker() = default;
    CRectTracker(const RECT* lpSrcRect, UINT nStyle);

    // The dotted frame one pixel outside the rectangle and its handles.
    void Draw(CDC* pDC) const;
    // Where the point lies: a handle, the middle or nothing.
    int HitTest(CPoint point) const;
    // The window's cursor for the point: a sizing arrow over a handle, the
    // move cross over the middle; FALSE (cursor untouched) elsewhere.
    BOOL SetCursor(CWnd* pWnd, CPoint point) const;
    // Drags the part hit at point until the button goes up. TRUE when the
    // rectangle changed; FALSE when cancelled, nothing was hit, or the
    // window went away meanwhile (then the caller must not touch the
    // window any more). The capture is released on every way out.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE);

    // The handle's rectangle (hitTopLeft ... hitLeft).
    CRect GetHandleRect(int nHandle) const;

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = kDefaultHandleSize;

private:
    // The rectangle after dragging the part hit by (dx, dy) from start.
    static CRect Dragged(const CRect& start, int nHit, int dx, int dy);
};
