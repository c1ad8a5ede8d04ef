#pragma once
// CEllipse: an ellipse with semi-axes a (along x) and b (along y) before a
// rotation phi about its centre. Fitted to contour points by minimising the
// squared radial distances with the decreasing-gradient optimiser, drawn
// through a CDC with optional grab handles, and asked geometric questions.

#include "geometry/decgradopt.h"
#include "geometry/line.h"
#include "geometry/point.h"

#include "platform/core/geometry.h"
#include "platform/core/object.h"

#include <memory>

class CDC;

class CEllipse : public CObject
{
    DECLARE_DYNAMIC(CEllipse)

public:
    // Handles of the interactive editing, as GetPointPos answers them.
    enum Handle { noHandle = 0, centerHandle = 1, topHandle = 2, bottomHandle = 3, leftHandle = 4, rightHandle = 5 };
    static constexpr int maxSegments = 360;

    CEllipse();
    CEllipse(double a, double b, const point& center, double rotation);
    CEllipse(int left, int top, int right, int bottom, WORD grabSize);
    // Copies take the shape and the editing state, not the optimiser's
    // settings.
    CEllipse(const CEllipse& other);
    CEllipse& operator=(const CEllipse& other);
    ~CEllipse() override;

    double GetXAxis() const { return m_dXAxis; }
    double GetYAxis() const { return m_dYAxis; }
    double GetRotation() const { return m_dRotation; }
    double GetRadius() const { return (m_dXAxis + m_dYAxis) * 0.5; }
    double GetAxisRelation() const { return m_dXAxis / m_dYAxis; }
    int IsCircleForced() const { return m_bForceCircle; }
    point* GetCenter() { return &m_center; }
    const point* GetCenter() const { return &m_center; }
    CDecGradOpt* GetpDGO() { return m_pDGO.get(); }

    void SetXAxis(double a);
    void SetYAxis(double b);
    void SetRotation(double rotation) { m_dRotation = rotation; }
    void SetAxisRelation(double relation) { m_dAxisRelation = relation; }
    void SetCenterX(double x) { m_center.setx(x); }
    void SetCenterY(double y) { m_center.sety(y); }
    void SetCenter(double x, double y);
    void SetCenter(const point* center);
    void SetForceRel(int force) { m_bForceCircle = force; }
    int SwitchForceCircle();
    void SetGrabSize(WORD grabSize) { m_nGrabSize = grabSize; }
    void SetDimension(const CRect* rect);
    void SetDimension(int left, int top, int right, int bottom);
    void ValFromRect(int left, int top, int right, int bottom);
    CRect ValToRect() const;

    // The point at parameter t (radians), or at t in whole degrees.
    point GetPointOnEllipse(double t) const;
    point GetPointOnEllipse(int degrees) const;
    // toCenter 1 takes the point relative to the centre, 0 back.
    void SwitchCoOrg(point* p, int toCenter) const;
    // About the centre by phi, or by -phi when inverse is 1.
    void Rotate(point* p, int inverse) const;
    void Rotate(CPoint* p, int inverse) const;
    void Rotate(CRect* rect, int inverse) const;
    // The polar angle of a point about the centre, and its distance.
    double GetRelPolPos(const point* p, double* radius = nullptr) const;
    // The ellipse point in the direction theta from the centre, in the
    // unrotated frame.
    point GetPolarPoint(double theta) const;
    int QCheck(const point* p) const;
    // Distance to the ellipse along the ray from the centre; negative
    // inside.
    double WhereIsPoint(const point* p) const;
    BOOL IsPointInEllipse(const CPoint* p) const;

    double CalcChiForFit(const point* points, int n) const;

    // Crossings of the infinite line with the ellipse (2, 1 tangent, 0);
    // 0 too when none lies ahead of the line's start. The first point is
    // the nearest crossing ahead.
    int InterSectionWLine(Line* line, point* p1, point* p2, double* d1 = nullptr, double* d2 = nullptr) const;
    // Largest y, smallest y, smallest x, largest x; 0 for a flat ellipse.
    int GetBoundingPositions(point* bottom, point* top, point* left, point* right) const;
    // The x range at height y: 2 inside, 1 at the top or bottom, 0 outside.
    int GetXVal(double y, double* x1, double* x2) const;

    void Draw(CDC* pDC, COLORREF color, int width, int segments, int crossSize, double scale = 1.0);
    void DrawNotMM_TEXT(CDC* pDC, COLORREF color, int width, int segments, int crossSize);
    // The drawing scale of a mapping with these extents; FALSE, and nothing
    // drawn, when an extent is zero.
    static BOOL ScaleFromExtents(const CSize& viewport, const CSize& window, double* sx, double* sy);
    void CalcRects();
    int GetPointPos(const CPoint* p);
    CPoint GetPos(int handle);
    void SetNewVal(const CPoint* p, int handle);

    // Fits to n points; with more than 12, a fit of six of them starts the
    // fit of all. Answers the final chi; the last two arguments are unused.
    double FitEll(const point* points, int n, double, double);
    virtual double Fit(const point* points, int n);
    void InitDGO();
    // Reads an optimiser parameter file over the current settings; -1
    // without an optimiser.
    int DGOParamFile(const char* fileName);

    // The six points that start the fit of n > 12 points.
    static void PreFitIndices(int n, int indices[6]);

private:
    struct CShape
    {
        double a;
        double b;
        double rotation;
        point center;
    };
    CShape SaveShape() const;
    void RestoreShape(const CShape& shape);
    // Draws with coordinates scaled by sx and sy.
    void DrawScaled(CDC* pDC, COLORREF color, int width, int segments, int crossSize, double sx, double sy,
                    bool handles);
    bool ShapeFinite() const;
    static double FitChi(double* parameters, int n, void* context);

    double m_dXAxis = 50.0;
    double m_dYAxis = 50.0;
    double m_dRotation = 0.0;
    point m_center{50.0, 50.0};
    int m_bForceCircle = 0;
    double m_dAxisRelation = 1.0;
    std::unique_ptr<CDecGradOpt> m_pDGO;
    CRect m_rTop;
    CRect m_rBottom;
    CRect m_rLeft;
    CRect m_rRight;
    CRect m_rCenter;
    WORD m_nGrabSize = 0;
};
