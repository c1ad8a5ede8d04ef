#include "analysis/aoi.h"

#include "outside/pixmere/device.h"
#include "platform/core/dc.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

IMPLEMENT_SERIAL(CAOI4, CAOI, VERSIONABLE_SCHEMA | CAOI::storeSchema)

namespace {

// Longest pixel contour a polygon area may have.
constexpr long long kMaxContourPixels = 1LL << 24;

long long ContourLength(const CRPointArray& points)
{
    long long length = 0;
    const INT_PTR n = points.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        const POINT& a = points[i];
        const POINT& b = points[(i + 1) % n];
        length += std::max(std::abs(static_cast<long long>(b.x) - a.x), std::abs(static_cast<long long>(b.y) - a.y));
    }
    return length;
}

bool IsPixelContour(const CRPointArray& points)
{
    const INT_PTR n = points.GetSize();
    for (INT_PTR i = 0; i + 1 < n; ++i) {
        const POINT& a = points[i];
        const POINT& b = points[i + 1];
        if (std::abs(b.x - a.x) > 1 || std::abs(b.y - a.y) > 1)
            return false;
    }
    return true;
}

// Twice the signed area; positive for a contour running clockwise on screen.
long long SignedArea(const CRPointArray& points)
{
    long long area = 0;
    const INT_PTR n = points.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        const POINT& p = points[i];
        const POINT& q = points[(i + 1) % n];
        area += static_cast<long long>(p.x) * q.y - static_cast<long long>(q.x) * p.y;
    }
    return area;
}

// The box of the points. A box of (0, 0, 0, 0) counts as empty to the point
// list, so a list that starts at (0, 0) would lose that point from its box:
// the first point goes in last.
void RecalcBox(CRPointArray& points)
{
    CBoundingRect& box = points.GetBoundingRect();
    box.Empty();
    const INT_PTR n = points.GetSize();
    for (INT_PTR i = 1; i < n; ++i)
        box.AddPoint(points[i]);
    if (n > 0)
        box.AddPoint(points[0]);
}

} // namespace

CAOI4::CAOI4() : CAOI(typePolygon) {}

void CAOI4::CopyFrom(const CAOI& other)
{
    CAOI::CopyFrom(other);
    if (const auto* polygon = dynamic_cast<const CAOI4*>(&other); polygon && polygon != this) {
        m_Polygon.CopyFrom(polygon->m_Polygon);
        m_ScanPolygon.RemoveAll();
        m_ScanPolygon.Copy(polygon->m_ScanPolygon);
        m_ScanPolygon.BuildRowTable();
        m_nAreaCache = polygon->m_nAreaCache;
    }
}

bool CAOI4::SetPolygon(const CRPolygon& polygon)
{
    if (polygon.IsEmpty())
        return false;
    // One copy, moved to the box's corner in place: the engine sets a
    // polygon per object it cuts.
    m_Polygon.CopyFrom(polygon);
    POINT low = m_Polygon[0];
    POINT high = low;
    for (const POINT& p : m_Polygon) {
        low.x = std::min(low.x, p.x);
        low.y = std::min(low.y, p.y);
        high.x = std::max(high.x, p.x);
        high.y = std::max(high.y, p.y);
    }
    m_nLeft = low.x;
    m_nTop = low.y;
    m_nWidth = high.x - low.x + 1;
    m_nHeight = high.y - low.y + 1;
    for (POINT& p : m_Polygon) {
        p.x -= low.x;
        p.y -= low.y;
    }
    return BuildScanForm();
}

bool CAOI4::BuildScanForm()
{
    m_ScanPolygon.RemoveAll();
    m_nAreaCache = 0;
    if (m_Polygon.IsEmpty() || ContourLength(m_Polygon) > kMaxContourPixels)
        return false;
    // The scan form wants an 8-connected contour running clockwise on
    // screen; outlines drawn by hand are vertex lists of either sense.
    RecalcBox(m_Polygon);
    if (IsPixelContour(m_Polygon) && SignedArea(m_Polygon) >= 0) {
        m_ScanPolygon.SetFromPolygon(m_Polygon);
        return !m_ScanPolygon.IsEmpty();
    }
    CRPolygon contour;
    if (IsPixelContour(m_Polygon))
        contour.CopyFrom(m_Polygon);
    else
        contour.SetFromVertices(m_Polygon);
    if (SignedArea(contour) < 0)
        std::reverse(contour.begin(), contour.end());
    RecalcBox(contour);
    m_ScanPolygon.SetFromPolygon(contour);
    return !m_ScanPolygon.IsEmpty();
}

int CAOI4::GetRowLeft(int y) const
{
    if (y < m_nTop || y > m_nTop + m_nHeight - 1)
        AfxThrowInvalidArgException();
    return m_ScanPolygon.GetRowFirstX(y - m_nTop) + m_nLeft;
}

int CAOI4::GetRowRight(int y) const
{
    if (y < m_nTop || y > m_nTop + m_nHeight - 1)
        AfxThrowInvalidArgException();
    return m_ScanPolygon.GetRowLastX(y - m_nTop) + m_nLeft;
}

bool CAOI4::GetRunStart(int k, int y, int& x) const
{
    if (y < m_nTop || y > m_nTop + m_nHeight - 1 || !m_ScanPolygon.GetRunStart(k, y - m_nTop, x))
        return false;
    x += m_nLeft;
    return true;
}

bool CAOI4::GetRunEnd(int k, int y, int& x) const
{
    if (y < m_nTop || y > m_nTop + m_nHeight - 1 || !m_ScanPolygon.GetRunEnd(k, y - m_nTop, x))
        return false;
    x += m_nLeft;
    return true;
}

bool CAOI4::Contains(int x, int y) const
{
    if (m_ScanPolygon.IsEmpty() || y < m_nTop || y > m_nTop + m_nHeight - 1)
        return false;
    return m_ScanPolygon.IsInside(x - m_nLeft, y - m_nTop);
}

int CAOI4::GetPixelCount() const
{
    // Only the pixels of the runs: a concave row has gaps.
    long long count = 0;
    for (int y = m_nTop; y < m_nTop + m_nHeight; ++y) {
        int start = 0;
        int end = 0;
        for (int k = 0; GetRunStart(k, y, start) && GetRunEnd(k, y, end); ++k)
            count += end - start + 1;
    }
    m_nAreaCache = static_cast<int>(std::min<long long>(count, std::numeric_limits<int>::max()));
    return m_nAreaCache;
}

void CAOI4::Draw(CDC* pDC) const
{
    if (m_Polygon.IsEmpty())
        return;
    pDC->MoveTo(m_Polygon[0].x + m_nLeft, m_Polygon[0].y + m_nTop);
    for (INT_PTR i = 1; i < m_Polygon.GetSize(); ++i)
        pDC->LineTo(m_Polygon[i].x + m_nLeft, m_Polygon[i].y + m_nTop);
}

void CAOI4::DrawIntoImage(Device& image, COLORREF color) const
{
    if (m_nWidth == 0 || m_nHeight == 0 || m_Polygon.IsEmpty())
        return;
    image.MoveTo({m_Polygon[0].x + m_nLeft, m_Polygon[0].y + m_nTop});
    for (INT_PTR i = 1; i < m_Polygon.GetSize(); ++i)
        image.LineTo({m_Polygon[i].x + m_nLeft, m_Polygon[i].y + m_nTop}, color, R2_COPYPEN);
}

void CAOI4::SerializeShape(CArchive& ar, UINT)
{
    if (ar.IsStoring()) {
        m_Polygon.Serialize(ar);
        return;
    }
    CRPolygon polygon;
    polygon.Serialize(ar);
    // The outline spans the area's rectangle, relative to its corner.
    if (!polygon.IsEmpty()) {
        RecalcBox(polygon);
        const CBoundingRect& box = polygon.GetBoundingRect();
        if (box.left != 0 || box.top != 0 || box.right != m_nWidth - 1 || box.bottom != m_nHeight - 1)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    m_Polygon.CopyFrom(polygon);
    BuildScanForm();
}
