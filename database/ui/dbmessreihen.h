#pragma once
// The measurement-series dialogs. They work on the database document's
// series recordset, so the series current in a dialog is the one the form
// shows afterwards; each change is stored at once.
#include "platform/database/ado.h"
#include "platform/ui/dialog.h"

class CComboBox;
class CDBDocADO;

// The full dialog: series chosen, created with their samples and deleted;
// their dilution series, glass type and sample shown.
class CDBMessreihen : public CDialog
{
public:
    explicit CDBMessreihen(CWnd* pParentWnd = nullptr);

    CDBDocADO* m_pDoc = nullptr;
    long m_nCount = 0;
    CString m_strGlastyp;
    CString m_strVerduennung;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnNewSeries();
    void OnSelChangeSeries();
    void OnDeleteSeries();
    void OnSelChangeProbe();
    DECLARE_MESSAGE_MAP()

private:
    void FillSeriesCombo();
    void ShowSeriesDetails();
    // The description of the record with the ID, empty when there is none.
    static CString DescriptionOf(const _RecordsetPtr& rs, long id);
    void FillSamples(const CString& probe);
    // The samples dialog for the new, current series; takes its first sample.
    void RunSamples();
    CComboBox* Combo(UINT id);
    void Failed(const _com_error& e);
};

// The short dialog: series chosen, added, renamed and deleted by name.
class CDBMessreihen1 : public CDialog
{
public:
    explicit CDBMessreihen1(CWnd* pParentWnd = nullptr);

    CDBDocADO* m_pDoc = nullptr;
    int m_bEdited = 0;
    CString m_strBezeichnung;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChangeSeries();
    void OnEditChangeSeries();
    void OnAdd();
    void OnModify();
    void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    void FillSeriesCombo();
    void UpdateButtons();
    CComboBox* SeriesCombo();
    CString ComboText();
    void Failed(const _com_error& e);
};

// Name, dilution series and glass type of a new series; makes the first
// dilution series or glass type itself when there is none.
class CNeueMessreiheDlg : public CDialog
{
public:
    explicit CNeueMessreiheDlg(CWnd* pParentWnd = nullptr);

    _ConnectionPtr m_pConnection;
    _RecordsetPtr m_pVerdRecordset;
    _RecordsetPtr m_pGlasRecordset;
    long m_nVReiheID = 0;
    long m_nGlasTypID = 0;
    CString m_strBezeichnung;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    // Makes the first record from an entry dialog when the table has none;
    // false when there is still none.
    bool EnsureFirstRecord(const _RecordsetPtr& rs, const char* title);
    void FillCombo(const _RecordsetPtr& rs, UINT id);
    // ID of the record of the combo's selected row (row 0 when none);
    // a null ID leaves chosen as it was.
    void TakeChosenID(const _RecordsetPtr& rs, UINT id, long& chosen);
};

// Text of a series name field for a list: "Empty" for a null or empty one.
CString SeriesListName(const _RecordsetPtr& rs);
// Asks the question before a series goes and deletes it with its records.
// False when the user declined.
bool ConfirmAndDeleteSeries(const _ConnectionPtr& conn, const _RecordsetPtr& series);
