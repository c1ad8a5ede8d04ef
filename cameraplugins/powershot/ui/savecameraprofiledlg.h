#pragma once
// CSaveCameraProfileDlg: asks for the name under which the current camera
// settings are saved. OK is disabled while the name is empty; a name the
// store knows is overwritten only after a Yes.

#include "platform/ui/dialog.h"

class CFGPavick;

class CSaveCameraProfileDlg : public CDialog
{
public:
    CSaveCameraProfileDlg(CFGPavick& grabber, const CString& strName, CWnd* pParentWnd = nullptr);

    CString m_strName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

private:
    void EnableOK();

    CFGPavick& m_grabber;
};
