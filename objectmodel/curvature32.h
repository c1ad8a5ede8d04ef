#pragma once
// CCurvature32: the curvature profile of a contour. For every contour point
// a straight line is fitted through a window of neighbouring points; the
// curvature there is the change of that direction across the window, in
// degrees (positive where a clockwise contour turns right, i.e. at its
// convex corners). As a series it can be smoothed, negated and searched
// for peaks.

#include "objectmodel/dataanalysis.h"
#include "platform/core/geometry.h"

class CRPolygon;

class CCurvature32 : public CDataAnalysis
{
    DECLARE_DYNAMIC(CCurvature32)

public:
    CCurvature32() : CDataAnalysis(typeFloat) {}
    ~CCurvature32() override = default;

    // One value per contour point. The series is a ring when the polygon is
    // closed. The window shrinks by 2 while it exceeds half the contour and
    // is at least 3.
    void CalcContourCurvature(const CRPolygon& polygon, int window);
    // The same for a contour stretch: the directions are made continuous
    // across 0 degrees and smoothed over 5 values first; an open stretch
    // compares each direction with the one a window ahead (at most its
    // last), as a size. The extremes are recorded.
    void CalcContourCurvatureSegment(const CRPolygon& polygon, int window);
    // The index brought into [0, size - 1] by whole turns of the series.
    int WrapIndex(int i) const;

    // A curvature profile answers a position with its value there (the
    // nearest sample, at most the last).
    double SnapX(double x) const override;

    // Filled by CalcContourCurvatureSegment.
    CPoint m_ptMax;
    double m_dMax = 90.0;
    CPoint m_ptMin;
    double m_dMin = 0.0;
    float m_fMaxDirectionBefore = 0.0f; // direction at the window ends around the largest value
    float m_fMaxDirectionAfter = 0.0f;
    CPoint m_ptMaxBefore;
    CPoint m_ptMaxAfter;

private:
    // Fills the series with the contour's directions (degrees); returns
    // half the window actually used, which is stored in window.
    int BuildDirections(const CRPolygon& polygon, int& window);
};
