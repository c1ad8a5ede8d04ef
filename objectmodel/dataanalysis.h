#pragma once
// CDataAnalysis: a data series that finds peaks in itself - local maxima
// with their bases, or runs above a trailing moving-average baseline - and
// turns the peaks of a grey-value profile's slope into weighted edges for
// the scan-ray measurement. Stored exactly as a plain series (class name
// "CDataAnalysis"); peaks and baseline live in memory only.

#include "objectmodel/dataarray.h"

// One peak of a search: its index, the indices of its left and right base
// and its height (or its excess over the baseline).
struct sPeak
{
    int m_nIndex = 0;
    int m_nLeft = 0;
    int m_nRight = 0;
    double m_dValue = 0.0;
};

// One edge along a scan ray. The edge search fills index, extreme index,
// peak height, grey value, strength and cumulative count; the scan-ray
// measurement fills the point and the angle.
struct sEdgePos
{
    int m_nIndex = -1;       // index in the profile, later the distance from the centre
    int m_nExtremeIndex = 0; // the extreme that follows the edge
    int m_nX = 0;            // edge point; (0, 0) means no hit
    int m_nY = 0;
    int m_nPeakHeight = 0;
    int m_nReserved1 = 0;
    int m_nReserved2 = 0;
    int m_nGrey = 0;         // profile level at the edge, interpolated a sixth of a step on
    double m_dStrength = 0.0;
    double m_dAngle = 0.0;   // direction of the ray, radians
    int m_nCumulative = 0;   // marked samples up to the edge
};

class CDataAnalysis : public CDataArray
{
    DECLARE_SERIAL(CDataAnalysis)

public:
    explicit CDataAnalysis(int valueType = typeShort);
    ~CDataAnalysis() override = default;
    CDataAnalysis(const CDataAnalysis&) = default;
    CDataAnalysis& operator=(const CDataAnalysis&) = default;

    // Local maxima strictly above threshold, each with its bases; a series
    // of fewer than 10 values finds none. TRUE when any was found.
    BOOL FindMaxima(double threshold);
    // Runs above the baseline whose largest excess is above
    // threshold / scale * 100; a run may cross the end of the series into
    // its start. TRUE when any was found.
    BOOL FindPeaksOverBaseline(double threshold, double scale);
    // Trailing moving average over min(length / 2, 200) values.
    void ComputeBaseline();
    // Largest value first.
    void SortPeaks();
    // Right base minus left base (a peak wrapping the end of a ring counts
    // across it); 0 for k outside the list.
    int GetPeakWidth(int k) const;
    int AddPeak(const sPeak& peak);
    // Edges of a grey-value profile (mode 1: dark edges). Returns the number
    // of peaks found in the slope, -1 for a profile shorter than 2.
    int FindEdges(CArray<sEdgePos>& out, int minThreshold, int mode) const;
    // The extreme (the maximum, in mode 1 the darkest value) that follows i;
    // the search gives up at the fourth value that does not reach it.
    double FindExtremeAfter(int i, int& extremeIndex, int mode) const;
    // "index<separator>value[<separator>baseline]" lines, decimal commas.
    void WriteText(const char* path, const char* separator) const override;

    // The names under which the engine calls the peak search and the width.
    BOOL SearchPeaks(double threshold, double scale) { return FindPeaksOverBaseline(threshold, scale); }
    int GetDuration(int k) const { return GetPeakWidth(k); }

    int GetPeakCount() const { return static_cast<int>(m_aPeaks.GetSize()); }
    const CArray<sPeak>& GetPeaks() const { return m_aPeaks; }
    const CArray<float, float>& GetBaseline() const { return m_aBaseline; }

protected:
    CArray<sPeak> m_aPeaks;
    CArray<float, float> m_aBaseline;
};
