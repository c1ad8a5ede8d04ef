#pragma once
// CProfilePeakFinder: reads an image along a point list (a ring around an
// object, say) and finds the strongest narrow peak of that profile.

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

class CAOI;
class Device;

class CProfilePeakFinder
{
public:
    // Limits of the peak search.
    void SetPeakRange(double minimum, double maximum)
    {
        m_dMinPeak = minimum;
        m_dMaxPeak = maximum;
    }

    // The profile is the green byte of each point (the grey value of an
    // 8-bit page), or 255 minus it unless bright is 1; points outside the
    // area continue the value before them. Among the peaks narrower than
    // 10 samples the highest gives best value, point and width; the points
    // of all those narrow peaks are collected. Nothing is found when no
    // point lies inside the area.
    void FindPeak(const Device& image, const CArray<POINT, const POINT&>& points, const CAOI& aoi, int bright);

    double GetBestValue() const { return m_dBestValue; }
    CPoint GetBestPoint() const { return CPoint(m_nBestX, m_nBestY); }
    int GetPeakWidth() const { return m_nPeakWidth; }
    const CArray<POINT, const POINT&>& GetPoints() const { return m_Points; }
    double GetMinPeak() const { return m_dMinPeak; }
    double GetMaxPeak() const { return m_dMaxPeak; }

    static constexpr int maxPeakWidth = 10;

private:
    void Clear();

    double m_dBestValue = 0.0;
    int m_nBestX = 0;
    int m_nBestY = 0;
    int m_nPeakWidth = 0;
    CArray<POINT, const POINT&> m_Points;
    double m_dMinPeak = 50.0;
    double m_dMaxPeak = 255.0;
};
