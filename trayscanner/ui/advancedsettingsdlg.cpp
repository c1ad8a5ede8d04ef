#include "trayscanner/ui/advancedsettingsdlg.h"

#include "platform/ui/ddx.h"
#include "trayscanner/trayvobox.h"
#include "trayscanner/ui/tablonresources.h"

using namespace kestrun::tablon;

BEGIN_MESSAGE_MAP(CVovodScannerAdvancedSettingsDlg, CDialog)
    ON_BN_CLICKED(IDC_CAMERA_RESET, OnCameraReset)
    ON_BN_CLICKED(IDC_HOMING, OnHoming)
    ON_BN_CLICKED(IDC_LOW_SET, OnLowSet)
    ON_BN_CLICKED(IDC_LOW_RESET, OnLowReset)
    ON_BN_CLICKED(IDC_UNLOCK, OnUnlock)
END_MESSAGE_MAP()

CVovodScannerAdvancedSettingsDlg::CVovodScannerAdvancedSettingsDlg(CTrayvoBox& box, CWnd* pParentWnd)
    : CDialog(IDD_ADVANCED_SETTINGS, pParentWnd), m_box(box)
{
    RegisterTablonResources();
    std::lock_guard lock(m_box.Lock());
    m_bLeaveDoorOpen = m_box.Profiles().LeaveDoorOpended ? TRUE : FALSE;
    BuildMessageMap();
}

void CVovodScannerAdvancedSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_LEAVE_DOOR_OPEN, m_bLeaveDoorOpen);
}

void CVovodScannerAdvancedSettingsDlg::OnCameraReset()
{
    m_box.ResetCameraTerminal();
}

void CVovodScannerAdvancedSettingsDlg::OnHoming()
{
    m_box.HomeCameraWithTargetCleared();
}

void CVovodScannerAdvancedSettingsDlg::OnLowSet()
{
    m_box.SetLowLimitHere();
}

void CVovodScannerAdvancedSettingsDlg::OnLowReset()
{
    m_box.ResetLowLimit();
}

void CVovodScannerAdvancedSettingsDlg::OnUnlock()
{
    if (m_box.IsLocked())
        m_box.Unlock();
}
