// CBarChart: bars of given counts, one per label (the statistics dialog's
// classes).

#include "series/barchart.h"

#include "platform/core/dc.h"
#include "platform/core/gdi.h"

#include <algorithm>

BOOL CBarChart::DrawLabelledTo(CDC* pDC, const CRect& rect)
{
    const int bars = static_cast<int>(m_Labelled.size());
    int most = 1;
    for (const CLabelledCount& bar : m_Labelled)
        most = std::max(most, bar.first);
    m_XAxis.SetRange(0.0, bars);
    m_LeftAxis.SetRange(0.0, most);
    // The bars' labels take the place of the x axis' numbers.
    const int labelHeight = pDC->GetTextExtent("Xg").cy;
    CRect chart = rect;
    chart.bottom -= labelHeight + 4;
    const BOOL showLabels = m_XAxis.m_bShowLabels;
    m_XAxis.m_bShowLabels = FALSE;
    const BOOL laidOut = Layout(pDC, chart);
    if (laidOut) {
        Draw(pDC);
        if (!m_strTitle.IsEmpty()) {
            m_rectTitle = CRect(m_rectPlot.left, m_rectChart.top, m_rectPlot.right, m_rectPlot.top);
            DrawTitle(pDC, m_strTitle);
        }
    }
    m_XAxis.m_bShowLabels = showLabels;
    if (!laidOut)
        return FALSE;

    const COLORREF colour = m_Sets.empty() ? RGB(0, 0, 128) : m_Sets.front().colour;
    const int baseY = m_LeftAxis.PointAt(m_LeftAxis.ValueToPixel(0.0)).y;
    const UINT oldAlign = pDC->SetTextAlign(TA_CENTER | TA_TOP);
    for (int i = 0; i < bars; ++i) {
        const int left = m_XAxis.PointAt(m_XAxis.ValueToPixel(i + 0.15)).x;
        const int right = m_XAxis.PointAt(m_XAxis.ValueToPixel(i + 0.85)).x;
        const int count = std::max(m_Labelled[static_cast<size_t>(i)].first, 0);
        if (count > 0) {
            const int top = m_LeftAxis.PointAt(m_LeftAxis.ValueToPixel(count)).y;
            pDC->FillSolidRect(CRect(left, top, std::max(right, left + 1), baseY), colour);
        }
        pDC->TextOut((left + right) / 2, m_rectPlot.bottom + 2, m_Labelled[static_cast<size_t>(i)].second);
    }
    pDC->SetTextAlign(oldAlign);
    return TRUE;
}
