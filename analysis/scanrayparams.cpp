#include "analysis/scanrayparams.h"

#include "analysis/aoi.h"
#include "analysis/objsegments.h"
#include "analysis/rectgeometry.h"
#include "analysis/segthres.h"
#include "objectmodel/linepoints.h"
#include "outside/pixmere/device.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

int DistanceFrom(int cx, int cy, POINT p)
{
    return static_cast<int>(std::hypot(static_cast<double>(p.x - cx), static_cast<double>(p.y - cy)));
}

bool OnPage(const Device& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.GetWidth() && y < image.GetHeight();
}

bool IsNeighbourOfAny(const CScanPointList& points, POINT p)
{
    for (const POINT& q : points) {
        const int dx = std::abs(q.x - p.x);
        const int dy = std::abs(q.y - p.y);
        if ((dx == 1 && dy < 2) || (dy == 1 && dx < 2))
            return true;
    }
    return false;
}

// The smoothing spreads a sharp step over a run of equal slopes, and the
// edge search names the run's first index: the edge lies in its middle.
int CentreOfStep(const CDataAnalysis& profile, int index, int mode)
{
    const int n = profile.GetSize();
    auto slope = [&](int i) {
        const double d = profile.GetAt(i + 1) - profile.GetAt(i);
        return mode == 1 ? -d : d;
    };
    if (index < 0 || index + 1 >= n)
        return index;
    const double peak = slope(index);
    if (peak <= 0.0)
        return index;
    int left = index;
    int right = index;
    while (left > 0 && index - left < 4 && slope(left - 1) >= 0.75 * peak)
        --left;
    while (right + 2 < n && right - index < 4 && slope(right + 1) >= 0.75 * peak)
        ++right;
    return (left + right) / 2;
}

} // namespace

bool AreaContains(const CAOI* area, int x, int y)
{
    return area == nullptr || area->Contains(x, y);
}

bool IsObjectPixel(const Device& image, const CSegThres& thresholds, int x, int y)
{
    return OnPage(image, x, y) && thresholds.IsObjectColor(image.GetPixel(x, y)) != FALSE;
}

int ScanRayParams::ReadGrey(const Device& image, int x, int y) const
{
    if (!OnPage(image, x, y))
        return m_nEdgeMode == 1 ? 0 : 255;
    return static_cast<int>(image.GetPixel(x, y) & 0xFF);
}

int ScanRayParams::Measure(const Device& image, int cx, int cy, int count, int length, double startAngle,
                           double range, const CAOI* area, int method)
{
    if (m_pResultPoints)
        m_pResultPoints->RemoveAll();
    LayOutRays(cx, cy, length, count, startAngle, range);
    if (method == methodRunToColour) {
        RunToColour(image, area, nullptr);
        return 1;
    }
    return FindRayEdges(image, area, method);
}

void ScanRayParams::LayOutRays(int cx, int cy, int length, int count, double startAngle, double range)
{
    count = std::max(count, 0);
    m_arrRays.SetSize(count);
    m_arrEdges.SetSize(count);
    for (int i = 0; i < count; ++i) {
        m_arrRays[i] = sScanRay{};
        m_arrEdges[i] = sEdgePos{};
    }
    m_nCenterX = cx;
    m_nCenterY = cy;
    m_dAngleRange = range;
    if (count == 0)
        return;
    const double step = range / count;
    double angle = startAngle;
    for (int i = 0; i < count; ++i) {
        if (angle < 0.0)
            angle += kTwoPi;
        if (angle > kTwoPi)
            angle -= kTwoPi;
        const CPoint end = RotatePoint(cx, cy, cx + length, cy, angle);
        sScanRay& ray = m_arrRays[i];
        ray.m_nEndX = end.x;
        ray.m_nEndY = end.y;
        ray.m_dAngle = angle;
        angle -= step;
    }
}

int ScanRayParams::FindRayEdges(const Device& image, const CAOI* area, int method)
{
    const int count = GetRayCount();
    m_dMeanHits = 0.0;
    CLinePoints line;
    for (int i = 0; i < count; ++i) {
        sScanRay& ray = m_arrRays[i];
        ray.m_arrHits.RemoveAll();
        line.Init(m_nCenterX, m_nCenterY, ray.m_nEndX, ray.m_nEndY);
        // A ray of length 0 is its centre alone: nothing to search.
        const int points = (ray.m_nEndX == m_nCenterX && ray.m_nEndY == m_nCenterY) ? 0 : line.GetCount();
        const bool endInside = AreaContains(area, ray.m_nEndX, ray.m_nEndY);
        const int start = (m_nStartIndex < 0 || m_nStartIndex >= points) ? 0 : m_nStartIndex;
        CDataAnalysis profile(CDataArray::typeDouble);
        for (int p = start; p < points; ++p) {
            const POINT& point = line.GetAt(p);
            if (!endInside && !AreaContains(area, point.x, point.y))
                break;
            if (m_pVisitedPoints)
                m_pVisitedPoints->Add(point);
            profile.AddDouble(ReadGrey(image, point.x, point.y));
        }
        if (profile.GetSize() >= 2) {
            profile.Smooth(5, 0);
            profile.FindEdges(ray.m_arrHits, m_nMinEdgeThreshold, m_nEdgeMode);
        }
        for (sEdgePos& hit : ray.m_arrHits) {
            const int centre = CentreOfStep(profile, hit.m_nIndex, m_nEdgeMode);
            const int index = std::clamp(centre + start, 0, line.GetCount() - 1);
            const POINT& point = line.GetAt(index);
            hit.m_nX = point.x;
            hit.m_nY = point.y;
            hit.m_dAngle = ray.m_dAngle;
            hit.m_nIndex = DistanceFrom(m_nCenterX, m_nCenterY, point);
        }
        m_dMeanHits += static_cast<double>(ray.m_arrHits.GetSize()) / count;
    }
    for (int i = 0; i < count; ++i) {
        m_arrEdges[i] = ChooseEdge(i, method);
        if (m_pResultPoints)
            m_pResultPoints->Add(POINT{m_arrEdges[i].m_nX, m_arrEdges[i].m_nY});
    }
    return 1;
}

sEdgePos ScanRayParams::ChooseEdge(int i, int method) const
{
    const CArray<sEdgePos>& hits = m_arrRays[i].m_arrHits;
    if (hits.GetSize() == 0)
        return {};
    if (method == methodOutermost)
        return GetRankedHit(i, 0);
    auto key = [method](const sEdgePos& h) {
        return method == methodHighestPeak ? static_cast<double>(h.m_nPeakHeight) : h.m_dStrength;
    };
    int best = -1;
    double bestValue = 0.0;
    for (int h = 0; h < hits.GetSize(); ++h) {
        if (key(hits[h]) > bestValue) {
            bestValue = key(hits[h]);
            best = h;
        }
    }
    if (best < 0)
        return {};
    if (method != methodStrongest || hits.GetSize() < 2)
        return hits[best];
    // With one hit on each neighbour, the hit nearest their mean distance.
    const int count = GetRayCount();
    const CArray<sEdgePos>& before = m_arrRays[(i + count - 1) % count].m_arrHits;
    const CArray<sEdgePos>& after = m_arrRays[(i + 1) % count].m_arrHits;
    if (before.GetSize() != 1 || after.GetSize() != 1)
        return hits[best];
    const int reference = (before[0].m_nIndex + after[0].m_nIndex) / 2;
    int nearest = best;
    int bound = 1000;
    for (int h = 0; h < hits.GetSize(); ++h) {
        const int difference = std::abs(hits[h].m_nIndex - reference);
        if (difference < bound) {
            bound = difference;
            nearest = h;
        }
    }
    return hits[nearest];
}

sEdgePos ScanRayParams::GetRankedHit(int i, int k) const
{
    const int count = GetRayCount();
    if (count == 0)
        return {};
    if (i < 0 || i == count)
        i = 0;
    else if (i > count)
        i = count - 1;
    const CArray<sEdgePos>& hits = m_arrRays[i].m_arrHits;
    const int n = static_cast<int>(hits.GetSize());
    sEdgePos chosen;
    if (k >= 0 && k < n) {
        std::vector<int> distances;
        distances.reserve(static_cast<size_t>(n));
        for (const sEdgePos& h : hits)
            distances.push_back(h.m_nIndex);
        std::sort(distances.begin(), distances.end(), std::greater<>());
        const int wanted = distances[static_cast<size_t>(k)];
        for (const sEdgePos& h : hits)
            if (h.m_nIndex == wanted)
                chosen = h; // the last of equal distances
    }
    if (k == 0 && n > 0) {
        int strongest = 0;
        for (int h = 1; h < n; ++h)
            if (hits[h].m_dStrength > hits[strongest].m_dStrength)
                strongest = h;
        if (hits[strongest].m_dStrength / 2.0 > chosen.m_dStrength)
            chosen = hits[strongest];
    }
    return chosen;
}

void ScanRayParams::RunRay(sScanRay& ray, const Device& image, const CAOI* area, const CSegThres* thresholds) const
{
    CLinePoints line;
    line.Init(m_nCenterX, m_nCenterY, ray.m_nEndX, ray.m_nEndY);
    const bool endInside = AreaContains(area, ray.m_nEndX, ray.m_nEndY);
    POINT last{m_nCenterX, m_nCenterY};
    for (const POINT& p : line.Points()) {
        if (!endInside && !AreaContains(area, p.x, p.y))
            break;
        if (!OnPage(image, p.x, p.y))
            break;
        const COLORREF colour = image.GetPixel(p.x, p.y);
        if (thresholds ? thresholds->IsObjectColor(colour) == FALSE : (colour & 0x00FFFFFF) == m_StopColor)
            break;
        if (m_pStopPoints && IsNeighbourOfAny(*m_pStopPoints, p))
            break;
        last = p;
    }
    ray.m_nHitX = last.x;
    ray.m_nHitY = last.y;
    ray.m_dLength = std::hypot(static_cast<double>(last.x - m_nCenterX), static_cast<double>(last.y - m_nCenterY));
}

void ScanRayParams::RunToColour(const Device& image, const CAOI* area, const CSegThres* thresholds)
{
    m_dMaxRayLength = 0.0;
    m_dMeanRayLength = 0.0;
    const int count = GetRayCount();
    for (int i = 0; i < count; ++i) {
        sScanRay& ray = m_arrRays[i];
        RunRay(ray, image, area, thresholds);
        m_dMeanRayLength += ray.m_dLength / count;
        m_dMaxRayLength = std::max(m_dMaxRayLength, ray.m_dLength);
    }
}

int ScanRayParams::CountObjectRun(const Device& image, int x, int y, double angle, const CAOI* area,
                                  const CSegThres& thresholds) const
{
    const int x2 = x + static_cast<int>(std::cos(angle) * 10.0);
    const int y2 = y - static_cast<int>(std::sin(angle) * 10.0);
    CLinePoints line;
    line.Init(x, y, x2, y2);
    int run = 0;
    for (const POINT& p : line.Points()) {
        if (!AreaContains(area, p.x, p.y) || !IsObjectPixel(image, thresholds, p.x, p.y))
            break;
        ++run;
    }
    return run;
}

CPoint ScanRayParams::CrossScan(int x, int y, double angle, const CAOI* area, const Device& image,
                                const CSegThres& thresholds, int shiftMode)
{
    static constexpr int kShifts[4][2] = {{0, 4}, {-4, 0}, {4, -4}, {-4, 4}};
    const int mode = (shiftMode >= 0 && shiftMode <= 2) ? shiftMode : 3;
    CSegThres shifted(thresholds);
    shifted.ShiftLimits(kShifts[mode][0], kShifts[mode][1]);

    m_dWidth = 0.0;
    m_nMaxSideCount = 0;
    if (x == 0 && y == 0)
        return CPoint(0, 0);
    double direction = std::fmod(angle + std::numbers::pi / 2.0, kTwoPi);
    if (direction < 0.0)
        direction += kTwoPi;
    if (area) {
        int side = 0;
        const CRect rect = area->GetRect();
        if (DistanceToRectBorder(x, y, rect, side) < 4)
            direction = (side == 0 || side == 2) ? std::numbers::pi / 2.0 : 0.0;
    }
    const int dx = static_cast<int>(std::cos(direction) * 20.0);
    const int dy = static_cast<int>(std::sin(direction) * 20.0);
    const POINT ends[2] = {{x + dx, y - dy}, {x - dx, y + dy}};
    POINT last[2] = {{x, y}, {x, y}};
    CLinePoints line;
    for (int s = 0; s < 2; ++s) {
        line.Init(x, y, ends[s].x, ends[s].y);
        const bool endInside = AreaContains(area, ends[s].x, ends[s].y);
        for (const POINT& p : line.Points()) {
            if (!endInside && !AreaContains(area, p.x, p.y))
                break;
            if (!IsObjectPixel(image, shifted, p.x, p.y))
                break;
            // The probe runs along the measuring angle: how far the object
            // reaches along the axis from this point of the cross section.
            m_nMaxSideCount = std::max(m_nMaxSideCount, CountObjectRun(image, p.x, p.y, angle, area, shifted));
            last[s] = p;
        }
    }
    m_dWidth = std::hypot(static_cast<double>(last[0].x - last[1].x), static_cast<double>(last[0].y - last[1].y));
    return CPoint((last[0].x + last[1].x) / 2, (last[0].y + last[1].y) / 2);
}

CPoint ScanRayParams::AnalyseLineProfile(const Device& image, int x1, int y1, int x2, int y2)
{
    CLinePoints line;
    line.Init(x1, y1, x2, y2);
    CDataAnalysis profile(CDataArray::typeDouble);
    for (const POINT& p : line.Points())
        profile.AddDouble(ReadGrey(image, p.x, p.y));
    CArray<sEdgePos> edges;
    if (profile.GetSize() >= 2)
        profile.FindEdges(edges, m_nMinEdgeThreshold, m_nEdgeMode);
    CPoint result(0, 0);
    for (sEdgePos& edge : edges) {
        const int centre = CentreOfStep(profile, edge.m_nIndex, m_nEdgeMode);
        const POINT& p = line.GetAt(std::clamp(centre, 0, line.GetCount() - 1));
        edge.m_nX = p.x;
        edge.m_nY = p.y;
        result = CPoint(p.x, p.y);
    }
    return result;
}

double ScanRayParams::MaxWidthAlongSegment(const Device& image, const CAOI* area, const CSegThres& thresholds, int x1,
                                           int y1, int x2, int y2)
{
    const double angle = -std::atan2(static_cast<double>(y2 - y1), static_cast<double>(x2 - x1));
    CLinePoints line;
    line.Init(x1, y1, x2, y2);
    double widest = 0.0;
    // In the middle of every 10-pixel piece: the ends lie on the body the
    // part leaves and on its tip, where the scan would not cross it.
    for (int i = std::min(5, line.GetCount() / 2); i < line.GetCount(); i += 10) {
        const POINT& p = line.GetAt(i);
        CrossScan(p.x, p.y, angle, area, image, thresholds, 3);
        widest = std::max(widest, m_dWidth);
    }
    return widest;
}

void ScanRayParams::MeasureAtMidpoint(const Device& image, const CAOI* area, const CSegThres& thresholds, int x1,
                                      int y1, int x2, int y2, CScanPointList& points)
{
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const double angle = dx == 0 ? std::numbers::pi / 2.0 : -std::atan(static_cast<double>(dy) / dx);
    const CPoint p = CrossScan((x1 + x2) / 2, (y1 + y2) / 2, angle, area, image, thresholds, 3);
    if (p.x != 0 || p.y != 0)
        points.Add(POINT{p.x, p.y});
}

double ScanRayParams::ProbeFan(const Device& image, int x, int y, double direction, const CAOI* area,
                               const CSegThres& thresholds)
{
    LayOutRays(x, y, 50, 16, direction + std::numbers::pi / 6.0, std::numbers::pi / 3.0);
    RunToColour(image, area, &thresholds);
    return m_dMaxRayLength;
}

// ---- accessors ----

sScanRay ScanRayParams::GetScanRay(int i) const
{
    if (GetRayCount() == 0)
        AfxThrowInvalidArgException();
    return m_arrRays[std::clamp(i, 0, GetRayCount() - 1)];
}

sEdgePos ScanRayParams::GetEdgePos(int i) const
{
    const int n = GetEdgeCount();
    if (n == 0)
        AfxThrowInvalidArgException();
    return m_arrEdges[((i % n) + n) % n];
}

int ScanRayParams::GetHitCount(int i) const
{
    if (GetRayCount() == 0)
        AfxThrowInvalidArgException();
    return static_cast<int>(m_arrRays[std::clamp(i, 0, GetRayCount() - 1)].m_arrHits.GetSize());
}

CPoint ScanRayParams::GetRayHitPoint(int i) const
{
    if (i < 0 || i >= GetRayCount())
        return CPoint(m_nCenterX, m_nCenterY);
    return CPoint(m_arrRays[i].m_nHitX, m_arrRays[i].m_nHitY);
}

double ScanRayParams::GetRayAngle(int i) const
{
    if (i < 0 || i >= GetRayCount())
        return -1.0;
    return m_arrRays[i].m_dAngle;
}
