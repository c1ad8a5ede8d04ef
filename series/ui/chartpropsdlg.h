#pragma once
// CChartPropertiesDlg: the line chart's own properties (method 27): axis
// titles and ranges, the filter every curve is read through, and the line
// and marker of every curve. OK applies them; values the chart refuses
// keep the dialog open with a message.

#include "platform/ui/dialog.h"

class CCurveChart;

class CChartPropertiesDlg : public CDialog
{
    DECLARE_DYNAMIC(CChartPropertiesDlg)

public:
    enum
    {
        IDD = 2750,
        IDC_X_TITLE = 2751,
        IDC_Y_TITLE = 2752,
        IDC_X_MIN = 2753,
        IDC_X_MAX = 2754,
        IDC_Y_MIN = 2755,
        IDC_Y_MAX = 2756,
        IDC_FILTER_TYPE = 2757,
        IDC_FILTER_WIDTH = 2758,
        IDC_LINE = 2759,
        IDC_MARKER = 2760,
    };

    CChartPropertiesDlg(CCurveChart& chart, CWnd* pParent = nullptr);
    ~CChartPropertiesDlg() override;

    CString m_strXTitle;
    CString m_strYTitle;
    double m_dXMin = 0.0;
    double m_dXMax = 0.0;
    double m_dYMin = 0.0;
    double m_dYMax = 0.0;
    int m_nFilterType = 0; // the combo's index: off, mean, median, regression
    int m_nFilterWidth = 1;
    int m_nLine = 1;       // the combo's index: none, solid, dashed, dotted
    int m_nMarker = 0;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    // FALSE, with a message, when the chart refuses the values.
    BOOL Apply();

    CCurveChart& m_chart;
};
