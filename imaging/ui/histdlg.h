#pragma once
// CHistDlg: "Histogram", a resizable window that shows the red, green and
// blue histograms of an image's active area as three curves of a line
// chart, values 0 to 255 against their counts. The series are the
// caller's; the window only hands them to its chart.

#include "series/ui/chartcontrols.h"

#include "objectmodel/datagroupattrib.h"
#include "platform/ui/resizingdialog.h"

#include <vector>

class CDataArray;

class CHistDlg : public CResizingDialog
{
    DECLARE_DYNAMIC(CHistDlg)

public:
    enum
    {
        IDD = 438,
        IDC_CHART = 2737,
        IDC_PROPERTIES = 2749,
    };

    explicit CHistDlg(CWnd* pParent = nullptr);
    ~CHistDlg() override;

    // Set: the object deletes itself once its window is gone.
    int m_bAutoDelete = 0;
    // The series shown, in order; not owned.
    std::vector<CDataArray*> m_arrSeries;
    CDataGroupAttrib m_GroupAttrib;
    _DBIChart m_wndChart;

    BOOL OnInitDialog() override;
    void OnProperties();

protected:
    void OnCreateControls() override;
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    void SetUpGroup();
    void SetUpChart();
};
