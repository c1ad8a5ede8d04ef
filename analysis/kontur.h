#pragma once
// CKontur: a traced contour: its points, its measures and what the trace
// found on the way (mean colour, border contact, marked pixels). The
// 8-neighbour tracer CKontur8 fills it.

#include "analysis/segobj.h"
#include "objectmodel/rpolygon.h"

class CChain8;

namespace kestrun {
class CMarkMask;
}

// The contour measures.
struct CKonturParam
{
    int m_nPerimeter = 0; // in steps, diagonal steps counted 1.4142, rounded
    int m_nArea = 0;      // enclosed area in steps squared; negative for a hole
    int m_nCenterX = 0;   // centroid in pixels
    int m_nCenterY = 0;
    double m_dReserved = 0.0;
};

class CKontur : public CSegObj, public CKonturParam
{
    DECLARE_DYNAMIC(CKontur)

public:
    enum BorderState
    {
        borderUnknown = 0,
        borderTouches = 1,
        borderFree = 2,
    };

    // The test selector's plain threshold test; any other value lets the
    // trace walk over marked pixels too.
    static constexpr int testThresholdOnly = 1;

    CKontur() = default;
    CKontur(const CKontur& other) = default;
    CKontur& operator=(const CKontur& other) = default;
    ~CKontur() override = default;

    // "Index", "PosX", "PosY", "ChainCode".
    virtual void GetPointColumnTitles(CStringArray& titles) const;
    virtual CChain8& GetChain() = 0;
    virtual const CChain8& GetChain() const = 0;
    // Number of chain steps.
    virtual int GetChainLength() const { return m_nLastIndex; }
    // Capacity of the point store and the chain.
    virtual void Size(int capacity, int growBy) = 0;
    // The area in calibrated units: area x step width^2 x factor^2 of the
    // system calibration.
    virtual double GetArea() const;
    // The trace's own tests of a colour: object colour, or also the mark
    // colour unless the test selector asks for the plain threshold test.
    // With a mark mask bound no colour is a mark: object colour only.
    virtual BOOL IsTraceGrey(BYTE grey) const;
    virtual BOOL IsTraceColor(COLORREF color) const;
    virtual void CalcChainMeasures() = 0;
    virtual void MarkCross(int x, int y) = 0;
    virtual void Trace(int x, int y, BOOL paint, int maxPoints) = 0;
    virtual void TraceGrey(int x, int y, BOOL paint, int maxPoints) = 0;
    virtual void SetFromPoints(const CRPointArray& /*points*/) {}
    virtual void AppendLine(int x1, int y1, int x2, int y2) = 0;

    const CRPolygon& GetPoints() const { return m_Points; }
    int GetLastIndex() const { return m_nLastIndex; }
    BOOL IsClosed() const { return m_bClosed; }
    const CBoundingRect& GetBoundingRect() const { return m_Points.GetBoundingRect(); }
    COLORREF GetMeanColor() const { return m_MeanColor; }
    CPoint GetCentroid() const { return m_ptCentroid; }

    CRPolygon m_Points;
    CPoint m_ptCentroid;
    COLORREF m_CurrentColor = 0; // colour of the last pixel read
    COLORREF m_MeanColor = 0;    // mean of the accepted, unmarked contour pixels
    int m_nKind = 0;
    BOOL m_bClosed = FALSE;      // the contour returned to its start
    int m_nBorderState = borderUnknown;
    int m_nStepWidth = 1;        // pixels per step
    int m_nLastIndex = 0;        // index of the last point: the number of chain steps
    int m_nMarkedPixels = 0;     // contour pixels that were marked already
    int m_nOverflowCount = 0;    // traces stopped as going round without their start
    int m_nTestSelector = 0;
    int m_nReserved1 = 0;
    int m_nReserved2 = 0;
    // Where the marks of an object search go instead of the page; not
    // owned. Null: marks are the threshold's mark colour in the page.
    kestrun::CMarkMask* m_pMarkMask = nullptr;
};
