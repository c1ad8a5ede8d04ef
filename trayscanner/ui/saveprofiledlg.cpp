#include "trayscanner/ui/saveprofiledlg.h"

#include "platform/ui/ddx.h"
#include "trayscanner/boxprofiles.h"
#include "trayscanner/ui/tablonresources.h"

namespace kestrun::tablon {

BEGIN_MESSAGE_MAP(CSaveProfileDlg, CDialog)
    ON_EN_CHANGE(IDC_PROFILE_NAME, OnChangeName)
END_MESSAGE_MAP()

CSaveProfileDlg::CSaveProfileDlg(const CBoxProfiles& profiles, const CString& strName, CWnd* pParentWnd)
    : CDialog(IDD_SAVE_PROFILE, pParentWnd), m_strName(strName), m_profiles(profiles)
{
    RegisterTablonResources();
    BuildMessageMap();
}

void CSaveProfileDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROFILE_NAME, m_strName);
}

BOOL CSaveProfileDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    EnableOK();
    return result;
}

void CSaveProfileDlg::OnChangeName()
{
    EnableOK();
}

void CSaveProfileDlg::EnableOK()
{
    CString text;
    GetDlgItemText(IDC_PROFILE_NAME, text);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!text.IsEmpty());
}

void CSaveProfileDlg::OnOK()
{
    CString text;
    GetDlgItemText(IDC_PROFILE_NAME, text);
    if (text.IsEmpty())
        return;
    if (m_profiles.HasProfile(text) &&
        MessageBox("This profile already exists. Do you want to overwrite it?", "Profile exists", MB_YESNO) != IDYES)
        return;
    CDialog::OnOK();
}

} // namespace kestrun::tablon
