#include "objectmodel/rpolygon.h"

#include "objectmodel/chain8.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

IMPLEMENT_SERIAL(CRPolygon, CRPointArray, 0)

namespace {

// The pixels of the straight line from a to b, both included: one per step
// along the longer axis, the other coordinate interpolated, halves rounded up.
std::vector<POINT> LinePixels(POINT a, POINT b)
{
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    std::vector<POINT> pixels;
    pixels.reserve(static_cast<size_t>(steps) + 1);
    pixels.push_back(a);
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        pixels.push_back({static_cast<LONG>(std::floor(a.x + t * dx + 0.5)),
                          static_cast<LONG>(std::floor(a.y + t * dy + 0.5))});
    }
    return pixels;
}

int TruncatedDistance(POINT a, POINT b)
{
    return static_cast<int>(std::hypot(static_cast<double>(b.x - a.x), static_cast<double>(b.y - a.y)));
}

} // namespace

CRPolygon::CRPolygon(const CChain8& chain) : CRPolygon(chain, 0, 0)
{
}

CRPolygon::CRPolygon(const CChain8& chain, int dx, int dy)
{
    CChain8 moved(chain);
    moved.SetStartPoint(chain.m_nStartX - dx, chain.m_nStartY - dy);
    if (!SetFromChainCodes(moved, static_cast<int>(moved.GetSize())))
        Close();
}

CRPolygon::CRPolygon(const CRPointArray& vertices)
{
    SetFromVertices(vertices);
}

CRPolygon::CRPolygon(const CRPolygon& other) : CRPointArray()
{
    CopyFrom(other);
}

CRPolygon& CRPolygon::operator=(const CRPolygon& other)
{
    CopyFrom(other);
    return *this;
}

void CRPolygon::Close()
{
    if (!IsEmpty()) {
        const POINT first = GetAt(0);
        if (TruncatedDistance(GetAt(GetUpperBound()), first) > 1)
            AddPointConnected(first);
    }
    m_bClosed = TRUE;
}

CPoint CRPolygon::GetPointAt(int index) const
{
    const int n = static_cast<int>(GetSize());
    if (n == 0)
        AfxThrowInvalidArgException();
    if (m_bClosed) {
        index %= n;
        if (index < 0)
            index += n;
    } else {
        index = std::clamp(index, 0, n - 1);
    }
    return GetAt(index);
}

void CRPolygon::AddPointConnected(POINT point)
{
    if (!IsEmpty()) {
        const POINT last = GetAt(GetUpperBound());
        if (TruncatedDistance(last, point) > 1) {
            const std::vector<POINT> line = LinePixels(last, point);
            for (size_t i = 1; i + 1 < line.size(); ++i)
                Add(line[i]);
        }
    }
    Add(point);
}

bool CRPolygon::SetFromChainCodes(const CChain8& chain, int n)
{
    const bool closed = CRPointArray::SetFromChainCodes(chain, n);
    m_bClosed = closed ? TRUE : FALSE;
    return closed;
}

void CRPolygon::SetFromVertices(const CRPointArray& vertices)
{
    m_bClosed = TRUE;
    RemoveAll();
    if (vertices.IsEmpty())
        return;
    SetSize(0, 100);

    // Appends the line towards the vertex without its start, so that a
    // repeated vertex adds nothing.
    auto walkTo = [this](POINT vertex) {
        const POINT previous = GetAt(GetUpperBound());
        if (AreNeighbours(previous, vertex)) {
            Add(vertex);
            return;
        }
        const std::vector<POINT> line = LinePixels(previous, vertex);
        for (size_t i = 1; i < line.size(); ++i)
            Add(line[i]);
    };

    Add(vertices[0]);
    for (INT_PTR i = 1; i < vertices.GetSize(); ++i)
        walkTo(vertices[i]);
    if (!AreNeighbours(GetAt(GetUpperBound()), vertices[0]))
        walkTo(vertices[0]);
    FreeExtra();
}

void CRPolygon::CopyFrom(const CRPolygon& other)
{
    if (&other == this)
        return;
    CRPointArray::Copy(other);
    m_bClosed = other.m_bClosed;
    m_Cuts.Copy(other.m_Cuts);
    m_nCenterX = other.m_nCenterX;
    m_nCenterY = other.m_nCenterY;
    m_nCurrentIndex = other.m_nCurrentIndex;
    m_nShapeType = other.m_nShapeType;
    m_nSpare = other.m_nSpare;
}

void CRPolygon::CopyPoints(const CRPolygon& source, int n)
{
    // The source may be this polygon.
    std::vector<POINT> points;
    points.reserve(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        points.push_back(source.GetPointAt(i));
    m_nCenterX = source.m_nCenterX;
    m_nCenterY = source.m_nCenterY;
    m_nCurrentIndex = source.m_nCurrentIndex;
    m_nShapeType = source.m_nShapeType;
    m_nSpare = source.m_nSpare;

    RemoveAll();
    for (const POINT& p : points)
        Add(p);
    m_bClosed = (!points.empty() && AreNeighbours(points.back(), points.front())) ? TRUE : FALSE;
}

double CRPolygon::PathLength(int from, int to) const
{
    const int n = static_cast<int>(GetSize());
    if (n == 0)
        return 0.0;
    if (from == -1)
        from = 0;
    if (to == -1 || to >= n)
        to = n - 1;
    if (from < 0 || from >= n || to < 0)
        AfxThrowInvalidArgException();

    auto step = [](const POINT& a, const POINT& b) { return (a.x == b.x || a.y == b.y) ? 1.0 : 1.4142135623731; };
    double length = 0.0;
    if (to >= from) {
        for (int i = from; i < to; ++i)
            length += step(GetAt(i), GetAt(i + 1));
        return length;
    }
    for (int i = from; i < n - 1; ++i)
        length += step(GetAt(i), GetAt(i + 1));
    length += step(GetAt(n - 1), GetAt(0));
    for (int i = 0; i < to; ++i)
        length += step(GetAt(i), GetAt(i + 1));
    return length;
}
