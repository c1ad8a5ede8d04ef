#include "app/changeuserdlg.h"

#include "app/appresources.h"
#include "app/passwords.h"
#include "app/resource.h"

#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/winapp.h"

CChangeUserDlg::CChangeUserDlg(CWnd* pParentWnd) : CDialog(IDD_CHANGE_USER, pParentWnd)
{
    kestrun::RegisterAppResources();
}

void CChangeUserDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
}

BOOL CChangeUserDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    if (auto* combo = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(IDC_USER_LEVEL))) {
        combo->AddString(kestrun::UserLevelName(kestrun::kAdministratorLevel));
        combo->AddString(kestrun::UserLevelName(kestrun::kUserLevel));
        combo->SetCurSel(0);
    }
    return result;
}

void CChangeUserDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    const auto* combo = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(IDC_USER_LEVEL));
    if (combo != nullptr && combo->GetCurSel() == 0) {
        CWinApp& app = *AfxGetApp();
        // From the first try on, the digest stands in the settings file.
        const CString stored = kestrun::StoredPasswordDigest(app, kestrun::kAdministratorLevel);
        kestrun::StorePasswordDigest(app, kestrun::kAdministratorLevel, stored);
        m_nLevel = kestrun::kUserLevel;
        const std::optional<CString> digest = kestrun::PasswordDigest(m_strPassword);
        if (!digest) {
            AfxMessageBox(kestrun::kPasswordCharacterText, MB_ICONEXCLAMATION);
            return;
        }
        if (*digest != stored) {
            AfxMessageBox("Wrong password!", MB_ICONEXCLAMATION);
            return;
        }
        m_nLevel = kestrun::kAdministratorLevel;
    } else {
        m_nLevel = kestrun::kUserLevel;
    }
    CDialog::OnOK();
}
