#pragma once
// CChartDoc: the document of a chart window. It holds only its kind (1 a
// line chart, 0 a histogram); the chart itself lives in the control of its
// view (CChartView, series/ui), which the document reaches through
// CChartControls. A line chart's ".cht" file is loaded into and saved from
// that control.

#include "platform/ui/document.h"

class CBarChart;
class CCurveChart;
class CDocTemplate;

// What a chart document needs of its view: the controls of its window.
class CChartControls
{
public:
    virtual ~CChartControls() = default;
    virtual CCurveChart* GetLineChart() = 0;
    virtual CBarChart* GetBarChart() = 0;
};

class CChartDoc : public CDocument
{
    DECLARE_DYNCREATE(CChartDoc)

public:
    enum EKind : int
    {
        kHistogram = 0,
        kLineChart = 1,
    };

    CChartDoc();
    ~CChartDoc() override;

    int m_nChartKind = kLineChart;

    // The controls of the first view; null without a view.
    CCurveChart* GetChartControl() const;
    CBarChart* GetHistogramControl() const;

    // The ".cht" file; failures are reported naming the file, and a chart
    // that fails to load keeps what it had.
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;

private:
    CChartControls* FirstControls() const;
};

namespace kestrun {

// A chart document of the kind from the template, with its frame and the
// initial update (the kind decides which control the view makes); null
// when the template makes no chart document or its frame fails.
CChartDoc* OpenChartDocument(CDocTemplate* pTemplate, int nKind, LPCTSTR lpszTitle = nullptr);

} // namespace kestrun
