#include "analysis/aoi.h"

#include "platform/core/dc.h"
#include "outside/pixmere/device.h"

#include <algorithm>

IMPLEMENT_SERIAL(CAOI3, CAOI, VERSIONABLE_SCHEMA | CAOI::storeSchema)

CAOI3::CAOI3() : CAOI(typeParallelogram) {}

void CAOI3::CopyFrom(const CAOI& other)
{
    CAOI::CopyFrom(other);
    if (const auto* parallelogram = dynamic_cast<const CAOI3*>(&other); parallelogram && parallelogram != this) {
        std::copy(std::begin(parallelogram->m_Corners), std::end(parallelogram->m_Corners), std::begin(m_Corners));
        m_RowTable = parallelogram->m_RowTable;
    }
}

void CAOI3::SetFromPoints(POINT a, POINT b, POINT c)
{
    m_Corners[0] = a;
    m_Corners[1] = b;
    m_Corners[2] = c;
    m_Corners[3] = {c.x - b.x + a.x, c.y - b.y + a.y};
    int minX = m_Corners[0].x;
    int maxX = minX;
    int minY = m_Corners[0].y;
    int maxY = minY;
    for (const POINT& p : m_Corners) {
        minX = std::min<int>(minX, p.x);
        maxX = std::max<int>(maxX, p.x);
        minY = std::min<int>(minY, p.y);
        maxY = std::max<int>(maxY, p.y);
    }
    m_nLeft = minX;
    m_nTop = minY;
    m_nWidth = maxX + 1 - minX;
    m_nHeight = maxY + 1 - minY;
    for (POINT& p : m_Corners) {
        p.x -= minX;
        p.y -= minY;
    }
    Build();
}

void CAOI3::Build()
{
    m_RowTable.clear();
    if (m_nWidth == 0 || m_nHeight == 0)
        return;
    OrderCorners();
    BuildRowTable();
}

void CAOI3::OrderCorners()
{
    // P0 becomes the top-most corner (the left one of two), and the corners
    // run clockwise on screen: P0 -> P1 -> P2 down the right side, P2 -> P3
    // -> P0 up the left side.
    int first = 0;
    for (int i = 1; i < 4; ++i) {
        const POINT& p = m_Corners[i];
        const POINT& best = m_Corners[first];
        if (p.y < best.y || (p.y == best.y && p.x < best.x))
            first = i;
    }
    std::rotate(std::begin(m_Corners), std::begin(m_Corners) + first, std::end(m_Corners));
    long long area = 0;
    for (int i = 0; i < 4; ++i) {
        const POINT& p = m_Corners[i];
        const POINT& q = m_Corners[(i + 1) % 4];
        area += static_cast<long long>(p.x) * q.y - static_cast<long long>(q.x) * p.y;
    }
    if (area < 0)
        std::swap(m_Corners[1], m_Corners[3]);
}

std::vector<POINT> CAOI3::Edge(int i, int j) const
{
    return EdgePixels(m_Corners[i], m_Corners[j]);
}

void CAOI3::BuildRowTable()
{
    m_RowTable.assign(static_cast<size_t>(m_nHeight), CRowEntry{m_nWidth - 1, 0});
    // Every row lies between two edge pixels of the outline: the smallest
    // and the largest x met on it are its borders.
    for (int i = 0; i < 4; ++i) {
        for (const POINT& p : Edge(i, (i + 1) % 4)) {
            if (p.y < 0 || p.y >= m_nHeight)
                continue;
            CRowEntry& row = m_RowTable[static_cast<size_t>(p.y)];
            row.left = std::min<int>(row.left, p.x);
            row.right = std::max<int>(row.right, p.x);
        }
    }
}

const CAOI3::CRowEntry& CAOI3::RowEntry(int y) const
{
    const long long row = static_cast<long long>(y) - m_nTop;
    if (row < 0 || row >= static_cast<long long>(m_RowTable.size()))
        AfxThrowInvalidArgException();
    return m_RowTable[static_cast<size_t>(row)];
}

int CAOI3::GetRowLeft(int y) const
{
    return RowEntry(y).left + m_nLeft;
}

int CAOI3::GetRowRight(int y) const
{
    return RowEntry(y).right + m_nLeft;
}

CPoint CAOI3::GetCorner(int index) const
{
    if (index < 0 || index > 3)
        AfxThrowInvalidArgException();
    return CPoint(m_Corners[index].x + m_nLeft, m_Corners[index].y + m_nTop);
}

int CAOI3::GetScanLine(int n, CPoint& start, CPoint& end) const
{
    // Scan lines run along the longer side, one per pixel of the shorter.
    std::vector<POINT> first = Edge(0, 1);
    std::vector<POINT> second;
    const std::vector<POINT> side = Edge(0, 3);
    if (first.size() <= side.size()) {
        second = Edge(3, 2);
    } else {
        first = side;
        second = Edge(1, 2);
    }
    const int count = static_cast<int>(first.size());
    if (n >= 0 && n < count && n < static_cast<int>(second.size())) {
        start = CPoint(first[static_cast<size_t>(n)].x + m_nLeft, first[static_cast<size_t>(n)].y + m_nTop);
        end = CPoint(second[static_cast<size_t>(n)].x + m_nLeft, second[static_cast<size_t>(n)].y + m_nTop);
    }
    return count;
}

void CAOI3::Draw(CDC* pDC) const
{
    pDC->MoveTo(GetCorner(0));
    for (int i = 1; i <= 4; ++i)
        pDC->LineTo(GetCorner(i % 4));
}

void CAOI3::DrawIntoImage(Device&, COLORREF) const {}

void CAOI3::SerializeShape(CArchive& ar, UINT)
{
    if (ar.IsStoring()) {
        ar.Write(m_Corners, sizeof(m_Corners));
        return;
    }
    POINT corners[4];
    ar.EnsureRead(corners, sizeof(corners));
    // Rows are built only for a box with both sides; one side alone would
    // promise rows that do not exist.
    if ((m_nWidth == 0) != (m_nHeight == 0))
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    if (m_nWidth != 0 && m_nHeight != 0) {
        for (const POINT& p : corners) {
            if (p.x < 0 || p.x >= m_nWidth || p.y < 0 || p.y >= m_nHeight)
                AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
        }
    }
    std::copy(std::begin(corners), std::end(corners), std::begin(m_Corners));
    Build();
}
