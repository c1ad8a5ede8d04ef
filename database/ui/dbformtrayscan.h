#pragma once
// CDBFormTrayScan: the form of the tray-scan database (Mode 2). One record
// of table Messungen per tray image: the form chooses profile, tray type and
// batch (which load "<tray>_<batch>.AOI"), shows the record with its stored
// image and results, makes and counts records, counts them all again,
// searches them, reports them, and imports the folders the tray form wrote.
#include "database/reportvalues.h"
#include "database/ui/bvformview.h"
#include "database/ui/dbform.h"
#include "database/ui/listrows.h"
#include "platform/automation/dispatchable.h"
#include "platform/database/ado.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/staticedit.h"

#include <functional>
#include <vector>

class CDBDocADO;
class CDataDoc;
class CCmdUI;
class CListCtrl;

class CDBFormTrayScan : public CBVFormView, public kestrun::CDispatchable, public IReportWorkbook
{
    DECLARE_DYNCREATE(CDBFormTrayScan)

public:
    static constexpr const char* kDBFrontClassId = "{67C26ED9-1D70-4415-96D4-92738D34A16B}";

    // Reads the "DataBase" settings and the tray and batch of
    // "trayscan.ini".
    CDBFormTrayScan();
    // Writes them back and tells the main window the form is gone.
    ~CDBFormTrayScan() override;

    CDBDocADO* GetDocument() const;

    BOOL CreateImageView(BOOL bVideo) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // While Count All runs, the record commands are disabled and ignored.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // ---- records and images ----
    void OnRecordFirst();
    void OnRecordPrev();
    void OnRecordNext();
    void OnRecordLast();
    void OnDeleteRecord();
    // The current record's stored image (a grey page when it is missing)
    // and its result file.
    void OnLoadImage();
    // The record's result file into the application's result table; 0 when
    // the data folder is gone.
    int LoadResultData();
    // Loads "<tray>_<batch>.AOI" when its name changed and activates the
    // form's area. True when anything changed; false after a failure, with
    // tray and batch kept.
    BOOL LoadAoiProfile(const CString& strTray, int nBatch);
    void EnableCountButtons();

    // ---- new records and counting ----
    void OnNewRecord();
    void OnNewCount();
    void OnCount();
    void OnCountAll();
    void OnSearchRecord();
    // wParam: a manual count; lParam: the measurement's result document,
    // or 0 for the manual count alone.
    LRESULT OnDataChanged(WPARAM wParam, LPARAM lParam);
    // The record of an imported file, added at the end and made current.
    void AddImportedRecord(const CString& strDataName, const CString& strImageName, const CString& strProfile);

    // ---- reports, table, images, import ----
    // Appends the 15 cells of every record; the record count. The form
    // stays on its record.
    int BuildReportRows(std::vector<CString>& cells);
    void OnPrintReport();
    void OnShowTable();
    void OnSaveImage();
    void OnImport();
    // One file of an import folder; false when it made no record.
    bool ImportFile(const CString& strFileName, const CString& strFolder);

    // ---- the script object "DBFront" ----
    const kestrun::CDispatchMap& GetDispatchMap() const override;
    // The 15 report column titles, "Index" to "L [%]".
    static std::vector<CString> GetReportTitleArray();
    short GetReportTitles(COleVariant& target);
    short GetReportValues(COleVariant& target);
    // The series name for 0, else empty.
    COleVariant GetReportInfo(short nIndex) const;
    CString GetReportWorkbook() const override { return m_strWorkbook; }

    _RecordsetPtr GetMeasurements() const { return m_pRecordset; }
    const std::vector<tagDATA_LIST>& GetResultRows() const { return m_arrayResults; }
    CListCtrl& GetResultList() { return m_listResults; }

    int m_bToolTips = 1;
    int m_bNewMeasurement = 0;
    long m_nRecordCount = 0;
    int m_nReportColumns = 15;
    CString m_strAoiFile;
    int m_nActiveAoi = 0;
    CString m_strDefaultClassName = "Empty";
    CString m_strReport;
    CString m_strSample;
    // The workbook Print Report filled last.
    CString m_strWorkbook;
    CString m_strSeries = "Empty";
    CString m_strPosition;
    int m_bSaveImage = 1;
    int m_nBatch = 1;
    CString m_strProfile;
    CString m_strTray = "72";
    int m_nCountTotal = 0;
    int m_bUseCurrentProfile = 0;
    int m_nNewRecordNumber = 0;
    CString m_strComment;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnNoAction(WPARAM wParam, LPARAM lParam);
    void OnSelectReportTemplate();
    void OnSeriesDialog();
    void OnHelp();
    void OnInitVideo();
    void OnProfileSelected();
    void OnTraySelected();
    void OnBatchChanged();
    void OnUseCurrentProfile();
    void OnSaveAoi();
    void OnUpdateRecordOpen(CCmdUI* pCmdUI);
    void OnUpdateRecordAny(CCmdUI* pCmdUI);
    void OnUpdateRecordFirstPrev(CCmdUI* pCmdUI);
    void OnUpdateRecordNextLast(CCmdUI* pCmdUI);
    void OnUpdateFileSave(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    void InitResultColumns();
    void FillResultList();

private:
    // New Record's work; false when cancelled or not stored.
    bool AddNewRecord();
    // The background check, then count and measure into the record.
    void MeasureRecord();

    // The current record's values as the form shows them.
    struct CShownRecord
    {
        int nGlasNr = 0;
        CString strDateTime;
        CString strImageName;
        CString strBarcode;
        int nCount = 0;
        double area[4] = {0.0, 0.0, 0.0, 0.0}; // sum, mean, deviation, median
        double share[4] = {0.0, 0.0, 0.0, 0.0}; // normal, light, yellowish, bleached
    };

    bool IsOpen() const;
    bool HasRecords() const;
    // Records, and the cursor on one of them.
    bool HasCurrentRecord() const;
    // Record count, position, the current record and the result rows.
    void ReadRecord();
    void ReadCurrentRecord();
    void BuildResultRows();
    // The areas of a file in the data root; false, said in a message box,
    // when they could not be loaded.
    bool LoadAoiFile(const CString& name);
    void InitToolTips();
    void FillProfileCombo();
    void FillTrayCombo();
    // The record's file in the folder; empty for a name that is no plain
    // file name.
    static CString RecordFile(const CString& folder, const CString& name);
    // The same in the images folder.
    static CString ImageFile(const CString& name);
    CString DataFileName() const;
    void MoveAndShow(const std::function<void(CAdoRecordset&)>& move);

    CShownRecord m_record;
    // The tray chooser's list and the batch range, read with tray and batch.
    std::vector<CString> m_trayTypes;
    int m_nBatchCount = 4;
    // While the form writes its controls: their change messages are its
    // own, not the user's.
    bool m_bExchanging = false;
    // The area-of-interest file that failed last, said once.
    CString m_strMissingAoi;
    _RecordsetPtr m_pRecordset;
    std::vector<tagDATA_LIST> m_arrayResults;
    // The result list, painted row by row.
    COwnerDrawnRows<CListCtrl> m_listResults;
    CComboBox m_comboTray;
    CComboBox m_comboProfile;
    CStatic m_staticImage;
    bool m_bCountingAll = false;
};
