#include "database/ui/dbverd.h"

#include "database/dbfields.h"
#include "database/masterrecords.h"
#include "database/ui/dbnewentrydlg.h"
#include "database/ui/masterdataresources.h"
#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

using namespace kestrun::dbui;

namespace {

constexpr const char* kStepsQuery =
    "SELECT * FROM Verduennungsstufen WHERE V_ReiheID = %ld ORDER BY Reihenfolge, GlasNr";

CString FieldText(const _RecordsetPtr& rs, const char* field)
{
    return rs->GetCollect(field).ToString();
}

CString NumberText(const _RecordsetPtr& rs, const char* field)
{
    const COleVariant value = rs->GetCollect(field);
    return value.vt == VT_NULL || value.vt == VT_EMPTY ? CString() : FormatString("%d", GetFieldInt(rs, field));
}

// The leading decimal digits of a cell's text (after blanks and a sign);
// 0 when there are none. Kept inside the field's range.
long LeadingNumber(const CString& text, long lowest, long highest)
{
    const long long value = std::strtoll(text.GetString(), nullptr, 10);
    return static_cast<long>(std::clamp<long long>(value, lowest, highest));
}

} // namespace

// ---- a new step ------------------------------------------------------------------------------

CNeueVerdStufeDlg::CNeueVerdStufeDlg(CWnd* pParentWnd)
    : CDialog((RegisterMasterDataDialogs(), IDD_NEUEVERDSTUFE), pParentWnd)
{
}

void CNeueVerdStufeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_STEP_GLASSNR), m_nGlasNr);
    DDX_Text(pDX, static_cast<int>(IDC_STEP_ORDER), m_nReihenfolge);
    DDX_Text(pDX, static_cast<int>(IDC_STEP_TEXT), m_strBeschreibung);
}

// ---- the dilution series and their steps -----------------------------------------------------

BEGIN_MESSAGE_MAP(CDBVerd, CDialog)
    ON_NOTIFY(NM_CLICK, IDC_DILUTION_LIST, OnClickSeries)
    ON_BN_CLICKED(IDC_DILUTION_ADD, OnAddSeries)
    ON_BN_CLICKED(IDC_DILUTION_DELETE, OnDeleteSeries)
    ON_BN_CLICKED(IDC_STEP_ADD, OnAddStep)
    ON_BN_CLICKED(IDC_STEP_DELETE, OnDeleteStep)
    ON_NOTIFY(LVN_BEGINLABELEDIT, IDC_STEP_LIST, OnBeginLabelEdit)
    ON_NOTIFY(LVN_ENDLABELEDIT, IDC_STEP_LIST, OnEndLabelEdit)
END_MESSAGE_MAP()

CDBVerd::CDBVerd(CWnd* pParentWnd) : CDialog((RegisterMasterDataDialogs(), IDD_DBVERD), pParentWnd)
{
    BuildMessageMap();
}

CDBVerd::~CDBVerd() = default;

int CDBVerd::GetFirstSelectedItem(const CListCtrl& list) const
{
    return FirstSelectedRow(list);
}

_RecordsetPtr CDBVerd::SelectedSeries()
{
    const int row = GetFirstSelectedItem(m_listReihen);
    if (row < 0)
        return nullptr;
    const _RecordsetPtr rs = RequireRecordset(m_pVerdRecordset);
    return MoveToRow(rs, row) ? rs : nullptr;
}

void CDBVerd::Failed(const _RecordsetPtr& pending, const _com_error& e)
{
    ReportRecordError(m_pConnection, pending, e);
}

void CDBVerd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl == static_cast<int>(IDC_DILUTION_LIST) && lpDrawItemStruct != nullptr)
        DrawMasterDataRow(m_listReihen, *lpDrawItemStruct);
}

BOOL CDBVerd::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_listReihen.SubclassDlgItem(IDC_DILUTION_LIST, this);
    m_listStufen.SubclassDlgItem(IDC_STEP_LIST, this);
    m_listReihen.SetRowPainter([this](LPDRAWITEMSTRUCT item) { OnDrawItem(IDC_DILUTION_LIST, item); });
    m_listStufen.SetGridStyle(0);
    InsertColumns();
    FillSeriesList();
    FillStepsList();
    return TRUE;
}

void CDBVerd::InsertColumns()
{
    m_listReihen.InsertColumn(0, "ID", LVCFMT_LEFT, 45, 0);
    m_listReihen.InsertColumn(1, "Beschreibung", LVCFMT_LEFT, 300, 1);
    m_listStufen.InsertColumn(0, "GlasNr.", LVCFMT_LEFT, 55, 0);
    m_listStufen.InsertColumn(1, "Reihenfolge", LVCFMT_LEFT, 55, 1);
    m_listStufen.InsertColumn(2, "Beschreibung", LVCFMT_LEFT, 250, 2);
}

void CDBVerd::FillSeriesList()
{
    m_listReihen.DeleteAllItems();
    try {
        const _RecordsetPtr rs = RequireRecordset(m_pVerdRecordset);
        if (rs->GetRecordCount() > 0) {
            rs->MoveFirst();
            m_nVReiheID = GetFieldInt(rs, "ID");
            const CString column = DescriptionColumn(rs);
            for (int row = 0; !rs->GetEOF(); rs->MoveNext(), ++row) {
                m_listReihen.InsertItem(row, NumberText(rs, "ID"));
                m_listReihen.SetItemText(row, 1, FieldText(rs, column));
            }
            rs->MoveFirst();
            SelectListRow(m_listReihen, 0);
        }
    } catch (const _com_error& e) {
        Failed(m_pVerdRecordset, e);
    }
    UpdateButtons();
}

void CDBVerd::UpdateButtons()
{
    bool any = false;
    try {
        any = HasOpenRecords(m_pVerdRecordset);
    } catch (const _com_error& e) {
        Failed(nullptr, e);
    }
    if (CWnd* add = GetDlgItem(IDC_STEP_ADD))
        add->EnableWindow(any);
}

void CDBVerd::FillStepsList()
{
    m_listStufen.DeleteAllItems();
    try {
        if (!m_pConnection)
            throw _com_error(ADO_E_ILLEGALOPERATION, "No connection");
        const _RecordsetPtr rs = RequireRecordset(m_pStufenRecordset);
        if (rs->GetState() == adStateOpen)
            rs->Close();
        rs->PutCursorLocation(adUseClient);
        rs->Open(FormatString(kStepsQuery, m_nVReiheID), m_pConnection, adOpenDynamic, adLockOptimistic, adCmdText);
        if (rs->GetRecordCount() > 0) {
            rs->MoveFirst();
            for (int row = 0; !rs->GetEOF(); rs->MoveNext(), ++row) {
                m_listStufen.InsertItem(row, NumberText(rs, "GlasNr"));
                m_listStufen.SetItemText(row, 1, NumberText(rs, "Reihenfolge"));
                m_listStufen.SetItemText(row, 2, FieldText(rs, "Beschreibung"));
            }
        }
    } catch (const _com_error& e) {
        Failed(m_pStufenRecordset, e);
    }
}

void CDBVerd::OnClickSeries(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    try {
        const _RecordsetPtr rs = SelectedSeries();
        if (!rs)
            return;
        m_nVReiheID = GetFieldInt(rs, "ID");
    } catch (const _com_error& e) {
        Failed(m_pVerdRecordset, e);
        return;
    }
    FillStepsList();
}

void CDBVerd::OnAddSeries()
{
    CDBNewEntryDlg entry(this);
    if (entry.DoModal() != IDOK)
        return;
    if (entry.m_strText.IsEmpty()) {
        AfxMessageBox("Bitte geben Sie immer eine Beschreibung ein!");
        return;
    }
    try {
        const _RecordsetPtr rs = RequireRecordset(m_pVerdRecordset);
        rs->AddNew();
        rs->PutCollect(DescriptionColumn(rs), COleVariant(entry.m_strText));
        rs->Update();
        rs->Requery();
    } catch (const _com_error& e) {
        Failed(m_pVerdRecordset, e);
    }
    FillSeriesList();
    FillStepsList();
}

void CDBVerd::OnDeleteSeries()
{
    try {
        const _RecordsetPtr rs = SelectedSeries();
        if (!rs)
            return;
        if (!DeleteUnusedDilutionSeries(m_pConnection, rs)) {
            AfxMessageBox("Diese Verdünnungsreihe wird noch von einer Messreihe verwendet und kann nicht gelöscht "
                          "werden.",
                          MB_ICONINFORMATION);
            return;
        }
    } catch (const _com_error& e) {
        Failed(m_pVerdRecordset, e);
    }
    FillSeriesList();
    FillStepsList();
}

void CDBVerd::OnAddStep()
{
    CNeueVerdStufeDlg entry(this);
    entry.m_nGlasNr = m_nNextGlasNr;
    if (entry.DoModal() != IDOK)
        return;
    const CString text = entry.m_strBeschreibung.IsEmpty() ? CString(" ") : entry.m_strBeschreibung;
    try {
        const _RecordsetPtr rs = RequireRecordset(m_pStufenRecordset);
        rs->AddNew();
        rs->PutCollect("V_ReiheID", COleVariant(LONG(m_nVReiheID)));
        rs->PutCollect("GlasNr", COleVariant(static_cast<short>(std::clamp(entry.m_nGlasNr, SHRT_MIN, SHRT_MAX))));
        rs->PutCollect("Reihenfolge", COleVariant(LONG(entry.m_nReihenfolge)));
        rs->PutCollect("Beschreibung", COleVariant(text));
        rs->Update();
    } catch (const _com_error& e) {
        Failed(m_pStufenRecordset, e);
    }
    ++m_nNextGlasNr;
    FillStepsList();
}

void CDBVerd::OnDeleteStep()
{
    const int row = GetFirstSelectedItem(m_listStufen);
    if (row < 0)
        return;
    try {
        const _RecordsetPtr rs = RequireRecordset(m_pStufenRecordset);
        if (HasOpenRecords(rs) && MoveToRow(rs, row))
            DeleteCurrentAndMove(rs);
    } catch (const _com_error& e) {
        Failed(m_pStufenRecordset, e);
    }
    FillStepsList();
}

void CDBVerd::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The list's own label editing never starts.
    *pResult = 1;
    const auto* info = reinterpret_cast<const NMLVDISPINFO*>(pNMHDR);
    m_pEdit.reset();
    const CString text = info->pszText != nullptr ? CString(info->pszText) : CString();
    m_pEdit = std::make_unique<CInPlaceEdit>(info->iItem, info->iSubItem, text);
    m_pEdit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL, CRect(0, 0, 1, 1),
                    &m_listStufen, kEditId);
    m_listStufen.EditSubItem(m_pEdit.get(), info->iItem, m_listStufen.GetColumnOrderPosition(info->iSubItem));
    m_pEdit->FitToText();
}

void CDBVerd::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* info = reinterpret_cast<const NMLVDISPINFO*>(pNMHDR);
    const int item = info->iItem;
    const int subItem = info->iSubItem;
    const bool cancelled = info->pszText == nullptr;
    const CString text = cancelled ? CString() : CString(info->pszText);
    if (m_pEdit) {
        if (!cancelled)
            m_listStufen.SetItemText(item, subItem, text);
        m_pEdit.reset();
    }
    try {
        if (!HasOpenRecords(m_pStufenRecordset))
            return;
    } catch (const _com_error& e) {
        Failed(m_pStufenRecordset, e);
        return;
    }
    if (!cancelled)
        StoreCell(item, subItem, text);
    FillStepsList();
}

void CDBVerd::StoreCell(int item, int subItem, const CString& text)
{
    try {
        const _RecordsetPtr& rs = m_pStufenRecordset;
        if (!MoveToRow(rs, item))
            return;
        switch (subItem) {
        case 0:
            rs->PutCollect("GlasNr", COleVariant(static_cast<short>(LeadingNumber(text, SHRT_MIN, SHRT_MAX))));
            break;
        case 1:
            rs->PutCollect("Reihenfolge", COleVariant(LONG(LeadingNumber(text, INT_MIN, INT_MAX))));
            break;
        case 2:
            if (!text.IsEmpty())
                rs->PutCollect("Beschreibung", COleVariant(text));
            break;
        default:
            break;
        }
        rs->Update();
    } catch (const _com_error& e) {
        Failed(m_pStufenRecordset, e);
    }
}
