#pragma once
// The smaller result records beside the object record: a piece of a
// contour between two break points, a curvature profile, a defect point
// and a file's frequency. Each is one table row with columns of its own.

#include "analysis/objdatabase.h"
#include "objectmodel/chain8.h"
#include "objectmodel/dataanalysis.h"
#include "objectmodel/minarearect.h"
#include "objectmodel/rpolygon.h"

#include <utility>

class CSegThres;
class Device;

// (px, py) turned about (cx, cy) by angle radians in a frame whose y axis
// points up.
CPoint RotatePoint(int cx, int cy, int px, int py, double angle);

// Whole degrees of an angle in radians, as the columns show them.
int WholeDegrees(double radians);

class CKonturSegment : public CObjDataBase
{
    DECLARE_SERIAL(CKonturSegment)

public:
    static constexpr WORD kind = 12;
    enum SegmentType { straight = 0, convex = 1 }; // anything else is concave

    CKonturSegment();
    ~CKonturSegment() override = default;

    // Base element, then type, angles and the contour points.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    // Calibrated.
    double GetLength() const override;
    // Colours 0 straight, 1 convex, 2 concave and peaks; fewer than three
    // is an invalid argument.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;

    // (0, 0) beyond the point list's end.
    CPoint GetPoint(int index) const;
    // Whether other's angles lie in this segment's angle range.
    int IsInAngleRange(const CKonturSegment& other) const;
    // Whether the reference points lie closer than distance.
    int IsNear(const CKonturSegment& other, double distance) const;
    // The largest circle inside the object next to the segment, grown from
    // a seed 4 pixels from the reference point (or from the peak point)
    // towards the object; its centre is kept, its radius stays 4. A segment
    // without a reference point gets no circle. Pixels outside imageRect
    // are not read.
    void FindInnerCircle(const Device& image, const CSegThres& threshold, const CRect& imageRect);
    bool HasInnerCircle() const { return m_nInnerRadius > 0; }

    int m_nType = straight;
    CRPolygon m_Contour;
    CDataAnalysis m_Curvature;
    int m_nLength = 0;
    double m_dStartAngle = 0.0;
    double m_dEndAngle = 0.0;
    double m_dMeanCurvature = 0.0;
    double m_dOpenAngle = 0.0;
    double m_dChordAngle = 0.0;
    CPoint m_ptRef{0, 0};
    int m_nChordLength = 0;
    double m_dRoughness = 0.0;
    int m_nMaxPos = -1;
    CArray<std::pair<int, int>> m_arrIndexPairs;
    CArray<POINT, POINT> m_arrPoints;
    sMinAreaRect m_MinRect;
    CArray<POINT, POINT> m_arrPixels;
    // Not archived: the segmentation sets them for the ellipse steps.
    bool m_bWholeContour = false;
    double m_dDirectionAngle = 0.0;     // reference point towards the segment, radians, y up
    double m_dPeakDirectionAngle = 0.0; // peak point towards the reference point
    int m_nInnerRadius = 0;
    CPoint m_ptInnerCenter{0, 0};
};

class CCurvatureObj : public CObjDataBase
{
    DECLARE_SERIAL(CCurvatureObj)

public:
    static constexpr WORD kind = 14;

    CCurvatureObj();
    ~CCurvatureObj() override = default;

    // The base element only.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    double GetLength() const override { return m_nLength; }
    float GetCurvature() const override { return m_fCurvature; }
    // Colours: 1 end points, 2 the top point; fewer than three is an
    // invalid argument.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;

    void Copy(const CCurvatureObj& other);
    // The end point with the smallest y (the larger x on a tie); (0, 0)
    // without end points.
    CPoint GetTopPoint() const;

    CChain8 m_Chain;
    CArray<POINT, POINT> m_arrEnds;
    float m_fCurvature = 0.0f;
    CPoint m_ptRef{0, 0};
    double m_dAngle = 90.0;
    // Degrees, at the first and the last end.
    double m_dEndAngles[2] = {0.0, 0.0};
    int m_nLength = 0;
};

class CDefect : public CObjDataBase
{
    DECLARE_SERIAL(CDefect)

public:
    static constexpr WORD kind = 6;

    CDefect();
    ~CDefect() override = default;

    // A defect keeps nothing in files.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    // The table writes the cells itself.
    CString GetColumnValues(int) override { return {}; }

    // The defect's cross and number in colour 0.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;

    void SetDefect(int x, int y, double intensity);
    // A cross at the position and the number 5 pixels right of it.
    void DrawDefect(CDC* pDC, int number, COLORREF color, CTextLabel* label) const;

    CPoint m_ptPos{0, 0};
    double m_dIntensity = 0.0;
};

class CFrequencyData : public CObjDataBase
{
    DECLARE_SERIAL(CFrequencyData)

public:
    static constexpr WORD kind = 10;

    CFrequencyData();
    CFrequencyData(const CString& fileName, double frequency);
    ~CFrequencyData() override = default;

    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int) override { return {}; }

    CString m_strFileName;
    double m_dFrequency = 0.0;
};

namespace kestrun {
// Opens the record's element, stores the base element in it and leaves
// the element current for the record's items; false when loading finds
// no such element (nothing is open then).
bool BeginRecordElement(CArchive& ar, const char* name);
void EndRecordElement(CArchive& ar);
} // namespace kestrun
