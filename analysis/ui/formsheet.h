#pragma once
// CFormSheet: the modeless sheet of the form parameters on its own copy
// of the form thresholds. OK takes the pages into the copy; OK and Cancel
// close the sheet, which then reports to its owner with WM_USER+5
// (wParam 1 after OK, 2 after Cancel; lParam 434, then 431). The owner
// takes the copy over after OK and deletes the sheet.

#include "analysis/formthres.h"
#include "analysis/ui/formdlgs.h"

class CFormSheet : public CPropertySheet
{
    DECLARE_DYNAMIC(CFormSheet)

public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    static constexpr LPARAM kReportSheet = 434;
    static constexpr LPARAM kReportForm = 431;

    // The owner copies its form thresholds into m_FormThres before Create.
    CFormSheet(LPCTSTR pszCaption, CWnd* pOwner, UINT iSelectPage = 0);
    ~CFormSheet() override;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // No reports any more: for an owner that deletes the sheet itself.
    void ForgetOwner() { m_hOwner = nullptr; }

    CFormThres m_FormThres;
    CWnd* m_pOwner;
    int m_nResult = 2; // 1 after OK, 2 after Cancel
    int m_bInitialized = 0;

    CFormDlg1 m_Page1;
    CFormDlg2 m_Page2;
    CFormDlg3 m_Page3;

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;

private:
    void OnOKButton();
    void Close(int nResult);

    HWND m_hOwner = nullptr;
};
