#include "series/chart.h"

#include "objectmodel/dataarray.h"
#include "platform/core/dc.h"
#include "platform/core/resources.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

LOGFONT ChartFont()
{
    LOGFONT font{};
    font.lfHeight = 12;
    font.lfWidth = 6;
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = FF_SWISS;
    std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
    return font;
}

// Selects a font for a scope.
class CSelectedFont
{
public:
    CSelectedFont(CDC* pDC, const LOGFONT& font) : m_pDC(pDC)
    {
        m_font.CreateFontIndirect(&font);
        m_pOld = pDC->SelectObject(&m_font);
    }
    ~CSelectedFont() { m_pDC->SelectObject(m_pOld); }
    CSelectedFont(const CSelectedFont&) = delete;
    CSelectedFont& operator=(const CSelectedFont&) = delete;

private:
    CDC* m_pDC;
    CFont m_font;
    CFont* m_pOld;
};

// Room an axis takes beside the plot: ticks, labels and title.
int AxisDepth(CDC* pDC, const CAxis& axis, bool vertical)
{
    if (!axis.m_bShow)
        return 0;
    int depth = axis.m_sizeLabel.cy / 2 + axis.m_nLabelGap + (vertical ? axis.m_sizeLabel.cx : axis.m_sizeLabel.cy);
    const CString title = axis.GetTitleText();
    if (!title.IsEmpty() && !vertical)
        depth += pDC->GetTextExtent(title).cy + axis.m_nTitleGap;
    return depth + 4;
}

} // namespace

CChart::CChart() : m_lfTitle(ChartFont()), m_lfAxis(ChartFont()), m_lfLegend(ChartFont())
{
    m_LeftAxis.SetStyle(2);
    m_RightAxis.SetStyle(2);
    m_RightAxis.m_bRightSide = TRUE;
    m_RightAxis.m_bShow = FALSE;
    m_BinaryAxis.m_bRightSide = TRUE;
    m_BinaryAxis.m_bShow = FALSE;
}

void CChart::SetTitleFont(const LOGFONT* pFont)
{
    if (pFont)
        m_lfTitle = *pFont;
}

void CChart::DrawLegend(CDC* pDC, std::span<const CLegendEntry> entries)
{
    if (entries.size() < 2 || m_rectPlot.IsRectEmpty())
        return;
    CSelectedFont font(pDC, m_lfLegend);
    const int line = pDC->GetTextExtent("Xg").cy;
    const int stroke = 2 * line;
    int width = 0;
    for (const CLegendEntry& entry : entries)
        width = std::max(width, static_cast<int>(pDC->GetTextExtent(entry.name).cx));
    const int left = m_rectPlot.right - width - stroke - 3 * line / 2;
    int top = m_rectPlot.top + line / 2;
    const COLORREF oldColour = pDC->SetTextColor(m_crTitle);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    for (const CLegendEntry& entry : entries) {
        CPen pen(PS_SOLID, 2, entry.colour);
        CPen* oldPen = pDC->SelectObject(&pen);
        pDC->MoveTo(left, top + line / 2);
        pDC->LineTo(left + stroke, top + line / 2);
        pDC->SelectObject(oldPen);
        pDC->TextOut(left + stroke + line / 2, top, entry.name);
        top += line;
    }
    pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldColour);
}

void CChart::DrawTitle(CDC* pDC, const CString& text)
{
    CSelectedFont font(pDC, m_lfTitle);
    const COLORREF oldColour = pDC->SetTextColor(m_crTitle);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rect = m_rectTitle;
    pDC->DrawText(text, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldColour);
}

void CChart::DrawTitleById(CDC* pDC, UINT nID)
{
    if (const char* text = AfxLoadString(nID))
        DrawTitle(pDC, text);
}

std::vector<CAxisBase*> CChart::ShownAxes()
{
    std::vector<CAxisBase*> axes;
    for (CAxisBase* axis : {static_cast<CAxisBase*>(&m_XAxis), static_cast<CAxisBase*>(&m_LeftAxis),
                            static_cast<CAxisBase*>(&m_RightAxis), static_cast<CAxisBase*>(&m_BinaryAxis)})
        if (axis->m_bShow)
            axes.push_back(axis);
    return axes;
}

void CChart::LayoutAxes(CDC* pDC)
{
    const int width = m_rectPlot.Width();
    const int height = m_rectPlot.Height();
    const int textHeight = pDC->GetTextExtent("0").cy;
    for (CAxisBase* axis : ShownAxes()) {
        if (auto* numeric = dynamic_cast<CAxis*>(axis))
            numeric->SetScale(width, height);
        axis->MeasureLabels(pDC, 0.0, 0.0);
        axis->Layout(m_rectPlot.TopLeft(), width, height, axis->m_sizeLabel.cy > 0 ? axis->m_sizeLabel.cy : textHeight);
    }
}

BOOL CChart::Layout(CDC* pDC, const CRect& rect)
{
    m_rectChart = rect;
    m_rectTitle = rect;
    CSelectedFont font(pDC, m_lfAxis);
    // Labels measured at the chart's size first: their extents fix the margins.
    m_rectPlot = rect;
    for (CAxisBase* axis : ShownAxes()) {
        if (auto* numeric = dynamic_cast<CAxis*>(axis))
            numeric->SetScale(rect.Width(), rect.Height());
        axis->MeasureLabels(pDC, 0.0, 0.0);
    }
    const bool xAbove = m_XAxis.TickPlacement() == CAxisBase::kTickAbove;
    const int xDepth = AxisDepth(pDC, m_XAxis, false);
    CRect plot = rect;
    plot.left += std::max(AxisDepth(pDC, m_LeftAxis, true), m_XAxis.m_sizeLabel.cx / 2 + 4);
    plot.right -= std::max(AxisDepth(pDC, m_RightAxis, true), m_XAxis.m_sizeLabel.cx / 2 + 4);
    if (m_BinaryAxis.m_bShow)
        plot.right -= m_BinaryAxis.m_sizeLabel.cx + m_BinaryAxis.m_nLabelGap + m_BinaryAxis.m_nMajorTick + 4;
    const int valueHalf = std::max(m_LeftAxis.m_sizeLabel.cy, m_RightAxis.m_sizeLabel.cy) / 2 + 4;
    if (xAbove) {
        plot.top += std::max(xDepth, valueHalf);
        plot.bottom -= valueHalf;
    } else {
        plot.top += valueHalf;
        plot.bottom -= std::max(xDepth, valueHalf);
    }
    const int minWidth = 2 * std::max<int>(m_XAxis.m_sizeLabel.cx, 1);
    const int minHeight = 2 * std::max<int>({m_LeftAxis.m_sizeLabel.cy, m_RightAxis.m_sizeLabel.cy, 1});
    if (plot.Width() < minWidth || plot.Height() < minHeight) {
        m_rectPlot.SetRectEmpty();
        return FALSE;
    }
    m_rectPlot = plot;
    LayoutAxes(pDC);
    return TRUE;
}

BOOL CChart::DrawPlot(CDC* pDC, const CRect& rectChart, const CRect& rectPlot)
{
    m_rectChart = rectChart;
    m_rectTitle = rectChart;
    m_rectPlot = rectPlot;
    if (rectPlot.IsRectEmpty())
        return FALSE;
    for (CAxis* axis : {&m_XAxis, &m_LeftAxis, &m_RightAxis})
        if (axis->m_bShow && axis->m_dSpan == 0.0)
            return FALSE;
    {
        CSelectedFont font(pDC, m_lfAxis);
        LayoutAxes(pDC);
    }
    DrawFrameAndGrid(pDC);
    return TRUE;
}

void CChart::DrawAxes(CDC* pDC)
{
    CSelectedFont font(pDC, m_lfAxis);
    const COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
    for (CAxisBase* axis : ShownAxes())
        axis->Draw(pDC);
    pDC->SetTextColor(oldColour);
}

void CChart::Draw(CDC* pDC)
{
    DrawAxes(pDC);
    DrawFrameAndGrid(pDC);
}

void CChart::DrawFrameAndGrid(CDC* pDC)
{
    if (m_rectPlot.IsRectEmpty())
        return;
    if (m_bFrame) {
        const CLine frame(PS_SOLID, 1, m_crFrame);
        pDC->MoveTo(m_rectPlot.left, m_rectPlot.top);
        frame.Draw(pDC, CPoint(m_rectPlot.right, m_rectPlot.top));
        frame.Draw(pDC, CPoint(m_rectPlot.right, m_rectPlot.bottom));
        frame.Draw(pDC, CPoint(m_rectPlot.left, m_rectPlot.bottom));
        frame.Draw(pDC, CPoint(m_rectPlot.left, m_rectPlot.top));
    }
    if (m_bFill) {
        CRect inside = m_rectPlot;
        inside.DeflateRect(1, 1);
        pDC->FillSolidRect(&inside, m_crBackground);
    }
    const CLine major(m_nGridStyle, 1, m_crFrame);
    const CLine minor(m_nGridStyle, 1, m_crGrid);
    m_XAxis.DrawGrid(pDC, major, minor);
    m_LeftAxis.DrawGrid(pDC, major, minor);
}

void CChart::DrawColourBand(CDC* pDC, const CDataArray* pPalette)
{
    Draw(pDC);
    if (m_rectPlot.IsRectEmpty())
        return;
    // More whole values than this cannot have columns of their own.
    constexpr double kMaxValues = 1 << 20;
    const double low = std::ceil(std::min(m_XAxis.m_dMin, m_XAxis.m_dMax));
    const double high = std::floor(std::max(m_XAxis.m_dMin, m_XAxis.m_dMax));
    if (!(high - low < kMaxValues))
        return;
    const bool palette = pPalette != nullptr && pPalette->GetSize() > 0;
    const int top = m_rectPlot.top + 1;
    const int bottom = m_rectPlot.bottom - 1;
    // The first value takes its own column; each next one the columns
    // after the previous value's up to its own.
    int next = m_XAxis.PointAt(m_XAxis.ValueToPixel(low)).x;
    for (double v = low; v <= high; v += 1.0) {
        const int x = m_XAxis.PointAt(m_XAxis.ValueToPixel(v)).x;
        if (x < next)
            continue;
        const COLORREF colour = palette ? static_cast<COLORREF>(kestrun::SeriesTruncate(pPalette->GetAt(static_cast<int>(v))))
                                        : RGB(0, std::clamp(static_cast<int>(v), 0, 255), 0);
        const CRect columns(next, top, x + 1, bottom);
        pDC->FillSolidRect(&columns, colour);
        next = x + 1;
    }
}
