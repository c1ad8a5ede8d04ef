#pragma once
// The samples of one measurement series, kept in their order: each change
// is stored at once and the places are 1..N after every insert and delete.
#include "database/ui/listrows.h"
#include "platform/database/ado.h"
#include "platform/ui/dialog.h"

// One sample's fields as texts.
class CNeueProbeDlg : public CDialog
{
public:
    explicit CNeueProbeDlg(CWnd* pParentWnd = nullptr);

    CString m_strProbennahmestelle;
    CString m_strProbenNr;
    CString m_strProbennahmeDatum;
    CString m_strPHWert = "7.0";
    CString m_strLeitfaehigkeit;
    CString m_strFaerbung;
    CString m_strKommentar;

    // Fills the fields from the current sample; a null field shows empty.
    void Load(const _RecordsetPtr& rs);
    // Writes the fields into the current record as they show, an empty
    // one as null; the caller stores it.
    void Store(const _RecordsetPtr& rs) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CDBProben : public CDialog
{
public:
    explicit CDBProben(CWnd* pParentWnd = nullptr);

    _ConnectionPtr m_pConnection;
    _RecordsetPtr m_pRecordset;
    int m_nSel = 0;
    long m_nMessreihenID = 0;

    void SelectRow(int row, BOOL bClear = FALSE);
    int GetSelectedRow();
    // Paints a row of the samples list; other controls paint themselves.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnInsert();
    void OnEdit();
    void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    CListCtrl* List();
    void InsertColumns();
    void FillList();
    void Renumber();
    // AddNew of a sample of the series at the place, from the entry dialog.
    void AddSample(short place, const CNeueProbeDlg& entry);
    void Failed(const _com_error& e);

    COwnerDrawnRows<CListCtrl> m_list;
};
