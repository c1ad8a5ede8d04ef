#pragma once
// Window helpers of the tool functions: the wait cursor with the mouse
// captured for a window, and a rectangle mapped into a window.

#include "platform/core/geometry.h"

class CWnd;

// Shows the wait cursor for its lifetime; with a window, the window has
// the mouse meanwhile. The cursor and capture before it come back.
class CWaitCursorCapture
{
public:
    explicit CWaitCursorCapture(CWnd* pWnd = nullptr);
    ~CWaitCursorCapture();
    CWaitCursorCapture(const CWaitCursorCapture&) = delete;
    CWaitCursorCapture& operator=(const CWaitCursorCapture&) = delete;

private:
    CWnd* m_pWnd;
    bool m_bCursor = false;
};

// Scales rect, given in screen coordinates, from the reference rectangle's
// size to the window's, relative to the window's top-left corner. A
// reference without width or height leaves that direction unscaled.
void ScaleRectToWindow(CRect& rect, const CWnd* pWnd, const CRect& ref);
