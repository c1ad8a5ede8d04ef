#include "analysis/scanrayresult.h"

#include "objectmodel/cross.h"
#include "platform/core/dc.h"

#include <algorithm>
#include <cmath>
#include <vector>

IMPLEMENT_DYNAMIC(CResult, CObject)
IMPLEMENT_DYNAMIC(CScanRayResult1, CResult)
IMPLEMENT_DYNCREATE(CScanRayResult2, CScanRayResult1)
IMPLEMENT_DYNCREATE(CScanRayResult3, CScanRayResult1)

namespace {

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

double PolylineLength(const CArray<POINT, const POINT&>& points)
{
    double length = 0.0;
    for (INT_PTR i = 1; i < points.GetSize(); ++i)
        length += Distance(points[i - 1], points[i]);
    return length;
}

template <class Points>
std::vector<CPoint> ToDevice(const CDC* pDC, const Points& points)
{
    std::vector<CPoint> device(points.begin(), points.end());
    if (!device.empty())
        pDC->LPtoDP(device.data(), static_cast<int>(device.size()));
    return device;
}

} // namespace

void CResult::Draw(CDC*)
{
}

void CScanRayResult1::KeepNearerHits()
{
    const INT_PTR n = m_arrHits1.GetSize();
    if (n == 0)
        return;
    m_nRayIndex = -1;
    m_nRayIndex2 = -1;
    const POINT centre{m_nCenterX, m_nCenterY};
    const bool useSecond = m_arrHits2.GetSize() == n;
    int maximum = 0;
    for (INT_PTR i = 0; i < n; ++i) {
        const int d1 = static_cast<int>(Distance(m_arrHits1[i], centre));
        if (useSecond && static_cast<int>(Distance(m_arrHits2[i], centre)) < d1)
            m_arrHits1[i] = m_arrHits2[i];
        if (d1 > maximum) {
            maximum = d1;
            m_nRayIndex = static_cast<int>(i);
            m_nRayIndex2 = static_cast<int>(i);
        }
    }
    if (m_nRayIndex < 0)
        return;
    const INT_PTR k = m_nRayIndex;
    m_ptDiameter[0] = m_arrHits1[k];
    m_ptDiameter[1] = m_arrHits1[(k + n / 2) % n];
    m_ptDiameter[2] = m_arrHits1[(k + n / 4) % n];
    m_ptDiameter[3] = m_arrHits1[(k + 3 * n / 4) % n];
}

CPoint CScanRayResult1::GetDiameterEnd(int which) const
{
    const INT_PTR n = m_arrHits1.GetSize();
    switch (which) {
    case 0:
        return m_arrHits1[m_nRayIndex];
    case 1:
        if (n == 0)
            return CPoint(0, 0);
        if (m_nRayIndex < 0 || m_nRayIndex >= n)
            AfxThrowInvalidArgException();
        return m_arrHits1[(m_nRayIndex + n / 2) % n];
    default:
        return CPoint(0, 0);
    }
}

void CScanRayResult1::FillRadii(CArray<double, double>& radii) const
{
    if (radii.GetSize() < m_arrHits1.GetSize())
        AfxThrowInvalidArgException();
    const POINT centre{m_nCenterX, m_nCenterY};
    for (INT_PTR i = 0; i < m_arrHits1.GetSize(); ++i)
        radii[i] = Distance(m_arrHits1[i], centre);
}

void CScanRayResult3::GetRadii(CArray<double, double>& radii) const
{
    FillRadii(radii);
}

CRect CScanRayResult3::GetBoundingRect() const
{
    // The first point sets the box, also when it is (0, 0).
    CRect box;
    bool first = true;
    for (const auto* side : {&m_arrLeft, &m_arrRight}) {
        for (const POINT& p : *side) {
            if (first) {
                box.SetRect(p.x, p.y, p.x, p.y);
                first = false;
                continue;
            }
            box.left = std::min(box.left, p.x);
            box.top = std::min(box.top, p.y);
            box.right = std::max(box.right, p.x);
            box.bottom = std::max(box.bottom, p.y);
        }
    }
    return box;
}

double CScanRayResult3::GetOutlineLength() const
{
    double length = PolylineLength(m_arrLeft) + PolylineLength(m_arrRight);
    if (!m_arrLeft.IsEmpty() && !m_arrRight.IsEmpty())
        length += Distance(m_arrLeft[0], m_arrRight[0]);
    return length;
}

void CScanRayResult3::Draw(CDC* pDC)
{
    if (pDC == nullptr || m_nRayIndex == -1)
        return;
    const std::vector<CPoint> sides[] = {ToDevice(pDC, m_arrLeft), ToDevice(pDC, m_arrRight)};
    CPoint centre(m_nCenterX, m_nCenterY);
    pDC->LPtoDP(&centre);

    // Device pixels from here on.
    const int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    CPen bluePen(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* oldPen = pDC->SelectObject(&bluePen);
    CCross redCross(RGB(255, 0, 0), 1, R2_COPYPEN);
    for (const std::vector<CPoint>& side : sides) {
        for (size_t i = 0; i < side.size(); ++i) {
            if (i == 0)
                pDC->MoveTo(side[i]);
            else
                pDC->LineTo(side[i]);
            redCross.Draw(pDC, side[i]);
        }
    }
    CCross whiteCross(RGB(255, 255, 255), 1, R2_COPYPEN);
    whiteCross.Draw(pDC, centre);
    pDC->SelectObject(oldPen);
    pDC->RestoreDC(saved);
}

void CScanRayResult2::GetRadii(CArray<double, double>& radii) const
{
    FillRadii(radii);
}

void CScanRayResult2::Draw(CDC* pDC)
{
    if (pDC == nullptr || m_arrHits1.IsEmpty())
        return;
    const std::vector<CPoint> first = ToDevice(pDC, m_arrHits1);
    const std::vector<CPoint> second = ToDevice(pDC, m_arrHits2);
    const std::vector<CPoint> path = ToDevice(pDC, m_Path.m_Points);
    CPoint centre(m_nCenterX, m_nCenterY);
    pDC->LPtoDP(&centre);
    CPoint diameter[4];
    for (int i = 0; i < 4; ++i)
        diameter[i] = m_ptDiameter[i];
    pDC->LPtoDP(diameter, 4);
    sMinAreaRect quadrilateral = m_Quadrilateral;
    for (POINT& corner : quadrilateral.m_Corners) {
        CPoint p(corner);
        pDC->LPtoDP(&p);
        corner = p;
    }

    const int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    CCross redCross(RGB(255, 0, 0), 1, R2_COPYPEN);
    CCross blueCross(RGB(0, 0, 255), 1, R2_COPYPEN);
    for (const CPoint& p : first)
        redCross.Draw(pDC, p);
    for (const CPoint& p : second)
        blueCross.Draw(pDC, p);

    CPen bluePen(PS_SOLID, 1, RGB(0, 0, 255));
    CPen greenPen(PS_SOLID, 1, RGB(0, 255, 0));
    CPen redPen(PS_SOLID, 1, RGB(255, 0, 0));
    CPen cyanPen(PS_SOLID, 1, RGB(0, 255, 255));
    CPen* oldPen = pDC->SelectObject(&bluePen);
    quadrilateral.Draw(pDC);
    for (const CPoint& p : first) {
        pDC->MoveTo(centre);
        pDC->LineTo(p);
    }
    pDC->SelectObject(&greenPen);
    pDC->MoveTo(diameter[0]);
    pDC->LineTo(diameter[1]);
    pDC->SelectObject(&redPen);
    pDC->MoveTo(diameter[2]);
    pDC->LineTo(diameter[3]);
    if (!path.empty()) {
        pDC->SelectObject(&cyanPen);
        for (size_t i = 0; i < path.size(); ++i) {
            if (i == 0)
                pDC->MoveTo(path[i]);
            else
                pDC->LineTo(path[i]);
            redCross.Draw(pDC, path[i]);
        }
    }
    pDC->SelectObject(oldPen);
    pDC->RestoreDC(saved);
}
