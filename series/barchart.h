#pragma once
// CBarChart: the histogram control. Values are counted into equal bars
// from their minimum to their maximum (the maximum falls in the last bar)
// and drawn through CDC over the chart's axes: x the values, y the counts.
// Several value sets (the colour channels of an image) share the bars and
// stand side by side in each. Values that are no number are not counted.

#include "series/chart.h"

#include <span>
#include <utility>
#include <vector>

class CBarChart : public CChart
{
public:
    static constexpr int kDefaultBars = 20;
    static constexpr int kMaxBars = 32767;

    CBarChart();

    // Property 10.
    void SetTitle(const CString& title) { m_strTitle = title; }
    const CString& GetTitle() const { return m_strTitle; }
    // Property 16: a count <= 0 (or no number) uses 20; at most 32767.
    void SetBarCount(double count);
    int GetBarCount() const { return m_nBars; }
    // Method 21: the values of set n; n may be the next new set, any
    // other index is an invalid argument. Answers the values counted.
    int SetValues(std::span<const double> values, int set);
    void SetSetColour(int set, COLORREF colour);
    int GetSetCount() const { return static_cast<int>(m_Sets.size()); }
    void Clear() { m_Sets.clear(); }

    // The bars' value range over all sets; a range of one value gets a
    // unit span around it. FALSE without values.
    BOOL GetBarRange(double& dLow, double& dHigh) const;
    // Counts of set n, one per bar.
    std::vector<int> GetBarCounts(int set) const;

    // Method 22: lays the chart out in rect and draws axes and bars;
    // FALSE when the rectangle leaves no plot.
    BOOL DrawTo(CDC* pDC, const CRect& rect);

    // One bar per entry, its height the count (a negative count as 0), its
    // label centred under it; drawn instead of the value sets while set.
    using CLabelledCount = std::pair<int, CString>;
    void SetLabelledCounts(std::vector<CLabelledCount> bars) { m_Labelled = std::move(bars); }
    const std::vector<CLabelledCount>& GetLabelledCounts() const { return m_Labelled; }

private:
    // barchartlabels.cpp
    BOOL DrawLabelledTo(CDC* pDC, const CRect& rect);

    struct CValueSet
    {
        std::vector<double> values;
        COLORREF colour = RGB(0, 0, 128);
    };

    const CValueSet& Set(int set) const;
    void DrawBars(CDC* pDC, double low, double high, const std::vector<std::vector<int>>& counts) const;

    CString m_strTitle;
    int m_nBars = kDefaultBars;
    std::vector<CValueSet> m_Sets;
    std::vector<CLabelledCount> m_Labelled;
};
