#pragma once
// CObjDataBase: the common base of every measured-object record (objects,
// skeletons, contour segments, ellipses, area statistics, ...). It adds no
// data to CBaseObj, only the measures and drawing that lists of mixed
// records ask of each entry; a record answers what it measures and leaves
// the neutral value for the rest.

#include "objectmodel/baseobj.h"
#include "platform/core/geometry.h"

#include <span>

class CDC;
class CTextLabel;

class CObjDataBase : public CBaseObj
{
    DECLARE_SERIAL(CObjDataBase)

public:
    CObjDataBase() = default;
    CObjDataBase(const CObjDataBase&) = default;
    CObjDataBase& operator=(const CObjDataBase&) = default;
    ~CObjDataBase() override = default;

    // Areas and lengths in calibrated units.
    virtual double GetArea() const { return 0.0; }
    virtual double GetFormFactor() const { return 1.0; }
    virtual double GetLength() const { return 0.0; }
    virtual double GetWidth() const { return 0.0; }
    virtual double GetRoundness() const { return 0.0; }
    virtual COLORREF GetMeanColor() const { return 0; }
    virtual double GetHomogeneity() const { return 1.0; }
    virtual double GetConvexity() const { return 1.0; }
    virtual double GetTailLength() const { return 0.0; }
    virtual double GetTailAngle() const { return 0.0; }
    virtual int GetTipCount() const { return 0; }
    virtual int GetNodeCount() const { return 0; }

    // A cross and the outline.
    virtual void DrawMarker(CDC* /*pDC*/, COLORREF /*crossColor*/, COLORREF /*contourColor*/) {}
    // The record with its number; colours and flags as the record defines
    // them (objects: 0 contour, 1 holes and rectangles, 2 marks).
    virtual void Draw(CDC* /*pDC*/, int /*number*/, std::span<const COLORREF> /*colors*/, CTextLabel* /*label*/,
                      DWORD /*flags*/)
    {
    }

    virtual float GetCurvature() const { return 0.0f; }
    virtual int GetTailFlag() const { return 0; }
    virtual CPoint GetCentroid() const { return CPoint(0, 0); }
    virtual int GetHitBoundary() const { return 0; }
    virtual short GetIndex() const { return -1; }
};
