#include "database/ui/dbform.h"

#include "analysis/bv.h"
#include "database/comerrorbox.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformdlgs.h"
#include "database/ui/dbmessreihen.h"
#include "database/ui/dbproben.h"
#include "database/ui/dbverd.h"
#include "database/ui/formmessages.h"
#include "database/ui/recordcursor.h"
#include "imaging/dibdocex.h"
#include "imaging/ui/dibvwex.h"
#include "objectmodel/baseobjii.h"
#include "objectmodel/toolfunctions.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/ui/appservices.h"
#include "platform/ui/ddx.h"
#include "platform/ui/frame.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

using namespace kestrun::dbui;

namespace {

constexpr const char* kSection = "DataBase";

// The data root holds the default report template (put there at start).
CString DataRoot()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetDataRoot() : kestrun::ModuleFolder();
}

CString ModeFile()
{
    return AddTrailingBackslash(kestrun::ModuleFolder()) + "mode.ini";
}

// The unit of the application's calibration ("µm", "mm" or "cm").
CString CalibrationUnit()
{
    CAppServices* services = kestrun::AppServices();
    const CCalibration* calibration = services ? services->GetCalibration() : nullptr;
    return calibration ? calibration->GetUnitText(0) : CString("µm");
}

} // namespace

IMPLEMENT_DYNCREATE(CDBForm, CBVFormView)

BEGIN_MESSAGE_MAP(CDBForm, CBVFormView)
    ON_COMMAND(ID_DB_NEW_RECORD, OnNewRecord)
    ON_UPDATE_COMMAND_UI(ID_DB_NEW_RECORD, OnUpdateRecordOpen)
    ON_COMMAND(ID_DB_DELETE_RECORD, OnDeleteRecord)
    ON_UPDATE_COMMAND_UI(ID_DB_DELETE_RECORD, OnUpdateRecordAny)
    ON_COMMAND(ID_DB_PRINT_REPORT, OnPrintReport)
    ON_UPDATE_COMMAND_UI(ID_DB_PRINT_REPORT, OnUpdateRecordAny)
    ON_COMMAND(ID_DB_REPORT_TEMPLATE, OnSelectReportTemplate)
    ON_COMMAND(ID_DB_LOAD_IMAGE, OnLoadImage)
    ON_COMMAND(ID_DB_SAVE_IMAGE, OnSaveImage)
    ON_COMMAND(ID_DB_SERIES, OnSeriesDialog)
    ON_COMMAND(ID_DB_SAMPLES, OnSamplesDialog)
    ON_COMMAND(ID_DB_DILUTION, OnDilutionDialog)
    ON_COMMAND(ID_DB_SHOW_TABLE, OnShowTable)
    ON_UPDATE_COMMAND_UI(ID_DB_SHOW_TABLE, OnUpdateRecordOpen)
    ON_COMMAND(ID_RECORD_FIRST, OnRecordFirst)
    ON_COMMAND(ID_RECORD_PREV, OnRecordPrev)
    ON_COMMAND(ID_RECORD_NEXT, OnRecordNext)
    ON_COMMAND(ID_RECORD_LAST, OnRecordLast)
    ON_UPDATE_COMMAND_UI(ID_RECORD_FIRST, OnUpdateRecordFirstPrev)
    ON_UPDATE_COMMAND_UI(ID_RECORD_PREV, OnUpdateRecordFirstPrev)
    ON_UPDATE_COMMAND_UI(ID_RECORD_NEXT, OnUpdateRecordNextLast)
    ON_UPDATE_COMMAND_UI(ID_RECORD_LAST, OnUpdateRecordNextLast)
    ON_COMMAND(ID_DB_INIT_VIDEO, OnInitVideo)
    ON_BN_CLICKED(IDC_AREA, MeasureArea)
    ON_BN_CLICKED(IDC_COUNT, OnCount)
    ON_BN_CLICKED(IDC_NEWCOUNT, OnNewCount)
    ON_BN_CLICKED(IDC_AREA_AND_COUNT, OnAreaAndCount)
    ON_BN_CLICKED(IDC_CORRECTION, EditCorrectionFactors)
    ON_BN_CLICKED(IDC_SAVE_IMAGE, OnSaveImageCheck)
    ON_BN_CLICKED(IDC_LOGO, OnLoadImage)
    ON_REGISTERED_MESSAGE(FormMessages().dataChanged, OnDataChanged)
    ON_REGISTERED_MESSAGE(FormMessages().update, OnUpdateMessage)
    ON_REGISTERED_MESSAGE(FormMessages().profileChanged, OnNoAction)
    ON_REGISTERED_MESSAGE(FormMessages().deleteDocument, OnNoAction)
END_MESSAGE_MAP()

CDBForm::CDBForm() : CBVFormView((RegisterDatabaseForm(), IDD_DBFORM))
{
    BuildMessageMap();
    m_nFormMode = static_cast<int>(GetPrivateProfileInt("System", "DBFormMode", 0, ModeFile()));
    m_bSaveImage = static_cast<int>(GetProfileInt(kSection, "SaveImage", 0));
    m_nMeasurementDay = static_cast<int>(GetProfileInt(kSection, "NeueMessung", 0));
    m_nFillLevel = static_cast<int>(GetProfileInt(kSection, "Füllstand", 0));
    m_strReportTemplate = GetProfileString(kSection, "Report", "");
    if (m_strReportTemplate.IsEmpty())
        m_strReportTemplate = AddTrailingBackslash(DataRoot()) + "data/vovod.html";
    m_strDefaultClassName = GetProfileString(kSection, "DefaultClassName", "Normal");
}

CDBForm::~CDBForm()
{
    WriteProfileInt(kSection, "SaveImage", m_bSaveImage);
    WriteProfileInt(kSection, "NeueMessung", m_nMeasurementDay);
    WriteProfileInt(kSection, "Füllstand", m_nFillLevel);
    WriteProfileString(kSection, "Report", m_strReportTemplate);
    WriteProfileString(kSection, "DefaultClassName", m_strDefaultClassName);
    CloseRecordset(m_pMessungen);
    m_pMessungen.reset();
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(FormMessages().deleteDocument, 0, reinterpret_cast<LPARAM>(this));
}

CDBDocADO* CDBForm::GetDocument() const
{
    return dynamic_cast<CDBDocADO*>(m_pDocument);
}

bool CDBForm::IsOpen() const
{
    return IsRecordsetOpen(m_pMessungen);
}

bool CDBForm::HasRecords() const
{
    return kestrun::dbui::HasRecords(m_pMessungen);
}

bool CDBForm::HasCurrentRecord() const
{
    return kestrun::dbui::HasCurrentRecord(m_pMessungen);
}

void CDBForm::AddGlobalString(const CString& title)
{
    CBaseObjII::SharedTitles.Add(title);
}

void CDBForm::DatabaseFailed(const _com_error& e)
{
    DumpComError(e);
    try {
        if (!IsOpen())
            return;
        // The change that failed is dropped, so that the next move does not
        // try it again.
        m_pMessungen->CancelUpdate();
        if (m_pMessungen->GetRecordCount() > 0 && (m_pMessungen->GetEOF() || m_pMessungen->GetBOF()))
            m_pMessungen->MoveFirst();
    } catch (const _com_error&) {
        // The record stays as it is; the error was shown.
    }
}

// ---- creation -----------------------------------------------------------------------------

BOOL CDBForm::CreateImageView(BOOL bVideo)
{
    return CreateEmbeddedView(IDC_PICTURE, IDC_FRAME_LIMIT, bVideo);
}

void CDBForm::OnInitialUpdate()
{
    CWaitCursor wait;
    if (m_nFormMode != 1) {
        for (UINT id : {IDC_CORRECTION, IDC_CORRECTION_FACTOR}) {
            if (CWnd* control = GetDlgItem(static_cast<int>(id)))
                control->ShowWindow(SW_HIDE);
        }
    }
    CBVFormView::OnInitialUpdate();
    m_pMessungen = CAdoRecordset::Create();
    m_pMessungen->PutCursorLocation(adUseClient);
    if (CFrameWnd* frame = GetParentFrame()) {
        frame->ModifyStyle(WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME, 0);
        ResizeParentToFit(FALSE);
    }
    OnUpdate(nullptr, 0, nullptr);
    if (m_strSeriesName == "Empty") {
        AfxMessageBox(kNoSeriesText);
        OnSeriesDialog();
    }
    if (m_resultList.SubclassDlgItem(IDC_RESULTS, this)) {
        m_resultList.SetRowPainter([this](LPDRAWITEMSTRUCT item) {
            if (item != nullptr)
                DrawResultRow(m_resultList, *item);
        });
    }
    InitResultColumns();
    FillResultList();
    OnRecordFirst();
}

void CDBForm::OnUpdate(CView* /*pSender*/, LPARAM /*lHint*/, CObject* /*pHint*/)
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr || !m_pMessungen)
        return;
    m_strSeriesName = "Empty";
    try {
        _RecordsetPtr series = doc->GetSeriesRecordset();
        if (!series || series->GetRecordCount() <= 0) {
            if (IsOpen())
                m_pMessungen->Close();
            _RecordsetPtr samples = doc->GetSampleRecordset();
            if (samples && samples->GetState() == adStateOpen)
                samples->Close();
        } else {
            m_strSeriesName = GetFieldString(series, "Bezeichnung");
            m_strSample = GetFieldString(series, "Probe");
            const long id = GetFieldInt(series, "ID");
            if (IsOpen())
                m_pMessungen->Close();
            const char* order = m_nFormMode == 1 ? "GlasNr, DatumZeit" : "DatumZeit, GlasNr";
            m_pMessungen->Open(
                FormatString("SELECT * FROM Messungen WHERE Messungen.MessreihenID = %ld ORDER BY %s", id, order),
                doc->GetConnection(), adOpenKeyset, adLockOptimistic, adCmdText);
            LoadCorrectionFactors();
            CString folder;
            if (CAppServices* services = kestrun::AppServices())
                folder = services->GetImageDir();
            folder = AddTrailingBackslash(folder) + FormatString("%ld", id);
            if (GetFileAttributes(folder) == INVALID_FILE_ATTRIBUTES)
                kestrun::CreateFolderTree(kestrun::NativePath(folder).GetString());
            m_strSeriesFolder = AddTrailingBackslash(folder);
        }
    } catch (const _com_error& e) {
        DatabaseFailed(e);
    }
    UpdateData(FALSE);
}

// ---- data exchange --------------------------------------------------------------------------

void CDBForm::ReadRecord()
{
    m_strPosition.Empty();
    double area[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    int percent[4] = {0, 0, 0, 0};
    m_nRecVessel = m_nRecDay = m_nRecFillLevel = m_nCount = m_nManualCount = 0;
    m_strDateTime.Empty();
    m_strImageName.Empty();
    m_nRecordCount = 0;
    if (IsOpen()) {
        m_nRecordCount = m_pMessungen->GetRecordCount();
        const long position = m_nRecordCount > 0 ? m_pMessungen->GetAbsolutePosition() : 0;
        m_strPosition.Format("%ld/%ld", position > 0 ? position : 0, m_nRecordCount);
    } else {
        m_strPosition = "0/0";
    }
    if (HasCurrentRecord()) {
        const _RecordsetPtr& rs = m_pMessungen;
        m_nRecVessel = GetFieldInt(rs, "GlasNr");
        m_strDateTime = GetFieldString(rs, "DatumZeit");
        m_nRecDay = GetFieldInt(rs, "Messtag");
        m_nRecFillLevel = GetFieldInt(rs, "Fuellstand");
        m_strImageName = GetFieldString(rs, "Bildname");
        m_nCount = GetFieldInt(rs, "Anzahl");
        const char* areas[5] = {"Flaeche_Total", "Flaeche_Fronds", "Flaeche_MittelWert", "Flaeche_Standardabw",
                                "Flaeche_Median"};
        for (int i = 0; i < 5; ++i)
            area[i] = static_cast<double>(static_cast<long long>(GetFieldDouble(rs, areas[i]) * 100.0)) / 100.0;
        const char* shares[4] = {"Prozent_Normal", "Prozent_Hell", "Prozent_Gelblich", "Prozent_Ausgebleicht"};
        for (int i = 0; i < 4; ++i)
            percent[i] = static_cast<int>(GetFieldDouble(rs, shares[i]));
        m_nManualCount = GetFieldInt(rs, "Anzahl_Manuell");
        m_fCorrectionFactor = static_cast<float>(GetFieldDouble(rs, "Korrekturfaktor"));
        const int sum = percent[0] + percent[1] + percent[2] + percent[3];
        if (m_nCount != 0 && sum < 100)
            percent[0] += 100 - sum;
    }
    BuildResultRows(area, percent);
}

void CDBForm::BuildResultRows(const double area[5], const int percent[4])
{
    m_arrResults.clear();
    const CString unit = CalibrationUnit();
    CAppServices* services = kestrun::AppServices();
    CBV* engine = services ? services->GetEngine() : nullptr;
    const bool lengths = engine != nullptr && engine->GetSettings().m_FormThres.m_Model == CFormThres::modelSkeleton;
    if (lengths) {
        const char* heads[3] = {"Length Sum [", "Length Avg [", "Length Dev ["};
        for (int i = 0; i < 3; ++i)
            m_arrResults.push_back({heads[i] + unit + "]:", FormatString("%.3lf", area[i + 1]), ""});
    } else {
        const char* heads[5] = {"Area Total [", "Area Sum [", "Area Avg [", "Area Dev [", "Area Median ["};
        for (int i = 0; i < 5; ++i)
            m_arrResults.push_back({heads[i] + unit + "²]:", FormatString("%.3lf", area[i]), ""});
    }
    const int classes = engine ? static_cast<int>(engine->m_Classes.GetSize()) : 0;
    for (int i = 0; i <= classes; ++i) {
        const CString title =
            i == 0 ? m_strDefaultClassName : engine->m_Classes.GetAt(i - 1).m_strName;
        const int share = i >= 1 && i <= 3 ? percent[i] : percent[0];
        m_arrResults.push_back({title, FormatString("%d", share), "%"});
    }
}

void CDBForm::DoDataExchange(CDataExchange* pDX)
{
    CBVFormView::DoDataExchange(pDX);
    try {
        ReadRecord();
    } catch (const _com_error& e) {
        DumpComError(e);
    }
    if (CAppServices* services = kestrun::AppServices()) {
        m_strProfile = services->GetCurrentProfileName();
        m_strProfile.Replace('_', '/');
    }
    DDX_Text(pDX, static_cast<int>(IDC_SERIES_NAME), m_strSeriesName);
    DDX_Text(pDX, static_cast<int>(IDC_POSITION), m_strPosition);
    DDX_Check(pDX, static_cast<int>(IDC_SAVE_IMAGE), m_bSaveImage);
    DDX_Text(pDX, static_cast<int>(IDC_PROFILE), m_strProfile);
    DDX_Text(pDX, static_cast<int>(IDC_CORRECTION_FACTOR), m_fCorrectionFactor);
    DDX_Text(pDX, static_cast<int>(IDC_VESSEL), m_nRecVessel);
    DDX_Text(pDX, static_cast<int>(IDC_DATETIME), m_strDateTime);
    DDX_Text(pDX, static_cast<int>(IDC_TESTDAY), m_nRecDay);
    DDX_Text(pDX, static_cast<int>(IDC_FILLLEVEL), m_nRecFillLevel);
    DDX_Text(pDX, static_cast<int>(IDC_IMAGE_NAME), m_strImageName);
    DDX_Text(pDX, static_cast<int>(IDC_COUNT_VALUE), m_nCount);
    DDX_Text(pDX, static_cast<int>(IDC_MANUAL_COUNT), m_nManualCount);
    UpdateControls();
    if (!pDX->m_bSaveAndValidate)
        FillResultList();
}

void CDBForm::UpdateControls()
{
    const CString unit = CalibrationUnit();
    for (CWnd* child : GetChildren()) {
        CString text;
        child->GetWindowText(text);
        if (text.Find('[') < 0 || text.Find(']') < 0)
            continue;
        CString changed = text;
        if (text.Find("µm") >= 0) {
            if (unit != "µm")
                changed.Replace("µm", unit);
        } else if (text.Find("mm") >= 0) {
            if (unit != "mm")
                changed.Replace("mm", unit);
        } else if (text.Find("cm") >= 0) {
            changed.Replace("cm", unit);
        }
        if (changed != text)
            child->SetWindowText(changed);
    }
    const BOOL records = HasRecords() ? TRUE : FALSE;
    auto enable = [this](UINT id, BOOL on) {
        if (CWnd* control = GetDlgItem(static_cast<int>(id)))
            control->EnableWindow(on);
    };
    if (m_nFormMode == 1) {
        enable(IDC_AREA, records);
    } else if (CWnd* both = GetDlgItem(static_cast<int>(IDC_AREA_AND_COUNT))) {
        both->ShowWindow(SW_HIDE);
    }
    enable(IDC_COUNT, records);
    enable(IDC_AREA_AND_COUNT, records);
    enable(IDC_LOGO, records);
}

LRESULT CDBForm::OnUpdateMessage(WPARAM, LPARAM)
{
    UpdateData(FALSE);
    return 0;
}

LRESULT CDBForm::OnNoAction(WPARAM, LPARAM)
{
    return 0;
}

void CDBForm::InitResultColumns()
{
    auto* list = dynamic_cast<CListCtrl*>(GetDlgItem(static_cast<int>(IDC_RESULTS)));
    if (list == nullptr)
        return;
    list->InsertColumn(0, "Titel", LVCFMT_LEFT, 100);
    list->InsertColumn(1, "Wert", LVCFMT_LEFT, 80);
    list->InsertColumn(2, "%", LVCFMT_LEFT, 20);
}

void CDBForm::FillResultList()
{
    auto* list = dynamic_cast<CListCtrl*>(GetDlgItem(static_cast<int>(IDC_RESULTS)));
    if (list == nullptr)
        return;
    list->DeleteAllItems();
    for (size_t i = 0; i < m_arrResults.size(); ++i) {
        const int item = list->InsertItem(static_cast<int>(i), m_arrResults[i].strTitle);
        list->SetItemText(item, 1, m_arrResults[i].strValue);
        list->SetItemText(item, 2, m_arrResults[i].strUnit);
    }
}

// ---- navigation ---------------------------------------------------------------------------

void CDBForm::ShowCurrent()
{
    UpdateData(FALSE);
    OnLoadImage();
}

void CDBForm::MoveAndShow(const std::function<void(CAdoRecordset&)>& move)
{
    try {
        if (HasRecords())
            move(*m_pMessungen);
    } catch (const _com_error& e) {
        DatabaseFailed(e);
    }
    ShowCurrent();
}

void CDBForm::OnRecordFirst()
{
    MoveAndShow([](CAdoRecordset& rs) { rs.MoveFirst(); });
}

void CDBForm::OnRecordPrev()
{
    MoveAndShow(StepBack);
}

void CDBForm::OnRecordNext()
{
    if (!HasRecords()) {
        DetachImageView();
        return;
    }
    MoveAndShow(StepForward);
}

void CDBForm::OnRecordLast()
{
    MoveAndShow([](CAdoRecordset& rs) { rs.MoveLast(); });
}

void CDBForm::OnUpdateRecordOpen(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsOpen());
}

void CDBForm::OnUpdateRecordAny(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasRecords());
}

void CDBForm::OnUpdateRecordFirstPrev(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanStepBack(m_pMessungen));
}

void CDBForm::OnUpdateRecordNextLast(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanStepForward(m_pMessungen));
}

void CDBForm::OnSeriesDialog()
{
    INT_PTR result = IDCANCEL;
    if (m_nFormMode == 1) {
        CDBMessreihen dlg(this);
        dlg.m_pDoc = GetDocument();
        result = dlg.DoModal();
    } else {
        CDBMessreihen1 dlg(this);
        dlg.m_pDoc = GetDocument();
        result = dlg.DoModal();
    }
    if (result == IDOK)
        UpdateData(FALSE);
}

void CDBForm::OnSamplesDialog()
{
    CDBDocADO* doc = GetDocument();
    const long series = doc ? doc->GetFieldValue() : -1;
    if (series == -1) {
        AfxMessageBox(kNoSeriesText);
        return;
    }
    // The samples of the series shown now, whichever dialog moved it last.
    doc->OpenSamples();
    CDBProben dlg(this);
    dlg.m_nSel = m_nSelectedSample;
    dlg.m_pConnection = doc->GetConnection();
    dlg.m_pRecordset = doc->GetSampleRecordset();
    dlg.m_nMessreihenID = series;
    if (dlg.DoModal() == IDOK)
        m_nSelectedSample = dlg.m_nSel;
}

void CDBForm::OnDilutionDialog()
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr)
        return;
    const auto count = [doc]() -> long {
        try {
            const _RecordsetPtr rs = doc->GetDilutionSeriesRecordset();
            return rs && rs->GetState() == adStateOpen ? rs->GetRecordCount() : 0;
        } catch (const _com_error&) {
            return 0; // the dialog reports what is wrong with the recordset
        }
    };
    const long before = count();
    CDBVerd dlg(this);
    dlg.m_pConnection = doc->GetConnection();
    dlg.m_pVerdRecordset = doc->GetDilutionSeriesRecordset();
    dlg.m_pStufenRecordset = doc->GetDilutionStepRecordset();
    dlg.m_pMessreihenRecordset = doc->GetSeriesRecordset();
    if (dlg.DoModal() == IDOK && count() != before)
        doc->UpdateAllViews(nullptr, 0, nullptr);
}

// ---- images --------------------------------------------------------------------------------

CString CDBForm::RecordImagePath()
{
    CString name;
    try {
        if (!HasCurrentRecord())
            return CString();
        name = GetFieldString(m_pMessungen, "Bildname");
    } catch (const _com_error& e) {
        DatabaseFailed(e);
        return CString();
    }
    if (name.IsEmpty())
        return CString();
    // A name from the record is a plain file name inside the series folder.
    if (!kestrun::IsPlainFileName(name)) {
        AfxMessageBox(FormatString("The image name \"%s\" of this record is no plain file name; the image is not "
                                   "loaded or saved.",
                                   kestrun::PrintableName(name).GetString()));
        return CString();
    }
    return m_strSeriesFolder + name;
}

void CDBForm::OnLoadImage()
{
    const CString path = RecordImagePath();
    if (path.IsEmpty())
        return;
    if (!kestrun::IsRegularFile(path)) {
        // Older versions kept the images beside the series folders.
        const CString name = path.Mid(m_strSeriesFolder.GetLength());
        CString parent = m_strSeriesFolder.Left(m_strSeriesFolder.GetLength() - 1);
        const int cut = parent.ReverseFind('/') >= 0 ? parent.ReverseFind('/') : parent.ReverseFind('\\');
        parent = cut >= 0 ? parent.Left(cut + 1) : CString();
        const CString old = parent + name;
        if (!kestrun::IsRegularFile(old) || !MoveFile(old, path))
            return;
    }
    OpenImageFile(path);
}

void CDBForm::OnSaveImage()
{
    const CString path = RecordImagePath();
    // An existing file is never overwritten.
    if (path.IsEmpty() || m_pImageDoc == nullptr || GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES)
        return;
    if (m_pImageDoc->OnSaveDocument(path))
        m_pImageDoc->SetTitle(path);
}

void CDBForm::OnSaveImageCheck()
{
    UpdateData(TRUE);
}

void CDBForm::OnInitVideo()
{
    InitVideo();
}

void CDBForm::OnSelectReportTemplate()
{
    CReportPath dlg(this);
    dlg.m_strPath = m_strReportTemplate;
    if (dlg.DoModal() == IDOK)
        m_strReportTemplate = dlg.m_strPath;
}

// ---- window ---------------------------------------------------------------------------------

void CDBForm::OnSize(UINT nType, int cx, int cy)
{
    CBVFormView::OnSize(nType, cx, cy);
    if (nType == SIZE_MAXIMIZED)
        FitFrameToMainWindow();
}

void CDBForm::OnDestroy()
{
    CBVFormView::OnDestroy();
    DetachImageView();
    SendStateToBox(1);
}
