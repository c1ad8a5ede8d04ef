#pragma once
// CObjData: the record of one segmented object - its traced contour, its
// measures, its class and everything the image views draw of it. The
// engine fills one per traced object; the object tables show it through
// the column interface, one row per object, with the columns the flag word
// m_Type selects, and store it in XML object files.

#include "analysis/colorpositionarray.h"
#include "analysis/objdatabase.h"
#include "objectmodel/chain8.h"
#include "objectmodel/minarearect.h"
#include "objectmodel/pointset.h"
#include "objectmodel/rpolygon.h"

#include <memory>
#include <utility>
#include <vector>

class CKontur8;
struct CKonturParam;
class CPointTarget;
class CObjData;

// The parts of a record that few records fill. A record makes them on
// first use, so that the many plain records of a run stay small.
struct sObjDataExtras
{
    CChain8 hullChain;
    CColorPositionArray colorPositions;
    CArray<POINT, POINT> markPoints;
    CArray<POINT, POINT> holePoints;
    CArray<POINT, POINT> tipPoints;
    sPointSet tail;
    std::vector<std::unique_ptr<CChain8>> holes;
    std::vector<std::unique_ptr<CObjDataBase>> segmentsA;
    std::vector<std::unique_ptr<CObjDataBase>> segmentsB;
    std::vector<std::unique_ptr<CObject>> results;
    std::vector<std::unique_ptr<CObjData>> nuclei; // records that keep them
};

class CObjData : public CObjDataBase
{
    DECLARE_SERIAL(CObjData)

public:
    // Column flags of m_Type.
    enum : DWORD
    {
        colPosX = 0x1,
        colPosY = 0x2,
        colArea = 0x4,
        colForm = 0x8,
        colLength = 0x10,
        colWidth = 0x20,
        colTotLength = 0x40,
        colColors = 0x700,
        colHomogeneity = 0x800,
        colConvexity = 0x1000,
        colNuclei = 0x2000,
        colNC = 0x4000,
        colCurvature = 0x10000,
        colHoles = 0x20000,
        colTail = 0x40000,
        colBorder = 0x80000,
        colRect = 0x100000,
        colTips = 0x200000,
        colClass = 0x80000000,
    };

    // The fixed columns, in title order.
    enum Column
    {
        columnIndex,
        columnPosX,
        columnPosY,
        columnArea,
        columnForm,
        columnLength,
        columnTotLength,
        columnWidth,
        columnRoundness,
        columnRed,
        columnGreen,
        columnBlue,
        columnHomogeneity,
        columnConvexity,
        columnNuclei,
        columnNC,
        columnCurvature,
        columnHoles,
        columnTail,
        columnBorder,
        columnRect,
        columnTips,
        columnClass,
        columnCount
    };

    // Draw flags.
    enum : DWORD
    {
        drawLabel = 0x1,
        drawContour = 0x2,
        drawHoles = 0x4,
        drawMinRect = 0x8,
        drawOrientation = 0x10,
        drawTips = 0x20,
        drawRect = 0x100,
    };

    static constexpr float orientationNotSet = -10.0f;

    CObjData();
    ~CObjData() override;
    CObjData(const CObjData&) = delete;
    CObjData& operator=(const CObjData&) = delete;

    // XML only: element "CObjData" with the rectangle, centroid, index,
    // area, form factor, mean colour, border contact and class, then the
    // base element. Any other archive is left alone.
    void Serialize(CArchive& ar) override;

    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    COleVariant GetColumnVariant(int column) override;

    double GetArea() const override;
    double GetFormFactor() const override { return m_FF; }
    // The outline length of the first attached CScanRayResult3 in pixels
    // when there is one, else the long side of m_MinRect in units.
    double GetLength() const override;
    double GetWidth() const override;
    // Long side / short side of m_MinRect; 0.0 when either is 0.
    double GetRoundness() const override;
    COLORREF GetMeanColor() const override { return m_MeanColor; }
    double GetHomogeneity() const override { return m_dHomogeneity; }
    // |area / convex area|; 1.0 without a convex area.
    double GetConvexity() const override;
    double GetTailLength() const override;
    // |orientation - tail angle|, the tail angle first brought to at most
    // pi/2 by half turns.
    double GetTailAngle() const override;

    // Every point of the chain walk with the value 0xFFFFFF.
    virtual void ForEachContourPoint(CPointTarget& target) const;
    void DrawMarker(CDC* pDC, COLORREF crossColor, COLORREF contourColor) override;
    // At least three colours (fewer: invalid argument).
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;
    // A plain record keeps no nuclei: the nucleus is dropped.
    virtual void AddNucleus(std::unique_ptr<CObjData> nucleus);
    // Records joined into a cluster and their summed area (calibrated);
    // a plain record has none.
    virtual int GetMemberCount() const { return 0; }
    virtual double GetMembersArea() const { return 0.0; }
    float GetCurvature() const override { return m_fCurvature1; }
    int GetTailFlag() const override { return m_bTail; }
    CPoint GetCentroid() const override { return m_ptCentroid; }
    int GetHitBoundary() const override { return m_bHitBoundary; }
    short GetIndex() const override { return m_Index; }
    // The measures and the identity of other; not its polygon, holes,
    // segments, point arrays, results, hole area, tracer colour, movement,
    // orientation, N/C ratio or nuclei count.
    virtual void CopyFrom(const CObjData& other);

    // Takes over a traced contour: area, form factor, chain, points,
    // centroid, rectangle and the tracer's colour.
    void SetFromContour(const CKontur8& tracer);
    // The same from a contour handed over: the points (with their box,
    // which becomes m_Rect) and the chain are taken, not copied; recalcBox
    // recomputes the polygon's box afterwards.
    void SetFromOutline(CRPointArray& points, CChain8& chain, const CKonturParam& measures, BOOL closed,
                        bool recalcBox);
    void SetHomogeneity(double homogeneity) { m_dHomogeneity = homogeneity; }
    void SetCentroid(int x, int y) { m_ptCentroid = CPoint(x, y); }
    void SetRect(const RECT& rect) { m_Rect = rect; }
    // The convex hull of the chain: its chain code and its area.
    void MeasureFromContour();
    // A copy of the hole's chain; the first hole of a record starts the
    // hole area afresh. A null chain adds nothing.
    void AddChain(const CChain8* chain, int area);
    void SetHolePoints(const CArray<POINT, POINT>& points);
    void SetTipPoints(const CArray<POINT, POINT>& points);
    // Takes the result; a CScanRayResult3 first sets m_Rect to the box of
    // its two sides.
    void AddScanResult(std::unique_ptr<CObject> result);
    void AddSegmentA(std::unique_ptr<CObjDataBase> segment) { EditExtras().segmentsA.push_back(std::move(segment)); }
    void AddSegmentB(std::unique_ptr<CObjDataBase> segment) { EditExtras().segmentsB.push_back(std::move(segment)); }
    // Hands the segments over and leaves the list empty.
    std::vector<std::unique_ptr<CObjDataBase>> TakeSegmentsA();
    std::vector<std::unique_ptr<CObjDataBase>> TakeSegmentsB();
    // The fixed column (Column) of a visible column.
    int GetColumnOfFeature(int visibleColumn) const;

    // Checked access (invalid argument outside).
    int GetHoleCount() const { return m_pExtras ? static_cast<int>(m_pExtras->holes.size()) : 0; }
    const CChain8& GetHole(int index) const;
    int GetResultCount() const { return m_pExtras ? static_cast<int>(m_pExtras->results.size()) : 0; }
    CObject& GetResult(int index) const;
    int GetSegmentCountA() const { return m_pExtras ? static_cast<int>(m_pExtras->segmentsA.size()) : 0; }
    int GetSegmentCountB() const { return m_pExtras ? static_cast<int>(m_pExtras->segmentsB.size()) : 0; }
    CObjDataBase& GetSegmentA(int index) const;
    CObjDataBase& GetSegmentB(int index) const;

    // The convex hull's chain (MeasureFromContour), the bright pixel runs,
    // the marker points and the tail: empty until filled. The Edit
    // functions make the record's rarely used parts when it has none.
    const CChain8& GetHullChain() const;
    CChain8& EditHullChain() { return EditExtras().hullChain; }
    const CColorPositionArray& GetColorPositions() const;
    CColorPositionArray& EditColorPositions() { return EditExtras().colorPositions; }
    const CArray<POINT, POINT>& GetMarkPoints() const;
    CArray<POINT, POINT>& EditMarkPoints() { return EditExtras().markPoints; }
    const CArray<POINT, POINT>& GetHolePoints() const;
    CArray<POINT, POINT>& EditHolePoints() { return EditExtras().holePoints; }
    const CArray<POINT, POINT>& GetTipPoints() const;
    CArray<POINT, POINT>& EditTipPoints() { return EditExtras().tipPoints; }
    const sPointSet& GetTail() const;
    sPointSet& EditTail() { return EditExtras().tail; }

    CChain8 m_Chain;
    CRPolygon m_Polygon;
    CRect m_Rect;
    CPoint m_ptCentroid;
    // The small fields side by side: a run keeps thousands of records.
    short m_Index = -1;
    WORD m_nNuclei = 0;
    WORD m_nSubCount = 0;
    LONG m_lArea = 0;
    LONG m_lConvexArea = 0;
    LONG m_lHoleArea = 0;
    float m_FF = 1.0f;
    COLORREF m_MeanColor = 0;
    DWORD m_ContourColor = 0;
    double m_dHomogeneity = 1.0;
    float m_fCurvature1 = 0.0f;
    float m_fCurvature2 = 0.0f;
    int m_bTail = 0;
    int m_nMoving = 0;
    float m_fOrientation = orientationNotSet;
    int m_bTailValid = 0;
    sMinAreaRect m_MinRect;
    float m_fNC = 0.0f;
    int m_bHitBoundary = 0;
    CPoint m_ptLabel;
    double m_dInnerRadius = 0.0;

protected:
    // The element "CObjData" inside the archive's current element.
    void SerializeObjData(CArchive& ar);
    // Text and variant of a fixed column (Column).
    CString ColumnText(int fixed) const;
    COleVariant ColumnVariant(int fixed) const;
    // The number becomes the label's text; with show, a cross at the point
    // and the label beside it (left of it for a classified record).
    void DrawNumber(CDC* pDC, int number, COLORREF crossColor, CTextLabel* label, CPoint at, bool show) const;
    // Marker crosses (pen width 1, copy raster operation).
    static void DrawCrosses(CDC* pDC, const CArray<POINT, POINT>& points, COLORREF color);
    // The chains of the nuclei, for records that keep them.
    virtual void DrawNucleusChains(CDC* /*pDC*/) const {}
    virtual bool HasNuclei() const { return false; }
    // The rarely used parts: null while the record has none.
    const sObjDataExtras* GetExtras() const { return m_pExtras.get(); }
    sObjDataExtras& EditExtras();

private:
    std::unique_ptr<sObjDataExtras> m_pExtras;
};
