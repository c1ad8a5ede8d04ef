#pragma once
// CBoundingRect: the box of a point list, kept up to date while points are
// added. Its bounds are inclusive (right and bottom are the largest x and y
// seen), and it remembers the first point that reached each bound. A box
// is empty until a point reaches it; the stored form writes an empty box as
// four zero bounds.

#include "platform/core/geometry.h"

class CDC;

class CBoundingRect : public CRect
{
public:
    // No virtual functions: every point list carries one, and a table
    // pointer would make each larger.
    CBoundingRect() = default;
    ~CBoundingRect() = default;
    CBoundingRect(const CBoundingRect&) = default;
    CBoundingRect& operator=(const CBoundingRect&) = default;

    // Outline through the four corners.
    void Draw(CDC* pDC) const;

    // A box holding only the point (0, 0) is not empty.
    bool IsEmpty() const { return !m_bHasPoint; }
    // Empties the rectangle; the extreme points stay.
    void Empty()
    {
        SetRectEmpty();
        m_bHasPoint = false;
    }

    void AddPoint(int x, int y);
    void AddPoint(POINT point) { AddPoint(point.x, point.y); }
    // Moves the rectangle and the extreme points.
    void Offset(int dx, int dy);
    // The box spanned by four extreme points (leftmost, topmost, rightmost,
    // bottommost), which become its extreme points.
    void SetFromExtremes(POINT leftmost, POINT topmost, POINT rightmost, POINT bottommost);

    // Whether the box covers the point.
    bool Covers(POINT point) const
    {
        return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
    }

    CPoint m_ptLeftmost;
    CPoint m_ptTopmost;
    CPoint m_ptRightmost;
    CPoint m_ptBottommost;

private:
    bool m_bHasPoint = false;
};
