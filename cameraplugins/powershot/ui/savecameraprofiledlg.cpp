#include "cameraplugins/powershot/ui/savecameraprofiledlg.h"

#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/ui/pavickresources.h"

#include "platform/ui/ddx.h"

using namespace kestrun::pavick;

BEGIN_MESSAGE_MAP(CSaveCameraProfileDlg, CDialog)
    ON_EN_CHANGE(IDC_PROFILE_NAME, OnChangeName)
END_MESSAGE_MAP()

CSaveCameraProfileDlg::CSaveCameraProfileDlg(CFGPavick& grabber, const CString& strName, CWnd* pParentWnd)
    : CDialog(IDD_SAVE_CAMERA_PROFILE, pParentWnd), m_strName(strName), m_grabber(grabber)
{
    RegisterPavickResources();
    BuildMessageMap();
}

void CSaveCameraProfileDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROFILE_NAME, m_strName);
}

BOOL CSaveCameraProfileDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    EnableOK();
    return result;
}

void CSaveCameraProfileDlg::OnChangeName()
{
    EnableOK();
}

void CSaveCameraProfileDlg::EnableOK()
{
    CString text;
    GetDlgItemText(IDC_PROFILE_NAME, text);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!text.IsEmpty());
}

void CSaveCameraProfileDlg::OnOK()
{
    CString text;
    GetDlgItemText(IDC_PROFILE_NAME, text);
    if (text.IsEmpty())
        return;
    if (m_grabber.Profiles().HasProfile(text) &&
        MessageBox("This profile already exists. Do you want to overwrite it?", "Profile exists",
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CDialog::OnOK();
}
