#pragma once
// CSaveProfileDlg: asks for the name to save the current profile under. OK
// stays disabled while the name is empty.

#include "platform/ui/dialog.h"

class CSaveProfileDlg : public CDialog
{
public:
    explicit CSaveProfileDlg(CWnd* pParentWnd = nullptr);

    CString m_strName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

private:
    void EnableOK();
};
