#pragma once
// CMatchDlg: the base of the image view's modeless tool windows. It tells
// the view when its window goes (WM_USER+5, wParam 1, lParam the window's
// report id), so that the view deletes it, and takes the view's notices
// about the areas of interest (kind 0: an area was chosen, the word its
// index; 1: areas were added or moved; 2: an area was deleted, the word
// its index).

#include "platform/ui/dialog.h"

class CMatchDlg : public CDialog
{
    DECLARE_DYNAMIC(CMatchDlg)

public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    enum Notice
    {
        noticeAreaChosen = 0,
        noticeAreasChanged = 1,
        noticeAreaDeleted = 2,
    };

    // The report id goes with the close report.
    explicit CMatchDlg(LPARAM reportId) : m_reportId(reportId) {}

    // The modeless window of the template over the owner, which gets the
    // close report.
    BOOL CreateTool(UINT nIDTemplate, CWnd* pOwner);
    // No close report any more: for an owner that deletes the window itself.
    void ForgetOwnerWindow() { m_hOwner = nullptr; }

    // A notice from the view; ignored here.
    virtual void OnUpdateNotice(int nKind, int nWord);

protected:
    // OK and Cancel end a modeless window by destroying it.
    void OnOK() override;
    void OnCancel() override;
    // Posts the close report.
    void OnDestroy() override;

private:
    HWND m_hOwner = nullptr;
    LPARAM m_reportId;
};
