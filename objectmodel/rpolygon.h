#pragma once
// CRPolygon: an object contour or a cut line as an integer point list, open
// or closed, with the cut lines recorded on it, a centre for angular
// sampling and a shape class. Contours from the tracer run clockwise on
// screen (x to the right, y downwards).

#include "objectmodel/cut.h"
#include "objectmodel/rpointarray.h"

#include <memory>
#include <utility>
#include <vector>

namespace kestrun {
class CRowBorders;
}

class CRPolygon : public CRPointArray
{
    DECLARE_SERIAL(CRPolygon)

public:
    enum ShapeType
    {
        shapeNone = 0,
        shapeLine = 1,         // line-like
        shapeCorner = 2,       // straight up to a corner
        shapeLowCurvature = 4, // little curvature spread
    };

    CRPolygon() = default;
    // The chain's points; closed, with the gap to the start filled in when
    // the walk does not end beside its start.
    explicit CRPolygon(const CChain8& chain);
    // The same with the start point moved by (-dx, -dy).
    CRPolygon(const CChain8& chain, int dx, int dy);
    explicit CRPolygon(const CRPointArray& vertices);
    CRPolygon(const CRPolygon& other);
    CRPolygon& operator=(const CRPolygon& other);
    ~CRPolygon() override = default;

    // Joins the last point to the first with a straight pixel line when
    // they are not neighbours, and marks the polygon closed.
    virtual void Close();
    // Closed: the index taken around the contour. Open: clamped to the
    // ends. An empty polygon is an invalid argument.
    virtual CPoint GetPointAt(int index) const;

    // Appends the point, after the pixels of the straight line from the
    // last point towards it when it is more than one pixel away.
    void AddPointConnected(POINT point);
    // As CRPointArray, and closed when the walk ends beside its start.
    bool SetFromChainCodes(const CChain8& chain, int n);
    // Closed outline through the vertices, straight pixel lines between
    // them and back to the first, which ends the list again.
    void SetFromVertices(const CRPointArray& vertices);
    // Everything: points, box, closed flag, cuts, centre, current index,
    // shape type and the spare value.
    void CopyFrom(const CRPolygon& other);
    // The first n points of the source (wrapping when it is closed), with
    // its centre, current index, shape type and spare value; closed when
    // the last and the first point are neighbours.
    void CopyPoints(const CRPolygon& source, int n);
    CPoint GetCurrentPoint() const { return GetPointAt(m_nCurrentIndex); }

    // Pixel path length from index from to index to: 1.0 for a step that
    // keeps x or y, 1.4142135623731 for a diagonal one. from -1 means 0;
    // to -1 (or past the end) the last index; a to before from walks past
    // the end back to 0.
    double PathLength(int from, int to) const;

    // --- shape (rpolygonshape.cpp) ---

    // Every second point lies on a straight line (fit chi2 below 40.0).
    bool IsStraight() const;
    // Sets the shape type; a corner also sets the current index to it.
    void ClassifyShape();
    // The curvature profile hardly varies (standard deviation below 15 degrees).
    bool IsLowCurvature() const;
    // The contour points of the curvature peaks above threshold, appended
    // to out; the profile is negated first when negate is set, which makes
    // the peaks the concave points of a clockwise contour. Returns the
    // number of peaks.
    int FindCurvaturePeaks(CRPointArray& out, int window, double threshold, BOOL negate) const;
    // Index of the highest curvature peak, -1 when there is none.
    int FindFirstPeak() const;
    // Peaks with a window that grows with the contour, lowering the
    // threshold from 160 until two peaks are found. Returns their number.
    int FindCurvaturePeaksAdaptive(CRPointArray& out) const;
    // For each of n sectors around the centre, the contour point whose
    // distance from it is nearest to radius; empty sectors are left out.
    // Returns the number of points in out.
    int SampleByAngle(int n, CRPointArray& out, double radius) const;

    // --- cuts (rpolygoncuts.cpp) ---

    // A record starting at the index of a, valid when b lies on the
    // polygon too (otherwise as given). Returns its index.
    int AddCut(int start, POINT a, POINT b, int count, int spare, BOOL valid);
    // A valid record with these values.
    int AddCut(int start, int count, POINT a, POINT b);
    int GetCutCount() const { return static_cast<int>(m_Cuts.GetSize()); }
    const tagCUT& GetCut(int index) const { return m_Cuts[index]; }
    // The end points of the first valid cut through the contour point
    // nearest (x, y), when that is at most 5 pixels away (city block).
    bool GetCutAt(int x, int y, POINT& a, POINT& b) const;
    // Whether a valid cut runs between these two contour points.
    bool FindCutByEnds(int x1, int y1, int x2, int y2) const;
    // First cut whose ends both lie nearer than maxDistance to the ends of
    // the given one, or one of them nearer than 3; -1 when none.
    int FindCutNear(const tagCUT& cut, double maxDistance) const;
    // Green pixels over every valid cut.
    void DrawCuts(CDC* pDC) const;
    // Indices where the first and the last point of other meet this
    // contour (the point itself, else a neighbour); true when both exist
    // and differ.
    bool FindCutEnds(const CRPointArray& other, int& i1, int& i2) const;
    // Splits the contour along a cut line whose first and last points lie
    // on it. This polygon keeps the larger part and the other part is
    // returned; null when the cut does not split it. May reverse the cut.
    std::unique_ptr<CRPolygon> SplitByCut(CRPointArray& cut);
    // Takes a hole into the outline along a join line from this contour
    // to the hole.
    bool JoinAlongCut(const CRPointArray& joinLine, const CRPolygon& hole);
    // Joins the other part back at a cut they share (the reverse of
    // SplitByCut): one closed outline of both without the cut. Both cut
    // records go; the other's remaining cuts come over.
    bool JoinAtCuts(CRPolygon& other, int cutHere, int cutThere);
    // Records every run of more than 5 contour points along the area's
    // border whose ends share x or y as a cut. Returns how many were added.
    int MarkBorderCuts(const kestrun::CRowBorders& aoi);
    // The [first, last] index pairs of the stretches between two border
    // contacts that run inside the area. Returns their number.
    int FindBorderTransitions(const kestrun::CRowBorders& aoi, std::vector<std::pair<int, int>>& pairs) const;

    BOOL m_bClosed = FALSE;
    CArray<tagCUT, tagCUT&> m_Cuts;
    int m_nCenterX = 0;
    int m_nCenterY = 0;
    int m_nCurrentIndex = -1;
    int m_nShapeType = shapeNone;
    int m_nSpare = 0;

protected:
    // Whether index lies in the cut's range on this contour.
    bool CutHolds(const tagCUT& cut, int index) const;
    // The contour index nearest to the point: the point itself, else the
    // nearest by city-block distance.
    int LocatePoint(POINT point) const;
    // The two parts of a split along a cut from index a to index b (a < b):
    // the outer one (0 .. a, across, b .. end) and the inner one (a .. b,
    // back across), each closed and with the cuts it keeps.
    std::unique_ptr<CRPolygon> OuterPart(const CRPointArray& cut, int a, int b) const;
    std::unique_ptr<CRPolygon> InnerPart(const CRPointArray& cut, int a, int b) const;
};
