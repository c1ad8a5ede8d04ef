#pragma once
// CRegression: straight line through (x, y) pairs from running sums. It
// regresses y on x, or x on y when the points spread more in y, so that
// steep lines keep a sensible slope.

#include "platform/core/object.h"

class CRegression : public CObject
{
    DECLARE_DYNAMIC(CRegression)
public:
    CRegression() = default;

    // Count, sums, slope, intercept and the vertical flag to 0; the x and y
    // ranges stay until the next first point.
    void Reset();
    void AddPoint(double x, double y);
    // The add step under the name the series filters use.
    void Add(double x, double y) { AddPoint(x, y); }

    // True when slope and intercept hold a line. A vertical line (all x
    // equal) is a line: the vertical flag is set, the slope is DBL_MAX and
    // the intercept 0. False, with slope, scaled slope and intercept 0, when
    // there is no point or no correlation to steer a steep fit.
    bool Calculate();

    int GetCount() const { return m_nCount; }
    double GetSlope() const { return m_dSlope; }
    // The slope in units of the ranges: slope * x range / y range.
    double GetScaledSlope() const { return m_dScaledSlope; }
    double GetIntercept() const { return m_dIntercept; }
    bool IsVertical() const { return m_bVertical != 0; }
    double GetMinX() const { return m_dMinX; }
    double GetMaxX() const { return m_dMaxX; }
    double GetMinY() const { return m_dMinY; }
    double GetMaxY() const { return m_dMaxY; }

private:
    void ClearResult();

    int m_nCount = 0;
    double m_dSumX = 0.0;
    double m_dSumY = 0.0;
    double m_dSumXX = 0.0;
    double m_dSumYY = 0.0;
    double m_dSumXY = 0.0;
    double m_dSlope = 0.0;
    double m_dScaledSlope = 0.0;
    double m_dIntercept = 0.0;
    double m_dMinX = 0.0;
    double m_dMaxX = 0.0;
    double m_dMinY = 0.0;
    double m_dMaxY = 0.0;
    int m_bVertical = 0;
};
