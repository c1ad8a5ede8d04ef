#include "database/ui/dbmessreihen.h"

#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/masterrecords.h"
#include "database/ui/dbproben.h"
#include "database/ui/masterdataresources.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"

#include <algorithm>

using namespace kestrun::dbui;

BEGIN_MESSAGE_MAP(CDBMessreihen, CDialog)
    ON_BN_CLICKED(IDC_NEW_SERIES, OnNewSeries)
    ON_CBN_SELCHANGE(IDC_SERIES_COMBO, OnSelChangeSeries)
    ON_BN_CLICKED(IDC_SERIES_DELETE, OnDeleteSeries)
    ON_CBN_SELCHANGE(IDC_SAMPLE_COMBO, OnSelChangeProbe)
END_MESSAGE_MAP()

CDBMessreihen::CDBMessreihen(CWnd* pParentWnd) : CDialog((RegisterMasterDataDialogs(), IDD_DBMESSREIHEN), pParentWnd)
{
    BuildMessageMap();
}

CComboBox* CDBMessreihen::Combo(UINT id)
{
    return dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(id)));
}

void CDBMessreihen::Failed(const _com_error& e)
{
    ReportRecordError(m_pDoc ? m_pDoc->GetConnection() : nullptr, m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr, e);
}

BOOL CDBMessreihen::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillSeriesCombo();
    ShowSeriesDetails();
    return TRUE;
}

void CDBMessreihen::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    m_nCount = 0;
    long position = 0;
    try {
        const _RecordsetPtr rs = m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr;
        if (rs && rs->GetState() == adStateOpen) {
            m_nCount = rs->GetRecordCount();
            if (m_nCount > 0)
                position = rs->GetAbsolutePosition();
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    SetDlgItemText(static_cast<int>(IDC_SERIES_POSITION), FormatString("%ld/%ld", position, m_nCount));
    DDX_Text(pDX, static_cast<int>(IDC_GLASSTYPE_TEXT), m_strGlastyp);
    DDX_Text(pDX, static_cast<int>(IDC_DILUTION_TEXT), m_strVerduennung);
    for (const UINT id : {IDC_SERIES_COMBO, IDC_SERIES_DELETE})
        if (CWnd* control = GetDlgItem(static_cast<int>(id)))
            control->EnableWindow(m_nCount >= 1);
}

void CDBMessreihen::FillSeriesCombo()
{
    CComboBox* combo = Combo(IDC_SERIES_COMBO);
    if (combo == nullptr)
        return;
    combo->ResetContent();
    try {
        const _RecordsetPtr rs = RequireRecordset(m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr);
        m_nCount = rs->GetRecordCount();
        if (m_nCount <= 0)
            return;
        const long position = rs->GetAbsolutePosition();
        for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
            combo->AddString(SeriesListName(rs));
        rs->MoveFirst();
        if (position > 0) {
            rs->Move(position - 1);
            combo->SetCurSel(static_cast<int>(position - 1));
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
}

CString CDBMessreihen::DescriptionOf(const _RecordsetPtr& rs, long id)
{
    if (!HasOpenRecords(rs))
        return CString();
    rs->MoveFirst();
    rs->Find(FormatString("ID = %ld", id));
    return rs->GetEOF() ? CString() : GetFieldString(rs, DescriptionColumn(rs));
}

void CDBMessreihen::FillSamples(const CString& probe)
{
    CComboBox* combo = Combo(IDC_SAMPLE_COMBO);
    if (combo == nullptr)
        return;
    combo->ResetContent();
    const _RecordsetPtr samples = m_pDoc->GetSampleRecordset();
    if (HasOpenRecords(samples))
        for (samples->MoveFirst(); !samples->GetEOF(); samples->MoveNext())
            combo->AddString(GetFieldString(samples, "Probennahmestelle"));
    combo->SetCurSel(probe.IsEmpty() ? -1 : combo->FindStringExact(-1, probe));
}

void CDBMessreihen::ShowSeriesDetails()
{
    try {
        const _RecordsetPtr series = m_pDoc ? m_pDoc->GetSeriesRecordset() : nullptr;
        if (HasOpenRecords(series)) {
            const CString probe = GetFieldString(series, "Probe");
            const long glass = GetFieldInt(series, "GlasTypID");
            const long dilution = GetFieldInt(series, "V_ReiheID");
            // A series whose glass type or dilution series is gone shows
            // none, not the previous series' one.
            m_strGlastyp = DescriptionOf(m_pDoc->GetGlassTypeRecordset(), glass);
            m_strVerduennung = DescriptionOf(m_pDoc->GetDilutionSeriesRecordset(), dilution);
            m_pDoc->OpenSamples();
            FillSamples(probe);
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    UpdateData(FALSE);
}

void CDBMessreihen::OnSelChangeProbe()
{
    CComboBox* combo = Combo(IDC_SAMPLE_COMBO);
    if (combo == nullptr || m_pDoc == nullptr || combo->GetCurSel() < 0)
        return;
    try {
        CString text;
        combo->GetLBText(combo->GetCurSel(), text);
        const _RecordsetPtr series = RequireRecordset(m_pDoc->GetSeriesRecordset());
        series->PutCollect("Probe", COleVariant(text));
        series->Update();
    } catch (const _com_error& e) {
        Failed(e);
    }
}

void CDBMessreihen::OnSelChangeSeries()
{
    CComboBox* combo = Combo(IDC_SERIES_COMBO);
    if (combo == nullptr || m_pDoc == nullptr)
        return;
    try {
        if (!MoveToRow(RequireRecordset(m_pDoc->GetSeriesRecordset()), std::max(combo->GetCurSel(), 0)))
            return;
    } catch (const _com_error& e) {
        Failed(e);
        return;
    }
    UpdateData(FALSE);
    m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
    ShowSeriesDetails();
    // The form shows the first measurement of the chosen series.
    SendMessage(WM_COMMAND, ID_RECORD_FIRST, 0);
}

void CDBMessreihen::OnDeleteSeries()
{
    try {
        if (m_pDoc == nullptr)
            throw _com_error(ADO_E_ILLEGALOPERATION, "No database document");
        if (!ConfirmAndDeleteSeries(m_pDoc->GetConnection(), RequireRecordset(m_pDoc->GetSeriesRecordset())))
            return;
    } catch (const _com_error& e) {
        Failed(e);
    }
    UpdateData(FALSE);
    FillSeriesCombo();
    ShowSeriesDetails();
    if (m_pDoc != nullptr)
        m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
}

void CDBMessreihen::RunSamples()
{
    CDBProben samples(this);
    samples.m_pConnection = m_pDoc->GetConnection();
    samples.m_nMessreihenID = GetFieldInt(m_pDoc->GetSeriesRecordset(), "ID");
    m_pDoc->OpenSamples();
    samples.m_pRecordset = m_pDoc->GetSampleRecordset();
    if (samples.DoModal() != IDOK)
        return;
    m_pDoc->OpenSamples();
    const _RecordsetPtr rs = m_pDoc->GetSampleRecordset();
    if (!HasOpenRecords(rs))
        return;
    rs->MoveFirst();
    const _RecordsetPtr series = m_pDoc->GetSeriesRecordset();
    series->PutCollect("Probe", COleVariant(GetFieldString(rs, "Probennahmestelle")));
    series->Update();
}

void CDBMessreihen::OnNewSeries()
{
    if (m_pDoc == nullptr)
        return;
    CNeueMessreiheDlg entry(this);
    entry.m_pConnection = m_pDoc->GetConnection();
    entry.m_pVerdRecordset = m_pDoc->GetDilutionSeriesRecordset();
    entry.m_pGlasRecordset = m_pDoc->GetGlassTypeRecordset();
    if (entry.DoModal() != IDOK)
        return;
    if (entry.m_strBezeichnung.IsEmpty()) {
        AfxMessageBox("Bitte geben Sie immer eine Messreihen Bezeichnung ein!");
        return;
    }
    try {
        const _RecordsetPtr series = RequireRecordset(m_pDoc->GetSeriesRecordset());
        series->AddNew();
        series->PutCollect("V_ReiheID", COleVariant(LONG(entry.m_nVReiheID)));
        series->PutCollect("GlasTypID", COleVariant(LONG(entry.m_nGlasTypID)));
        series->PutCollect("Bezeichnung", COleVariant(entry.m_strBezeichnung));
        series->Update();
        series->Requery();
        m_nCount = series->GetRecordCount();
        MoveToRow(series, m_nCount - 1);
        RunSamples();
    } catch (const _com_error& e) {
        Failed(e);
    }
    ShowSeriesDetails();
    FillSeriesCombo();
    UpdateData(FALSE);
    m_pDoc->UpdateAllViews(nullptr, 0, nullptr);
}
