#pragma once
// CFit: straight-line fit y = a + b*x through a short window of contour
// points when both coordinates carry errors. The curvature profile slides
// the window along a contour (PushPoint) and asks for the local direction.

#include "platform/core/object.h"

#include <vector>

class CFit : public CObject
{
    DECLARE_DYNAMIC(CFit)
public:
    // A slope that stands for a vertical line.
    static constexpr double kVerticalSlope = 1e30;

    CFit() = default;

    // Number of points in use; the arrays are reallocated (and cleared) only
    // when n exceeds the capacity. A negative n is an invalid argument.
    void SetSize(int n);
    int GetSize() const { return m_nPoints; }

    // Point i with its standard errors. Invalid argument for an index outside
    // the points or an error that is not finite.
    void SetPoint(int i, int x, int y, float xError, float yError);
    // Drops the first point, moves the others down and stores this one last.
    void PushPoint(int x, int y, float xError, float yError);

    // Fits the points; false (and nothing changed) with fewer than 3 points.
    // Numerical troubles are reported in a message box and the best value at
    // hand is kept.
    bool FitLine(double& errorA, double& errorB, double& chi2);

    double GetA() const { return m_dA; }
    double GetB() const { return m_dB; }
    // Goodness of fit: probability that chi2 exceeds the value found by chance.
    double GetQ() const { return m_dQ; }
    bool IsFitValid() const { return m_bFitValid != 0; }

    // Direction of the point sequence in radians, from the last fit's slope
    // and the way the points run.
    double GetDirection() const;

private:
    // The line in the working frame; see fit.cpp.
    double ChiXY(double angle);
    void FitWorkingLine(double& slope) const;
    void FitDegenerate(double varX, double varY);

    int m_nPoints = 0;
    int m_nCapacity = 0;
    double m_dWorkIntercept = 0.0; // intercept of the last ChiXY evaluation
    double m_dOffset = 0.0;        // subtracted from chi2 while the errors are searched
    std::vector<float> m_x, m_y, m_xError, m_yError;
    std::vector<float> m_workX, m_workY, m_workXError, m_workYError, m_workWeight;
    double m_dMeanX = 0.0;
    double m_dMeanY = 0.0;
    double m_dVarX = 0.0;
    double m_dVarY = 0.0;
    double m_dA = 0.0;
    double m_dB = 0.0;
    double m_dQ = 0.0;
    int m_bFitValid = 0;
};
