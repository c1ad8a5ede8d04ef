#include "analysis/aoi.h"

#include "outside/pixmere/device.h"
#include "platform/core/dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

IMPLEMENT_SERIAL(CAOIEllipse, CAOI2, VERSIONABLE_SCHEMA | CAOI::storeSchema)

namespace {

constexpr int kMaxAxis = 65535;
// Ellipse records of this schema and later carry no axes.
constexpr UINT kSchemaWithoutAxes = 1001;

} // namespace

CAOIEllipse::CAOIEllipse() : CAOI2(typeEllipse) {}

CAOIEllipse::CAOIEllipse(const CAOIEllipse& other) : CAOI2(typeEllipse)
{
    Assign(other);
}

CAOIEllipse& CAOIEllipse::operator=(const CAOIEllipse& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

void CAOIEllipse::BuildOutline()
{
    m_Outline.RemoveAll();
    const int w = m_nAxisWidth;
    const int h = m_nAxisHeight;
    if (w <= 0 || h <= 0)
        return;
    const double a2 = w * 0.5 * w * 0.5;
    const double b2 = (h - 1) * 0.5 * (h - 1) * 0.5;
    const double c = (h - 1) * 0.5;
    const int cx = w / 2;
    m_Outline.SetSize(0, 2 * static_cast<INT_PTR>(h));
    for (int i = 0; i < h; ++i) {
        const double d = i - c;
        // A single row (b = 0) is the full width.
        const double s = b2 > 0.0 ? a2 - d * d * a2 / b2 : a2;
        const int half = static_cast<int>(std::sqrt(std::max(s, 0.0)) + 0.5);
        m_Outline.Add(std::max(cx - half, 0), i);
        m_Outline.Add(std::min(cx + half, w - 1), i);
    }
}

void CAOIEllipse::Rebuild()
{
    BuildOutline();
    if (m_dAngle != 0.0) {
        const double angle = m_dAngle;
        m_dAngle = 0.0;
        SetAngle(angle);
        // Without axes there is no outline: the box must not promise rows.
        if (m_Outline.IsEmpty())
            m_nWidth = m_nHeight = 0;
        return;
    }
    m_nWidth = m_Outline.IsEmpty() ? 0 : m_nAxisWidth;
    m_nHeight = m_Outline.IsEmpty() ? 0 : m_nAxisHeight;
}

void CAOIEllipse::SetAngle(double angle)
{
    if (m_dAngle != 0.0) {
        BuildOutline();
        m_nWidth = m_nAxisWidth;
        m_nHeight = m_nAxisHeight;
    }
    m_dAngle = angle;
    const int rows = static_cast<int>(m_Outline.GetSize() / 2);
    if (rows == 0)
        return;

    // The closed contour: down the left side, up the right side.
    CRPointArray contour;
    contour.SetSize(0, 2 * static_cast<INT_PTR>(rows));
    for (int i = 0; i < rows; ++i)
        contour.Add(m_Outline[2 * i]);
    for (int i = rows - 1; i >= 0; --i)
        contour.Add(m_Outline[2 * i + 1]);
    contour.Rotate(m_nAxisWidth / 2, m_nAxisHeight / 2, angle);

    // Rows skipped between two contour points are filled with line pixels.
    CRPointArray connected;
    const INT_PTR n = contour.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        const POINT a = contour[i];
        const POINT b = contour[(i + 1) % n];
        connected.Add(a);
        if (std::abs(b.y - a.y) > 1) {
            const std::vector<POINT> line = EdgePixels(a, b);
            for (size_t k = 1; k + 1 < line.size(); ++k)
                connected.Add(line[k]);
        }
    }
    connected.SortPoints();

    int minX = connected[0].x;
    int maxX = minX;
    for (const POINT& p : connected) {
        minX = std::min<int>(minX, p.x);
        maxX = std::max<int>(maxX, p.x);
    }
    const int minY = connected[0].y;
    const int maxY = connected[connected.GetSize() - 1].y;

    m_Outline.RemoveAll();
    m_Outline.SetSize(0, 2 * static_cast<INT_PTR>(maxY - minY + 1));
    INT_PTR i = 0;
    while (i < connected.GetSize()) {
        INT_PTR j = i;
        while (j + 1 < connected.GetSize() && connected[j + 1].y == connected[i].y)
            ++j;
        m_Outline.Add(connected[i].x - minX, connected[i].y - minY);
        m_Outline.Add(connected[j].x - minX, connected[j].y - minY);
        i = j + 1;
    }
    m_nWidth = maxX - minX + 1;
    m_nHeight = maxY - minY + 1;
}

int CAOIEllipse::OutlineIndex(int y) const
{
    const long long row = static_cast<long long>(y) - m_nTop;
    if (row < 0 || 2 * row + 1 >= m_Outline.GetSize())
        AfxThrowInvalidArgException();
    return static_cast<int>(2 * row);
}

int CAOIEllipse::GetRowLeft(int y) const
{
    return m_Outline[OutlineIndex(y)].x + m_nLeft;
}

int CAOIEllipse::GetRowRight(int y) const
{
    return m_Outline[OutlineIndex(y) + 1].x + m_nLeft;
}

bool CAOIEllipse::Contains(int x, int y) const
{
    const long long row = static_cast<long long>(y) - m_nTop;
    if (row < 0 || 2 * row + 1 >= m_Outline.GetSize())
        return false;
    return x >= GetRowLeft(y) && x <= GetRowRight(y);
}

void CAOIEllipse::SetFromCorners(int x1, int y1, int x2, int y2)
{
    SetRectFromCorners(x1, y1, x2, y2);
    if (m_nWidth > 2 && m_nHeight > 2) {
        m_nAxisWidth = m_nWidth;
        m_nAxisHeight = m_nHeight;
    } else {
        m_nAxisWidth = 0;
        m_nAxisHeight = 0;
    }
    Rebuild();
}

void CAOIEllipse::SetCenterAndRadii(int cx, int cy, int rx, int ry)
{
    rx = std::max(rx, 0);
    ry = std::max(ry, 0);
    m_nLeft = cx - rx;
    m_nTop = cy - ry;
    m_nAxisWidth = 2 * rx;
    m_nAxisHeight = 2 * ry;
    Rebuild();
}

void CAOIEllipse::Assign(const CAOIEllipse& other)
{
    CopyFrom(other);
    m_nAxisWidth = other.m_nAxisWidth;
    m_nAxisHeight = other.m_nAxisHeight;
    Rebuild();
}

void CAOIEllipse::OnRectChanged(int, int, int oldWidth, int oldHeight)
{
    // A move needs nothing: the outline is relative to the corner.
    if (m_nWidth == oldWidth && m_nHeight == oldHeight)
        return;
    if (m_dAngle == 0.0 || oldWidth <= 0 || oldHeight <= 0) {
        m_nAxisWidth = m_nWidth;
        m_nAxisHeight = m_nHeight;
        Rebuild();
        return;
    }
    // A turned ellipse shrinks with its axes until its box fits the new one.
    const int fitWidth = m_nWidth;
    const int fitHeight = m_nHeight;
    const double factor = std::min(static_cast<double>(fitWidth) / oldWidth, static_cast<double>(fitHeight) / oldHeight);
    m_nAxisWidth = std::max(static_cast<int>(m_nAxisWidth * factor), 0);
    m_nAxisHeight = std::max(static_cast<int>(m_nAxisHeight * factor), 0);
    Rebuild();
    while ((m_nWidth > fitWidth || m_nHeight > fitHeight) && m_nAxisWidth > 0 && m_nAxisHeight > 0) {
        --m_nAxisWidth;
        --m_nAxisHeight;
        Rebuild();
    }
}

void CAOIEllipse::Draw(CDC* pDC) const
{
    const int rows = static_cast<int>(m_Outline.GetSize() / 2);
    if (m_nWidth == 0 || m_nHeight == 0 || rows == 0)
        return;
    const int bottom = m_nTop + rows - 1;
    pDC->MoveTo(GetRowLeft(m_nTop), m_nTop);
    for (int y = m_nTop + 1; y <= bottom; ++y)
        pDC->LineTo(GetRowLeft(y), y);
    for (int y = bottom; y >= m_nTop; --y)
        pDC->LineTo(GetRowRight(y), y);
}

void CAOIEllipse::DrawIntoImage(Device& image, COLORREF color) const
{
    const int rows = static_cast<int>(m_Outline.GetSize() / 2);
    if (m_nWidth == 0 || m_nHeight == 0 || rows == 0)
        return;
    const int bottom = m_nTop + rows - 1;
    image.MoveTo({GetRowLeft(m_nTop), m_nTop});
    for (int y = m_nTop + 1; y <= bottom - 1; ++y)
        image.LineTo({GetRowLeft(y), y}, color, R2_COPYPEN);
    for (int y = bottom; y >= m_nTop; --y)
        image.LineTo({GetRowRight(y), y}, color, R2_COPYPEN);
}

void CAOIEllipse::GetOutline(CRPointArray& points) const
{
    points.RemoveAll();
    const int rows = static_cast<int>(m_Outline.GetSize() / 2);
    for (int i = 0; i < rows; ++i)
        points.Add(m_Outline[2 * i].x + m_nLeft, m_Outline[2 * i].y + m_nTop);
    for (int i = rows - 1; i >= 0; --i)
        points.Add(m_Outline[2 * i + 1].x + m_nLeft, m_Outline[2 * i + 1].y + m_nTop);
}

void CAOIEllipse::SerializeShape(CArchive& ar, UINT)
{
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CAOIEllipse));
        ar << static_cast<std::int32_t>(m_nAxisWidth) << static_cast<std::int32_t>(m_nAxisHeight);
        return;
    }
    UINT schema = 0;
    ar.ReadClass(RUNTIME_CLASS(CAOIEllipse), &schema);
    // Records without axes take them from the rectangle.
    std::int32_t axisWidth = m_nWidth;
    std::int32_t axisHeight = m_nHeight;
    if (schema < kSchemaWithoutAxes && schema >= 2) {
        ar >> axisWidth >> axisHeight;
        if (axisWidth < 0 || axisWidth > kMaxAxis || axisHeight < 0 || axisHeight > kMaxAxis)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    m_nAxisWidth = axisWidth;
    m_nAxisHeight = axisHeight;
    Rebuild();
}
