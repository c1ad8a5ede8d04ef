#include "app/saveprofiledlg.h"

#include "app/appresources.h"
#include "app/resource.h"

#include "platform/core/paths.h"
#include "platform/ui/ddx.h"

BEGIN_MESSAGE_MAP(CSaveProfileDlg, CDialog)
    ON_EN_CHANGE(IDC_PROFILE_NAME, OnChangeName)
END_MESSAGE_MAP()

CSaveProfileDlg::CSaveProfileDlg(CWnd* pParentWnd) : CDialog(IDD_SAVE_PROFILE, pParentWnd)
{
    kestrun::RegisterAppResources();
    BuildMessageMap();
}

CString CSaveProfileDlg::ProfileNameOf(const CString& text)
{
    CString name = text;
    name.Replace('/', '_');
    return name;
}

void CSaveProfileDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROFILE_NAME, m_strName);
    if (pDX->m_bSaveAndValidate)
        m_strName = ProfileNameOf(m_strName);
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
        ok->EnableWindow(kestrun::IsPlainFileName(ProfileNameOf(text)));
}
