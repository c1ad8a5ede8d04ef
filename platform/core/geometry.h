#pragma once
// Points, sizes and rectangles in integer pixel coordinates. POINT, SIZE and
// RECT keep the plain 32-bit layout that stored files write as raw bytes.

#include "platform/core/types.h"

#include <algorithm>

struct POINT
{
    LONG x;
    LONG y;
};

struct SIZE
{
    LONG cx;
    LONG cy;
};

struct RECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

class CSize : public SIZE
{
public:
    constexpr CSize() : SIZE{0, 0} {}
    constexpr CSize(int cx_, int cy_) : SIZE{cx_, cy_} {}
    constexpr CSize(SIZE s) : SIZE(s) {}

    friend constexpr bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
    constexpr CSize operator+(CSize o) const { return {cx + o.cx, cy + o.cy}; }
    constexpr CSize operator-(CSize o) const { return {cx - o.cx, cy - o.cy}; }
    constexpr CSize operator-() const { return {-cx, -cy}; }
    constexpr CSize& operator+=(CSize o) { cx += o.cx; cy += o.cy; return *this; }
    constexpr CSize& operator-=(CSize o) { cx -= o.cx; cy -= o.cy; return *this; }
};

class CPoint : public POINT
{
public:
    constexpr CPoint() : POINT{0, 0} {}
    constexpr CPoint(int x_, int y_) : POINT{x_, y_} {}
    constexpr CPoint(POINT p) : POINT(p) {}
    constexpr explicit CPoint(SIZE s) : POINT{s.cx, s.cy} {}

    constexpr void Offset(int dx, int dy) { x += dx; y += dy; }
    constexpr void Offset(POINT p) { Offset(p.x, p.y); }
    constexpr void SetPoint(int x_, int y_) { x = x_; y = y_; }

    friend constexpr bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
    constexpr CPoint operator+(CSize s) const { return {x + s.cx, y + s.cy}; }
    constexpr CPoint operator+(POINT p) const { return {x + p.x, y + p.y}; }
    constexpr CPoint operator-(CSize s) const { return {x - s.cx, y - s.cy}; }
    constexpr CSize operator-(POINT p) const { return {x - p.x, y - p.y}; }
    constexpr CPoint operator-() const { return {-x, -y}; }
    constexpr CPoint& operator+=(CSize s) { x += s.cx; y += s.cy; return *this; }
    constexpr CPoint& operator+=(POINT p) { x += p.x; y += p.y; return *this; }
    constexpr CPoint& operator-=(CSize s) { x -= s.cx; y -= s.cy; return *this; }
    constexpr CPoint& operator-=(POINT p) { x -= p.x; y -= p.y; return *this; }
};

// A rectangle whose right and bottom edges lie outside it.
class CRect : public RECT
{
public:
    constexpr CRect() : RECT{0, 0, 0, 0} {}
    constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    constexpr CRect(const RECT& r) : RECT(r) {}
    constexpr CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
    constexpr CRect(POINT topLeft, POINT bottomRight) : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    constexpr void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    constexpr void CopyRect(const RECT& r) { *static_cast<RECT*>(this) = r; }
    constexpr bool EqualRect(const RECT& r) const { return left == r.left && top == r.top && right == r.right && bottom == r.bottom; }

    constexpr void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
    constexpr void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
    constexpr void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
    constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    constexpr void OffsetRect(int dx, int dy) { left += dx; top += dy; right += dx; bottom += dy; }
    constexpr void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    constexpr void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    constexpr void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    constexpr void NormalizeRect()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }

    // Both return false and leave an empty rectangle when the result is empty.
    constexpr bool IntersectRect(const RECT& a, const RECT& b)
    {
        SetRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom));
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }
    constexpr bool UnionRect(const RECT& a, const RECT& b)
    {
        const CRect ra(a), rb(b);
        if (ra.IsRectEmpty())
            *this = rb;
        else if (rb.IsRectEmpty())
            *this = ra;
        else
            SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }

    friend constexpr bool operator==(const CRect& a, const CRect& b) { return a.EqualRect(b); }
    constexpr CRect& operator+=(POINT p) { OffsetRect(p); return *this; }
    constexpr CRect& operator-=(POINT p) { OffsetRect(-p.x, -p.y); return *this; }
    constexpr CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
    constexpr CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
    constexpr CRect operator&(const RECT& o) const { CRect r; r.IntersectRect(*this, o); return r; }
    constexpr CRect operator|(const RECT& o) const { CRect r; r.UnionRect(*this, o); return r; }
    constexpr CRect& operator&=(const RECT& o) { IntersectRect(CRect(*this), o); return *this; }
    constexpr CRect& operator|=(const RECT& o) { UnionRect(CRect(*this), o); return *this; }
};
