#pragma once
// CRPointArray: an integer point list with a bounding box that covers every
// point added through the list's own operations. Code that writes points
// directly (SetAt, ElementAt) must call RecalcBounds afterwards.

#include "objectmodel/boundingrect.h"
#include "objectmodel/minarearect.h"
#include "platform/core/arrays.h"

#include <utility>

class CChain8;
class CDC;

class CRPointArray : public CArray<POINT, const POINT&>
{
    DECLARE_SERIAL(CRPointArray)

public:
    CRPointArray() = default;
    CRPointArray(const CRPointArray&) = default;
    CRPointArray& operator=(const CRPointArray&) = default;
    ~CRPointArray() override = default;

    // Size 0 and the rectangle emptied (the extreme points stay).
    virtual void RemoveAll();
    // Grows the box, appends; returns the new index.
    virtual INT_PTR Add(POINT point);
    // Appends unless the point equals the last or the first point. The
    // first point of a list goes in with Add: on an empty list this is an
    // invalid argument.
    virtual INT_PTR AddUnique(POINT point);

    INT_PTR Add(int x, int y) { return Add(POINT{x, y}); }

    // Box words (16 bits each), then the points. Loading keeps the stored
    // box only when it agrees with itself and covers every point.
    void Serialize(CArchive& ar) override;

    // The points and the other's box as it is.
    void Copy(const CRPointArray& other);
    // Exchanges the points and the boxes: a list handed over, not copied.
    void Swap(CRPointArray& other) noexcept
    {
        CArray::Swap(other);
        std::swap(m_BoundingRect, other.m_BoundingRect);
    }
    void Offset(int dx, int dy);
    // Turns every point about (cx, cy) by angle radians (counter-clockwise
    // on screen), rounding half up; the box is widened by the new points,
    // not emptied first.
    void Rotate(int cx, int cy, double angle);
    // By y, then by x.
    void SortPoints();
    void RecalcBounds();
    // The first n points of the chain's walk: its start point, then each
    // point stepped from the one before. Returns whether the last and the
    // first point are neighbours, i.e. the walk is closed.
    bool SetFromChainCodes(const CChain8& chain, int n);

    // First index of the point from the start (from the end); -1 if none.
    int FindPoint(int x, int y) const;
    int FindPoint(POINT p) const { return FindPoint(p.x, p.y); }
    int FindPointReverse(int x, int y) const;
    int FindPointReverse(POINT p) const { return FindPointReverse(p.x, p.y); }
    // First index of an 8-neighbour of (x, y); -1 if none.
    int FindNeighbour(int x, int y) const;
    // Index nearest by city-block distance, the first of equal ones; -1 on
    // an empty list.
    int FindNearestPoint(int x, int y) const;
    int FindNearestPoint(int x, int y, int& distance) const;

    // Appends the points from start to end to target (end 0: the last
    // index). A start after the end walks past the end back to 0, unless
    // that way is more than half the points long: then the direct way
    // between the two is taken.
    void CopyRange(CRPointArray& target, int start, int end) const;

    BOOL GetMinAreaRect(sMinAreaRect& rect) const;
    // Every pixel but the last.
    void SetPixels(CDC* pDC, COLORREF color) const;

    const CBoundingRect& GetBoundingRect() const { return m_BoundingRect; }
    CBoundingRect& GetBoundingRect() { return m_BoundingRect; }

    // (|dx| = 1 and |dy| <= 1) or (|dy| = 1 and |dx| <= 1); equal points are not neighbours.
    static bool AreNeighbours(POINT a, POINT b);

protected:
    CBoundingRect m_BoundingRect;
};
