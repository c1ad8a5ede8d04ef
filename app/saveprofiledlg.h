#pragma once
// CSaveProfileDlg: asks for the name to save the current profile under. The
// name becomes file names in the data root: every '/' becomes '_', and OK
// stays disabled while the name is empty or not a plain file name.

#include "platform/ui/dialog.h"

class CSaveProfileDlg : public CDialog
{
public:
    explicit CSaveProfileDlg(CWnd* pParentWnd = nullptr);

    CString m_strName;

    // The profile name that typed text gives.
    static CString ProfileNameOf(const CString& text);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

private:
    void EnableOK();
};
