#include "database/ui/dbformtrayscan.h"

#include "analysis/aoiraster.h"
#include "analysis/bv.h"
#include "database/comerrorbox.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/traynames.h"
#include "database/trayreport.h"
#include "database/traysettings.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/formmessages.h"
#include "database/ui/recordcursor.h"
#include "imaging/dibdocex.h"
#include "objectmodel/toolfunctions.h"
#include "platform/automation/dispatchmap.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/scopedflag.h"
#include "platform/ui/appservices.h"
#include "platform/ui/ddx.h"
#include "platform/ui/frame.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/winapp.h"
#include "platform/ui/windowtools.h"

#include <QDateTime>
#include <QLocale>
#include <QWidget>

#include <cmath>

using namespace kestrun::dbui;

namespace {

constexpr const char* kSection = "DataBase";

CString ProgramSettingsPath()
{
    CAppServices* services = kestrun::AppServices();
    return kestrun::tray::TraySettingsPath(services ? services->GetProgramFolder() : CString());
}

CString DataRoot()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetDataRoot() : kestrun::ModuleFolder();
}

CBV* Engine()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetEngine() : nullptr;
}

// Stored with "_", shown with "/".
CString ShownProfile(CString name)
{
    name.Replace('_', '/');
    return name;
}

CString StoredProfile(CString name)
{
    name.Replace('/', '_');
    return name;
}

// Days since 1899-12-30 in the user's own short date and time format.
CString LocalDateTime(DATE value)
{
    const double days = std::floor(value);
    const auto seconds = static_cast<qint64>(std::llround((value - days) * 86400.0));
    const QDateTime time(QDate(1899, 12, 30).addDays(static_cast<qint64>(days)), QTime(0, 0));
    return QLocale::system().toString(time.addSecs(seconds), QLocale::ShortFormat).toUtf8().constData();
}

} // namespace

IMPLEMENT_DYNCREATE(CDBFormTrayScan, CBVFormView)

BEGIN_MESSAGE_MAP(CDBFormTrayScan, CBVFormView)
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
    ON_COMMAND(ID_DB_SHOW_TABLE, OnShowTable)
    ON_COMMAND(ID_DB_IMPORT, OnImport)
    ON_COMMAND(ID_DB_SEARCH_RECORD, OnSearchRecord)
    ON_COMMAND(ID_RECORD_FIRST, OnRecordFirst)
    ON_COMMAND(ID_RECORD_PREV, OnRecordPrev)
    ON_COMMAND(ID_RECORD_NEXT, OnRecordNext)
    ON_COMMAND(ID_RECORD_LAST, OnRecordLast)
    ON_UPDATE_COMMAND_UI(ID_RECORD_FIRST, OnUpdateRecordFirstPrev)
    ON_UPDATE_COMMAND_UI(ID_RECORD_PREV, OnUpdateRecordFirstPrev)
    ON_UPDATE_COMMAND_UI(ID_RECORD_NEXT, OnUpdateRecordNextLast)
    ON_UPDATE_COMMAND_UI(ID_RECORD_LAST, OnUpdateRecordNextLast)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateFileSave)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_COMMAND(ID_DB_INIT_VIDEO, OnInitVideo)
    ON_BN_CLICKED(IDC_NEWCOUNT, OnNewCount)
    ON_BN_CLICKED(IDC_COUNT, OnCount)
    ON_BN_CLICKED(IDC_TS_COUNT_ALL, OnCountAll)
    ON_BN_CLICKED(IDC_TS_SAVE_AOI, OnSaveAoi)
    ON_BN_CLICKED(IDC_TS_USE_CURRENT_PROFILE, OnUseCurrentProfile)
    ON_CBN_SELCHANGE(IDC_TS_PROFILE, OnProfileSelected)
    ON_CBN_SELCHANGE(IDC_TS_TRAY, OnTraySelected)
    ON_EN_CHANGE(IDC_TS_BATCH, OnBatchChanged)
    ON_REGISTERED_MESSAGE(FormMessages().dataChanged, OnDataChanged)
    ON_REGISTERED_MESSAGE(FormMessages().update, OnUpdateMessage)
    ON_REGISTERED_MESSAGE(FormMessages().profileChanged, OnNoAction)
    ON_REGISTERED_MESSAGE(FormMessages().deleteDocument, OnNoAction)
END_MESSAGE_MAP()

CDBFormTrayScan::CDBFormTrayScan() : CBVFormView((RegisterTrayScanForm(), IDD_DBFORMTRAYSCAN))
{
    BuildMessageMap();
    m_bNewMeasurement = static_cast<int>(GetProfileInt(kSection, "NeueMessung", 0));
    m_strReport = GetProfileString(kSection, "Report", "");
    if (m_strReport.IsEmpty())
        m_strReport = AddTrailingBackslash(DataRoot()) + "data/vovod.html";
    m_strDefaultClassName = GetProfileString(kSection, "DefaultClassName", "Empty");
    const auto settings = kestrun::tray::CTrayScanSettings::Read(ProgramSettingsPath());
    m_strTray = settings.strTray;
    m_nBatch = settings.nBatch;
    m_trayTypes = settings.trayTypes;
    m_nBatchCount = settings.nBatchCount;
    if (CAppServices* services = kestrun::AppServices())
        m_strProfile = ShownProfile(services->GetCurrentProfileName());
}

CDBFormTrayScan::~CDBFormTrayScan()
{
    WriteProfileInt(kSection, "SaveImage", m_bSaveImage);
    WriteProfileInt(kSection, "NeueMessung", m_bNewMeasurement);
    WriteProfileString(kSection, "Report", m_strReport);
    WriteProfileString(kSection, "DefaultClassName", m_strDefaultClassName);
    kestrun::tray::CTrayScanSettings::Write(ProgramSettingsPath(), m_strTray, m_nBatch);
    CloseRecordset(m_pRecordset);
    m_pRecordset.reset();
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(FormMessages().deleteDocument, 0, reinterpret_cast<LPARAM>(this));
}

CDBDocADO* CDBFormTrayScan::GetDocument() const
{
    return dynamic_cast<CDBDocADO*>(m_pDocument);
}

bool CDBFormTrayScan::IsOpen() const
{
    return IsRecordsetOpen(m_pRecordset);
}

bool CDBFormTrayScan::HasRecords() const
{
    return kestrun::dbui::HasRecords(m_pRecordset);
}

bool CDBFormTrayScan::HasCurrentRecord() const
{
    return kestrun::dbui::HasCurrentRecord(m_pRecordset);
}

// ---- creation -----------------------------------------------------------------------------

void CDBFormTrayScan::OnInitialUpdate()
{
    CWaitCursor wait;
    m_pRecordset = CAdoRecordset::Create();
    m_pRecordset->PutCursorLocation(adUseClient);
    CBVFormView::OnInitialUpdate();
    OnUpdate(nullptr, 0, nullptr);
    CRect formRect;
    GetWindowRect(&formRect);
    if (CFrameWnd* frame = GetParentFrame()) {
        frame->ModifyStyle(WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME, 0);
        ResizeParentToFit(FALSE);
        if (CWnd* main = AfxGetMainWnd()) {
            CRect client;
            main->GetClientRect(&client);
            frame->SetWindowPos(nullptr, 0, 0, client.Width() - 4, client.Height() - 104,
                                SWP_NOZORDER | SWP_SHOWWINDOW);
        }
    }
    if (CWnd* frame = GetDlgItem(static_cast<int>(IDC_PICTURE))) {
        CRect rect;
        frame->GetWindowRect(&rect);
        ScaleRectToWindow(rect, this, formRect);
        frame->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
    }
    InitToolTips();
    if (m_strSeries == "Empty") {
        AfxMessageBox(kNoSeriesText);
        OnSeriesDialog();
    }
    if (m_listResults.GetSafeHwnd() != nullptr || m_listResults.SubclassDlgItem(IDC_RESULTS, this)) {
        m_listResults.SetRowPainter([this](LPDRAWITEMSTRUCT item) {
            if (item != nullptr)
                DrawTrayResultRow(m_listResults, *item);
        });
    }
    InitResultColumns();
    FillResultList();
    FillProfileCombo();
    FillTrayCombo();
    OnRecordFirst();
}

void CDBFormTrayScan::InitToolTips()
{
    const struct
    {
        UINT id;
        const char* text;
    } tips[] = {{IDC_NEWCOUNT, "Make a new count"}, {IDC_COUNT, "Repeat the actual count"}};
    for (const auto& tip : tips) {
        CWnd* button = GetDlgItem(static_cast<int>(tip.id));
        if (button != nullptr && button->GetWidget() != nullptr)
            button->GetWidget()->setToolTip(m_bToolTips ? tip.text : "");
    }
}

void CDBFormTrayScan::FillProfileCombo()
{
    auto* combo = dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(IDC_TS_PROFILE)));
    CAppServices* services = kestrun::AppServices();
    if (combo == nullptr || services == nullptr)
        return;
    combo->ResetContent();
    for (const CString& name : services->GetProfileNames()) {
        if (!name.IsEmpty())
            combo->AddString(ShownProfile(name));
    }
    UpdateData(FALSE);
}

void CDBFormTrayScan::FillTrayCombo()
{
    if (auto* combo = dynamic_cast<CComboBox*>(GetDlgItem(static_cast<int>(IDC_TS_TRAY)))) {
        combo->ResetContent();
        for (const CString& type : m_trayTypes)
            combo->AddString(type);
    }
    if (auto* spin = dynamic_cast<CSpinButtonCtrl*>(GetDlgItem(static_cast<int>(IDC_TS_BATCH_SPIN)))) {
        spin->SetRange32(1, m_nBatchCount);
        spin->SetPos(m_nBatch);
    }
    UpdateData(FALSE);
}

void CDBFormTrayScan::OnUpdate(CView* /*pSender*/, LPARAM /*lHint*/, CObject* /*pHint*/)
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr || !m_pRecordset)
        return;
    m_strSeries = "Empty";
    try {
        _RecordsetPtr series = doc->GetSeriesRecordset();
        if (!series || series->GetRecordCount() <= 0) {
            if (IsRecordsetOpen(m_pRecordset))
                m_pRecordset->Close();
        } else {
            const CString name = GetFieldString(series, "Bezeichnung");
            if (!name.IsEmpty())
                m_strSeries = name;
            const CString sample = GetFieldString(series, "Probe");
            if (!sample.IsEmpty())
                m_strSample = sample;
            const long id = doc->GetFieldValue();
            if (IsRecordsetOpen(m_pRecordset))
                m_pRecordset->Close();
            m_pRecordset->Open(FormatString("SELECT * FROM Messungen WHERE Messungen.MessreihenID = %ld", id),
                               doc->GetConnection(), adOpenKeyset, adLockOptimistic, adCmdText);
        }
    } catch (const _com_error& e) {
        DumpComError(e);
    }
    UpdateData(FALSE);
}

// ---- data exchange --------------------------------------------------------------------------

void CDBFormTrayScan::ReadRecord()
{
    m_record = CShownRecord();
    m_nRecordCount = 0;
    long position = 0;
    if (IsRecordsetOpen(m_pRecordset)) {
        m_nRecordCount = m_pRecordset->GetRecordCount();
        if (m_nRecordCount != 0)
            position = m_pRecordset->GetAbsolutePosition();
    }
    m_strPosition.Format("%ld/%ld", position > 0 ? position : 0L, m_nRecordCount);
    if (m_nRecordCount > 0 && HasCurrentRecord())
        ReadCurrentRecord();
    BuildResultRows();
}

void CDBFormTrayScan::ReadCurrentRecord()
{
    const _RecordsetPtr& rs = m_pRecordset;
    CShownRecord& r = m_record;
    r.nGlasNr = GetFieldInt(rs, "GlasNr");
    const COleVariant when = rs->GetCollect("DatumZeit");
    if (when.vt == VT_DATE)
        r.strDateTime = LocalDateTime(when.date);
    const int tray = GetFieldInt(rs, "Messtag");
    const int area = GetFieldInt(rs, "Fuellstand");
    r.strImageName = GetFieldString(rs, "Bildname");
    r.strBarcode = kestrun::tray::BarcodeField(GetFieldString(rs, "DataName"));
    r.nCount = GetFieldInt(rs, "Anzahl");
    const char* const areas[4] = {"Flaeche_Fronds", "Flaeche_MittelWert", "Flaeche_Standardabw", "Flaeche_Median"};
    for (int i = 0; i < 4; ++i)
        r.area[i] = std::trunc(GetFieldDouble(rs, areas[i]) * 100.0) / 100.0;
    const char* const shares[4] = {"Prozent_Normal", "Prozent_Hell", "Prozent_Gelblich", "Prozent_Ausgebleicht"};
    for (int i = 0; i < 4; ++i)
        r.share[i] = GetFieldDouble(rs, shares[i]);
    m_nCountTotal = GetFieldInt(rs, "Anzahl_Manuell");

    CAppServices* services = kestrun::AppServices();
    const int mode = services ? services->GetMode() : 2;
    if (mode == 2) {
        CBV* engine = Engine();
        CAOI* active = engine ? engine->m_AOIDoc.GetActiveAOI(true) : nullptr;
        if (m_nCountTotal == 0 && active != nullptr && active->GetRaster() != nullptr)
            m_nCountTotal = static_cast<int>(active->GetRaster()->GetSize());
    } else if (r.nCount != 0) {
        // Whole steps of 1 up to 100, counted at once: a stored share far
        // below zero would take a loop forever.
        const double missing = 100.0 - (r.share[0] + r.share[1] + r.share[2] + r.share[3]);
        if (missing > 0.0 && std::isfinite(missing))
            r.share[0] += std::ceil(missing);
    }

    const COleVariant profile = rs->GetCollect("Messparameter");
    if (profile.vt == VT_BSTR && CString(profile.bstrVal).Find("Gray") < 0) {
        m_strProfile = profile.bstrVal;
        if (services != nullptr && m_strProfile != services->GetCurrentProfileName())
            services->SelectProfile(m_strProfile, TRUE);
        m_strProfile = ShownProfile(m_strProfile);
        if (services != nullptr)
            m_strAoiFile = services->GetAOIFileName();
    }

    const kestrun::tray::CTrayBatch trayBatch = kestrun::tray::TrayBatchOfRecord(tray, r.nGlasNr);
    if (area >= 0 && area <= 3)
        m_nActiveAoi = area;
    if (LoadAoiProfile(trayBatch.strTray, trayBatch.nBatch))
        Invalidate(TRUE);
}

void CDBFormTrayScan::BuildResultRows()
{
    m_arrayResults.clear();
    CBV* engine = Engine();
    const CShownRecord& r = m_record;
    const bool lengths = engine != nullptr && engine->GetSettings().m_FormThres.m_Model == CFormThres::modelSkeleton;
    if (lengths) {
        const char* const heads[3] = {"Length Sum [mm]:", "Length Avg [mm]:", "Length Dev [mm]:"};
        for (int i = 0; i < 3; ++i)
            m_arrayResults.push_back({heads[i], FormatString("%.3lf", r.area[i]), ""});
    } else {
        const char* const heads[4] = {"Area Sum [mm²]:", "Area Avg [mm²]:", "Area Dev [mm²]:", "Area Median [mm²]:"};
        for (int i = 0; i < 4; ++i)
            m_arrayResults.push_back({heads[i], FormatString("%.3lf", r.area[i]), ""});
    }
    const int classes = engine ? static_cast<int>(engine->m_Classes.GetSize()) : 0;
    for (int i = 1; i <= classes; ++i) {
        // The record keeps shares for three classes only.
        const bool stored = i <= 3;
        m_arrayResults.push_back({engine->m_Classes.GetAt(i - 1).m_strName,
                                  stored ? FormatString("%.1lf", r.share[i]) : CString(), stored ? "%" : ""});
    }
    m_arrayResults.push_back({m_strDefaultClassName, FormatString("%.1lf", r.share[0]), "%"});
}

void CDBFormTrayScan::DoDataExchange(CDataExchange* pDX)
{
    CBVFormView::DoDataExchange(pDX);
    const kestrun::CScopedFlag exchanging(m_bExchanging);
    try {
        ReadRecord();
    } catch (const _com_error& e) {
        DumpComError(e);
    }
    DDX_Control(pDX, static_cast<int>(IDC_TS_TRAY), m_comboTray);
    DDX_Control(pDX, static_cast<int>(IDC_TS_PROFILE), m_comboProfile);
    DDX_Control(pDX, static_cast<int>(IDC_PICTURE), m_staticImage);
    DDX_Text(pDX, static_cast<int>(IDC_SERIES_NAME), m_strSeries);
    DDX_Text(pDX, static_cast<int>(IDC_POSITION), m_strPosition);
    DDX_Text(pDX, static_cast<int>(IDC_TS_BATCH), m_nBatch);
    DDV_MinMaxInt(pDX, m_nBatch, 1, 4);
    DDX_CBString(pDX, static_cast<int>(IDC_TS_PROFILE), m_strProfile);
    DDX_CBString(pDX, static_cast<int>(IDC_TS_TRAY), m_strTray);
    DDX_Text(pDX, static_cast<int>(IDC_MANUAL_COUNT), m_nCountTotal);
    DDX_Text(pDX, static_cast<int>(IDC_VESSEL), m_record.nGlasNr);
    DDX_Text(pDX, static_cast<int>(IDC_DATETIME), m_record.strDateTime);
    DDX_Text(pDX, static_cast<int>(IDC_IMAGE_NAME), m_record.strImageName);
    DDX_Text(pDX, static_cast<int>(IDC_COUNT_VALUE), m_record.nCount);
    DDX_Check(pDX, static_cast<int>(IDC_TS_USE_CURRENT_PROFILE), m_bUseCurrentProfile);
    if (GetDlgItem(static_cast<int>(IDC_TS_BARCODE)) != nullptr)
        DDX_Text(pDX, static_cast<int>(IDC_TS_BARCODE), m_record.strBarcode);
    if (!pDX->m_bSaveAndValidate)
        FillResultList();
    EnableCountButtons();
}

void CDBFormTrayScan::EnableCountButtons()
{
    for (UINT id : {IDC_NEWCOUNT, IDC_COUNT, IDC_TS_COUNT_ALL}) {
        if (CWnd* button = GetDlgItem(static_cast<int>(id)))
            button->EnableWindow(m_nRecordCount > 0);
    }
}

void CDBFormTrayScan::InitResultColumns()
{
    if (m_listResults.GetSafeHwnd() == nullptr)
        return;
    m_listResults.InsertColumn(0, "Titel", LVCFMT_LEFT, 100);
    m_listResults.InsertColumn(1, "Wert", LVCFMT_LEFT, 80);
    m_listResults.InsertColumn(2, "%", LVCFMT_LEFT, 20);
}

void CDBFormTrayScan::FillResultList()
{
    if (m_listResults.GetSafeHwnd() == nullptr)
        return;
    m_listResults.DeleteAllItems();
    for (size_t i = 0; i < m_arrayResults.size(); ++i) {
        const int item = m_listResults.InsertItem(static_cast<int>(i), m_arrayResults[i].strTitle);
        m_listResults.SetItemText(item, 1, m_arrayResults[i].strValue);
        m_listResults.SetItemText(item, 2, m_arrayResults[i].strUnit);
    }
}

// ---- areas of interest, profile, tray and batch ----------------------------------------------

BOOL CDBFormTrayScan::LoadAoiProfile(const CString& strTray, int nBatch)
{
    CAppServices* services = kestrun::AppServices();
    CBV* engine = Engine();
    if (services == nullptr || engine == nullptr)
        return FALSE;
    CAOIDoc& areas = engine->m_AOIDoc;
    if (areas.IsModified()) {
        if (AfxMessageBox("Save settings ?", MB_YESNO) == IDYES) {
            services->SetAOIFileName(m_strAoiFile);
            services->SaveProfile(StoredProfile(m_strProfile));
        }
        areas.SetModifiedFlag(FALSE);
    }
    const CString name = kestrun::tray::AoiFileName(strTray, nBatch);
    BOOL changed = FALSE;
    if (m_strAoiFile != name) {
        // The name is taken only once its areas are in, so that a failed
        // load is tried again next time.
        if (!LoadAoiFile(name))
            return FALSE;
        changed = TRUE;
        m_strAoiFile = name;
    }
    m_nBatch = nBatch;
    m_strTray = strTray;
    if (areas.GetActiveIndex() != m_nActiveAoi) {
        changed = TRUE;
        areas.SetActiveAOI(m_nActiveAoi);
    }
    services->SetAOIFileName(m_strAoiFile);
    return changed;
}

bool CDBFormTrayScan::LoadAoiFile(const CString& name)
{
    CBV* engine = Engine();
    bool loaded = false;
    if (engine != nullptr && kestrun::IsPlainFileName(name)) {
        try {
            loaded = engine->m_AOIDoc.LoadAOIFile(AddTrailingBackslash(DataRoot()) + name);
        } catch (const CException&) {
            // A damaged file leaves the areas as they were.
        }
    }
    // Every showing of the record tries again; the message comes once.
    if (!loaded && name != m_strMissingAoi)
        AfxMessageBox(FormatString("ROI profile %s not found", kestrun::PrintableName(name).GetString()));
    m_strMissingAoi = loaded ? CString() : name;
    return loaded;
}

void CDBFormTrayScan::OnProfileSelected()
{
    const int selection = m_comboProfile.GetCurSel();
    CAppServices* services = kestrun::AppServices();
    if (selection < 0 || services == nullptr)
        return;
    CString text;
    m_comboProfile.GetLBText(selection, text);
    // Save stores the settings under the profile chosen here, not under
    // the one the record was counted with.
    if (services->SelectProfile(StoredProfile(text), FALSE))
        m_strProfile = text;
}

void CDBFormTrayScan::OnTraySelected()
{
    const int selection = m_comboTray.GetCurSel();
    if (selection < 0)
        return;
    CString tray;
    m_comboTray.GetLBText(selection, tray);
    m_comboTray.SetWindowText(tray);
    if (CWnd* batch = GetDlgItem(static_cast<int>(IDC_TS_BATCH))) {
        const kestrun::CScopedFlag exchanging(m_bExchanging);
        batch->SetWindowText("1");
    }
    LoadAoiProfile(tray, 1);
    Invalidate(TRUE);
}

void CDBFormTrayScan::OnBatchChanged()
{
    if (!m_pRecordset || m_bExchanging)
        return;
    CWnd* edit = GetDlgItem(static_cast<int>(IDC_TS_BATCH));
    if (edit == nullptr)
        return;
    CString text;
    edit->GetWindowText(text);
    m_nBatch = std::atoi(text);
    LoadAoiProfile(m_strTray, m_nBatch);
    Invalidate(TRUE);
}

void CDBFormTrayScan::OnUseCurrentProfile()
{
    UpdateData(TRUE);
}

void CDBFormTrayScan::OnSaveAoi()
{
    CAppServices* services = kestrun::AppServices();
    CBV* engine = Engine();
    if (services == nullptr || engine == nullptr)
        return;
    const CString name = kestrun::tray::AoiFileName(m_strTray, m_nBatch);
    if (!kestrun::IsPlainFileName(name)) {
        AfxMessageBox(FormatString("The tray \"%s\" gives no file name; the areas are not saved.",
                                   kestrun::PrintableName(m_strTray).GetString()));
        return;
    }
    engine->m_AOIDoc.SaveAOIFile(AddTrailingBackslash(DataRoot()) + name);
    services->SaveProfile(StoredProfile(m_strProfile));
}

// ---- messages ---------------------------------------------------------------------------------

LRESULT CDBFormTrayScan::OnUpdateMessage(WPARAM, LPARAM)
{
    UpdateData(FALSE);
    EnableCountButtons();
    return 0;
}

LRESULT CDBFormTrayScan::OnNoAction(WPARAM, LPARAM)
{
    return 0;
}

// ---- "DBFront" --------------------------------------------------------------------------------

const kestrun::CDispatchMap& CDBFormTrayScan::GetDispatchMap() const
{
    using Args = std::span<const COleVariant>;
    static const kestrun::CDispatchMap map =
        kestrun::CDispatchMapBuilder<CDBFormTrayScan>("DBFront", kDBFrontClassId)
            .ReadOnlyProperty("ReportColumns", VT_I2,
                              [](CDBFormTrayScan& form, Args) { return static_cast<short>(form.m_nReportColumns); })
            .Method("GetReportTitles", VT_I2, {VT_VARIANT},
                    [](CDBFormTrayScan& form, Args args) {
                        COleVariant target = args[0];
                        return form.GetReportTitles(target);
                    })
            .Method("GetReportValues", VT_I2, {VT_VARIANT},
                    [](CDBFormTrayScan& form, Args args) {
                        COleVariant target = args[0];
                        return form.GetReportValues(target);
                    })
            .Method("GetReportInfo", VT_VARIANT, {VT_I2},
                    [](CDBFormTrayScan& form, Args args) { return form.GetReportInfo(args[0].iVal); })
            .Build();
    return map;
}

std::vector<CString> CDBFormTrayScan::GetReportTitleArray()
{
    return kestrun::tray::TrayReportTitles();
}

short CDBFormTrayScan::GetReportTitles(COleVariant& target)
{
    return kestrun::tray::FillTrayReportTitles(target);
}

COleVariant CDBFormTrayScan::GetReportInfo(short nIndex) const
{
    return nIndex == 0 ? COleVariant(m_strSeries) : COleVariant();
}
