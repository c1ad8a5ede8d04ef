#pragma once
// CChart: a chart the program draws itself into any device context (screen,
// printer): an x axis, a left and a right value axis and a two-state axis
// around a plot rectangle, with the plot's frame, background and grid
// lines. Either the chart lays itself out in a rectangle (Layout), or the
// caller hands it the plot rectangle (DrawPlot), as the image views do for
// their rulers. CTrackChart (trackchart.h) adds the track segments.

#include "series/axis.h"

#include "platform/core/gdi.h"

#include <span>

class CDataArray;

// One line of a chart's legend: a stroke in the colour, then the name.
struct CLegendEntry
{
    CString name;
    COLORREF colour = 0;
};

class CChart : public CObject
{
public:
    CChart();
    ~CChart() override = default;
    CChart(const CChart&) = delete;
    CChart& operator=(const CChart&) = delete;

    virtual CAxis& GetXAxis() { return m_XAxis; }
    virtual CAxis& GetLeftAxis() { return m_LeftAxis; }
    virtual CAxis& GetRightAxis() { return m_RightAxis; }
    virtual CAxis& GetValueAxis(bool bRight) { return bRight ? m_RightAxis : m_LeftAxis; }
    virtual CAxisBinary& GetBinaryAxis() { return m_BinaryAxis; }
    // One line, centred both ways in the title rectangle, in the title font.
    virtual void DrawTitle(CDC* pDC, const CString& text);
    // The text of a string-table entry; nothing for an unknown id.
    virtual void DrawTitleById(CDC* pDC, UINT nID);
    virtual void SetTitleFont(const LOGFONT* pFont);
    virtual void SetTitleColour(int nColour) { m_crTitle = static_cast<COLORREF>(nColour); }
    // The plot rectangle inside rect, with room for the axes' labels and
    // titles. FALSE, and nothing laid out, when the labels leave no plot.
    virtual BOOL Layout(CDC* pDC, const CRect& rect);
    // Axes, frame, background and grid lines of the laid-out chart.
    virtual void Draw(CDC* pDC);
    // As Draw, then the plot filled with a colour band: every whole value
    // v of the x range colours the columns from the previous value up to
    // its own with the palette's value at v (a colour word), or without a
    // palette with the green level v.
    virtual void DrawColourBand(CDC* pDC, const CDataArray* pPalette);

    // The entries one under the other in the top right corner of the
    // laid-out plot, in the legend font; nothing for fewer than two.
    void DrawLegend(CDC* pDC, std::span<const CLegendEntry> entries);

    // The plot at a given rectangle of the chart rectangle: lays the axes
    // out along it and draws its frame, background and grid. FALSE, and
    // nothing drawn, when the plot is empty or a shown axis has no range.
    BOOL DrawPlot(CDC* pDC, const CRect& rectChart, const CRect& rectPlot);
    // The axes of the laid-out chart, with ticks, labels and titles.
    void DrawAxes(CDC* pDC);

    // The display switches: fill the plot's background, frame the plot.
    void SetDisplay(BOOL bFill, BOOL bFrame)
    {
        m_bFill = bFill;
        m_bFrame = bFrame;
    }

    const CRect& GetPlotRect() const { return m_rectPlot; }
    const CRect& GetChartRect() const { return m_rectChart; }

    LOGFONT m_lfTitle{};
    COLORREF m_crTitle = RGB(0, 0, 0);
    LOGFONT m_lfAxis{};
    LOGFONT m_lfLegend{};
    COLORREF m_crBackground = RGB(255, 255, 255);
    COLORREF m_crFrame = 0x323232;
    COLORREF m_crGrid = 0x646464;
    int m_nGridStyle = PS_DOT;
    BOOL m_bFrame = TRUE;
    BOOL m_bFill = TRUE;

protected:
    // The shown axes in drawing order.
    std::vector<CAxisBase*> ShownAxes();
    // Lays every axis out along the plot; the axis font must be selected.
    void LayoutAxes(CDC* pDC);
    void DrawFrameAndGrid(CDC* pDC);

    CAxis m_XAxis;
    CAxis m_LeftAxis;
    CAxis m_RightAxis;
    CAxisBinary m_BinaryAxis;
    CRect m_rectChart;
    CRect m_rectPlot;
    CRect m_rectTitle;
};
