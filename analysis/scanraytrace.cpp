// Tracing along an object with scan rays, and the border and thin-part
// searches the engine asks of the record.

#include "analysis/aoi.h"
#include "analysis/scanrayparams.h"
#include "analysis/segthres.h"
#include "objectmodel/lineangle.h"
#include "outside/pixmere/device.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kDy[8] = {0, -1, -1, -1, 0, 1, 1, 1};

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

// Steps of a trace shorter than this end it.
constexpr double kMinTraceStep = 5.0;

bool IsSet(POINT p)
{
    return p.x != 0 || p.y != 0;
}

// Offsets of the widened thresholds by shift mode, as the cross scan has them.
void ShiftBy(CSegThres& thresholds, int shiftMode, int s)
{
    switch (shiftMode) {
    case 0:
        thresholds.ShiftLimits(0, s);
        break;
    case 1:
        thresholds.ShiftLimits(-s, 0);
        break;
    case 2:
        thresholds.ShiftLimits(s, -s);
        break;
    default:
        thresholds.ShiftLimits(-s, s);
        break;
    }
}

// The shift mode that widens the thresholds' object colours.
int WideningMode(const CSegThres& thresholds)
{
    return thresholds.m_Mode == CSegThres::modeBand ? 3 : 2;
}

bool OnAreaBorder(const CAOI* area, POINT p)
{
    if (!area)
        return false;
    return !area->Contains(p.x - 1, p.y) || !area->Contains(p.x + 1, p.y) || !area->Contains(p.x, p.y - 1) ||
           !area->Contains(p.x, p.y + 1);
}

bool Contains(const CScanPointList& points, POINT p)
{
    return std::any_of(points.begin(), points.end(), [p](const POINT& q) { return q.x == p.x && q.y == p.y; });
}

} // namespace

int ScanRayParams::PickRay(int k) const
{
    const int count = GetRayCount();
    if (count == 0 || k < 0 || k >= count)
        return -1;
    const int m = std::max(count / 2, 1);
    std::vector<std::pair<double, int>> weights;
    weights.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double w = m_arrRays[i].m_dLength /
                         ((m_dAngleRange / std::numbers::pi) * std::abs(count / 2 - i) / m + 1.0);
        weights.emplace_back(w, i);
    }
    std::stable_sort(weights.begin(), weights.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return weights[static_cast<size_t>(k)].second;
}

void ScanRayParams::TraceStep(const Device& image, int x, int y, double direction, const CAOI* area,
                              const CSegThres& thresholds, int shiftMode)
{
    m_dMaxRayLength = 0.0;
    m_ptEnd1 = CPoint(0, 0);
    m_ptEnd2 = CPoint(0, 0);
    m_nRayIndex1 = -1;
    m_nRayIndex2 = -1;
    if (x == 0 && y == 0)
        return;
    LayOutRays(x, y, 50, 15, direction + std::numbers::pi / 6.0, std::numbers::pi / 3.0);
    CSegThres current(thresholds);
    RunToColour(image, area, &current);
    for (int s = 6; m_dMaxRayLength <= m_dMinRayLength && s <= m_nMaxWidening; s += 2) {
        CSegThres widened(thresholds);
        ShiftBy(widened, shiftMode, s);
        if (widened == current)
            break;
        current = widened;
        RunToColour(image, area, &current);
        if (m_dMaxRayLength > m_dMinRayLength) {
            const CPoint hit = GetRayHitPoint(PickRay(0));
            // A widening that reaches colours far from the object's is no
            // longer the object.
            if (thresholds.Distance(image.GetPixel(hit.x, hit.y)) > m_dMaxColourDistance) {
                m_dMaxRayLength = 0.0;
                return;
            }
        }
    }
    if (m_dMaxRayLength <= m_dMinRayLength)
        return;
    m_nRayIndex1 = PickRay(0);
    m_nRayIndex2 = PickRay(1);
    const int rays[2] = {m_nRayIndex1, m_nRayIndex2};
    CPoint* ends[2] = {&m_ptEnd1, &m_ptEnd2};
    for (int r = 0; r < 2; ++r) {
        if (rays[r] < 0)
            continue;
        const CPoint hit = GetRayHitPoint(rays[r]);
        const double angle = GetRayAngle(rays[r]);
        const CPoint end = CrossScan(hit.x, hit.y, angle, area, image, current, shiftMode);
        *ends[r] = m_dWidth > m_dMaxWidth ? CPoint(0, 0) : end;
    }
}

bool ScanRayParams::FindSeed(const Device& image, const CAOI* area, const CSegThres& thresholds, int& x, int& y)
{
    if (AreaContains(area, x, y) && IsObjectPixel(image, thresholds, x, y))
        return true;
    static constexpr int kSteps[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    for (int step = 1; step <= 10; ++step) {
        for (const auto& d : kSteps) {
            const int sx = x + d[0] * step;
            const int sy = y + d[1] * step;
            if (AreaContains(area, sx, sy) && IsObjectPixel(image, thresholds, sx, sy)) {
                x = sx;
                y = sy;
                return true;
            }
        }
    }
    return false;
}

double ScanRayParams::TraceLength(const Device& image, int x, int y, double direction, const CAOI* area,
                                  const CSegThres& thresholds, CScanPointList& points)
{
    if (m_pResultPoints)
        m_pResultPoints->RemoveAll();
    if (m_pVisitedPoints)
        m_pVisitedPoints->RemoveAll();
    points.Add(POINT{x, y});
    if (!FindSeed(image, area, thresholds, x, y))
        return 0.0;
    const int shiftMode = WideningMode(thresholds);
    double length = 0.0;
    ScanRayParams probe;
    CPoint current(x, y);
    for (int step = 0; step < maxTraceSteps; ++step) {
        TraceStep(image, current.x, current.y, direction, area, thresholds, shiftMode);
        if (m_nRayIndex1 == -1 && m_nRayIndex2 == -1)
            break;
        length += m_dMaxRayLength;
        // The path goes on from the middle across the object at the best
        // hit, so that it keeps to the axis instead of zigzagging from
        // wall to wall.
        const CPoint hit = GetRayHitPoint(m_nRayIndex1);
        CPoint next = IsSet(m_ptEnd1) ? m_ptEnd1 : hit;
        if (std::abs(std::remainder(GetLineAngle(current.x, current.y, next.x, next.y) - direction,
                                    2.0 * std::numbers::pi)) >= std::numbers::pi / 2.0)
            next = hit;
        // The axis runs from here towards the midpoints across the object
        // at the two best hits; the candidate that leads farther wins.
        double nextDirection = GetRayAngle(m_nRayIndex1);
        double reach = -1.0;
        for (const CPoint& end : {m_ptEnd1, m_ptEnd2}) {
            if (!IsSet(end) || end == current)
                continue;
            const double candidate = GetLineAngle(current.x, current.y, end.x, end.y);
            // The path never turns back on itself.
            const double turn = std::remainder(candidate - direction, 2.0 * std::numbers::pi);
            if (std::abs(turn) >= std::numbers::pi / 2.0)
                continue;
            const double probed = probe.ProbeFan(image, next.x, next.y, candidate, area, thresholds);
            if (probed > reach) {
                reach = probed;
                nextDirection = candidate;
            }
        }
        if (!IsSet(next) || Contains(points, next))
            break;
        // At the object's end the fan only reaches the walls nearby: short
        // or sharply turning steps there would wander back along the body.
        if (Distance(current, next) < kMinTraceStep ||
            std::abs(std::remainder(GetLineAngle(current.x, current.y, next.x, next.y) - direction,
                                    2.0 * std::numbers::pi)) > std::numbers::pi / 3.0)
            break;
        // A path that comes back near its start has gone round the object.
        if (points.GetSize() > 5 && Distance(next, points[0]) < 10.0)
            break;
        points.Add(next);
        if (OnAreaBorder(area, hit))
            break;
        current = next;
        direction = nextDirection;
    }
    if (Distance(points[0], points[points.GetSize() - 1]) < 10.0)
        return 0.0;
    return length;
}

CPoint ScanRayParams::FindBorderPoint(const Device& image, const CAOI* area, int x, int y, int grey,
                                      int& direction) const
{
    auto isObject = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= image.GetWidth() || py >= image.GetHeight() || !AreaContains(area, px, py))
            return false;
        const int g = static_cast<int>(image.GetPixel(px, py) & 0xFF);
        return m_nEdgeMode == 1 ? g >= grey : g <= grey;
    };
    // The direction of a background 4-neighbour of an object pixel, -1
    // inside the object or off it.
    auto background = [&](int px, int py) {
        if (!isObject(px, py))
            return -1;
        for (int b = 0; b < 8; b += 2)
            if (!isObject(px + kDx[b], py + kDy[b]))
                return b;
        return -1;
    };
    int bestX = x;
    int bestY = y;
    int bestSide = -1;
    double bestDistance = 1e9;
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            const double d = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
            if (d >= bestDistance)
                continue;
            const int side = background(x + dx, y + dy);
            if (side >= 0) {
                bestDistance = d;
                bestX = x + dx;
                bestY = y + dy;
                bestSide = side;
            }
        }
    }
    // The walk tries the background side first and turns from there.
    if (bestSide >= 0)
        direction = (bestSide + 6) & 7;
    return CPoint(bestX, bestY);
}

int ScanRayParams::FindThinPartStart(const Device& image, int cx, int cy, const CScanPointList& points,
                                     const CAOI* area, CSegThres thresholds)
{
    m_ptFar = CPoint(0, 0);
    int found = -1;
    for (int i = 0; i < points.GetSize(); ++i) {
        const POINT p = points[i];
        if (!IsSet(p))
            continue;
        const double outward = GetLineAngle(cx, cy, p.x, p.y);
        LayOutRays(p.x, p.y, 50, 3, outward + std::numbers::pi / 12.0, std::numbers::pi / 6.0);
        RunToColour(image, area, &thresholds);
        // A thin part runs on well beyond the border; a bump does not.
        if (m_dMaxRayLength < 10.0)
            continue;
        int longest = 0;
        for (int r = 1; r < GetRayCount(); ++r)
            if (m_arrRays[r].m_dLength > m_arrRays[longest].m_dLength)
                longest = r;
        const CPoint hit = GetRayHitPoint(longest);
        const CPoint far = CrossScan(hit.x, hit.y, GetRayAngle(longest), area, image, thresholds, 3);
        if (!IsSet(far) || m_dWidth > m_dMaxWidth)
            continue;
        found = i;
        m_ptFar = far;
    }
    return found;
}

double ScanRayParams::FollowThinPart(const Device& image, int x, int y, double direction, const CAOI* area,
                                     const CSegThres& thresholds, CScanPointList& points)
{
    const int shiftMode = WideningMode(thresholds);
    double length = 0.0;
    CPoint current(x, y);
    for (int step = 0; step < maxTraceSteps; ++step) {
        TraceStep(image, current.x, current.y, direction, area, thresholds, shiftMode);
        if (m_nRayIndex1 == -1)
            break;
        // The midpoint across the thin part keeps the path on its axis.
        const CPoint next = IsSet(m_ptEnd1) ? m_ptEnd1 : GetRayHitPoint(m_nRayIndex1);
        const double advance = Distance(current, next);
        if (advance < m_dMinRayLength || Contains(points, next))
            break;
        length += advance;
        points.Add(POINT{next.x, next.y});
        direction = GetLineAngle(current.x, current.y, next.x, next.y);
        current = next;
    }
    return length;
}
