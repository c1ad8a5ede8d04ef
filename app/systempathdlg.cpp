#include "app/systempathdlg.h"

#include "app/appresources.h"
#include "app/kestrunapp.h"
#include "app/resource.h"
#include "app/saveprofiledlg.h"

#include "analysis/ui/parameterfile.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/pathdialog.h"

BEGIN_MESSAGE_MAP(CSystemPath, CDialog)
    ON_BN_CLICKED(IDC_BROWSE_IMAGES, OnBrowseImages)
    ON_BN_CLICKED(IDC_BROWSE_DATA, OnBrowseData)
    ON_CBN_SELCHANGE(IDC_PROFILE_COMBO, OnSelChangeProfile)
    ON_BN_CLICKED(IDC_PROFILE_SAVE, OnSaveProfile)
    ON_BN_CLICKED(IDC_PROFILE_DELETE, OnDeleteProfile)
    ON_BN_CLICKED(IDC_LOAD_PARAMETERS, OnLoadParameters)
END_MESSAGE_MAP()

CSystemPath::CSystemPath(CKestrunApp& app, CWnd* pParentWnd) : CDialog(IDD_SYSTEM_SETTINGS, pParentWnd), m_app(app)
{
    kestrun::RegisterAppResources();
    BuildMessageMap();
}

void CSystemPath::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_IMAGE_FOLDER, m_strImageDir);
    DDX_Text(pDX, IDC_DATA_FOLDER, m_strDataDir);
}

BOOL CSystemPath::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    FillProfiles();
    return result;
}

void CSystemPath::FillProfiles()
{
    auto* combo = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(IDC_PROFILE_COMBO));
    if (combo == nullptr)
        return;
    combo->ResetContent();
    const CStringArray names = m_app.GetProfiles().GetNamesByIndex();
    for (const CString& name : names) {
        if (!name.IsEmpty())
            combo->AddString(name);
    }
    const CString& current = m_app.GetProfiles().m_strCurrentName;
    combo->SetCurSel(current.IsEmpty() ? -1 : combo->FindStringExact(-1, current));
}

void CSystemPath::Browse(UINT nEditID)
{
    CString folder;
    GetDlgItemText(nEditID, folder);
    CPathDialog chooser("Select Directory", "Please select directory:", folder, this);
    if (chooser.DoModal() == IDOK)
        SetDlgItemText(nEditID, chooser.GetPathName());
}

void CSystemPath::OnBrowseImages()
{
    Browse(IDC_IMAGE_FOLDER);
}

void CSystemPath::OnBrowseData()
{
    Browse(IDC_DATA_FOLDER);
}

void CSystemPath::OnSelChangeProfile()
{
    auto* combo = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(IDC_PROFILE_COMBO));
    if (combo == nullptr || combo->GetCurSel() < 0)
        return;
    CString name;
    combo->GetLBText(combo->GetCurSel(), name);
    m_app.SelectProfile(name, FALSE);
    m_strProfileName = name;
}

void CSystemPath::OnSaveProfile()
{
    CSaveProfileDlg dialog(this);
    dialog.m_strName = m_strProfileName;
    if (dialog.DoModal() != IDOK)
        return;
    const CString name = dialog.m_strName;
    if (m_app.GetProfiles().Lookup(name) != nullptr &&
        MessageBox("This profile already exists. Do you want to overwrite it?", "Profile exists",
                   MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    m_app.SaveProfile(name);
    m_strProfileName = name;
    FillProfiles();
}

void CSystemPath::OnDeleteProfile()
{
    auto* combo = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(IDC_PROFILE_COMBO));
    if (combo == nullptr)
        return;
    if (combo->GetCurSel() >= 0) {
        CString name;
        combo->GetLBText(combo->GetCurSel(), name);
        m_app.DeleteProfile(name);
        if (name == m_strProfileName)
            m_strProfileName.Empty();
    }
    m_app.GetProfiles().m_strCurrentName.Empty();
    FillProfiles();
}

void CSystemPath::OnLoadParameters()
{
    const CString path = kestrun::analysisui::AskParameterFile(true, "Load parameters", this);
    if (!path.IsEmpty())
        m_app.LoadParameterFile(path);
}
