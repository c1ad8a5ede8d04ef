#include "objectmodel/rpointarray.h"

#include "objectmodel/chain8.h"
#include "objectmodel/cvgeometry.h"
#include "platform/core/dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

IMPLEMENT_SERIAL(CRPointArray, CObject, 0)

void CRPointArray::RemoveAll()
{
    CArray::RemoveAll();
    m_BoundingRect.Empty();
}

INT_PTR CRPointArray::Add(POINT point)
{
    m_BoundingRect.AddPoint(point);
    return CArray::Add(point);
}

INT_PTR CRPointArray::AddUnique(POINT point)
{
    if (IsEmpty())
        AfxThrowInvalidArgException();
    const POINT& last = GetAt(GetUpperBound());
    const POINT& first = GetAt(0);
    if ((point.x == last.x && point.y == last.y) || (point.x == first.x && point.y == first.y))
        return -1;
    return Add(point);
}

void CRPointArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const CBoundingRect& box = m_BoundingRect;
        const LONG words[] = {box.m_ptLeftmost.x,   box.m_ptLeftmost.y,   box.m_ptTopmost.x,    box.m_ptTopmost.y,
                              box.m_ptRightmost.x,  box.m_ptRightmost.y,  box.m_ptBottommost.x, box.m_ptBottommost.y,
                              box.left,             box.top,              box.right,            box.bottom};
        for (LONG value : words)
            ar << static_cast<WORD>(value);
        CArray::Serialize(ar);
        return;
    }

    LONG words[12];
    for (LONG& value : words) {
        WORD word = 0;
        ar >> word;
        value = word;
    }
    CArray<POINT, const POINT&> points;
    points.Serialize(ar);

    CBoundingRect box;
    box.SetFromExtremes({words[0], words[1]}, {words[2], words[3]}, {words[4], words[5]}, {words[6], words[7]});
    box.SetRect(words[8], words[9], words[10], words[11]);
    if (points.IsEmpty() && box.IsRectNull())
        box.Empty();

    CArray::Copy(points);
    m_BoundingRect = box;
    // Sixteen bits cannot hold every coordinate: a box that does not agree
    // with its extreme points or misses a point is rebuilt from the points.
    const bool keptEmpty = box.IsEmpty() && points.IsEmpty();
    const bool consistent = box.left == box.m_ptLeftmost.x && box.top == box.m_ptTopmost.y &&
                            box.right == box.m_ptRightmost.x && box.bottom == box.m_ptBottommost.y &&
                            std::all_of(points.begin(), points.end(), [&box](const POINT& p) { return box.Covers(p); });
    if (!keptEmpty && !consistent)
        RecalcBounds();
}

void CRPointArray::Copy(const CRPointArray& other)
{
    if (&other == this)
        return;
    CArray::Copy(other);
    m_BoundingRect = other.m_BoundingRect;
}

void CRPointArray::Offset(int dx, int dy)
{
    m_BoundingRect.Offset(dx, dy);
    for (POINT& p : *this) {
        p.x += dx;
        p.y += dy;
        m_BoundingRect.AddPoint(p);
    }
}

void CRPointArray::Rotate(int cx, int cy, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    for (POINT& p : *this) {
        const double x = p.x - cx;
        const double y = p.y - cy;
        // Rounded half up on both sides of the centre.
        p.x = cx + static_cast<LONG>(std::floor(c * x + s * y + 0.5));
        p.y = cy + static_cast<LONG>(std::floor(y * c - x * s + 0.5));
        m_BoundingRect.AddPoint(p);
    }
}

void CRPointArray::SortPoints()
{
    std::sort(begin(), end(), [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
}

void CRPointArray::RecalcBounds()
{
    m_BoundingRect.Empty();
    for (const POINT& p : *this)
        m_BoundingRect.AddPoint(p);
}

bool CRPointArray::SetFromChainCodes(const CChain8& chain, int n)
{
    RemoveAll();
    if (n <= 0)
        return false;
    CPoint point = chain.GetStartPoint();
    Add(point);
    for (int i = 1; i < n; ++i) {
        point = CChain8::StepPoint(chain[i - 1], point.x, point.y);
        Add(point);
    }
    return AreNeighbours(GetAt(GetUpperBound()), GetAt(0));
}

int CRPointArray::FindPoint(int x, int y) const
{
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        const POINT& p = GetAt(i);
        if (p.x == x && p.y == y)
            return static_cast<int>(i);
    }
    return -1;
}

int CRPointArray::FindPointReverse(int x, int y) const
{
    for (INT_PTR i = GetUpperBound(); i >= 0; --i) {
        const POINT& p = GetAt(i);
        if (p.x == x && p.y == y)
            return static_cast<int>(i);
    }
    return -1;
}

int CRPointArray::FindNeighbour(int x, int y) const
{
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        const POINT& p = GetAt(i);
        if (std::max(std::abs(p.x - x), std::abs(p.y - y)) == 1)
            return static_cast<int>(i);
    }
    return -1;
}

int CRPointArray::FindNearestPoint(int x, int y) const
{
    int distance = 0;
    return FindNearestPoint(x, y, distance);
}

int CRPointArray::FindNearestPoint(int x, int y, int& distance) const
{
    int best = -1;
    for (INT_PTR i = 0; i < GetSize(); ++i) {
        const POINT& p = GetAt(i);
        const int d = std::abs(p.x - x) + std::abs(p.y - y);
        if (best < 0 || d < distance) {
            best = static_cast<int>(i);
            distance = d;
        }
    }
    return best;
}

void CRPointArray::CopyRange(CRPointArray& target, int start, int end) const
{
    const int n = static_cast<int>(GetSize());
    if (end == 0)
        end = n - 1;
    if (start < 0 || start >= n || end < 0 || end >= n)
        AfxThrowInvalidArgException();
    if (start > end) {
        const int wrapped = n - start + end + 1;
        if (2 * wrapped <= n) {
            for (int i = start; i < n; ++i)
                target.Add(GetAt(i));
            for (int i = 0; i <= end; ++i)
                target.Add(GetAt(i));
            return;
        }
        std::swap(start, end);
    }
    for (int i = start; i <= end; ++i)
        target.Add(GetAt(i));
}

BOOL CRPointArray::GetMinAreaRect(sMinAreaRect& rect) const
{
    return MinAreaRect(*this, rect);
}

void CRPointArray::SetPixels(CDC* pDC, COLORREF color) const
{
    for (INT_PTR i = 0; i + 1 < GetSize(); ++i)
        pDC->SetPixel(GetAt(i), color);
}

bool CRPointArray::AreNeighbours(POINT a, POINT b)
{
    const int dx = std::abs(a.x - b.x);
    const int dy = std::abs(a.y - b.y);
    return (dx == 1 && dy <= 1) || (dy == 1 && dx <= 1);
}
