#include "platform/ui/recttracker.h"

#include "platform/core/dc.h"
#include "platform/core/gdi.h"
#include "platform/core/messages.h"
#include "platform/ui/messagepump.h"
#include "platform/ui/windowdc.h"
#include "platform/ui/wnd.h"

#include <QCursor>
#include <QWidget>

#include <array>

namespace {

// Sizing cursors by handle (hitTopLeft ... hitLeft), then the middle.
constexpr std::array<Qt::CursorShape, 9> kCursors = {
    Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
    Qt::SizeHorCursor,   Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeAllCursor,
};

// The rectangle's outline with the selected pen.
void PolylineFrame(CDC& dc, const CRect& rect)
{
    const POINT path[] = {{rect.left, rect.top},
                          {rect.right, rect.top},
                          {rect.right, rect.bottom},
                          {rect.left, rect.bottom},
                          {rect.left, rect.top}};
    dc.Polyline(path, 5);
}

// Draws the frame rectangle inverted; drawn twice it is gone.
void InvertFrame(CWnd& wnd, const CRect& rect)
{
    CClientDC dc(&wnd);
    const int oldRop = dc.SetROP2(R2_NOT);
    CPen pen(PS_DOT, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    PolylineFrame(dc, rect);
    dc.SelectObject(oldPen);
    dc.SetROP2(oldRop);
}

} // namespace

CRectTracker::CRectTracker(const RECT* lpSrcRect, UINT nStyle) : m_rect(*lpSrcRect), m_nStyle(nStyle) {}

CRect CRectTracker::GetHandleRect(int nHandle) const
{
    CRect frame = m_rect;
    frame.NormalizeRect();
    frame.InflateRect(1, 1);
    const CPoint centre = frame.CenterPoint();
    const int size = m_nHandleSize;
    CPoint at;
    switch (nHandle) {
    case hitTopLeft: at = CPoint(frame.left, frame.top); break;
    case hitTopRight: at = CPoint(frame.right, frame.top); break;
    case hitBottomRight: at = CPoint(frame.right, frame.bottom); break;
    case hitBottomLeft: at = CPoint(frame.left, frame.bottom); break;
    case hitTop: at = CPoint(centre.x, frame.top); break;
    case hitRight: at = CPoint(frame.right, centre.y); break;
    case hitBottom: at = CPoint(centre.x, frame.bottom); break;
    case hitLeft: at = CPoint(frame.left, centre.y); break;
    default: return CRect();
    }
    // Outside the frame (inside with resizeInside), away from its centre.
    const bool inside = (m_nStyle & resizeInside) != 0;
    const auto place = [size, inside](int v, int middle, int low) {
        if (v == middle)
            return v - size / 2;
        return (v == low) != inside ? v - size : v + 1;
    };
    const int x = place(at.x, centre.x, frame.left);
    const int y = place(at.y, centre.y, frame.top);
    return CRect(x, y, x + size, y + size);
}

void CRectTracker::Draw(CDC* pDC) const
{
    if (pDC == nullptr)
        return;
    CRect frame = m_rect;
    frame.NormalizeRect();
    frame.InflateRect(1, 1);
    {
        CPen pen((m_nStyle & solidLine) ? PS_SOLID : PS_DOT, 1, RGB(0, 0, 0));
        CPen* oldPen = pDC->SelectObject(&pen);
        PolylineFrame(*pDC, frame);
        pDC->SelectObject(oldPen);
    }
    if ((m_nStyle & (resizeInside | resizeOutside)) == 0)
        return;
    for (int handle = hitTopLeft; handle <= hitLeft; ++handle)
        pDC->FillSolidRect(GetHandleRect(handle), RGB(0, 0, 0));
}

int CRectTracker::HitTest(CPoint point) const
{
    if ((m_nStyle & (resizeInside | resizeOutside)) != 0) {
        for (int handle = hitTopLeft; handle <= hitLeft; ++handle) {
            if (GetHandleRect(handle).PtInRect(point))
                return handle;
        }
    }
    CRect rect = m_rect;
    rect.NormalizeRect();
    return !rect.IsRectEmpty() && rect.PtInRect(point) ? hitMiddle : hitNothing;
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, CPoint point) const
{
    const int hit = HitTest(point);
    QWidget* client = pWnd != nullptr ? pWnd->GetClientWidget() : nullptr;
    if (hit == hitNothing || client == nullptr)
        return FALSE;
    client->setCursor(kCursors[static_cast<size_t>(hit)]);
    return TRUE;
}

CRect CRectTracker::Dragged(const CRect& start, int nHit, int dx, int dy)
{
    CRect rect = start;
    if (nHit == hitMiddle) {
        rect.OffsetRect(dx, dy);
        return rect;
    }
    const bool left = nHit == hitTopLeft || nHit == hitBottomLeft || nHit == hitLeft;
    const bool right = nHit == hitTopRight || nHit == hitBottomRight || nHit == hitRight;
    const bool top = nHit == hitTopLeft || nHit == hitTopRight || nHit == hitTop;
    const bool bottom = nHit == hitBottomLeft || nHit == hitBottomRight || nHit == hitBottom;
    if (left)
        rect.left += dx;
    if (right)
        rect.right += dx;
    if (top)
        rect.top += dy;
    if (bottom)
        rect.bottom += dy;
    return rect;
}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return FALSE;
    const int hit = HitTest(point);
    if (hit == hitNothing)
        return FALSE;

    enum class End { running, done, cancelled };
    End end = End::running;
    const CRect start = m_rect;
    CRect current = start;
    bool drawn = false;
    const HWND self = pWnd->GetSafeHwnd();

    pWnd->SetCapture();
    const CWnd::MessageFilter previous =
        pWnd->SetMessageFilter([&, pWnd](UINT message, WPARAM wParam, LPARAM lParam) {
            if (end != End::running)
                return false; // the drag is over: the window has what follows
            switch (message) {
            case WM_MOUSEMOVE: {
                const CPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                CRect next = Dragged(start, hit, at.x - point.x, at.y - point.y);
                if (!bAllowInvert)
                    next.NormalizeRect();
                if (drawn)
                    InvertFrame(*pWnd, current);
                current = next;
                InvertFrame(*pWnd, current);
                drawn = true;
                return true;
            }
            case WM_LBUTTONUP:
                end = End::done;
                return true;
            case WM_RBUTTONDOWN:
                end = End::cancelled;
                return true;
            case WM_KEYDOWN:
                if (wParam == VK_ESCAPE)
                    end = End::cancelled;
                return true;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_LBUTTONDBLCLK:
                return true;
            default:
                return false;
            }
        });

    if (!kestrun::RunNestedLoop(self, [&end] { return end == End::running; })) {
        // The window and what it held are gone; so is its filter.
        ReleaseCapture();
        return FALSE;
    }
    pWnd->SetMessageFilter(previous);
    if (CWnd::GetCapture() == pWnd)
        ReleaseCapture();
    if (drawn)
        InvertFrame(*pWnd, current);
    if (end != End::done || current == start)
        return FALSE;
    m_rect = current;
    return TRUE;
}
