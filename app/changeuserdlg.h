#pragma once
// CChangeUserDlg: switches between the user levels. Administrator asks for
// its password; User needs none.

#include "platform/ui/dialog.h"

class CChangeUserDlg : public CDialog
{
public:
    explicit CChangeUserDlg(CWnd* pParentWnd = nullptr);

    int m_nLevel = 1;
    CString m_strPassword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
