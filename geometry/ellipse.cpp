#include "geometry/ellipse.h"

#include "platform/core/dc.h"
#include "platform/core/gdi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

IMPLEMENT_DYNAMIC(CEllipse, CObject)

using kestrun::geometry::Truncate;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// (x, y) rotated by angle about the origin.
void RotateOffset(double angle, double& x, double& y)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double rx = x * c - y * s;
    y = x * s + y * c;
    x = rx;
}

struct CFitContext
{
    CEllipse* ellipse;
    const point* points;
    int n;
};

} // namespace

CEllipse::CEllipse()
{
    InitDGO();
}

CEllipse::CEllipse(double a, double b, const point& center, double rotation)
    : m_dXAxis(a), m_dYAxis(b), m_dRotation(rotation), m_center(center), m_dAxisRelation(a / b)
{
    InitDGO();
}

CEllipse::CEllipse(int left, int top, int right, int bottom, WORD grabSize) : m_nGrabSize(grabSize)
{
    ValFromRect(left, top, right, bottom);
    InitDGO();
}

CEllipse::CEllipse(const CEllipse& other) : CObject(other)
{
    InitDGO();
    *this = other;
}

CEllipse& CEllipse::operator=(const CEllipse& other)
{
    if (this == &other)
        return *this;
    m_center = other.m_center;
    m_dXAxis = other.m_dXAxis;
    m_dYAxis = other.m_dYAxis;
    m_dRotation = other.m_dRotation;
    m_dAxisRelation = other.m_dAxisRelation;
    m_nGrabSize = other.m_nGrabSize;
    m_bForceCircle = other.m_bForceCircle;
    return *this;
}

CEllipse::~CEllipse() = default;

void CEllipse::SetXAxis(double a)
{
    m_dXAxis = a;
    if (m_bForceCircle && m_dAxisRelation != 0.0)
        m_dYAxis = a / m_dAxisRelation;
}

void CEllipse::SetYAxis(double b)
{
    m_dYAxis = b;
    if (m_bForceCircle && m_dAxisRelation != 0.0)
        m_dXAxis = m_dAxisRelation * b;
}

void CEllipse::SetCenter(double x, double y)
{
    m_center.setx(x);
    m_center.sety(y);
}

void CEllipse::SetCenter(const point* center)
{
    if (center)
        m_center = *center;
}

int CEllipse::SwitchForceCircle()
{
    m_bForceCircle = m_bForceCircle ? 0 : 1;
    return m_bForceCircle;
}

void CEllipse::SetDimension(const CRect* rect)
{
    if (rect)
        ValFromRect(rect->left, rect->top, rect->right, rect->bottom);
}

void CEllipse::SetDimension(int left, int top, int right, int bottom)
{
    ValFromRect(left, top, right, bottom);
}

void CEllipse::ValFromRect(int left, int top, int right, int bottom)
{
    const long long cx = (static_cast<long long>(left) + right) / 2;
    const long long cy = (static_cast<long long>(top) + bottom) / 2;
    m_center.set(static_cast<double>(cx), static_cast<double>(cy));
    m_dXAxis = (static_cast<double>(right) - left) * 0.5;
    m_dYAxis = (static_cast<double>(bottom) - top) * 0.5;
}

CRect CEllipse::ValToRect() const
{
    const double cx = m_center.getx();
    const double cy = m_center.gety();
    return CRect(Truncate(cx - m_dXAxis), Truncate(cy - m_dYAxis), Truncate(cx + m_dXAxis), Truncate(cy + m_dYAxis));
}

point CEllipse::GetPointOnEllipse(double t) const
{
    double x = m_dXAxis * std::cos(t);
    double y = m_dYAxis * std::sin(t);
    if (m_dRotation != 0.0)
        RotateOffset(m_dRotation, x, y);
    return point(m_center.getx() + x, m_center.gety() + y);
}

point CEllipse::GetPointOnEllipse(int degrees) const
{
    return GetPointOnEllipse(degrees * kTwoPi / 360.0);
}

void CEllipse::SwitchCoOrg(point* p, int toCenter) const
{
    if (!p)
        return;
    if (toCenter == 1)
        *p -= m_center;
    else if (toCenter == 0)
        *p += m_center;
}

void CEllipse::Rotate(point* p, int inverse) const
{
    if (!p)
        return;
    double x = p->getx() - m_center.getx();
    double y = p->gety() - m_center.gety();
    RotateOffset(inverse == 1 ? -m_dRotation : m_dRotation, x, y);
    p->set(m_center.getx() + x, m_center.gety() + y);
}

void CEllipse::Rotate(CPoint* p, int inverse) const
{
    if (!p)
        return;
    point rotated(p->x, p->y);
    Rotate(&rotated, inverse);
    *p = rotated.MFCPOINT();
}

void CEllipse::Rotate(CRect* rect, int inverse) const
{
    if (!rect)
        return;
    const CPoint center = rect->CenterPoint();
    CPoint moved = center;
    Rotate(&moved, inverse);
    rect->OffsetRect(moved.x - center.x, moved.y - center.y);
}

double CEllipse::GetRelPolPos(const point* p, double* radius) const
{
    const double dx = p->getx() - m_center.getx();
    const double dy = p->gety() - m_center.gety();
    if (radius)
        *radius = std::hypot(dx, dy);
    return std::atan2(dy, dx);
}

point CEllipse::GetPolarPoint(double theta) const
{
    // The parameter whose point lies in the direction theta: tan t =
    // (a / b) tan theta, in theta's quadrant, whatever the axes' signs.
    const double sa = m_dXAxis < 0.0 ? -1.0 : 1.0;
    const double sb = m_dYAxis < 0.0 ? -1.0 : 1.0;
    const double t = std::atan2(std::fabs(m_dXAxis) * sb * std::sin(theta), std::fabs(m_dYAxis) * sa * std::cos(theta));
    return GetPointOnEllipse(t);
}

int CEllipse::QCheck(const point* p) const
{
    const double x = p->getx();
    const double y = p->gety();
    const double cx = m_center.getx();
    const double cy = m_center.gety();
    if (y >= cy && x > cx)
        return 1;
    if (y > cy && x <= cx)
        return 2;
    if (y <= cy && x < cx)
        return 3;
    if (y < cy && x >= cx)
        return 4;
    return 0;
}

double CEllipse::WhereIsPoint(const point* p) const
{
    if (!p)
        return kNoCoordinate;
    double radius = 0.0;
    const double angle = GetRelPolPos(p, &radius);
    const point onEllipse = GetPolarPoint(angle - m_dRotation);
    const double distance = p->Distance(&onEllipse);
    return onEllipse.Distance(&m_center) > radius ? -distance : distance;
}

BOOL CEllipse::IsPointInEllipse(const CPoint* p) const
{
    if (!p)
        return FALSE;
    // The elliptic region of the rectangle is the set of pixels whose
    // centres lie inside the ellipse inscribed in it.
    const CRect rect = ValToRect();
    const double rx = (static_cast<double>(rect.right) - rect.left) * 0.5;
    const double ry = (static_cast<double>(rect.bottom) - rect.top) * 0.5;
    if (rx <= 0.0 || ry <= 0.0)
        return FALSE;
    const double dx = (p->x + 0.5 - (rect.left + rx)) / rx;
    const double dy = (p->y + 0.5 - (rect.top + ry)) / ry;
    return dx * dx + dy * dy <= 1.0 ? TRUE : FALSE;
}

double CEllipse::CalcChiForFit(const point* points, int n) const
{
    double chi = 0.0;
    if (!points)
        return chi;
    for (int i = 0; i < n; ++i) {
        const point onEllipse = GetPolarPoint(GetRelPolPos(&points[i]) - m_dRotation);
        const double dx = points[i].getx() - onEllipse.getx();
        const double dy = points[i].gety() - onEllipse.gety();
        chi += dx * dx + dy * dy;
    }
    return chi;
}

int CEllipse::InterSectionWLine(Line* line, point* p1, point* p2, double* d1, double* d2) const
{
    if (!line)
        return 0;
    const double a2 = m_dXAxis * m_dXAxis;
    const double b2 = m_dYAxis * m_dYAxis;
    if (a2 == 0.0 || b2 == 0.0)
        return 0;
    const Point& start = line->GetStart();
    const Direction& direction = line->GetDirection();
    // Start and direction in the ellipse's frame.
    double x0 = start.GetX() - m_center.getx();
    double y0 = start.GetY() - m_center.gety();
    double dx = direction.GetX();
    double dy = direction.GetY();
    RotateOffset(-m_dRotation, x0, y0);
    RotateOffset(-m_dRotation, dx, dy);
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0))
        return 0;

    std::array<double, 2> xs{};
    std::array<double, 2> ys{};
    int count = 0;
    if (std::fabs(dx) < 0.00001 * length) {
        const double u = (1.0 - x0 * x0 / a2) * b2;
        if (!(u >= 0.0))
            return 0;
        count = u > 0.0 ? 2 : 1;
        xs = {x0, x0};
        ys = {std::sqrt(u), -std::sqrt(u)};
    } else {
        const double d = dy / dx;
        const double e = y0 - d * x0;
        const double s = b2 / a2 + d * d;
        const double w = 2.0 * d * e;
        const double discriminant = w * w - 4.0 * s * (e * e - b2);
        if (!(discriminant >= 0.0))
            return 0;
        count = discriminant > 0.0 ? 2 : 1;
        const double root = std::sqrt(discriminant);
        xs = {(root - w) / (2.0 * s), (-w - root) / (2.0 * s)};
        ys = {e + d * xs[0], e + d * xs[1]};
    }

    std::array<point, 2> points;
    std::array<double, 2> distances{};
    std::array<bool, 2> ahead{};
    for (size_t k = 0; k < 2; ++k) {
        double x = xs[k];
        double y = ys[k];
        RotateOffset(m_dRotation, x, y);
        points[k].set(m_center.getx() + x, m_center.gety() + y);
        const double ox = points[k].getx() - start.GetX();
        const double oy = points[k].gety() - start.GetY();
        distances[k] = std::hypot(ox, oy);
        ahead[k] = direction.GetX() * ox + direction.GetY() * oy >= 0.0;
    }
    if (!ahead[0] && !ahead[1])
        return 0;
    const bool firstAtStart = distances[0] <= 0.01 && distances[1] > 0.01;
    bool exchange = false;
    if (!ahead[0] || firstAtStart) {
        if (!ahead[1])
            return 0;
        exchange = true;
    } else if (ahead[1] && distances[0] > 0.01 && distances[1] > 0.01 && distances[1] < distances[0]) {
        exchange = true;
    }
    if (exchange) {
        std::swap(points[0], points[1]);
        std::swap(distances[0], distances[1]);
    }
    if (p1)
        *p1 = points[0];
    if (p2)
        *p2 = points[1];
    if (d1)
        *d1 = distances[0];
    if (d2)
        *d2 = distances[1];
    return count;
}

int CEllipse::GetBoundingPositions(point* bottom, point* top, point* left, point* right) const
{
    if (m_dXAxis * m_dXAxis == 0.0 || m_dYAxis * m_dYAxis == 0.0)
        return 0;
    const double c = std::cos(m_dRotation);
    const double s = std::sin(m_dRotation);
    // y(t) - cy = a cos t sin phi + b sin t cos phi is extreme where its
    // derivative vanishes; likewise x(t) - cx = a cos t cos phi - b sin t sin phi.
    const double ty = std::atan2(m_dYAxis * c, m_dXAxis * s);
    const double tx = std::atan2(-m_dYAxis * s, m_dXAxis * c);
    point yHigh = GetPointOnEllipse(ty);
    point yLow = GetPointOnEllipse(ty + kPi);
    if (yHigh.gety() < yLow.gety())
        std::swap(yHigh, yLow);
    point xHigh = GetPointOnEllipse(tx);
    point xLow = GetPointOnEllipse(tx + kPi);
    if (xHigh.getx() < xLow.getx())
        std::swap(xHigh, xLow);
    if (bottom)
        *bottom = yHigh;
    if (top)
        *top = yLow;
    if (left)
        *left = xLow;
    if (right)
        *right = xHigh;
    return 1;
}

int CEllipse::GetXVal(double y, double* x1, double* x2) const
{
    point bottom;
    point top;
    if (!GetBoundingPositions(&bottom, &top, nullptr, nullptr) || !(y >= top.gety() && y <= bottom.gety()))
        return 0;
    double low = 0.0;
    double high = 0.0;
    int result = 2;
    if (y == top.gety() || y == bottom.gety()) {
        low = high = y == top.gety() ? top.getx() : bottom.getx();
        result = 1;
    } else {
        // The horizontal line in the ellipse's frame: A u^2 + B u + C = 0
        // with u = x - cx.
        const double c = std::cos(m_dRotation);
        const double s = std::sin(m_dRotation);
        const double ia2 = 1.0 / (m_dXAxis * m_dXAxis);
        const double ib2 = 1.0 / (m_dYAxis * m_dYAxis);
        const double v = y - m_center.gety();
        const double qa = c * c * ia2 + s * s * ib2;
        const double qb = 2.0 * v * c * s * (ia2 - ib2);
        const double qc = v * v * (s * s * ia2 + c * c * ib2) - 1.0;
        // Rounding near the top or bottom must not lose the crossing.
        const double root = std::sqrt(std::max(0.0, qb * qb - 4.0 * qa * qc));
        low = m_center.getx() + (-qb - root) / (2.0 * qa);
        high = m_center.getx() + (-qb + root) / (2.0 * qa);
    }
    if (x1)
        *x1 = low;
    if (x2)
        *x2 = high;
    return result;
}

bool CEllipse::ShapeFinite() const
{
    return std::isfinite(m_dXAxis) && std::isfinite(m_dYAxis) && std::isfinite(m_dRotation) &&
           std::isfinite(m_center.getx()) && std::isfinite(m_center.gety());
}

void CEllipse::Draw(CDC* pDC, COLORREF color, int width, int segments, int crossSize, double scale)
{
    DrawScaled(pDC, color, width, segments, crossSize, scale, scale, true);
}

BOOL CEllipse::ScaleFromExtents(const CSize& viewport, const CSize& window, double* sx, double* sy)
{
    if (window.cx == 0 || window.cy == 0 || viewport.cx == 0 || viewport.cy == 0)
        return FALSE;
    *sx = static_cast<double>(viewport.cx) / window.cx;
    *sy = static_cast<double>(viewport.cy) / window.cy;
    return TRUE;
}

void CEllipse::DrawNotMM_TEXT(CDC* pDC, COLORREF color, int width, int segments, int crossSize)
{
    if (!pDC)
        return;
    if (pDC->GetMapMode() == MM_TEXT) {
        DrawScaled(pDC, color, width, segments, crossSize, 1.0, 1.0, true);
        return;
    }
    double sx = 1.0;
    double sy = 1.0;
    if (!ScaleFromExtents(pDC->GetViewportExt(), pDC->GetWindowExt(), &sx, &sy))
        return;
    const int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    DrawScaled(pDC, color, width, segments, crossSize, sx, sy, false);
    pDC->RestoreDC(saved);
}

void CEllipse::DrawScaled(CDC* pDC, COLORREF color, int width, int segments, int crossSize, double sx, double sy,
                          bool handles)
{
    if (!pDC || !ShapeFinite() || !std::isfinite(sx) || !std::isfinite(sy))
        return;
    CPen pen;
    if (!pen.CreatePen(PS_SOLID, std::max(width, 0), color))
        return;
    const int saved = pDC->SaveDC();
    pDC->SelectObject(&pen);
    pDC->SelectStockObject(HOLLOW_BRUSH);
    auto device = [sx, sy](double x, double y) { return CPoint(Truncate(x * sx), Truncate(y * sy)); };

    const double cx = m_center.getx();
    const double cy = m_center.gety();
    if (m_dRotation != 0.0 && segments != 0) {
        const int count = std::clamp(segments, 1, maxSegments);
        std::vector<CPoint> points;
        points.reserve(static_cast<size_t>(count) + 1);
        for (int k = 0; k <= count; ++k) {
            // The last point is the first again, so that the outline closes.
            const point p = GetPointOnEllipse(kTwoPi * (k % count) / count);
            points.push_back(device(p.getx(), p.gety()));
        }
        pDC->Polyline(points.data(), static_cast<int>(points.size()));
    } else {
        const CPoint topLeft = device(cx - m_dXAxis, cy - m_dYAxis);
        const CPoint bottomRight = device(cx + m_dXAxis, cy + m_dYAxis);
        pDC->Ellipse(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    if (handles && m_nGrabSize != 0) {
        CalcRects();
        for (const CRect* handle : {&m_rTop, &m_rBottom, &m_rLeft, &m_rRight, &m_rCenter}) {
            const CPoint topLeft = device(handle->left, handle->top);
            const CPoint bottomRight = device(handle->right, handle->bottom);
            pDC->Rectangle(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
        }
    }
    if (crossSize != 0) {
        const CPoint center = device(cx, cy);
        pDC->MoveTo(center.x - crossSize, center.y);
        pDC->LineTo(center.x + crossSize, center.y);
        pDC->MoveTo(center.x, center.y - crossSize);
        pDC->LineTo(center.x, center.y + crossSize);
    }
    pDC->RestoreDC(saved);
}

void CEllipse::CalcRects()
{
    const int g = m_nGrabSize;
    if (g == 0) {
        m_rTop = m_rBottom = m_rLeft = m_rRight = m_rCenter = CRect();
        return;
    }
    const double cx = m_center.getx();
    const double cy = m_center.gety();
    auto handleAt = [this, g](double x, double y) {
        point p(x, y);
        Rotate(&p, 0);
        const int px = Truncate(p.getx());
        const int py = Truncate(p.gety());
        return CRect(px - g, py - g, px + g, py + g);
    };
    m_rTop = handleAt(cx, cy - m_dYAxis);
    m_rBottom = handleAt(cx, cy + m_dYAxis);
    m_rLeft = handleAt(cx - m_dXAxis, cy);
    m_rRight = handleAt(cx + m_dXAxis, cy);
    m_rCenter = CRect(Truncate(cx) - g, Truncate(cy) - g, Truncate(cx) + g, Truncate(cy) + g);
}

int CEllipse::GetPointPos(const CPoint* p)
{
    if (!p || m_nGrabSize == 0)
        return noHandle;
    CalcRects();
    if (m_rCenter.PtInRect(*p))
        return centerHandle;
    if (m_rTop.PtInRect(*p))
        return topHandle;
    if (m_rBottom.PtInRect(*p))
        return bottomHandle;
    if (m_rLeft.PtInRect(*p))
        return leftHandle;
    if (m_rRight.PtInRect(*p))
        return rightHandle;
    return noHandle;
}

CPoint CEllipse::GetPos(int handle)
{
    CalcRects();
    switch (handle) {
    case topHandle:
        return m_rTop.CenterPoint();
    case bottomHandle:
        return m_rBottom.CenterPoint();
    case leftHandle:
        return m_rLeft.CenterPoint();
    case rightHandle:
        return m_rRight.CenterPoint();
    default:
        return m_center.MFCPOINT();
    }
}

void CEllipse::SetNewVal(const CPoint* p, int handle)
{
    if (!p || handle < centerHandle || handle > rightHandle)
        return;
    point q(p->x, p->y);
    if (m_dRotation != 0.0 && handle != centerHandle)
        Rotate(&q, 1);
    const double cx = m_center.getx();
    const double cy = m_center.gety();
    switch (handle) {
    case centerHandle:
        m_center.set(q.getx(), q.gety());
        return;
    case topHandle: // the bottom edge stays
        m_dYAxis = std::fabs((cy + m_dYAxis - q.gety()) * 0.5);
        m_center.set(cx, q.gety() + m_dYAxis);
        break;
    case bottomHandle:
        m_dYAxis = std::fabs((cy - m_dYAxis - q.gety()) * 0.5);
        m_center.set(cx, q.gety() - m_dYAxis);
        break;
    case leftHandle:
        m_dXAxis = std::fabs((cx + m_dXAxis - q.getx()) * 0.5);
        m_center.set(q.getx() + m_dXAxis, cy);
        break;
    default:
        m_dXAxis = std::fabs((cx - m_dXAxis - q.getx()) * 0.5);
        m_center.set(q.getx() - m_dXAxis, cy);
        break;
    }
    const bool vertical = handle == topHandle || handle == bottomHandle;
    if (m_bForceCircle && m_dAxisRelation != 0.0) {
        if (vertical)
            m_dXAxis = m_dAxisRelation * m_dYAxis;
        else
            m_dYAxis = m_dXAxis / m_dAxisRelation;
    } else if (m_dYAxis != 0.0) {
        m_dAxisRelation = m_dXAxis / m_dYAxis;
    }
}

CEllipse::CShape CEllipse::SaveShape() const
{
    return {m_dXAxis, m_dYAxis, m_dRotation, m_center};
}

void CEllipse::RestoreShape(const CShape& shape)
{
    m_dXAxis = shape.a;
    m_dYAxis = shape.b;
    m_dRotation = shape.rotation;
    m_center = shape.center;
}

void CEllipse::PreFitIndices(int n, int indices[6])
{
    const int half = n / 2;
    const int chosen[6] = {0, 3, half - 3, half + 3, n - 7, n - 1};
    std::copy(std::begin(chosen), std::end(chosen), indices);
}

double CEllipse::FitEll(const point* points, int n, double, double)
{
    if (points && n > 12) {
        int indices[6];
        PreFitIndices(n, indices);
        point start[6];
        for (int k = 0; k < 6; ++k)
            start[k] = points[indices[k]];
        Fit(start, 6);
    }
    return Fit(points, n);
}

double CEllipse::Fit(const point* points, int n)
{
    if (!points || n <= 0)
        return 0.0;
    if (!m_pDGO)
        InitDGO();
    const CShape remembered = SaveShape();
    const double chi0 = CalcChiForFit(points, n);

    double minX = 1.7976931348623157e308;
    double minY = 1.7976931348623157e308;
    double maxX = -1.7976931348623157e308;
    double maxY = -1.7976931348623157e308;
    for (int i = 0; i < n; ++i) {
        minX = std::min(minX, points[i].getx());
        maxX = std::max(maxX, points[i].getx());
        minY = std::min(minY, points[i].gety());
        maxY = std::max(maxY, points[i].gety());
    }
    const double cx = (minX + maxX) * 0.5;
    const double cy = (minY + maxY) * 0.5;
    double sxx = 0.0;
    double syy = 0.0;
    double sxy = 0.0;
    for (int i = 0; i < n; ++i) {
        const double x = points[i].getx() - cx;
        const double y = points[i].gety() - cy;
        sxx += x * x;
        syy += y * y;
        sxy += x * y;
    }
    // The principal direction of the points, folded into [-pi/4, pi/4]
    // because the start axes are the box's; a symmetric set (no principal
    // direction) starts unrotated.
    double rotation = 0.0;
    const double tolerance = 1e-12 * (sxx + syy);
    if (std::fabs(2.0 * sxy) > tolerance || std::fabs(sxx - syy) > tolerance) {
        rotation = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
        if (rotation > kPi / 4.0)
            rotation -= kPi / 2.0;
        else if (rotation < -kPi / 4.0)
            rotation += kPi / 2.0;
    }
    m_center.set(cx, cy);
    m_dRotation = rotation;
    SetXAxis(std::fabs(maxX - minX) * 0.5);
    SetYAxis(std::fabs(maxY - minY) * 0.5);
    const double startChi = CalcChiForFit(points, n);
    if (!ShapeFinite() || !std::isfinite(startChi) || (std::isfinite(chi0) && startChi > chi0))
        RestoreShape(remembered);

    const CShape beforeOptimizer = SaveShape();
    double parameters[5] = {m_dXAxis, m_dYAxis, m_center.getx(), m_center.gety(), m_dRotation};
    CFitContext context{this, points, n};
    m_pDGO->SetParameters(parameters);
    m_pDGO->SetContext(&context);
    const int code = m_pDGO->Optimize();
    m_pDGO->SetParameters(nullptr);
    m_pDGO->SetContext(nullptr);

    RestoreShape(beforeOptimizer);
    if (code == CDecGradOpt::stopNotReady ||
        !std::all_of(std::begin(parameters), std::end(parameters), [](double v) { return std::isfinite(v); }))
        return CalcChiForFit(points, n);
    SetXAxis(parameters[0]);
    SetYAxis(parameters[1]);
    SetCenter(parameters[2], parameters[3]);
    m_dRotation = parameters[4];
    const double chi = m_pDGO->GetChi();
    return std::isfinite(chi) ? chi : CalcChiForFit(points, n);
}

double CEllipse::FitChi(double* parameters, int, void* context)
{
    auto* fit = static_cast<CFitContext*>(context);
    if (!fit)
        return std::numeric_limits<double>::quiet_NaN();
    CEllipse& ellipse = *fit->ellipse;
    ellipse.m_dXAxis = parameters[0];
    ellipse.m_dYAxis = parameters[1];
    ellipse.m_center.set(parameters[2], parameters[3]);
    ellipse.m_dRotation = parameters[4];
    return ellipse.CalcChiForFit(fit->points, fit->n);
}

void CEllipse::InitDGO()
{
    if (!m_pDGO)
        m_pDGO = std::make_unique<CDecGradOpt>();
    m_pDGO->SetNParameter(5);
    m_pDGO->SetChiFunction(&CEllipse::FitChi);
    CDGOSettings settings;
    settings.nParameter = 5;
    settings.stepFactor = {0.01, 0.01, 0.01, 0.01, 0.0001};
    settings.derivStep = {0.001, 0.001, 0.001, 0.001, 0.00001};
    settings.stepDivisor = {1.3, 1.3, 1.3, 1.3, 1.3};
    settings.minStep = {0.001, 0.001, 0.001, 0.001, 0.00001};
    settings.includeOpt = {1, 1, 1, 1, 1};
    settings.maxRuns = 300;
    settings.useHalfDeriv = 0;
    settings.minDeltaChi = 0.001;
    m_pDGO->SetSettings(settings);
}

int CEllipse::DGOParamFile(const char* fileName)
{
    return m_pDGO ? m_pDGO->ReadParamFile(fileName) : -1;
}
