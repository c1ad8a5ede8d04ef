#include "objectmodel/rscanpolygon.h"

#include <algorithm>
#include <vector>

IMPLEMENT_SERIAL(CRScanPolygon, CRPointArray, 0)

namespace {

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// +1 when y grows from a to b, -1 when it falls, 0 for a horizontal step.
int Direction(POINT a, POINT b)
{
    return Sign(b.y - a.y);
}

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

// Number of vertices of a contour whose last point may repeat its first.
int VertexCount(const CRPointArray& polygon)
{
    const int n = static_cast<int>(polygon.GetSize());
    return (n > 1 && SamePoint(polygon[n - 1], polygon[0])) ? n - 1 : n;
}

// Counter-clockwise on screen (y pointing down): a negative shoelace sum.
bool IsCounterClockwise(const CRPointArray& polygon)
{
    const INT_PTR n = polygon.GetSize();
    LONGLONG twiceArea = 0;
    for (INT_PTR i = 0; i < n; ++i) {
        const POINT& a = polygon[i];
        const POINT& b = polygon[(i + 1) % n];
        twiceArea += static_cast<LONGLONG>(a.x) * b.y - static_cast<LONGLONG>(b.x) * a.y;
    }
    return twiceArea < 0;
}

} // namespace

void CRScanPolygon::RemoveAll()
{
    CRPointArray::RemoveAll();
    m_RowTable.RemoveAll();
}

void CRScanPolygon::Serialize(CArchive& ar)
{
    CRPointArray::Serialize(ar);
    if (ar.IsLoading())
        BuildRowTable();
}

bool CRScanPolygon::SetFromPolygon(const CRPointArray& polygon)
{
    RemoveAll();
    m_BoundingRect = polygon.GetBoundingRect();
    // The run rules read a clockwise contour; a drawn outline may run either way.
    if (IsCounterClockwise(polygon)) {
        CRPointArray reversed;
        reversed.SetSize(0, polygon.GetSize());
        for (INT_PTR i = polygon.GetUpperBound(); i >= 0; --i)
            reversed.Add(polygon[i]);
        AddEdgePoints(reversed);
    } else {
        AddEdgePoints(polygon);
    }
    SortPoints();
    if (BuildRowTable())
        return true;
    if (polygon.IsEmpty())
        return false;
    AddTopBottomRuns(polygon);
    SortPoints();
    return BuildRowTable();
}

bool CRScanPolygon::BuildRowTable()
{
    m_RowTable.RemoveAll();
    const int n = static_cast<int>(GetSize());
    if (n == 0)
        return false;
    m_RowTable.SetSize(0, std::max(n / 3, 1));
    m_RowTable.Add(0);
    int rowY = GetAt(0).y;
    for (int i = 1; i < n; ++i) {
        if (GetAt(i).y != rowY) {
            m_RowTable.Add(static_cast<DWORD>(i));
            rowY = GetAt(i).y;
        }
    }
    return n >= 3 && GetAt(0).y == m_BoundingRect.top && GetAt(n - 1).y == m_BoundingRect.bottom;
}

void CRScanPolygon::AddEdgePoints(const CRPointArray& polygon)
{
    const int n = VertexCount(polygon);
    if (n == 0)
        return;
    const auto vertex = [&polygon, n](int i) -> POINT { return polygon[((i % n) + n) % n]; };

    // A horizontal run: where it started, the direction that led into it,
    // and the x range it covers (a run may double back over a spike).
    POINT runStart = vertex(0);
    int directionBeforeRun = -1;
    int runMinX = runStart.x;
    int runMaxX = runStart.x;
    // Vertex 0 may lie in a run that started before the end of the contour.
    if (Direction(vertex(-1), vertex(0)) == 0) {
        int k = n - 1;
        int steps = 0;
        while (steps < n && Direction(vertex(k - 1), vertex(k)) == 0) {
            --k;
            ++steps;
        }
        runStart = vertex(k);
        if (steps < n)
            directionBeforeRun = Direction(vertex(k - 1), vertex(k));
        runMinX = runMaxX = runStart.x;
        for (int j = k; j < n; ++j) {
            runMinX = std::min<int>(runMinX, vertex(j).x);
            runMaxX = std::max<int>(runMaxX, vertex(j).x);
        }
    }

    for (int i = 0; i < n; ++i) {
        const POINT u = vertex(i - 1);
        const POINT v = vertex(i);
        const POINT w = vertex(i + 1);
        const int in = Direction(u, v);
        const int out = Direction(v, w);
        if (in == 0) {
            runMinX = std::min<int>(runMinX, v.x);
            runMaxX = std::max<int>(runMaxX, v.x);
        }
        if (out == 0) {
            if (in != 0) {
                runStart = v;
                directionBeforeRun = in;
                runMinX = runMaxX = v.x;
            }
            continue;
        }
        if (in != 0) {
            if (in == out) {
                Add(v);
            } else {
                // A local top or bottom: one run of a single pixel, or none
                // where the contour turns back into the inside.
                const int s = Sign(w.x - u.x);
                if (s == out || s == 0) {
                    Add(v);
                    Add(v);
                }
            }
            continue;
        }
        // V ends the run. On a side of the contour the run's outer end is
        // the edge: its left end going up, its right end going down. A run
        // between an ascent and a descent is a flat top or bottom when the
        // contour travels along it in the direction it leaves in (the run
        // is then inside, its ends the edges); otherwise the run lies within
        // a longer run of the row and adds nothing.
        const int y = v.y;
        if (directionBeforeRun == out) {
            Add(out < 0 ? runMinX : runMaxX, y);
        } else {
            const int s = Sign(v.x - runStart.x);
            if (s == out || s == 0) {
                Add(runMinX, y);
                Add(runMaxX, y);
            }
        }
    }
}

void CRScanPolygon::AddTopBottomRuns(const CRPointArray& polygon)
{
    const int n = VertexCount(polygon);
    if (n == 0)
        return;
    const int rows[] = {m_BoundingRect.top, m_BoundingRect.bottom};
    for (int r = 0; r < 2; ++r) {
        const int y = rows[r];
        if (r == 1 && rows[1] == rows[0])
            break;
        bool present = false;
        for (const POINT& p : *this)
            present = present || p.y == y;
        if (present)
            continue;

        // Start at the beginning of a stretch on the row, so that no
        // stretch is cut in two by the walk.
        int start = -1;
        bool allOnRow = true;
        for (int i = 0; i < n; ++i) {
            const bool on = polygon[i].y == y;
            allOnRow = allOnRow && on;
            if (on && start < 0 && polygon[(i + n - 1) % n].y != y)
                start = i;
        }
        if (allOnRow)
            start = 0;
        if (start < 0)
            continue;

        bool inStretch = false;
        int minX = 0;
        int maxX = 0;
        for (int step = 0; step <= n; ++step) {
            const POINT& p = polygon[(start + step) % n];
            const bool on = p.y == y && step < n;
            if (on) {
                minX = inStretch ? std::min<int>(minX, p.x) : p.x;
                maxX = inStretch ? std::max<int>(maxX, p.x) : p.x;
                inStretch = true;
            } else if (inStretch) {
                Add(minX, y);
                Add(maxX, y);
                inStretch = false;
            }
        }
    }
}

int CRScanPolygon::RowIndex(int y) const
{
    int r = y - m_BoundingRect.top;
    if (r < 0)
        r = 0;
    if (r >= m_RowTable.GetSize())
        AfxThrowInvalidArgException();
    return r;
}

int CRScanPolygon::GetRowFirstIndex(int y) const
{
    return static_cast<int>(m_RowTable[RowIndex(y)]);
}

int CRScanPolygon::GetRowLastIndex(int y) const
{
    const int r = RowIndex(y);
    if (r + 1 < m_RowTable.GetSize())
        return static_cast<int>(m_RowTable[r + 1]) - 1;
    return static_cast<int>(GetSize()) - 1;
}

int CRScanPolygon::GetRowFirstX(int y) const
{
    return GetAt(GetRowFirstIndex(y)).x;
}

int CRScanPolygon::GetRowLastX(int y) const
{
    return GetAt(GetRowLastIndex(y)).x;
}

bool CRScanPolygon::RowPoint(int y, int offset, int& x) const
{
    const INT_PTR index = static_cast<INT_PTR>(GetRowFirstIndex(y)) + offset;
    if (index >= GetSize() || GetAt(index).y != y)
        return false;
    x = GetAt(index).x;
    return true;
}

bool CRScanPolygon::GetRunStart(int k, int y, int& x) const
{
    return k >= 0 && RowPoint(y, 2 * k, x);
}

bool CRScanPolygon::GetRunEnd(int k, int y, int& x) const
{
    return k >= 0 && RowPoint(y, 2 * k + 1, x);
}

bool CRScanPolygon::IsInside(int x, int y) const
{
    const int r = y - m_BoundingRect.top;
    if (r < 0 || r >= m_RowTable.GetSize())
        return false;
    const INT_PTR n = GetSize();
    for (INT_PTR i = m_RowTable[r]; i + 1 < n && GetAt(i).y == y && GetAt(i + 1).y == y; i += 2) {
        if (GetAt(i).x > x)
            return false;
        if (GetAt(i + 1).x >= x)
            return true;
    }
    return false;
}
