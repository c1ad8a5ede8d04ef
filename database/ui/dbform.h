#pragma once
// CDBForm: the form of the growth-test database (Mode 3). It shows one
// record of table Messungen of the current measurement series with its
// image, moves through the series, counts and measures the image into the
// record, adds and deletes records and keeps the area correction factors.
#include "database/bandfactors.h"
#include "database/reportvalues.h"
#include "database/ui/bvformview.h"
#include "database/ui/listrows.h"
#include "platform/automation/dispatchable.h"
#include "platform/database/ado.h"

#include <functional>
#include <vector>

class CDBDocADO;
class CDocument;
class CCmdUI;
class CListCtrl;

// One row of the result list: title, value, unit.
struct tagDATA_LIST
{
    CString strTitle;
    CString strValue;
    CString strUnit;
};

class CDBForm : public CBVFormView, public kestrun::CDispatchable, public IReportWorkbook
{
    DECLARE_DYNCREATE(CDBForm)

public:
    // Reads the "DataBase" settings and "DBFormMode" of "mode.ini".
    CDBForm();
    // Writes the settings back and tells the main window the form is gone.
    ~CDBForm() override;

    CDBDocADO* GetDocument() const;

    BOOL CreateImageView(BOOL bVideo) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // ---- records ----
    void OnRecordFirst();
    void OnRecordPrev();
    void OnRecordNext();
    void OnRecordLast();
    void OnNewRecord();
    void OnDeleteRecord();
    // The images of the current record.
    void OnLoadImage();
    void OnSaveImage();
    void OnInitVideo();

    // ---- counting ----
    void OnCount();
    void OnNewCount();
    void OnAreaAndCount();
    void MeasureArea();
    // wParam: manual count; lParam: the result document, or 0 for the
    // manual count alone.
    LRESULT OnDataChanged(WPARAM wParam, LPARAM lParam);

    // ---- correction factors ----
    float GetBandFactor(int fillLevel) const;
    void LoadCorrectionFactors() { ExchangeCorrectionFactors(false); }
    void StoreCorrectionFactors() { ExchangeCorrectionFactors(true); }
    void EditCorrectionFactors();

    // ---- reports ----
    static constexpr const char* kDBFrontClassId = "{75117FDB-B7A6-4CCE-B029-CCA4DC77DD25}";
    // 13 titles, 15 in form mode 1; also the report's column count.
    int BuildReportTitles(std::vector<CString>& titles);
    // Appends the values of every record of the series in title order;
    // the record count. The form stays on its record.
    long BuildReportRows(std::vector<CString>& values);
    // The script object "DBFront".
    const kestrun::CDispatchMap& GetDispatchMap() const override;
    short GetReportTitles(COleVariant& target);
    short GetReportValues(COleVariant& target);
    // The series name for 0, else empty.
    COleVariant GetReportInfo(short nIndex) const;
    CString GetReportWorkbook() const override { return m_strWorkbook; }
    void OnPrintReport();
    // The series' records as a table (form mode 1: the count matrix).
    void OnShowTable();

    // Appends a title to the column titles that all generic rows share.
    static void AddGlobalString(const CString& title);

    _RecordsetPtr GetMeasurements() const { return m_pMessungen; }
    const std::vector<tagDATA_LIST>& GetResultRows() const { return m_arrResults; }
    CListCtrl& GetResultList() { return m_resultList; }

    int m_nFormMode = 0;
    CBandFactorArray m_fBandFactor{1.0F, 1.0F, 1.0F, 1.0F, 1.0F, 1.0F, 1.0F};
    int m_nVessel = 0;
    int m_nSelectedSample = 0;
    int m_nMeasurementDay = 0;
    int m_nFillLevel = 0;
    long m_nRecordCount = 0;
    CString m_strDefaultClassName = "Normal";
    CString m_strReportTemplate;
    // The workbook Print Report filled last.
    CString m_strWorkbook;
    CString m_strSample;
    CString m_strSeriesFolder;
    CString m_strSeriesName = "Empty";
    CString m_strPosition;
    int m_bSaveImage = 0;
    CString m_strProfile;
    float m_fCorrectionFactor = 0.0F;
    // Of the last new record in form modes other than 1.
    CString m_strDescription;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnNoAction(WPARAM wParam, LPARAM lParam);
    void OnSelectReportTemplate();
    void OnSaveImageCheck();
    void OnUpdateRecordOpen(CCmdUI* pCmdUI);
    void OnUpdateRecordAny(CCmdUI* pCmdUI);
    void OnUpdateRecordFirstPrev(CCmdUI* pCmdUI);
    void OnUpdateRecordNextLast(CCmdUI* pCmdUI);
    void OnSeriesDialog();
    void OnSamplesDialog();
    void OnDilutionDialog();
    DECLARE_MESSAGE_MAP()

    void UpdateControls();
    void InitResultColumns();
    void FillResultList();

private:
    bool IsOpen() const;
    bool HasRecords() const;
    // Records, and the cursor on one of them.
    bool HasCurrentRecord() const;
    // Reads the current record into the shown members and the result rows.
    void ReadRecord();
    void BuildResultRows(const double area[5], const int percent[4]);
    void ExchangeCorrectionFactors(bool store);
    // The series folder joined with the current record's image name; empty
    // without a record or name, and for a name that is no plain file name
    // (said in a message box).
    CString RecordImagePath();
    // The record moved to and shown.
    void ShowCurrent();
    // The move runs when there are records; a failure is shown.
    void MoveAndShow(const std::function<void(CAdoRecordset&)>& move);
    // A failed database call: the error box, then the form shows a record
    // that exists.
    void DatabaseFailed(const _com_error& e);
    void CloseResultDocuments(int slot);
    void FillLevelsFromRecord();
    // The record with the key after a requery (the first without it).
    void MoveToRecord(long id);
    static void BuildRecordTable(const _RecordsetPtr& rs, std::vector<CString>& titles,
                                 std::vector<std::vector<CString>>& rows);
    static void BuildCountMatrix(const _RecordsetPtr& rs, std::vector<CString>& titles,
                                 std::vector<std::vector<CString>>& rows);

    _RecordsetPtr m_pMessungen;
    std::vector<tagDATA_LIST> m_arrResults;
    // The result list, painted row by row (DrawResultRow).
    COwnerDrawnRows<CListCtrl> m_resultList;
    int m_nTipsActive = 1;
    int m_nReportColumns = 15;
    // Shown values of the current record.
    int m_nRecVessel = 0;
    CString m_strDateTime;
    int m_nRecDay = 0;
    int m_nRecFillLevel = 0;
    CString m_strImageName;
    int m_nCount = 0;
    int m_nManualCount = 0;
};
