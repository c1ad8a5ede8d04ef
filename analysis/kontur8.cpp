#include "analysis/kontur8.h"

#include "analysis/aoi.h"
#include "objectmodel/linepoints.h"

#include <algorithm>
#include <span>

IMPLEMENT_DYNAMIC(CKontur8, CKontur)

namespace {

constexpr int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kDy[8] = {0, -1, -1, -1, 0, 1, 1, 1};

} // namespace

CKontur8::CKontur8()
{
    m_nKind = 2;
}

CKontur8::CKontur8(const CRPointArray& points) : CKontur8()
{
    SetFromPoints(points);
}

CKontur8::CKontur8(const CRPointArray& points, const CChain8& chain) : CKontur8()
{
    m_Points.Copy(points);
    m_Chain = chain;
    m_bClosed = TRUE;
    m_nLastIndex = static_cast<int>(m_Chain.GetSize());
}

void CKontur8::Size(int capacity, int growBy)
{
    if (capacity < 0 || growBy < 0)
        AfxThrowInvalidArgException();
    m_nCapacity = capacity;
    m_TracePoints.clear();
    m_TracePoints.resize(static_cast<size_t>(capacity));
    m_TraceCodes.clear();
    m_TraceCodes.resize(static_cast<size_t>(capacity));
    // Traces write into the scratch; the store gets the exact size of each
    // contour, so that it can be handed over without waste.
    m_Points.SetSize(m_Points.GetSize(), growBy);
    m_Chain.SetSize(m_Chain.GetSize(), growBy);
}

void CKontur8::Reset(BOOL freeStorage)
{
    m_Chain.RemoveAll();
    m_Points.RemoveAll();
    if (freeStorage) {
        m_Chain.FreeExtra();
        m_Points.FreeExtra();
        m_TracePoints = {};
        m_TraceCodes = {};
        m_nCapacity = 0;
    }
    m_nLastIndex = 0;
    m_nMarkedPixels = 0;
    m_nPerimeter = 0;
    m_nArea = 0;
    m_nCenterX = 0;
    m_nCenterY = 0;
    m_ptCentroid = CPoint(0, 0);
    m_bClosed = FALSE;
    m_nBorderState = borderUnknown;
}

void CKontur8::SetStartPoint(int x, int y)
{
    m_Chain.SetStartPoint(x, y);
}

void CKontur8::SetFromPoints(const CRPointArray& points)
{
    m_Chain = CChain8(points);
    m_Points.Copy(points);
    m_bClosed = TRUE;
    m_nLastIndex = static_cast<int>(m_Chain.GetSize());
    m_nBorderState = borderUnknown;
}

void CKontur8::AppendStep(int direction, int x, int y)
{
    if (direction < 0 || direction > 255)
        AfxThrowInvalidArgException();
    m_Chain.SetAtGrow(m_nLastIndex, static_cast<BYTE>(direction));
    m_Points.SetAtGrow(m_nLastIndex, POINT{x, y});
    m_Points.GetBoundingRect().AddPoint(x, y);
    ++m_nLastIndex;
}

void CKontur8::AppendLine(int x1, int y1, int x2, int y2)
{
    if (m_Points.IsEmpty()) {
        m_Points.Add(x1, y1);
        m_Chain.SetStartPoint(x1, y1);
        m_nLastIndex = 0;
    }
    CLinePoints line;
    line.Init(x1, y1, x2, y2);
    const std::span<const POINT> pixels = line.Points();
    for (size_t k = 1; k < pixels.size(); ++k) {
        const POINT& from = pixels[k - 1];
        const POINT& to = pixels[k];
        m_Chain.SetAtGrow(m_nLastIndex, static_cast<BYTE>(CChain8::DirectionOf(from.x, from.y, to.x, to.y)));
        ++m_nLastIndex;
        m_Points.SetAtGrow(m_nLastIndex, to);
        m_Points.GetBoundingRect().AddPoint(to);
    }
    m_bClosed = TRUE;
}

void CKontur8::CalcChainMeasures()
{
    if (!m_bClosed)
        return;
    m_nPerimeter = 0;
    m_nArea = 0;
    m_nCenterX = 0;
    m_nCenterY = 0;
    const int n = m_nLastIndex;
    if (n < 2) {
        m_bClosed = FALSE;
        return;
    }
    if (n > m_Chain.GetSize() || m_Points.IsEmpty() || m_nStepWidth <= 0)
        AfxThrowInvalidArgException();

    // Green's theorem over the closed polygon of the steps, in step units:
    // twice the area and the first moments (times six) by the shoelace sum.
    const BYTE* codes = m_Chain.GetData();
    const POINT start = m_Points.GetAt(0);
    long long x = start.x / m_nStepWidth;
    long long y = start.y / m_nStepWidth;
    long long area2 = 0;
    long long momentX = 0;
    long long momentY = 0;
    int odd = 0;
    int even = 0;
    for (int i = 0; i < n; ++i) {
        const int code = codes[i] > 7 ? 0 : codes[i];
        const long long nx = x + kDx[code];
        const long long ny = y + kDy[code];
        const long long cross = x * ny - nx * y;
        area2 += cross;
        momentX += (x + nx) * cross;
        momentY += (y + ny) * cross;
        if (code & 1)
            ++odd;
        else
            ++even;
        x = nx;
        y = ny;
    }
    if (area2 == 0) {
        m_bClosed = FALSE;
    } else {
        m_nCenterX = static_cast<int>(momentX / (3 * area2) * m_nStepWidth);
        m_nCenterY = static_cast<int>(momentY / (3 * area2) * m_nStepWidth);
        m_nArea = static_cast<int>(area2 / 2);
        m_ptCentroid = CPoint(m_nCenterX, m_nCenterY);
    }
    m_nPerimeter = static_cast<int>(odd * 1.4142 + 0.5 + even);
}

BOOL CKontur8::TouchesBorder(const CAOI& aoi) const
{
    if (m_nBorderState == borderTouches)
        return TRUE;
    if (m_nBorderState == borderFree)
        return FALSE;
    for (const POINT& point : m_Points) {
        if (aoi.IsOnBorder(point.x, point.y))
            return TRUE;
    }
    return FALSE;
}

void CKontur8::Smooth(int grade, int turns)
{
    const int n = m_nLastIndex;
    if (grade < 1 || turns < 0 || n < 6 || n < 8LL * turns - 15)
        return;
    const int smoothed = m_Chain.Smooth(grade, turns, n);
    m_Points.CRPointArray::SetFromChainCodes(m_Chain, smoothed + 1);
    m_nLastIndex = smoothed;
}
