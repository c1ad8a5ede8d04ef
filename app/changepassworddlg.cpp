#include "app/changepassworddlg.h"

#include "app/appresources.h"
#include "app/passwords.h"
#include "app/resource.h"

#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/winapp.h"

CChangePasswordDlg::CChangePasswordDlg(CWnd* pParentWnd) : CDialog(IDD_CHANGE_PASSWORD, pParentWnd)
{
    kestrun::RegisterAppResources();
}

void CChangePasswordDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LEVEL_NAME, m_strLevelName);
    DDX_Text(pDX, IDC_OLD_PASSWORD, m_strOldPassword);
    DDX_Text(pDX, IDC_PASSWORD, m_strNewPassword);
    DDX_Text(pDX, IDC_CONFIRM_PASSWORD, m_strConfirmPassword);
}

BOOL CChangePasswordDlg::OnInitDialog()
{
    m_strLevelName = kestrun::UserLevelName(m_nLevel);
    return CDialog::OnInitDialog();
}

void CChangePasswordDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CWinApp& app = *AfxGetApp();
    const std::optional<CString> oldDigest = kestrun::PasswordDigest(m_strOldPassword);
    if (!oldDigest || *oldDigest != kestrun::StoredPasswordDigest(app, m_nLevel)) {
        AfxMessageBox("Wrong password!", MB_ICONEXCLAMATION);
        return;
    }
    if (m_strNewPassword != m_strConfirmPassword) {
        AfxMessageBox("Confirm error!", MB_ICONEXCLAMATION);
        return;
    }
    const std::optional<CString> newDigest = kestrun::PasswordDigest(m_strNewPassword);
    if (!newDigest) {
        AfxMessageBox(kestrun::kPasswordCharacterText, MB_ICONEXCLAMATION);
        return;
    }
    kestrun::StorePasswordDigest(app, m_nLevel, *newDigest);
    CDialog::OnOK();
}
