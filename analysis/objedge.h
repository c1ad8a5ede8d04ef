#pragma once
// CEdgeObj: an edge measured along scan rays. Each ray is a point list
// whose shape type (line-like, straight up to a corner, little curvature)
// is its kind; runs of line-like rays give the straight segments from
// which the upper and the lower edge line are chosen, and the end marks
// are the outermost feet of the collected points on the upper line.

#include "analysis/objdatabase.h"
#include "objectmodel/minarearect.h"
#include "objectmodel/rpolygon.h"

#include <memory>
#include <vector>

class CEdgeObj : public CObjDataBase
{
    DECLARE_SERIAL(CEdgeObj)

public:
    static constexpr WORD kind = 15;
    // Kinds that make a valid segment.
    static constexpr int validKinds = CRPolygon::shapeCorner;
    // Line-like rays farther apart than this belong to different segments.
    static constexpr double kMaxRunGap = 20.0;

    CEdgeObj();
    ~CEdgeObj() override = default;

    // The base element only.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    // Colours: 0 rays without a kind, 1 the others; fewer than two is an
    // invalid argument.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;

    // ---- rays ----
    // Takes the ray over; its shape type is its kind.
    void AddRay(std::unique_ptr<CRPolygon> ray, double startAngle);
    int GetRayCount() const { return static_cast<int>(m_Rays.size()); }
    const CRPolygon& GetRay(int index) const;
    double GetRayAngle(int index) const;
    int CountRays(int mask) const;
    // Invalid argument when no ray matches.
    int FirstRay(int mask) const;
    int LastRay(int mask) const;
    // From index, the previous (next) matching ray, wrapping around the
    // ends; -1 when no ray matches.
    int PrevRay(int index, int mask) const;
    int NextRay(int index, int mask) const;
    void RemoveLastRay();
    void CollectValidSegments();
    void CollectTopEdgePoints();

    // ---- edge lines ----
    // The straight segment of the next run of line-like rays from
    // position: a line fit through the run's points, cut at its outermost
    // points. position moves past the run. False at the end (ends (0, 0));
    // a run too short to fit gives ends (0, 0).
    bool NextRaySegment(int& position, CPoint& a, CPoint& b) const;
    // Chooses the upper and the lower edge line among the segments.
    void MeasureRays();
    // The outermost feet of the rays' points on the upper line, left and
    // right of it.
    void FindEndMarks();
    // -atan(dy/dx) of the two points, pi/2 for a vertical pair.
    static double PointAngle(POINT a, POINT b);

    CArray<POINT, POINT> m_arrScanPoints;
    CArray<POINT, POINT> m_arrFoundPoints;
    CArray<POINT, POINT> m_arrSegmentPoints;
    CArray<POINT, POINT> m_arrPixels;
    // Upper line m_ptUpper[0..1], lower line m_ptLower[0..1].
    CPoint m_ptUpper[2];
    CPoint m_ptLower[2];
    double m_dUpperAngle = 0.0;
    double m_dLowerAngle = 0.0;
    CPoint m_ptLeftMark{0, 0};
    CPoint m_ptRightMark{0, 0};
    double m_dAngleOffset = 0.0;
    sMinAreaRect m_MinRect;
    // The scan rays the edge was measured with (0: the pieces are counted
    // instead) and their centre.
    int m_nScanRayCount = 0;
    CPoint m_ptCenter{0, 0};

private:
    std::vector<std::unique_ptr<CRPolygon>> m_Rays;
    std::vector<double> m_RayAngles;
};
