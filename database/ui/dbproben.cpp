#include "database/ui/dbproben.h"

#include "database/dbfields.h"
#include "database/masterrecords.h"
#include "database/ui/listrows.h"
#include "database/ui/masterdataresources.h"
#include "platform/core/profile.h"
#include "platform/ui/ddx.h"
#include "platform/ui/listctrl.h"

#include <array>

using namespace kestrun::dbui;

namespace {

struct CSampleColumn
{
    const char* title;
    int width;
    const char* field;
};

constexpr std::array<CSampleColumn, 8> kColumns = {{
    {"Index", 45, "Reihenfolge"},
    {"Probennahmestelle", 110, "Probennahmestelle"},
    {"Nr", 30, "ProbenNr"},
    {"Datum", 45, "ProbennahmeDatum"},
    {"PH-Wert", 60, "pHWert"},
    {"Leitfähigkeit", 70, "Leitfaehigkeit"},
    {"Färbung", 55, "Faerbung"},
    {"Kommentar", 200, "Kommentar"},
}};

constexpr const char* kWidthSection = "ProbenDlg";

COleVariant TextOrNull(const CString& text)
{
    return text.IsEmpty() ? COleVariant::Null() : COleVariant(text);
}

} // namespace

// ---- one sample ------------------------------------------------------------------------------

CNeueProbeDlg::CNeueProbeDlg(CWnd* pParentWnd) : CDialog((RegisterMasterDataDialogs(), IDD_NEUEPROBE), pParentWnd)
{
}

void CNeueProbeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_SITE), m_strProbennahmestelle);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_NUMBER), m_strProbenNr);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_DATE), m_strProbennahmeDatum);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_PH), m_strPHWert);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_CONDUCTIVITY), m_strLeitfaehigkeit);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_COLOUR), m_strFaerbung);
    DDX_Text(pDX, static_cast<int>(IDC_SAMPLE_COMMENT), m_strKommentar);
}

void CNeueProbeDlg::Load(const _RecordsetPtr& rs)
{
    // A sample without a pH shows none rather than the new sample's 7.0,
    // which OK would then store as if measured.
    m_strProbennahmestelle = rs->GetCollect("Probennahmestelle").ToString();
    m_strProbenNr = rs->GetCollect("ProbenNr").ToString();
    m_strProbennahmeDatum = rs->GetCollect("ProbennahmeDatum").ToString();
    m_strPHWert = rs->GetCollect("pHWert").ToString();
    m_strLeitfaehigkeit = rs->GetCollect("Leitfaehigkeit").ToString();
    m_strFaerbung = rs->GetCollect("Faerbung").ToString();
    m_strKommentar = rs->GetCollect("Kommentar").ToString();
}

void CNeueProbeDlg::Store(const _RecordsetPtr& rs) const
{
    rs->PutCollect("Probennahmestelle", TextOrNull(m_strProbennahmestelle));
    rs->PutCollect("ProbenNr", TextOrNull(m_strProbenNr));
    rs->PutCollect("ProbennahmeDatum", TextOrNull(m_strProbennahmeDatum));
    rs->PutCollect("pHWert", TextOrNull(m_strPHWert));
    rs->PutCollect("Leitfaehigkeit", TextOrNull(m_strLeitfaehigkeit));
    rs->PutCollect("Faerbung", TextOrNull(m_strFaerbung));
    rs->PutCollect("Kommentar", TextOrNull(m_strKommentar));
}

// ---- the list --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDBProben, CDialog)
    ON_BN_CLICKED(IDC_SAMPLE_ADD, OnAdd)
    ON_BN_CLICKED(IDC_SAMPLE_INSERT, OnInsert)
    ON_BN_CLICKED(IDC_SAMPLE_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_SAMPLE_DELETE, OnDelete)
END_MESSAGE_MAP()

CDBProben::CDBProben(CWnd* pParentWnd) : CDialog((RegisterMasterDataDialogs(), IDD_DBPROBEN), pParentWnd)
{
    BuildMessageMap();
}

CListCtrl* CDBProben::List()
{
    return m_list.GetSafeHwnd() != nullptr ? &m_list : nullptr;
}

void CDBProben::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl == static_cast<int>(IDC_SAMPLE_LIST) && lpDrawItemStruct != nullptr)
        DrawMasterDataRow(m_list, *lpDrawItemStruct);
}

void CDBProben::SelectRow(int row, BOOL bClear)
{
    if (CListCtrl* list = List())
        SelectListRow(*list, row, bClear);
}

int CDBProben::GetSelectedRow()
{
    CListCtrl* list = List();
    return list ? FirstSelectedRow(*list) : -1;
}

void CDBProben::Failed(const _com_error& e)
{
    ReportRecordError(m_pConnection, m_pRecordset, e);
}

BOOL CDBProben::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_SAMPLE_LIST, this);
    m_list.SetRowPainter([this](LPDRAWITEMSTRUCT item) { OnDrawItem(IDC_SAMPLE_LIST, item); });
    InsertColumns();
    FillList();
    return TRUE;
}

void CDBProben::InsertColumns()
{
    CListCtrl* list = List();
    if (list == nullptr)
        return;
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        const int width = static_cast<int>(
            GetProfileInt(kWidthSection, FormatString("Width%d", i), kColumns[static_cast<size_t>(i)].width));
        list->InsertColumn(i, kColumns[static_cast<size_t>(i)].title, LVCFMT_LEFT, width, i);
    }
}

void CDBProben::FillList()
{
    CListCtrl* list = List();
    if (list == nullptr)
        return;
    list->DeleteAllItems();
    try {
        const _RecordsetPtr rs = RequireRecordset(m_pRecordset);
        if (rs->GetRecordCount() > 0) {
            int row = 0;
            for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext(), ++row) {
                const COleVariant place = rs->GetCollect("Reihenfolge");
                const bool none = place.vt == VT_NULL || place.vt == VT_EMPTY;
                list->InsertItem(row, none ? CString() : FormatString("%d", GetFieldInt(rs, "Reihenfolge")));
                for (int col = 1; col < static_cast<int>(kColumns.size()); ++col)
                    list->SetItemText(row, col, rs->GetCollect(kColumns[static_cast<size_t>(col)].field).ToString());
            }
        }
    } catch (const _com_error& e) {
        Failed(e);
    }
    const int rows = list->GetItemCount();
    if (m_nSel >= rows)
        m_nSel = rows - 1;
    if (m_nSel < 0)
        m_nSel = 0;
    SelectRow(m_nSel);
}

void CDBProben::Renumber()
{
    const _RecordsetPtr rs = RequireRecordset(m_pRecordset);
    if (rs->GetRecordCount() <= 0)
        return;
    short place = 1;
    for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext(), ++place) {
        rs->PutCollect("Reihenfolge", COleVariant(place));
        rs->Update();
    }
}

void CDBProben::AddSample(short place, const CNeueProbeDlg& entry)
{
    const _RecordsetPtr rs = RequireRecordset(m_pRecordset);
    rs->AddNew();
    rs->PutCollect("MessreihenID", COleVariant(LONG(m_nMessreihenID)));
    rs->PutCollect("Reihenfolge", COleVariant(place));
    entry.Store(rs);
    rs->Update();
    rs->Requery();
}

void CDBProben::OnAdd()
{
    CNeueProbeDlg entry(this);
    if (entry.DoModal() != IDOK)
        return;
    // The selected row stays where it was.
    if (const int selected = GetSelectedRow(); selected >= 0)
        m_nSel = selected;
    try {
        AddSample(static_cast<short>(RequireRecordset(m_pRecordset)->GetRecordCount() + 1), entry);
    } catch (const _com_error& e) {
        Failed(e);
    }
    FillList();
}

void CDBProben::OnInsert()
{
    CNeueProbeDlg entry(this);
    if (entry.DoModal() != IDOK)
        return;
    m_nSel = GetSelectedRow();
    try {
        // The samples from the selected one on move down a place first, so
        // that the new sample comes before the selected one.
        if (m_nSel >= 0 && m_pConnection)
            m_pConnection->Execute(
                FormatString("UPDATE Proben SET Reihenfolge = Reihenfolge + 1 WHERE MessreihenID = %ld AND "
                             "Reihenfolge >= %d",
                             m_nMessreihenID, m_nSel + 1));
        AddSample(static_cast<short>(m_nSel + 1), entry);
        Renumber();
    } catch (const _com_error& e) {
        Failed(e);
        try {
            Renumber();
        } catch (const _com_error&) {
            // Reported once already.
        }
    }
    FillList();
}

void CDBProben::OnEdit()
{
    m_nSel = GetSelectedRow();
    if (m_nSel < 0)
        return;
    CNeueProbeDlg entry(this);
    try {
        if (!MoveToRow(RequireRecordset(m_pRecordset), m_nSel))
            return;
        entry.Load(m_pRecordset);
    } catch (const _com_error& e) {
        Failed(e);
        return;
    }
    if (entry.DoModal() == IDOK) {
        try {
            entry.Store(m_pRecordset);
            m_pRecordset->Update();
        } catch (const _com_error& e) {
            Failed(e);
        }
    }
    FillList();
}

void CDBProben::OnDelete()
{
    m_nSel = GetSelectedRow();
    if (m_nSel < 0)
        return;
    try {
        if (MoveToRow(RequireRecordset(m_pRecordset), m_nSel))
            DeleteCurrentAndMove(m_pRecordset);
        Renumber();
    } catch (const _com_error& e) {
        Failed(e);
    }
    FillList();
}

void CDBProben::OnOK()
{
    if (CListCtrl* list = List()) {
        for (int i = 0; i < static_cast<int>(kColumns.size()); ++i)
            WriteProfileInt(kWidthSection, FormatString("Width%d", i), list->GetColumnWidth(i));
    }
    m_nSel = GetSelectedRow();
    CDialog::OnOK();
}
