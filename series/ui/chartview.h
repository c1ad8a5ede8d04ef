#pragma once
// CChartView: the view of a chart document. It makes the control of the
// document's kind over its whole client area (a line chart "Chart" or a
// histogram "Histogram"), keeps its frame's placement in the profile
// section "ChartView" and the histogram's bar count as "Bars" in section
// "Histogram", prints the control at its size on the screen and copies it
// to the clipboard as a picture.

#include "series/chartdoc.h"
#include "series/ui/chartcontrols.h"

#include "platform/ui/persistentframe.h"
#include "platform/ui/view.h"

class CChartView : public CView, public CChartControls
{
    DECLARE_DYNCREATE(CChartView)

public:
    static constexpr UINT kControlId = 1000;
    static constexpr UINT ID_CHART_PROPERTIES = 33057;

    CChartView();
    ~CChartView() override;

    CChartDoc* GetChartDoc() const;
    // The control windows; their controls exist before the windows do.
    _DBIChart& GetChartWindow() { return m_wndChart; }
    _DBIHist& GetHistogramWindow() { return m_wndHist; }

    CCurveChart* GetLineChart() override { return &m_wndChart.GetControl(); }
    CBarChart* GetBarChart() override { return &m_wndHist.GetControl(); }

    // Stores the bar count (written as "Bars") and hands it to the histogram.
    void SetBarCount(short nBars);
    short GetBarCount() const { return m_nBars; }

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;

    // Copy: the control as a picture on the clipboard.
    void OnEditCopy();
    // The line chart's properties dialog.
    void OnProperties();

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;

    DECLARE_MESSAGE_MAP()

private:
    bool IsLineChart() const;
    // The window of the document's kind; null before it is made.
    CWnd* ControlWindow();
    // Draws the control of the document's kind.
    void DrawControl(CDC* pDC, const CRect& rect);

    _DBIChart m_wndChart;
    _DBIHist m_wndHist;
    CPersistentFrame m_Frame;
    int m_bPrint = 0;
    short m_nBars = -1;
};
