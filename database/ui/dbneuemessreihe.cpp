#include "database/dbfields.h"
#include "database/masterrecords.h"
#include "database/ui/dbmessreihen.h"
#include "database/ui/dbnewentrydlg.h"
#include "database/ui/masterdataresources.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"

#include <algorithm>

using namespace kestrun::dbui;

CNeueMessreiheDlg::CNeueMessreiheDlg(CWnd* pParentWnd)
    : CDialog((RegisterMasterDataDialogs(), IDD_NEUEMESSREIHE), pParentWnd)
{
}

void CNeueMessreiheDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_NEW_SERIES_NAME), m_strBezeichnung);
}

bool CNeueMessreiheDlg::EnsureFirstRecord(const _RecordsetPtr& rs, const char* title)
{
    if (HasOpenRecords(RequireRecordset(rs)))
        return true;
    CDBNewEntryDlg entry(this);
    entry.m_strTitle = title;
    if (entry.DoModal() != IDOK || entry.m_strText.IsEmpty())
        return false;
    rs->AddNew();
    rs->PutCollect(DescriptionColumn(rs), COleVariant(entry.m_strText));
    rs->Update();
    return true;
}

void CNeueMessreiheDlg::FillCombo(const _RecordsetPtr& rs, UINT id)
{
    auto* combo = dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(id)));
    if (combo == nullptr)
        return;
    for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
        combo->AddString(DescriptionOrEmpty(rs));
    combo->SetCurSel(0);
}

BOOL CNeueMessreiheDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    _RecordsetPtr current = m_pVerdRecordset;
    try {
        if (!EnsureFirstRecord(m_pVerdRecordset, "Neue Verdünnungsreihe"))
            return TRUE;
        FillCombo(m_pVerdRecordset, IDC_DILUTION_COMBO);
        current = m_pGlasRecordset;
        if (!EnsureFirstRecord(m_pGlasRecordset, "Neue Messkammer"))
            return TRUE;
        FillCombo(m_pGlasRecordset, IDC_GLASSTYPE_COMBO);
    } catch (const _com_error& e) {
        ReportRecordError(m_pConnection, current, e);
    }
    return TRUE;
}

void CNeueMessreiheDlg::TakeChosenID(const _RecordsetPtr& rs, UINT id, long& chosen)
{
    const auto* combo = dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(id)));
    const int row = std::max(combo ? combo->GetCurSel() : 0, 0);
    rs->MoveFirst();
    rs->Move(row);
    const COleVariant value = rs->GetCollect("ID");
    if (value.vt != VT_EMPTY && value.vt != VT_NULL)
        chosen = GetFieldInt(rs, "ID");
}

void CNeueMessreiheDlg::OnOK()
{
    try {
        if (!HasOpenRecords(RequireRecordset(m_pVerdRecordset))) {
            AfxMessageBox("Error - Keine gültige Verdünnungsreihe");
            EndDialog(IDCANCEL);
            return;
        }
        if (!HasOpenRecords(RequireRecordset(m_pGlasRecordset))) {
            AfxMessageBox("Error - Keine gültiges Probengefäß");
            EndDialog(IDCANCEL);
            return;
        }
        TakeChosenID(m_pVerdRecordset, IDC_DILUTION_COMBO, m_nVReiheID);
        TakeChosenID(m_pGlasRecordset, IDC_GLASSTYPE_COMBO, m_nGlasTypID);
    } catch (const _com_error& e) {
        // A series with IDs that were never read would point nowhere.
        ReportRecordError(m_pConnection, nullptr, e);
        EndDialog(IDCANCEL);
        return;
    }
    CDialog::OnOK();
}
