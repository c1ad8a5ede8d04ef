#include "analysis/objedge.h"

#include "analysis/intersectlines.h"
#include "analysis/objsegments.h"
#include "objectmodel/cross.h"
#include "objectmodel/fit.h"
#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

IMPLEMENT_SERIAL(CEdgeObj, CObjDataBase, 1)

namespace {

// The angle limits as the stored lines were measured: single precision.
constexpr double kQuarterPi = 0.7853981852531433;
constexpr double kHalfPi = 1.5707963705062866;
// Rays of any kind.
constexpr int kAnyKind = 7;

bool IsSet(POINT p)
{
    return p.x != 0 || p.y != 0;
}

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

void Cross(CDC* pDC, POINT at, COLORREF color, int width = 1)
{
    CCross cross(color, width, R2_COPYPEN);
    cross.Draw(pDC, at);
}

void Line(CDC* pDC, POINT a, POINT b, COLORREF color)
{
    CPen pen(PS_SOLID, 5, color);
    CPen* old = pDC->SelectObject(&pen);
    pDC->MoveTo(a);
    pDC->LineTo(b);
    pDC->SelectObject(old);
}

} // namespace

CEdgeObj::CEdgeObj()
{
    m_ID = kind;
}

void CEdgeObj::Serialize(CArchive& ar)
{
    if (!kestrun::BeginRecordElement(ar, "CEdgeObj"))
        return;
    CBaseObj::Serialize(ar);
    kestrun::EndRecordElement(ar);
}

void CEdgeObj::GetColumnTitles(CStringArray& titles, int)
{
    titles.RemoveAll();
    for (const char* title : {"Index", "Punkte", "Gefundene Punkte", "Gültige Segmente", "Winkel Oberkante"})
        titles.Add(title);
}

CString CEdgeObj::GetColumnValues(int column)
{
    switch (column) {
    case 0:
        return "0";
    case 1:
        return FormatString("%d", m_nScanRayCount > 0 ? m_nScanRayCount : GetRayCount());
    case 2:
        return FormatString("%d", static_cast<int>(m_arrFoundPoints.GetSize()));
    case 3:
        return FormatString("%d", CountRays(validKinds));
    case 4:
        return FormatString("%d°", WholeDegrees(m_dUpperAngle));
    default:
        return {};
    }
}

// ---- rays ------------------------------------------------------------------------------

void CEdgeObj::AddRay(std::unique_ptr<CRPolygon> ray, double startAngle)
{
    if (!ray)
        AfxThrowInvalidArgException();
    m_Rays.push_back(std::move(ray));
    m_RayAngles.push_back(startAngle);
}

const CRPolygon& CEdgeObj::GetRay(int index) const
{
    if (index < 0 || index >= GetRayCount())
        AfxThrowInvalidArgException();
    return *m_Rays[static_cast<size_t>(index)];
}

double CEdgeObj::GetRayAngle(int index) const
{
    if (index < 0 || index >= GetRayCount())
        AfxThrowInvalidArgException();
    return m_RayAngles[static_cast<size_t>(index)];
}

int CEdgeObj::CountRays(int mask) const
{
    return static_cast<int>(
        std::count_if(m_Rays.begin(), m_Rays.end(), [mask](const auto& ray) { return (ray->m_nShapeType & mask) != 0; }));
}

int CEdgeObj::FirstRay(int mask) const
{
    for (int i = 0; i < GetRayCount(); ++i)
        if ((m_Rays[static_cast<size_t>(i)]->m_nShapeType & mask) != 0)
            return i;
    AfxThrowInvalidArgException();
}

int CEdgeObj::LastRay(int mask) const
{
    for (int i = GetRayCount() - 1; i >= 0; --i)
        if ((m_Rays[static_cast<size_t>(i)]->m_nShapeType & mask) != 0)
            return i;
    AfxThrowInvalidArgException();
}

int CEdgeObj::PrevRay(int index, int mask) const
{
    const int n = GetRayCount();
    // One lap at most: without a match there is nothing to find.
    for (int step = 1; step <= n; ++step) {
        const int i = ((index - step) % n + n) % n;
        if ((m_Rays[static_cast<size_t>(i)]->m_nShapeType & mask) != 0)
            return i;
    }
    return -1;
}

int CEdgeObj::NextRay(int index, int mask) const
{
    const int n = GetRayCount();
    for (int step = 1; step <= n; ++step) {
        const int i = ((index + step) % n + n) % n;
        if ((m_Rays[static_cast<size_t>(i)]->m_nShapeType & mask) != 0)
            return i;
    }
    return -1;
}

void CEdgeObj::RemoveLastRay()
{
    if (m_Rays.size() <= 1)
        return;
    m_Rays.pop_back();
    m_RayAngles.pop_back();
}

void CEdgeObj::CollectValidSegments()
{
    m_arrSegmentPoints.RemoveAll();
    for (const auto& ray : m_Rays) {
        if (ray->m_nShapeType != CRPolygon::shapeCorner || ray->IsEmpty())
            continue;
        m_arrSegmentPoints.Add((*ray)[0]);
        const int current = std::clamp(ray->m_nCurrentIndex, 0, static_cast<int>(ray->GetSize()) - 1);
        m_arrSegmentPoints.Add((*ray)[current]);
    }
}

void CEdgeObj::CollectTopEdgePoints()
{
    for (const auto& ray : m_Rays) {
        if (ray->m_nShapeType != CRPolygon::shapeLine || ray->IsEmpty())
            continue;
        const POINT first = (*ray)[0];
        if (m_arrFoundPoints.IsEmpty() || !(CPoint(m_arrFoundPoints[m_arrFoundPoints.GetSize() - 1]) == first))
            m_arrFoundPoints.Add(first);
        m_arrFoundPoints.Add((*ray)[ray->GetSize() - 1]);
    }
}

// ---- edge lines -------------------------------------------------------------------------

double CEdgeObj::PointAngle(POINT a, POINT b)
{
    const double dx = b.x - a.x;
    if (dx == 0.0)
        return std::numbers::pi / 2.0;
    return -std::atan((b.y - a.y) / dx);
}

bool CEdgeObj::NextRaySegment(int& position, CPoint& a, CPoint& b) const
{
    a = b = CPoint(0, 0);
    const int n = GetRayCount();
    int i = std::max(position, 0);
    while (i < n && m_Rays[static_cast<size_t>(i)]->m_nShapeType != CRPolygon::shapeLine)
        ++i;
    if (i >= n) {
        position = n;
        return false;
    }
    CFit fit;
    std::vector<POINT> points;
    // A run also ends where a ray does not start near the end of the one
    // before: the walk has crossed to another edge of the object.
    for (; i < n && m_Rays[static_cast<size_t>(i)]->m_nShapeType == CRPolygon::shapeLine; ++i) {
        const CRPolygon& ray = *m_Rays[static_cast<size_t>(i)];
        if (!points.empty() && !ray.IsEmpty() &&
            std::hypot(static_cast<double>(ray[0].x - points.back().x), static_cast<double>(ray[0].y - points.back().y)) >
                kMaxRunGap)
            break;
        for (const POINT& p : ray)
            points.push_back(p);
    }
    position = i;
    if (points.size() < 3)
        return true;
    fit.SetSize(static_cast<int>(points.size()));
    for (size_t k = 0; k < points.size(); ++k)
        fit.SetPoint(static_cast<int>(k), points[k].x, points[k].y, 1.0f, 1.0f);
    double errorA = 0.0;
    double errorB = 0.0;
    double chi2 = 0.0;
    if (!fit.FitLine(errorA, errorB, chi2) || !std::isfinite(fit.GetA()) || !std::isfinite(fit.GetB()))
        return true;
    const auto [minX, maxX] = std::minmax_element(points.begin(), points.end(), [](POINT p, POINT q) { return p.x < q.x; });
    const auto [minY, maxY] = std::minmax_element(points.begin(), points.end(), [](POINT p, POINT q) { return p.y < q.y; });
    const double slope = fit.GetB();
    if (slope >= CFit::kVerticalSlope) {
        double sum = 0.0;
        for (const POINT& p : points)
            sum += p.x;
        const int x = static_cast<int>(std::lround(sum / static_cast<double>(points.size())));
        a = CPoint(x, minY->y);
        b = CPoint(x, maxY->y);
    } else if (std::abs(slope) <= 1.0) {
        const auto yAt = [&](int x) { return static_cast<int>(std::lround(fit.GetA() + slope * x)); };
        a = CPoint(minX->x, yAt(minX->x));
        b = CPoint(maxX->x, yAt(maxX->x));
    } else {
        const auto xAt = [&](int y) { return static_cast<int>(std::lround((y - fit.GetA()) / slope)); };
        a = CPoint(xAt(minY->y), minY->y);
        b = CPoint(xAt(maxY->y), maxY->y);
    }
    return true;
}

void CEdgeObj::MeasureRays()
{
    m_arrSegmentPoints.RemoveAll();
    double upperRow = 1000.0; // U
    double lowerRow = 0.0;    // W
    int position = 0;
    CPoint a;
    CPoint b;
    while (NextRaySegment(position, a, b)) {
        if (!IsSet(a) || !IsSet(b))
            continue;
        m_arrSegmentPoints.Add(a);
        m_arrSegmentPoints.Add(b);
        if (std::abs(PointAngle(a, b)) >= kQuarterPi)
            continue;
        const double top = std::min(a.y, b.y);
        const double bottom = std::max(a.y, b.y);
        const double length = Distance(a, b);
        if (!IsSet(m_ptUpper[0]) && !IsSet(m_ptUpper[1])) {
            m_ptUpper[0] = a;
            m_ptUpper[1] = b;
            upperRow = top;
        }
        if ((length > Distance(m_ptUpper[0], m_ptUpper[1]) && top < upperRow + 40) || top < upperRow - 40) {
            m_ptUpper[0] = a;
            m_ptUpper[1] = b;
            upperRow = top;
            lowerRow = bottom;
        }
        if (bottom > upperRow + 100 &&
            ((length > Distance(m_ptLower[0], m_ptLower[1]) && bottom > lowerRow - 40) || bottom > lowerRow + 40)) {
            m_ptLower[0] = a;
            m_ptLower[1] = b;
            lowerRow = bottom;
        }
    }
    if (m_ptUpper[1].x < m_ptUpper[0].x)
        std::swap(m_ptUpper[0], m_ptUpper[1]);
    if (IsSet(m_ptUpper[0]) && IsSet(m_ptUpper[1]))
        m_dUpperAngle = PointAngle(m_ptUpper[0], m_ptUpper[1]);
    if (IsSet(m_ptLower[0]) && IsSet(m_ptLower[1]))
        m_dLowerAngle = PointAngle(m_ptLower[0], m_ptLower[1]);
}

void CEdgeObj::FindEndMarks()
{
    if (CountRays(kAnyKind) == 0 || !IsSet(m_ptUpper[0]) || !IsSet(m_ptUpper[1]))
        return;
    struct CKindPoint
    {
        POINT p;
        int kind;
    };
    std::vector<CKindPoint> collected;
    const int last = LastRay(kAnyKind);
    for (int i = FirstRay(kAnyKind);; i = NextRay(i, kAnyKind)) {
        const CRPolygon& ray = *m_Rays[static_cast<size_t>(i)];
        if (!ray.IsEmpty()) {
            const POINT first = ray[0];
            if (collected.empty() || !(CPoint(collected.back().p) == first))
                collected.push_back({first, ray.m_nShapeType});
            collected.push_back({ray[ray.GetSize() / 2], ray.m_nShapeType});
            collected.push_back({ray[ray.GetSize() - 1], ray.m_nShapeType});
        }
        if (i == last)
            break;
    }

    const CPoint left = m_ptUpper[0];
    const CPoint right = m_ptUpper[1];
    const double angle = PointAngle(left, right);
    const double length = Distance(left, right) - 0.01;
    const double normal = angle - kHalfPi + m_dAngleOffset;
    double leftReach = -1.0;
    double rightReach = -1.0;
    for (const CKindPoint& c : collected) {
        if (c.p.x <= left.x) {
            const auto foot = IntersectLines(left.x, left.y, angle, c.p.x, c.p.y, normal);
            if (foot && Distance(*foot, right) >= length && c.kind != CRPolygon::shapeCorner &&
                Distance(*foot, left) > leftReach) {
                leftReach = Distance(*foot, left);
                m_ptLeftMark = *foot;
            }
        }
        if (c.p.x >= right.x) {
            const auto foot = IntersectLines(right.x, right.y, angle, c.p.x, c.p.y, normal);
            if (foot && Distance(*foot, left) >= length && c.kind != CRPolygon::shapeCorner &&
                Distance(*foot, right) >= rightReach) {
                rightReach = Distance(*foot, right);
                m_ptRightMark = *foot;
            }
        }
    }
}

void CEdgeObj::Draw(CDC* pDC, int, std::span<const COLORREF> colors, CTextLabel*, DWORD)
{
    if (colors.size() < 2)
        AfxThrowInvalidArgException();
    for (const POINT& p : m_arrPixels)
        pDC->SetPixel(p.x, p.y, RGB(128, 128, 0));
    for (const auto& ray : m_Rays) {
        const COLORREF color = ray->m_nShapeType != 0 ? colors[1] : colors[0];
        for (const POINT& p : *ray)
            pDC->SetPixel(p.x, p.y, color);
    }
    for (INT_PTR i = 0; i + 1 < m_arrSegmentPoints.GetSize(); i += 2)
        Line(pDC, m_arrSegmentPoints[i], m_arrSegmentPoints[i + 1], RGB(0, 255, 255));
    for (const CPoint* line : {m_ptUpper, m_ptLower})
        if (IsSet(line[0]) && IsSet(line[1]))
            Line(pDC, line[0], line[1], RGB(0, 0, 255));
    for (const POINT& p : m_arrScanPoints)
        Cross(pDC, p, RGB(255, 0, 0));
    for (const POINT& p : m_arrFoundPoints)
        Cross(pDC, p, RGB(0, 255, 0));
    for (const CPoint& mark : {m_ptLeftMark, m_ptRightMark})
        if (IsSet(mark))
            Cross(pDC, mark, RGB(0, 128, 255), 2);
    m_MinRect.Draw(pDC);
}
