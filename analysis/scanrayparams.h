#pragma once
// ScanRayParams: measuring along scan rays. A fan of straight rays is laid
// around a centre, the grey values along each ray are searched for edges
// and one edge per ray is chosen; or each ray is walked while the pixels
// keep the object colour (run-to-colour), which also traces thin objects
// along their axis and gives widths across them. A plain value record:
// build it, configure it, run it, read it. It draws nothing.
//
// Pixels are read through Device::GetPixel; the grey value is the low
// byte of the colour. Points outside the page are background and are
// never read. A null area contains every point.

#include "objectmodel/dataanalysis.h"
#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

class CAOI;
class CSegThres;
class Device;

struct sScanRay
{
    WORD m_wReserved1 = 0;
    WORD m_wReserved2 = 0;
    int m_nEndX = 0; // far end of the ray
    int m_nEndY = 0;
    double m_dLength = 0.0; // centre to the run-to-colour hit point
    double m_dAngle = 0.0;  // radians
    int m_nHitX = 0;        // where the run-to-colour walk stopped
    int m_nHitY = 0;
    CArray<sEdgePos> m_arrHits; // the edges found on the ray
};

using CScanPointList = CArray<POINT, const POINT&>;

class ScanRayParams
{
public:
    // Edge choice of FindRayEdges, and run-to-colour for Measure.
    enum
    {
        methodStrongest = 0,
        methodOutermost = 1,
        methodHighestPeak = 2,
        methodRunToColour = 3,
    };

    ScanRayParams() = default;

    // Clears the result points, lays out the rays and runs the method.
    // Returns 1.
    int Measure(const Device& image, int cx, int cy, int count, int length, double startAngle, double range,
                const CAOI* area, int method);
    // count rays from startAngle towards decreasing angles; a count below
    // 1 lays none.
    void LayOutRays(int cx, int cy, int length, int count, double startAngle, double range);
    // The edge search along every ray and the choice of one edge per ray.
    int FindRayEdges(const Device& image, const CAOI* area, int method);
    // Walks each ray while the pixels keep the object colour (thresholds)
    // or differ from the stop colour (no thresholds).
    void RunToColour(const Device& image, const CAOI* area, const CSegThres* thresholds);
    // The width of the object across the direction angle at (x, y): the
    // midpoint of the two ends found; (0, 0) for the point (0, 0).
    CPoint CrossScan(int x, int y, double angle, const CAOI* area, const Device& image, const CSegThres& thresholds,
                     int shiftMode);
    // Consecutive pixels from (x, y) along angle (10 at most) that lie in
    // the area and have the object colour.
    int CountObjectRun(const Device& image, int x, int y, double angle, const CAOI* area,
                       const CSegThres& thresholds) const;
    // The point of the last edge along the line (x1, y1)-(x2, y2); (0, 0)
    // when none is found.
    CPoint AnalyseLineProfile(const Device& image, int x1, int y1, int x2, int y2);
    // The largest cross-scan width every 10 pixels along the segment.
    double MaxWidthAlongSegment(const Device& image, const CAOI* area, const CSegThres& thresholds, int x1, int y1,
                                int x2, int y2);
    // One cross scan at the segment's midpoint; a point found is appended.
    void MeasureAtMidpoint(const Device& image, const CAOI* area, const CSegThres& thresholds, int x1, int y1, int x2,
                           int y2, CScanPointList& points);
    // 16 rays of length 50 over pi/3 around direction, run to colour; the
    // longest ray length.
    double ProbeFan(const Device& image, int x, int y, double direction, const CAOI* area,
                    const CSegThres& thresholds);

    // ---- tracing along an object's axis (scanraytrace.cpp) ----
    // The ray at place k when the rays are sorted by their length weighted
    // towards the middle of the fan; -1 without rays or for k outside.
    int PickRay(int k) const;
    // One step of the trace: a fan of 15 rays of length 50 over pi/3
    // around direction, thresholds widened while no ray gets anywhere;
    // then the two best rays and their cross-scan midpoints.
    void TraceStep(const Device& image, int x, int y, double direction, const CAOI* area,
                   const CSegThres& thresholds, int shiftMode);
    // Follows the object from (x, y) in direction, appending the path to
    // points; the length walked (0.0 when the path came back to its start).
    double TraceLength(const Device& image, int x, int y, double direction, const CAOI* area,
                       const CSegThres& thresholds, CScanPointList& points);
    // An object-colour pixel inside the area at (x, y) or up to 10 steps
    // away in one of the four axis directions; nothing found: false.
    static bool FindSeed(const Device& image, const CAOI* area, const CSegThres& thresholds, int& x, int& y);

    // ---- the services of the engine (scanraytrace.cpp) ----
    // The hit of rank k on ray i (k-th farthest from the centre); k = 0
    // gives way to the strongest hit when that is more than twice as
    // strong. Default hit when there is none.
    sEdgePos GetRankedHit(int i, int k) const;
    // Moves (x, y) onto the border of the object at the grey level (the
    // nearest object pixel with a background 4-neighbour within 3
    // pixels) and sets direction to the start direction of a contour walk
    // with the background on its left. The point unchanged when none.
    CPoint FindBorderPoint(const Device& image, const CAOI* area, int x, int y, int grey, int& direction) const;
    // For each point of the list, 3 rays of length 50 (run to colour) and
    // a cross scan at the longest; the index of the last point from which
    // a thin part leaves, -1 when none; its cross-scan point is kept in
    // the far point.
    int FindThinPartStart(const Device& image, int cx, int cy, const CScanPointList& points, const CAOI* area,
                          CSegThres thresholds);
    // Follows a thin part from (x, y) in direction, appending the points
    // it passes; the length walked.
    double FollowThinPart(const Device& image, int x, int y, double direction, const CAOI* area,
                          const CSegThres& thresholds, CScanPointList& points);

    // ---- accessors ----
    int GetRayCount() const { return static_cast<int>(m_arrRays.GetSize()); }
    int GetEdgeCount() const { return static_cast<int>(m_arrEdges.GetSize()); }
    // Index clamped to the rays; invalid argument without rays.
    sScanRay GetScanRay(int i) const;
    // Index taken modulo the edge count; invalid argument without edges.
    sEdgePos GetEdgePos(int i) const;
    // Index clamped; invalid argument without rays.
    int GetHitCount(int i) const;
    // The centre for -1 or an index not below the ray count.
    CPoint GetRayHitPoint(int i) const;
    // -1.0 for -1 or an index not below the ray count.
    double GetRayAngle(int i) const;

    int m_nCenterX = 0;
    int m_nCenterY = 0;
    double m_dAngleRange = 0.0;
    CArray<sEdgePos> m_arrEdges2;
    sEdgePos m_CurrentEdge;
    double m_dMeanHits = 0.0;
    double m_dMaxRayLength = 0.0;
    double m_dMeanRayLength = 0.0;
    int m_nRayIndex1 = -1;
    int m_nRayIndex2 = -1;
    double m_dWidth = 0.0;
    CPoint m_ptEnd1{0, 0};
    CPoint m_ptEnd2{0, 0};
    int m_nMaxSideCount = 0;
    COLORREF m_StopColor = RGB(255, 255, 255);
    CArray<sScanRay> m_arrRays;
    CArray<sEdgePos> m_arrEdges;
    // Handed to the edge search: 1 dark edges (bright objects).
    int m_nEdgeMode = 0;
    int m_nMinEdgeThreshold = 10;
    // Tracing.
    double m_dMaxColourDistance = 8.0;
    double m_dMinRayLength = 2.0;
    int m_nMaxWidening = 20;
    double m_dMaxWidth = 15.0;
    // Line points skipped at the centre end of every ray.
    int m_nStartIndex = 0;
    WORD m_wReserved = 0;
    // Left by FindThinPartStart.
    CPoint m_ptFar{0, 0};
    // Owned by the caller; null: not collected.
    CScanPointList* m_pStopPoints = nullptr;
    CScanPointList* m_pResultPoints = nullptr;
    CScanPointList* m_pVisitedPoints = nullptr;

    // Traces end after this many steps whatever the image holds.
    static constexpr int maxTraceSteps = 1000;

    // The hit of ray i chosen by method; the default hit when none.
    sEdgePos ChooseEdge(int i, int method) const;

private:
    // The grey value at a point; background outside the page.
    int ReadGrey(const Device& image, int x, int y) const;
    // The hit point and length of one ray walked to colour.
    void RunRay(sScanRay& ray, const Device& image, const CAOI* area, const CSegThres* thresholds) const;
};

// Whether (x, y) lies on the page and is an object colour.
bool IsObjectPixel(const Device& image, const CSegThres& thresholds, int x, int y);
// Whether the area (null: everything) contains the point.
bool AreaContains(const CAOI* area, int x, int y);
