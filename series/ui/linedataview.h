#pragma once
// CLineDataView: the view of a measurement document. Its chart window
// shows the document's chart over the whole client area; the view owns
// the run's timer (id 2) and the run commands. CAreaView, the view of the
// measurement template, prints a page header above the chart and the
// growth-rate views of its document below it.

#include "series/ui/chartcontrols.h"
#include "series/ui/dataview.h"

class CLineDataDoc;

class CLineDataView : public CDataView
{
    DECLARE_DYNCREATE(CLineDataView)

public:
    static constexpr UINT kControlId = 1000;

    CLineDataView();
    ~CLineDataView() override;

    CLineDataDoc* GetLineDataDoc() const;
    _DBIChart& GetChartWindow() { return m_wndChart; }
    // The chart this view shows.
    CCurveChart& GetViewChart() { return m_wndChart.GetControl(); }

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // The "Start" command's timer.
    void StartTimer();
    // Kills the timer when set and says so.
    void StopTimer();
    BOOL IsTimerSet() const { return m_bTimerSet; }
    // Repaints the chart after a step (the value is the control's).
    void SetChartOption(int value);
    // The chart's filter back into the kind's section.
    void SaveChartFilter();
    // Tells the main window that the chart's filter changed.
    void NotifyFilterChanged();
    // The chart drawn into rect (printing and pictures).
    void DrawChart(CDC* pDC, const CRect& rect);

    // The commands.
    void OnStart();
    void OnUpdateStart(CCmdUI* pCmdUI);
    void OnStop();
    void OnSingleStep();
    void OnUpdateSingleStep(CCmdUI* pCmdUI);
    void OnGraph();
    void OnEditCopy();

protected:
    // The document's chart to show; the growth-rate view shows its own.
    virtual CCurveChart* DocumentChart() const;
    // The chart window over the client area.
    void CreateChartWindow(LPCTSTR lpszName);
    // The page: the title with a rule under it, then this view's chart
    // and those of the partner views of its document, one under another.
    void PrintPage(CDC* pDC, CPrintInfo* pInfo, const char* lpszPartnerClass);

    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    // Stops the run and closes the document once the handler has ended.
    LRESULT OnDeleteInterface(WPARAM wParam, LPARAM lParam);
    LRESULT OnCloseDocumentMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

    _DBIChart m_wndChart;

private:
    BOOL m_bTimerSet = FALSE;
};

class CAreaView : public CLineDataView
{
    DECLARE_DYNCREATE(CAreaView)

public:
    CAreaView();
    ~CAreaView() override;

    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
};

namespace kestrun {
// The profile keys of a measurement chart's filter.
inline constexpr const char* kChartFilterTypeKey = "ChartFilterType";
inline constexpr const char* kChartFilterWidthKey = "ChartFilterWidth";
} // namespace kestrun
