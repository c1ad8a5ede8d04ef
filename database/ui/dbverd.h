#pragma once
// The dilution series (upper list) and the steps of the chosen one (lower
// grid, cells edited in place). Each change is stored at once. A dilution
// series that a measurement series still uses is not deleted; an unused
// one goes together with its steps.
#include "database/ui/listrows.h"
#include "platform/database/ado.h"
#include "platform/ui/dialog.h"
#include "platform/ui/inplaceedit.h"
#include "series/ui/gridlistctrl.h"

#include <memory>

// Asks for a new dilution step.
class CNeueVerdStufeDlg : public CDialog
{
public:
    explicit CNeueVerdStufeDlg(CWnd* pParentWnd = nullptr);

    int m_nGlasNr = 0;
    int m_nReihenfolge = 0;
    CString m_strBeschreibung;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CDBVerd : public CDialog
{
public:
    // Control id of the in-place editor over a step cell.
    static constexpr UINT kEditId = 103;

    explicit CDBVerd(CWnd* pParentWnd = nullptr);
    ~CDBVerd() override;

    _ConnectionPtr m_pConnection;
    _RecordsetPtr m_pVerdRecordset;
    _RecordsetPtr m_pStufenRecordset;
    _RecordsetPtr m_pMessreihenRecordset;
    long m_nVReiheID = 0;
    int m_nNextGlasNr = 1;

    int GetFirstSelectedItem(const CListCtrl& list) const;
    CGridListCtrl& GetSeriesList() { return m_listReihen; }
    CGridListCtrl& GetStepList() { return m_listStufen; }
    CInPlaceEdit* GetCellEditor() const { return m_pEdit.get(); }

    // Paints a row of the dilution-series list; other controls paint
    // themselves.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnInitDialog() override;
    void OnClickSeries(NMHDR* pNMHDR, LRESULT* pResult);
    void OnAddSeries();
    void OnDeleteSeries();
    void OnAddStep();
    void OnDeleteStep();
    void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void InsertColumns();
    void FillSeriesList();
    void FillStepsList();
    void UpdateButtons();
    // The series recordset moved to the selected row; null without one.
    // A failing recordset raises _com_error.
    _RecordsetPtr SelectedSeries();
    // Writes the edited cell's text into its step and stores it.
    void StoreCell(int item, int subItem, const CString& text);
    void Failed(const _RecordsetPtr& pending, const _com_error& e);

    COwnerDrawnRows<CGridListCtrl> m_listReihen;
    CGridListCtrl m_listStufen;
    // After the lists: it is a child of the steps list and goes first.
    std::unique_ptr<CInPlaceEdit> m_pEdit;
};
