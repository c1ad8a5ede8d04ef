#include "database/ui/dbformdlgs.h"

#include "database/dbfields.h"
#include "database/ui/dbdlgresources.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/rangectrls.h"

using namespace kestrun::dbui;

// ---- new measurement -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CNeueMessungDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_VESSEL_COMBO, OnSelChangeVessel)
    ON_CBN_SELCHANGE(IDC_FILLLEVEL_COMBO, OnSelChangeFillLevel)
END_MESSAGE_MAP()

CNeueMessungDlg::CNeueMessungDlg(CWnd* pParentWnd)
    : CDialog((RegisterDatabaseForm(), IDD_NEUEMESSUNG), pParentWnd)
{
    BuildMessageMap();
}

CComboBox* CNeueMessungDlg::Combo(UINT nID)
{
    return dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(nID)));
}

void CNeueMessungDlg::FillVessels(CComboBox& vessels)
{
    _RecordsetPtr steps = CAdoRecordset::Create();
    steps->PutCursorLocation(adUseClient);
    steps->Open(FormatString("SELECT * FROM Verduennungsstufen WHERE V_ReiheID = %ld", m_nDilutionSeriesID),
                m_pConnection, adOpenDynamic, adLockOptimistic, adCmdText);
    if (steps->GetRecordCount() > 0) {
        for (steps->MoveFirst(); !steps->GetEOF(); steps->MoveNext())
            vessels.AddString(FormatString("%d", static_cast<short>(GetFieldInt(steps, "GlasNr"))));
    }
    steps->Close();
}

BOOL CNeueMessungDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CComboBox* vessels = Combo(IDC_VESSEL_COMBO);
    CComboBox* levels = Combo(IDC_FILLLEVEL_COMBO);
    if (vessels != nullptr) {
        if (m_pConnection)
            FillVessels(*vessels);
        if (vessels->GetCount() > 0) {
            if (m_nVesselIndex < 0 || m_nVesselIndex >= vessels->GetCount())
                m_nVesselIndex = 0;
            vessels->SetCurSel(m_nVesselIndex);
        }
    }
    if (levels != nullptr) {
        for (const char* level : {"120", "110", "100", "90", "80", "70", "60"})
            levels->AddString(level);
        if (m_nFillLevelIndex < 0 || m_nFillLevelIndex >= 7)
            m_nFillLevelIndex = 0;
        levels->SetCurSel(m_nFillLevelIndex);
    }
    if (auto* spin = dynamic_cast<CSpinButtonCtrl*>(GetDlgItem(static_cast<int>(IDC_TESTDAY_SPIN)))) {
        spin->SetRange32(0, 31);
        spin->SetPos(m_nTestDay);
    }
    SetDlgItemInt(static_cast<int>(IDC_TESTDAY), static_cast<UINT>(m_nTestDay));
    return TRUE;
}

void CNeueMessungDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_TESTDAY), m_nTestDay);
    DDX_CBString(pDX, static_cast<int>(IDC_FILLLEVEL_COMBO), m_strFillLevel);
    DDX_CBString(pDX, static_cast<int>(IDC_VESSEL_COMBO), m_strVessel);
}

void CNeueMessungDlg::OnSelChangeVessel()
{
    if (CComboBox* vessels = Combo(IDC_VESSEL_COMBO); vessels && vessels->GetCurSel() >= 0)
        m_nVesselIndex = vessels->GetCurSel();
}

void CNeueMessungDlg::OnSelChangeFillLevel()
{
    if (CComboBox* levels = Combo(IDC_FILLLEVEL_COMBO); levels && levels->GetCurSel() >= 0)
        m_nFillLevelIndex = levels->GetCurSel();
}

// ---- description -----------------------------------------------------------------------------

CNeueMessDescrDlg::CNeueMessDescrDlg(CWnd* pParentWnd)
    : CDialog((RegisterDatabaseForm(), IDD_NEUEMESSDESCR), pParentWnd)
{
}

BOOL CNeueMessDescrDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* edit = GetDlgItem(static_cast<int>(IDC_DESCRIPTION)))
        edit->SetFocus();
    return FALSE;
}

void CNeueMessDescrDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_DESCRIPTION), m_strDescription);
}

// ---- report path -----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CReportPath, CDialog)
    ON_BN_CLICKED(IDC_REPORT_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CReportPath::CReportPath(CWnd* pParentWnd) : CDialog((RegisterDatabaseForm(), IDD_REPORTPATH), pParentWnd)
{
    BuildMessageMap();
}

void CReportPath::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_REPORT_PATH), m_strPath);
}

void CReportPath::OnBrowse()
{
    if (GetDlgItem(static_cast<int>(IDC_REPORT_PATH)) == nullptr)
        return;
    CFileDialog dlg(TRUE, "HTML", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "HTML Report File (*.htm;*.html)|*.htm;*.html|Excel Report File (*.xls)|*.xls||", this);
    if (dlg.DoModal() == IDOK)
        SetDlgItemText(static_cast<int>(IDC_REPORT_PATH), dlg.GetPathName());
}
