#pragma once
// CStatDlg: "Statistics" - labelled counts (the classes of a table, say)
// shown as one bar per label under a title.

#include "series/barchart.h"

#include "platform/core/arrays.h"
#include "platform/ui/dialog.h"

#include <vector>

class CDataDoc;

class CStatDlg : public CDialog
{
public:
    static constexpr UINT IDD = 444;
    static constexpr UINT IDC_HISTOGRAM = 2857;

    explicit CStatDlg(CWnd* pParentWnd = nullptr);

    // FALSE, and nothing shown, without counts.
    BOOL OnInitDialog() override;
    // The chart's bars from the pairs that both lists hold; false without
    // counts.
    bool FillChart();
    // The chart in the frame of the histogram control.
    void DrawChart(CDC* pDC, const CRect& rect);
    const CBarChart& GetChart() const { return m_Chart; }

    CString m_strTitle;
    std::vector<int> m_Counts;
    CStringArray m_Labels;

protected:
    void OnPaint() override;

private:
    CBarChart m_Chart;
};

// The table's "Class Statistic": the shown records counted by class, in
// the modal statistics dialog.
void ShowClassStatistic(const CDataDoc& doc, CWnd* pParentWnd);
