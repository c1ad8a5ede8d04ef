#include "app/aboutdlg.h"

#include "app/appresources.h"
#include "app/resource.h"

CAboutDlg::CAboutDlg(CWnd* pParentWnd) : CDialog(IDD_ABOUTBOX, pParentWnd)
{
    kestrun::RegisterAppResources();
}

CString CAboutDlg::VersionText()
{
    CString version;
    version.Format("%d.%d.%d.%d", KESTRUN_VERSION_MAJOR, KESTRUN_VERSION_MINOR, KESTRUN_VERSION_PATCH,
                   KESTRUN_VERSION_TWEAK);
    return version;
}

BOOL CAboutDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_VERSION, "Version " + VersionText());
    return result;
}
