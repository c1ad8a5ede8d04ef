#pragma once
// CChangePasswordDlg: changes a user level's password for whoever knows the
// old one, and stores the new password's digest itself.

#include "platform/ui/dialog.h"

class CChangePasswordDlg : public CDialog
{
public:
    explicit CChangePasswordDlg(CWnd* pParentWnd = nullptr);

    int m_nLevel = 1;
    CString m_strLevelName;
    CString m_strOldPassword;
    CString m_strNewPassword;
    CString m_strConfirmPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
