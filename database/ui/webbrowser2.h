#pragma once
// CWebBrowser2: the report window's page view. It shows a local HTML file
// (no scripts, no network) and carries out the browser commands the report
// window uses: print, save as, select all and copy.
#include "platform/ui/wnd.h"

class QTextBrowser;

class CWebBrowser2 : public CWnd
{
    DECLARE_DYNCREATE(CWebBrowser2)

public:
    // ExecWB command ids.
    static constexpr long kCmdSaveAs = 4;
    static constexpr long kCmdPrint = 6;
    static constexpr long kCmdCopy = 12;
    static constexpr long kCmdSelectAll = 17;

    // Shows the file; an address that is no readable local file shows a
    // line that says so.
    void Navigate(LPCTSTR lpszURL);
    // Print (with the print dialog), save as (with the file dialog), select
    // all, copy; other commands do nothing.
    void ExecWB(long cmdID, long cmdexecopt);
    // The page into a PDF file, without a dialog; FALSE when it fails.
    BOOL PrintToPdf(const CString& path);

    CString GetLocationURL() const { return m_strURL; }
    // The page as plain text (what copy gives with everything selected).
    CString GetPlainText() const;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;

private:
    QTextBrowser* Browser() const;
    void SaveAs();
    void Print();

    CString m_strURL;
};
