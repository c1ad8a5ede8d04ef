// The engine's measures along scan rays: an object's length along its
// body, the edge object of the working area and the thin part that leaves
// the central object.

#include "analysis/bv.h"
#include "analysis/objectshape.h"

#include "analysis/aoi.h"
#include "analysis/edgeobjectrules.h"
#include "analysis/objdata.h"
#include "analysis/objedge.h"
#include "analysis/resultdocument.h"
#include "analysis/scanrayparams.h"
#include "analysis/scanrayresult.h"
#include "analysis/segthres.h"
#include "objectmodel/lineangle.h"
#include "objectmodel/rpolygon.h"
#include "outside/pixmere/dib.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

bool IsSet(POINT p)
{
    return p.x != 0 || p.y != 0;
}

bool InBand(POINT p, int first, int last)
{
    return p.y > last && p.y < first;
}

bool IsSet(const sEdgePos& hit)
{
    return hit.m_nX != 0 || hit.m_nY != 0;
}

} // namespace

int CBV::MeasureScanRays(CDIB* image, CAOI* aoi, CScanRayResult3& result)
{
    if (image == nullptr || result.m_nRayIndex < 0)
        return 0;
    ScanRayParams rays;
    // The engine's objects: wider bodies than the default, fewer widenings.
    rays.m_dMaxWidth = 22.0;
    rays.m_nMaxWidening = 15;
    const CSegThres& thresholds = m_Profiles.m_SegThres;
    const CPoint start(result.m_nCenterX, result.m_nCenterY);
    const CPoint end = result.GetDiameterEnd(0);
    const double angle = GetLineAngle(start.x, start.y, end.x, end.y);
    // Both ways from the centre: towards the farthest hit into the second
    // side, the opposite way into the first.
    result.m_arrRight.RemoveAll();
    result.m_arrLeft.RemoveAll();
    rays.TraceLength(*image, start.x, start.y, angle, aoi, thresholds, result.m_arrRight);
    rays.TraceLength(*image, start.x, start.y, angle + std::numbers::pi, aoi, thresholds, result.m_arrLeft);
    return (result.m_arrRight.GetSize() > 1 || result.m_arrLeft.GetSize() > 1) ? 1 : 0;
}

int CBV::MeasureShapeByScanRays(CDIB* image, CAOI* aoi, CObjData& record)
{
    auto result = std::make_unique<CScanRayResult3>();
    if (CalcObjectShapeFeatures(image, aoi, record.m_Polygon, nullptr, result.get(), 0) != 1 ||
        MeasureScanRays(image, aoi, *result) != 1)
        return 0;
    record.AddScanResult(std::move(result));
    return 1;
}

int CBV::MeasureEdgeObject(CDIB* image, IResultDocument* document)
{
    CAOI* area = m_AOIDoc.GetActiveAOI(true);
    if (document == nullptr || image == nullptr || area == nullptr)
        return 0;
    const int markerFirst = m_AOIDoc.m_nMarkerFirst;
    const int markerLast = m_AOIDoc.m_nMarkerLast;
    const bool markersSet = markerFirst != -1 && markerLast != -1;
    const CPoint centre = area->GetCenter();
    const CSegThres& profileThreshold = m_Profiles.m_SegThres;
    const int polarity = profileThreshold.m_Mode == CSegThres::modeBright ? 1 : 0;

    auto owned = std::make_unique<CEdgeObj>();
    CEdgeObj& edge = *owned;
    document->AddObject(std::move(owned));
    edge.m_dAngleOffset = area->GetWidth() == 0 ? 0.02617993950843811 : 0.0;
    edge.m_ptCenter = centre;
    // An area without width has no rays to lay.
    if (area->GetWidth() <= 0)
        return 0;

    ScanRayParams rays;
    rays.m_nEdgeMode = polarity;
    rays.m_nMinEdgeThreshold = 10;
    rays.m_nStartIndex = 20;
    rays.Measure(*image, centre.x, centre.y, 16, area->GetWidth(), 3.1415927410125732, 6.2831854820251465, area,
                 ScanRayParams::methodHighestPeak);
    long long sumX = 0;
    long long sumY = 0;
    int found = 0;
    for (int i = 0; i < 16; ++i) {
        const sEdgePos hit = rays.GetEdgePos(i);
        if (IsSet(hit)) {
            sumX += hit.m_nX;
            sumY += hit.m_nY;
            ++found;
        }
    }
    if (found == 0)
        return 0;
    const POINT mean{static_cast<int>(sumX / found), static_cast<int>(sumY / found)};
    const POINT rayCentre = edgeobject::RayCentre(mean, POINT{centre.x, centre.y});
    const int cx = rayCentre.x;
    const int cy = rayCentre.y;
    rays.m_nMinEdgeThreshold = edgeobject::SecondPassEdgeThreshold(found);
    constexpr int kRays = edgeobject::kRays;
    rays.Measure(*image, cx, cy, kRays, area->GetWidth(), 4.71238911151886, 6.2831854820251465, area,
                 ScanRayParams::methodOutermost);
    edge.m_nScanRayCount = kRays;
    for (int i = 0; i < kRays; ++i) {
        const sEdgePos hit = rays.GetEdgePos(i);
        if (IsSet(hit))
            edge.m_arrScanPoints.Add(POINT{hit.m_nX, hit.m_nY});
    }

    CKontur8 tracer;
    tracer.Size(800);
    CSegThres threshold(profileThreshold);
    tracer.SetImage(image, area, &threshold);
    WalkEdgeRays(rays, tracer, edge, markersSet ? markerFirst : -1, markersSet ? markerLast : -1);

    edge.CollectTopEdgePoints();
    edge.MeasureRays();
    edge.CollectValidSegments();
    edge.FindEndMarks();
    return 1;
}

void CBV::WalkEdgeRays(const ScanRayParams& rays, CKontur8& tracer, CEdgeObj& edge, int markerFirst,
                       int markerLast)
{
    constexpr int kRays = edgeobject::kRays;
    CDIB& image = *tracer.GetImage();
    const CAOI* area = tracer.GetAOI();
    const bool markersSet = markerFirst != -1 && markerLast != -1;
    auto inBand = [&](POINT p) { return markersSet && InBand(p, markerFirst, markerLast); };
    auto onBorder = [&](const sEdgePos& hit, int& direction) {
        const CPoint p = rays.FindBorderPoint(image, area, hit.m_nX, hit.m_nY, hit.m_nGrey, direction);
        sEdgePos moved = hit;
        moved.m_nX = p.x;
        moved.m_nY = p.y;
        return moved;
    };

    sEdgePos carried;
    for (int i = 0; i < kRays; ++i) {
        bool keep = true;
        sEdgePos start;
        bool wasCarried = false;
        if (IsSet(carried)) {
            start = carried;
            wasCarried = true;
            carried = sEdgePos{};
        } else {
            start = rays.GetRankedHit(i, 0);
        }
        if (!IsSet(start))
            continue;
        sEdgePos end;
        const int j = edgeobject::FindEndRay(rays, i, end);
        // The search ran past the last ray without a hit: nothing to join.
        if (!IsSet(end))
            continue;
        int direction = 0;
        const sEdgePos s = onBorder(start, direction);
        end = onBorder(end, direction);
        const double pieceAngle = start.m_dAngle;
        if (inBand(POINT{s.m_nX, s.m_nY}) || inBand(POINT{end.m_nX, end.m_nY}))
            continue;
        int r = tracer.TraceRegion(POINT{s.m_nX, s.m_nY}, POINT{end.m_nX, end.m_nY}, start.m_nGrey, end.m_nGrey);
        if (r == 0) {
            const sScanRay ray = rays.GetScanRay(j);
            const int hits = rays.GetHitCount(j);
            for (int h = 0; h < hits && r == 0; ++h) {
                const sEdgePos& other = ray.m_arrHits[h];
                if ((other.m_nX == end.m_nX && other.m_nY == end.m_nY) || inBand(POINT{other.m_nX, other.m_nY}) ||
                    !IsSet(other))
                    continue;
                const sEdgePos moved = onBorder(other, direction);
                r = tracer.TraceRegion(POINT{s.m_nX, s.m_nY}, POINT{moved.m_nX, moved.m_nY}, start.m_nGrey,
                                       other.m_nGrey);
                if (r == 1)
                    end = moved;
            }
        }
        if (r == 0) {
            for (int m = 0; m < 2 && r == 0; ++m) {
                const sEdgePos s2 = rays.GetRankedHit(i, m);
                if (!IsSet(s2) || inBand(POINT{s2.m_nX, s2.m_nY}))
                    continue;
                const sEdgePos s2Moved = onBorder(s2, direction);
                const int hits = rays.GetHitCount(j);
                for (int k = 0; k < hits && r == 0; ++k) {
                    const sEdgePos e2 = rays.GetRankedHit(j, k);
                    if (!IsSet(e2) || inBand(POINT{e2.m_nX, e2.m_nY}))
                        continue;
                    const sEdgePos e2Moved = onBorder(e2, direction);
                    r = tracer.TraceRegion(POINT{s2Moved.m_nX, s2Moved.m_nY}, POINT{e2Moved.m_nX, e2Moved.m_nY},
                                           s2.m_nGrey, e2.m_nGrey);
                    if (r != 0) {
                        end = e2Moved;
                        if (m == 0 && wasCarried)
                            keep = false;
                    }
                }
            }
            if (r == 0)
                continue;
        }
        const int n = tracer.GetLastIndex();
        if (n < 1)
            continue;
        auto piece = std::make_unique<CRPolygon>();
        piece->CopyPoints(tracer.GetPoints(), n);
        if (!edgeobject::KeepsPiece(static_cast<int>(piece->GetSize())))
            continue;
        piece->ClassifyShape();
        if (piece->m_nShapeType != 0 && !keep)
            edge.RemoveLastRay();
        carried = end;
        edge.AddRay(std::move(piece), pieceAngle);
    }
}

int CBV::MeasureThinPartLength(CDIB* image, CAOI* aoi, const CRPolygon* /*polygon*/, CScanRayResult2* result)
{
    if (image == nullptr || result == nullptr)
        return 0;
    ScanRayParams rays;
    const int cx = result->m_nCenterX;
    const int cy = result->m_nCenterY;
    const CArray<POINT, const POINT&>& first = result->m_arrHits1;
    const CArray<POINT, const POINT&>& second = result->m_arrHits2;
    CScanPointList midpoints;
    midpoints.SetSize(first.GetSize());
    for (INT_PTR i = 0; i < first.GetSize(); ++i)
        midpoints[i] = second.IsEmpty() ? POINT{0, 0}
                                        : POINT{(first[i].x + second[i].x) / 2, (first[i].y + second[i].y) / 2};
    const CSegThres& profileThreshold = m_Profiles.m_SegThres;
    CSegThres loosened(profileThreshold);
    switch (profileThreshold.m_Mode) {
    case CSegThres::modeDark:
        loosened.ShiftLimits(5, 0);
        break;
    case CSegThres::modeBright:
        loosened.ShiftLimits(0, -5);
        break;
    case CSegThres::modeBand:
        loosened.ShiftLimits(-5, 5);
        break;
    default:
        loosened.ShiftLimits(5, -5);
        break;
    }
    int k = rays.FindThinPartStart(*image, cx, cy, midpoints, aoi, loosened);
    if (k == -1)
        return 0;
    if (std::abs(result->m_nRayIndex - k) < 3)
        k = result->m_nRayIndex;
    // Without a second border there is no border point to start from.
    if (second.IsEmpty() || k < 0 || k >= second.GetSize())
        return 0;
    const POINT e = second[k];
    const POINT centre{cx, cy};
    const bool inner = k < first.GetSize() && Distance(first[k], centre) < Distance(e, centre);
    const POINT s = rays.m_ptFar;
    if (!IsSet(e))
        return 0;
    result->m_Path.m_Points.RemoveAll();
    CScanPointList path;
    const double angle = GetLineAngle(e.x, e.y, s.x, s.y);
    const double length = Distance(e, s);
    if (length < 6.0)
        return 0;
    if (rays.MaxWidthAlongSegment(*image, aoi, profileThreshold, e.x, e.y, s.x, s.y) > 15.0)
        return 0;
    if (inner && IsSet(first[k]))
        path.Add(first[k]);
    path.Add(e);
    if (length > 20.0)
        rays.MeasureAtMidpoint(*image, aoi, profileThreshold, e.x, e.y, s.x, s.y, path);
    path.Add(s);
    result->m_Path.m_fValue1 =
        static_cast<float>(rays.FollowThinPart(*image, s.x, s.y, angle, aoi, profileThreshold, path) + length);
    for (const POINT& p : path)
        result->m_Path.m_Points.Add(p);
    return 1;
}
