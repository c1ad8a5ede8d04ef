#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/masterrecords.h"
#include "database/ui/dbmessreihen.h"
#include "database/ui/masterdataresources.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"

#include <algorithm>

using namespace kestrun::dbui;

CString SeriesListName(const _RecordsetPtr& rs)
{
    const CString name = GetFieldString(rs, "Bezeichnung");
    return name.IsEmpty() ? CString("Empty") : name;
}

bool ConfirmAndDeleteSeries(const _ConnectionPtr& conn, const _RecordsetPtr& series)
{
    if (!HasOpenRecords(series))
        return true;
    if (AfxMessageBox("Do you really want to delete this dataset and all related datasets?\n"
                      "This operation cannot be reversed! ",
                      MB_OKCANCEL) != IDOK)
        return false;
    DeleteSeriesWithRecords(conn, series);
    return true;
}

BEGIN_MESSAGE_MAP(CDBMessreihen1, CDialog)
    ON_CBN_SELCHANGE(IDC_SERIES_COMBO, OnSelChangeSeries)
    ON_CBN_EDITCHANGE(IDC_SERIES_COMBO, OnEditChangeSeries)
    ON_BN_CLICKED(IDC_SERIES_ADD, OnAdd)
    ON_BN_CLICKED(IDC_SERIES_MODIFY, OnModify)
    ON_BN_CLICKED(IDC_SERIES_DELETE, OnDelete)
END_MESSAGE_MAP()

CDBMessreihen1::CDBMessreihen1(CWnd* pParentWnd)
    : CDialog((RegisterMasterDataDialogs(), IDD_DBMESSREIHEN1), pParentWnd)
{
    BuildMessageMap();
}

CComboBox* CDBMessreihen1::SeriesCombo()
{
    return dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(IDC_SERIES_COMBO)));
}

CString CDBMessreihen1::ComboText()
{
    CString text;
    GetDlgItemText(static_cast<int>(IDC_SERIES_COMBO), text);
    return text;
}

void CDBMessreihen1::Failed(const _com_error& e)
{
    ReportRecordError(m_pDoc ? m_pDoc->GetConnection() : nullptr, m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr, e);
}

BOOL CDBMessreihen1::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillSeriesCombo();
    UpdateData(FALSE);
    UpdateButtons();
    return TRUE;
}

void CDBMessreihen1::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    long count = 0;
    long position = 0;
    try {
        const _RecordsetPtr rs = m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr;
        if (HasOpenRecords(rs)) {
            count = rs->GetRecordCount();
            position = rs->GetAbsolutePosition();
            const COleVariant name = rs->GetCollect("Bezeichnung");
            m_strBezeichnung = name.vt == VT_NULL ? CString("---") : name.ToString();
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    SetDlgItemText(static_cast<int>(IDC_SERIES_POSITION1), FormatString("%ld/%ld", position, count));
    if (CComboBox* combo = SeriesCombo(); combo && !pDX->m_bSaveAndValidate)
        combo->SetWindowText(m_strBezeichnung);
}

void CDBMessreihen1::FillSeriesCombo()
{
    CComboBox* combo = SeriesCombo();
    if (combo == nullptr)
        return;
    combo->ResetContent();
    try {
        const _RecordsetPtr rs = m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr;
        if (!HasOpenRecords(rs))
            return;
        const long position = rs->GetAbsolutePosition();
        for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext()) {
            const COleVariant name = rs->GetCollect("Bezeichnung");
            combo->AddString(name.vt == VT_NULL ? CString("Empty") : name.ToString());
        }
        rs->MoveFirst();
        if (position > 1)
            rs->Move(position - 1);
    } catch (const _com_error& e) {
        Failed(e);
    }
}

void CDBMessreihen1::UpdateButtons()
{
    bool records = false;
    try {
        records = HasOpenRecords(m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr);
    } catch (const _com_error&) {
        records = false;
    }
    for (const UINT id : {IDC_SERIES_ADD, IDC_SERIES_MODIFY})
        if (CWnd* button = GetDlgItem(static_cast<int>(id)))
            button->EnableWindow(m_bEdited != 0);
    if (CWnd* button = GetDlgItem(static_cast<int>(IDC_SERIES_DELETE)))
        button->EnableWindow(records);
}

void CDBMessreihen1::OnEditChangeSeries()
{
    m_bEdited = 1;
    UpdateButtons();
}

void CDBMessreihen1::OnSelChangeSeries()
{
    CComboBox* combo = SeriesCombo();
    if (combo == nullptr || m_pDoc == nullptr)
        return;
    const int row = std::max(combo->GetCurSel(), 0);
    try {
        if (MoveToRow(RequireRecordset(m_pDoc->GetSeriesRecordset()), row)) {
            UpdateData(FALSE);
            m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
}

void CDBMessreihen1::OnAdd()
{
    try {
        if (m_pDoc == nullptr)
            throw _com_error(ADO_E_ILLEGALOPERATION, "No database document");
        const CString name = ComboText();
        const long dilution = GetFieldInt(RequireRecordset(m_pDoc->GetDilutionSeriesRecordset()), "ID");
        const long glass = GetFieldInt(RequireRecordset(m_pDoc->GetGlassTypeRecordset()), "ID");
        if (!name.IsEmpty() && m_bEdited == 1) {
            const _RecordsetPtr rs = RequireRecordset(m_pDoc->GetSeriesRecordset());
            rs->AddNew();
            rs->PutCollect("V_ReiheID", COleVariant(LONG(dilution)));
            rs->PutCollect("GlasTypID", COleVariant(LONG(glass)));
            rs->PutCollect("Bezeichnung", COleVariant(name));
            rs->Update();
            rs->Requery();
            rs->MoveLast();
            m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
            FillSeriesCombo();
            UpdateData(FALSE);
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    m_bEdited = 0;
    UpdateButtons();
}

void CDBMessreihen1::OnModify()
{
    try {
        const CString name = ComboText();
        if (!name.IsEmpty() && m_bEdited == 1 && m_pDoc != nullptr) {
            const _RecordsetPtr rs = RequireRecordset(m_pDoc->GetSeriesRecordset());
            rs->PutCollect("Bezeichnung", COleVariant(name));
            rs->Update();
            FillSeriesCombo();
            UpdateData(FALSE);
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    m_bEdited = 0;
    UpdateButtons();
}

void CDBMessreihen1::OnDelete()
{
    try {
        if (m_pDoc == nullptr)
            throw _com_error(ADO_E_ILLEGALOPERATION, "No database document");
        if (!ConfirmAndDeleteSeries(m_pDoc->GetConnection(), RequireRecordset(m_pDoc->GetSeriesRecordset()))) {
            m_bEdited = 0;
            UpdateButtons();
            return;
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    FillSeriesCombo();
    UpdateData(FALSE);
    if (m_pDoc != nullptr)
        m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
    m_bEdited = 0;
    UpdateButtons();
}
