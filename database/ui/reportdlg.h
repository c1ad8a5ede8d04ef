#pragma once
// CReportDlg: a filled HTML report shown for printing, saving and copying.
// The caller fills it (SetResultTable) before DoModal and deletes the
// output file afterwards.
#include "database/templatereport.h"
#include "database/ui/webbrowser2.h"
#include "platform/ui/scaledlg.h"

class CReportDlg : public CScaleDlg
{
public:
    static constexpr UINT IDD = 455;

    explicit CReportDlg(CWnd* pParentWnd = nullptr);
    ~CReportDlg() override;

    void SetTemplatePath(const CString& path) { m_report.SetTemplatePath(path); }
    void SetOutputPath(const CString& path);
    // The table "RESULTVALUES" from the cells, columns to a row; the
    // result of filling the template (negative: it failed).
    int SetResultTable(const CMapStringToString& values, int nColumns, const CStringArray* pCells);
    CString GetCellText(int nRow, int nColumn) const;

    CWebBrowser2& GetBrowser() { return m_browser; }

protected:
    void OnCreateControls() override;
    BOOL OnInitDialog() override;
    void OnPrint();
    void OnSave();
    void OnCopy();
    DECLARE_MESSAGE_MAP()

private:
    CWebBrowser2 m_browser;
    CTemplateReport m_report{FALSE};
    CString m_strURL;
    const CStringArray* m_pCells = nullptr;
    int m_nColumns = 0;
};
