#pragma once
// Results of a scan-ray measurement: the rays' edge points around a centre,
// the longest ray with the two diameters through the object, and (in
// CScanRayResult3) the two sides of an outline traced along the object.
// Results draw themselves over the image in device pixels, so their
// markers keep their size at any zoom.

#include "objectmodel/minarearect.h"
#include "objectmodel/pointset.h"
#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

class CDC;

class CResult : public CObject
{
    DECLARE_DYNAMIC(CResult)

public:
    ~CResult() override = default;

    virtual void Draw(CDC* pDC);
    // Distance of every edge point from the centre; radii must hold at
    // least one value per point.
    virtual void GetRadii(CArray<double, double>& radii) const = 0;

    WORD m_wReserved = 0;

protected:
    CResult() = default;
};

class CScanRayResult1 : public CResult
{
    DECLARE_DYNAMIC(CScanRayResult1)

public:
    // Per ray, the nearer of the two candidate hits stays in the first list
    // (the second list counts only when it has one hit per ray); the ray of
    // the farthest hit, the first of equal ones, becomes the ray index and
    // gives the long diameter (to the opposite ray) and the cross diameter
    // (rays a quarter and three quarters round). Nothing for no rays; the
    // index stays -1 when every hit lies on the centre.
    void KeepNearerHits();
    // 0: the hit of the longest ray; 1: the hit half-way round the rays;
    // any other value (0, 0). An index outside the hits is an invalid
    // argument; with no hits, which = 1 gives (0, 0).
    CPoint GetDiameterEnd(int which) const;

    int m_nCenterX = 0;
    int m_nCenterY = 0;
    CArray<POINT, const POINT&> m_arrHits1;
    CArray<POINT, const POINT&> m_arrHits2;
    int m_nRayIndex = -1;
    int m_nRayIndex2 = -1;
    // Long diameter (points 0, 1) and cross diameter (points 2, 3).
    POINT m_ptDiameter[4] = {};

protected:
    CScanRayResult1() = default;

    void FillRadii(CArray<double, double>& radii) const;
};

class CScanRayResult3 : public CScanRayResult1
{
    DECLARE_DYNCREATE(CScanRayResult3)

public:
    CScanRayResult3() = default;

    // Blue polylines through the two sides with a red cross at each point,
    // and a white cross at the centre; nothing while no ray was chosen.
    void Draw(CDC* pDC) override;
    void GetRadii(CArray<double, double>& radii) const override;

    // Around the points of both sides (bounds inclusive); empty when both
    // are empty.
    CRect GetBoundingRect() const;
    // Both sides' polyline lengths, joined at their first points.
    double GetOutlineLength() const;

    CArray<POINT, const POINT&> m_arrLeft;
    CArray<POINT, const POINT&> m_arrRight;
};

class CScanRayResult2 : public CScanRayResult1
{
    DECLARE_DYNCREATE(CScanRayResult2)

public:
    CScanRayResult2() = default;

    // Red crosses on the first list, blue ones on the second; in blue the
    // quadrilateral and the rays from the centre; the long diameter green,
    // the cross diameter red; the path in cyan with red crosses. Nothing
    // while the first list is empty.
    void Draw(CDC* pDC) override;
    void GetRadii(CArray<double, double>& radii) const override;

    // The path measured along the object (the thin part's walk), its
    // length in m_fValue1.
    sPointSet m_Path;
    // Not read by the drawing: the measuring angle, the measured ray and
    // the state of the measurement.
    double m_dValue = 0.0;
    int m_nIndex = -1;
    int m_nState = 0;
    sMinAreaRect m_Quadrilateral;
};
