#include "series/barchart.h"

#include "series/chartrange.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

CBarChart::CBarChart()
{
    m_XAxis.m_nLabelMode = CAxis::labelReal;
    m_LeftAxis.SetStyle(CAxisBase::kReversed, CAxisBase::kOrientationMask);
    m_LeftAxis.m_nLabelMode = CAxis::labelInteger;
}

void CBarChart::SetBarCount(double count)
{
    if (!(count >= 1.0))
        m_nBars = kDefaultBars;
    else
        m_nBars = static_cast<int>(std::min(count, static_cast<double>(kMaxBars)));
}

const CBarChart::CValueSet& CBarChart::Set(int set) const
{
    if (set < 0 || set >= GetSetCount())
        AfxThrowInvalidArgException();
    return m_Sets[static_cast<size_t>(set)];
}

int CBarChart::SetValues(std::span<const double> values, int set)
{
    if (set < 0 || set > GetSetCount())
        AfxThrowInvalidArgException();
    if (set == GetSetCount())
        m_Sets.emplace_back();
    std::vector<double>& kept = m_Sets[static_cast<size_t>(set)].values;
    kept.clear();
    std::copy_if(values.begin(), values.end(), std::back_inserter(kept), [](double v) { return std::isfinite(v); });
    return static_cast<int>(kept.size());
}

void CBarChart::SetSetColour(int set, COLORREF colour)
{
    Set(set);
    m_Sets[static_cast<size_t>(set)].colour = colour;
}

BOOL CBarChart::GetBarRange(double& dLow, double& dHigh) const
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const CValueSet& set : m_Sets) {
        for (const double v : set.values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high)
        return FALSE;
    kestrun::WidenToUnitSpan(low, high);
    dLow = low;
    dHigh = high;
    return TRUE;
}

std::vector<int> CBarChart::GetBarCounts(int set) const
{
    const CValueSet& values = Set(set);
    std::vector<int> counts(static_cast<size_t>(m_nBars), 0);
    double low = 0.0;
    double high = 0.0;
    if (!GetBarRange(low, high))
        return counts;
    const double width = (high - low) / m_nBars;
    for (const double v : values.values) {
        const int bar = static_cast<int>(std::floor((v - low) / width));
        ++counts[static_cast<size_t>(std::clamp(bar, 0, m_nBars - 1))];
    }
    return counts;
}

BOOL CBarChart::DrawTo(CDC* pDC, const CRect& rect)
{
    if (!m_Labelled.empty())
        return DrawLabelledTo(pDC, rect);
    double low = 0.0;
    double high = 1.0;
    GetBarRange(low, high);
    std::vector<std::vector<int>> counts;
    int most = 0;
    for (int i = 0; i < GetSetCount(); ++i) {
        counts.push_back(GetBarCounts(i));
        most = std::max(most, *std::max_element(counts.back().begin(), counts.back().end()));
    }
    m_XAxis.SetRange(low, high);
    m_LeftAxis.SetRange(0.0, std::max(most, 1));
    if (!Layout(pDC, rect))
        return FALSE;
    Draw(pDC);
    if (!m_strTitle.IsEmpty()) {
        m_rectTitle = CRect(m_rectPlot.left, m_rectChart.top, m_rectPlot.right, m_rectPlot.top);
        DrawTitle(pDC, m_strTitle);
    }
    DrawBars(pDC, low, high, counts);
    return TRUE;
}

void CBarChart::DrawBars(CDC* pDC, double low, double high, const std::vector<std::vector<int>>& counts) const
{
    const double width = (high - low) / m_nBars;
    const int sets = GetSetCount();
    const int baseY = m_LeftAxis.PointAt(m_LeftAxis.ValueToPixel(0.0)).y;
    for (int bar = 0; bar < m_nBars; ++bar) {
        const int left = m_XAxis.PointAt(m_XAxis.ValueToPixel(low + bar * width)).x;
        const int right = m_XAxis.PointAt(m_XAxis.ValueToPixel(low + (bar + 1) * width)).x;
        for (int s = 0; s < sets; ++s) {
            const int count = counts[static_cast<size_t>(s)][static_cast<size_t>(bar)];
            if (count == 0)
                continue;
            // Side by side inside the bar, one part per set.
            const int from = left + (right - left) * s / sets;
            const int to = left + (right - left) * (s + 1) / sets;
            const int top = m_LeftAxis.PointAt(m_LeftAxis.ValueToPixel(count)).y;
            const CRect fill(from, top, std::max(to, from + 1), baseY);
            pDC->FillSolidRect(&fill, m_Sets[static_cast<size_t>(s)].colour);
        }
    }
}
