#pragma once
// CVovodScannerAdvancedSettingsDlg: carriage homing and reset, the lower
// limit, the door option and unlocking after an emergency stop. Its buttons
// act on the box at once; only the door option waits for OK.

#include "platform/ui/dialog.h"

class CTrayvoBox;

class CVovodScannerAdvancedSettingsDlg : public CDialog
{
public:
    explicit CVovodScannerAdvancedSettingsDlg(CTrayvoBox& box, CWnd* pParentWnd = nullptr);

    BOOL m_bLeaveDoorOpen = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCameraReset();
    void OnHoming();
    void OnLowSet();
    void OnLowReset();
    void OnUnlock();

    DECLARE_MESSAGE_MAP()

private:
    CTrayvoBox& m_box;
};
