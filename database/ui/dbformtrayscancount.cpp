// New records of the tray-scan form, the count of a tray image into its
// record, Count All over the series, the search by data name and the record
// of an imported file.
#include "database/ui/dbformtrayscan.h"

#include "analysis/aoi.h"
#include "analysis/aoiraster.h"
#include "analysis/bv.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/masterrecords.h"
#include "database/traynames.h"
#include "database/ui/correctiondlg.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformdlgs.h"
#include "database/ui/formcount.h"
#include "database/ui/trayrecord.h"
#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/ui/appservices.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"
#include "series/datadoc.h"
#include "series/runhost.h"

#include <optional>

using namespace kestrun::dbui;
using namespace kestrun::tray;

namespace {

// At most this many skipped records are named in Count All's message.
constexpr size_t kListedMissing = 20;

CBV* Engine()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetEngine() : nullptr;
}

CString CurrentProfile()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetCurrentProfileName() : CString();
}

// The error box; a change left pending is dropped, so that no later move
// stores half a record.
void RecordFailed(const CDBDocADO* doc, const _RecordsetPtr& rs, const _com_error& e)
{
    ReportRecordError(doc ? doc->GetConnection() : _ConnectionPtr(), rs, e);
}

// Profile, tray number and batch a record is counted with.
struct CCountSetting
{
    CString strProfile;
    int nTray = 0;
    int nBatch = 1;

    bool operator==(const CCountSetting& other) const
    {
        return strProfile == other.strProfile && nTray == other.nTray && nBatch == other.nBatch;
    }
};

CCountSetting RecordSetting(const _RecordsetPtr& rs)
{
    return {GetFieldString(rs, "Messparameter"), GetFieldInt(rs, "Messtag"), GetFieldInt(rs, "GlasNr")};
}

void WriteSetting(const _RecordsetPtr& rs, const CCountSetting& setting)
{
    SetFieldString(rs, "Messparameter", setting.strProfile);
    rs->PutCollect("Messtag", COleVariant(static_cast<short>(setting.nTray)));
    rs->PutCollect("GlasNr", COleVariant(static_cast<short>(setting.nBatch)));
    rs->Update();
}

// The learned classes with an area feature, in list order.
std::vector<CTrayClassLimit> ClassLimits(const CBV* engine)
{
    std::vector<CTrayClassLimit> limits;
    if (engine == nullptr)
        return limits;
    const CClasses& classes = engine->m_Classes;
    for (int j = 0; j < static_cast<int>(classes.GetSize()); ++j) {
        const CVectorNormal& c = classes.GetAt(j);
        const int feature = c.FindFeature(1);
        if (feature < 0)
            continue;
        limits.push_back({c.m_nClass, c.GetFeatureStat(feature, CVectorNormal::statMin),
                          c.GetFeatureStat(feature, CVectorNormal::statMax), c.m_strName, c.m_Color});
    }
    return limits;
}

// The cells of the active area's raster; none without a raster.
std::optional<int> RasterCells(CBV* engine)
{
    CAOI* area = engine ? engine->m_AOIDoc.GetActiveAOI(true) : nullptr;
    const CAOIRaster* raster = area ? area->GetRaster() : nullptr;
    if (raster == nullptr)
        return std::nullopt;
    return static_cast<int>(raster->GetSize());
}

void ShowStatus(const CString& text)
{
    if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        frame->SetMessageText(text);
}

void ReportMissingImages(const std::vector<CString>& missing)
{
    if (missing.empty())
        return;
    CString text = FormatString("%d records were not counted: their image is missing.\n",
                                static_cast<int>(missing.size()));
    for (size_t i = 0; i < missing.size() && i < kListedMissing; ++i)
        text += "\n" + missing[i];
    if (missing.size() > kListedMissing)
        text.AppendFormat("\n... and %d more", static_cast<int>(missing.size() - kListedMissing));
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

bool IsRecordCommand(UINT nID)
{
    switch (nID) {
    case ID_DB_NEW_RECORD:
    case ID_DB_DELETE_RECORD:
    case ID_DB_PRINT_REPORT:
    case ID_DB_LOAD_IMAGE:
    case ID_DB_SAVE_IMAGE:
    case ID_DB_SERIES:
    case ID_DB_SHOW_TABLE:
    case ID_DB_IMPORT:
    case ID_DB_SEARCH_RECORD:
    case ID_RECORD_FIRST:
    case ID_RECORD_LAST:
    case ID_RECORD_NEXT:
    case ID_RECORD_PREV:
    case IDC_COUNT:
    case IDC_NEWCOUNT:
    case IDC_TS_COUNT_ALL:
        return true;
    default:
        return false;
    }
}

void DisableCountButtons(CWnd& form)
{
    for (UINT id : {IDC_COUNT, IDC_NEWCOUNT, IDC_TS_COUNT_ALL}) {
        if (CWnd* button = form.GetDlgItem(static_cast<int>(id)))
            button->EnableWindow(FALSE);
    }
}

} // namespace

BOOL CDBFormTrayScan::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Commands started from inside Count All's loop would move its records.
    if (m_bCountingAll && IsRecordCommand(nID)) {
        if (nCode == CN_UPDATE_COMMAND_UI && pExtra != nullptr)
            static_cast<CCmdUI*>(pExtra)->Enable(FALSE);
        return TRUE;
    }
    return CBVFormView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- new records --------------------------------------------------------------------------

void CDBFormTrayScan::OnNewRecord()
{
    AddNewRecord();
}

bool CDBFormTrayScan::AddNewRecord()
{
    CNeueMessDescrDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return false;
    m_strComment = dlg.m_strDescription;
    ++m_nNewRecordNumber;
    CDBDocADO* doc = GetDocument();
    const CBV* engine = Engine();
    const _RecordsetPtr& rs = m_pRecordset;
    try {
        if (!IsOpen())
            return false;
        rs->AddNew();
        rs->PutCollect("MessreihenID", COleVariant(static_cast<LONG>(doc ? doc->GetFieldValue() : -1)));
        rs->PutCollect("GlasNr", COleVariant(static_cast<short>(m_nNewRecordNumber)));
        rs->PutCollect("Messtag", COleVariant(static_cast<short>(m_bNewMeasurement)));
        rs->PutCollect("Fuellstand", COleVariant(static_cast<short>(engine ? engine->m_AOIDoc.GetActiveIndex() : 0)));
        SetFieldString(rs, "Messparameter", CurrentProfile());
        SetFieldString(rs, "Comment", m_strComment);
        rs->PutCollect("Anzahl_Manuell", COleVariant(static_cast<short>(0)));
        StoreNewRecord(rs);
        rs->Requery();
    } catch (const _com_error& e) {
        RecordFailed(doc, rs, e);
        return false;
    }
    OnRecordLast();
    return true;
}

void CDBFormTrayScan::OnNewCount()
{
    if (m_pImageDoc == nullptr) {
        AfxMessageBox(kNoImageText, MB_OK);
        return;
    }
    m_pImageDoc->Grab(TRUE);
    // A cancelled record has nothing to count into.
    if (!AddNewRecord())
        return;
    if (m_bSaveImage != 0)
        OnSaveImage();
    OnCount();
}

// ---- the count ------------------------------------------------------------------------------

void CDBFormTrayScan::OnCount()
{
    CDBDocADO* doc = GetDocument();
    const _RecordsetPtr& rs = m_pRecordset;
    try {
        if (!HasRecords()) {
            AfxMessageBox(kNoDatasetText, MB_OK);
            return;
        }
    } catch (const _com_error& e) {
        RecordFailed(doc, rs, e);
        return;
    }
    if (m_pImageDoc == nullptr) {
        AfxMessageBox(kNoImageText, MB_OK);
        return;
    }
    if (!CountModelFits()) {
        AfxMessageBox(kWrongModelText, MB_OK);
        return;
    }
    const CCountSetting current{CurrentProfile(), LeadingNumber(m_strTray), m_nBatch};
    try {
        const CCountSetting stored = RecordSetting(rs);
        if (!(stored == current) &&
            AfxMessageBox(FormatString("You have changed Profile from %s to %s - or Tray from %d to %d - or Batch "
                                       "from %d to %d \n save to Database ?",
                                       stored.strProfile.GetString(), current.strProfile.GetString(), stored.nTray,
                                       current.nTray, stored.nBatch, current.nBatch),
                          MB_YESNO | MB_ICONQUESTION) == IDYES)
            WriteSetting(rs, current);
    } catch (const _com_error& e) {
        RecordFailed(doc, rs, e);
    }
    if (m_pImageDoc != nullptr)
        m_pImageDoc->GrabIfNotLive();
    if (const CBV* engine = Engine())
        m_nActiveAoi = engine->m_AOIDoc.GetActiveIndex();
    MeasureRecord();
    SendStateToBox(3);
}

void CDBFormTrayScan::MeasureRecord()
{
    if (m_pImageDoc == nullptr || CheckBackground() != 1 || m_pImageDoc == nullptr)
        return;
    m_pImageDoc->OnCmdMsg(ID_IMAGE_SEARCH_OBJECTS, CN_COMMAND, nullptr, nullptr);
    CDocument* results = m_pImageDoc != nullptr ? m_pImageDoc->GetResultDoc() : nullptr;
    if (results == nullptr)
        return;
    OnDataChanged(0, reinterpret_cast<LPARAM>(results));
    // The area classes may have changed the objects' classes.
    results->UpdateAllViews(nullptr);
    LoadResultData();
}

LRESULT CDBFormTrayScan::OnDataChanged(WPARAM wParam, LPARAM lParam)
{
    CDataDoc* table = nullptr;
    if (lParam != 0) {
        table = OwnResultDocument(m_pImageDoc, lParam);
        if (table == nullptr)
            return 0;
    }
    if (!CountModelFits()) {
        AfxMessageBox(kWrongModelText, MB_OK);
        return 0;
    }
    CDBDocADO* doc = GetDocument();
    const _RecordsetPtr& rs = m_pRecordset;
    try {
        if (!HasCurrentRecord())
            return 0;
        if (table == nullptr) {
            WriteManualCount(rs, static_cast<int>(wParam));
        } else {
            CBV* engine = Engine();
            std::vector<CBaseObj*> objects;
            const int n = table->CountUnselected();
            for (int i = 0; i < n; ++i)
                objects.push_back(table->GetUnselectedAt(i));
            const int vessels = TrayVessels(m_strTray, m_nBatch, m_nBatch > 1 ? RasterCells(engine) : std::nullopt);
            const CTrayRecordValues values =
                ComputeTrayRecord(TrayObjectValues({objects.begin(), objects.end()}), ClassLimits(engine), vessels,
                                  m_strDefaultClassName);
            ApplyTrayClasses(objects, values.classes);
            if (values.writesCount)
                m_nCountTotal = values.vessels;
            WriteTrayRecord(rs, values, m_nActiveAoi);
            for (const CString& warning : values.warnings)
                ShowStatus(warning);
        }
    } catch (const _com_error& e) {
        RecordFailed(doc, rs, e);
    }
    UpdateData(FALSE);
    return 0;
}

// ---- Count All ------------------------------------------------------------------------------

void CDBFormTrayScan::OnCountAll()
{
    if (m_bCountingAll)
        return;
    CRunHost& host = kestrun::GetRunHost();
    CDBDocADO* doc = GetDocument();
    const _RecordsetPtr rs = m_pRecordset;
    const CCountSetting start{CurrentProfile(), LeadingNumber(m_strTray), m_nBatch};
    std::vector<CString> missing;
    // Commands handled meanwhile may close the form; then nothing of it is
    // touched again.
    const HWND hwnd = GetSafeHwnd();
    const auto pumpAndLive = [&host, hwnd] {
        host.PumpMessages();
        return ::IsWindow(hwnd) != FALSE;
    };
    m_bCountingAll = true;
    DisableCountButtons(*this);
    try {
        if (IsOpen() && rs->GetRecordCount() != 0)
            rs->MoveFirst();
        bool escaped = false;
        while (IsOpen() && !rs->GetEOF()) {
            if (host.IsEscapeDown()) {
                escaped = true;
                break;
            }
            if (m_bUseCurrentProfile == 1 && !(RecordSetting(rs) == start))
                WriteSetting(rs, start);
            UpdateData(FALSE);
            const CString image = GetFieldString(rs, "Bildname");
            const CString path = ImageFile(image);
            if (!path.IsEmpty() && kestrun::IsRegularFile(path)) {
                OnLoadImage();
                MeasureRecord();
            } else {
                // The grey stand-in would be counted over the real results.
                missing.push_back(FormatString("%ld: %s", static_cast<long>(rs->GetAbsolutePosition()),
                                               kestrun::PrintableName(image).GetString()));
            }
            rs->MoveNext();
            // Showing the record enabled them again.
            DisableCountButtons(*this);
            if (!pumpAndLive())
                return;
        }
        if (!escaped) {
            if (IsOpen() && rs->GetRecordCount() > 0)
                rs->MoveLast();
            if (!pumpAndLive())
                return;
        }
    } catch (const _com_error& e) {
        RecordFailed(doc, rs, e);
        if (!pumpAndLive())
            return;
    } catch (...) {
        // Whoever reports it, the record commands must not stay held.
        m_bCountingAll = false;
        EnableCountButtons();
        throw;
    }
    m_bCountingAll = false;
    EnableCountButtons();
    ReportMissingImages(missing);
}

// ---- search and import ----------------------------------------------------------------------

void CDBFormTrayScan::OnSearchRecord()
{
    CDBSearchOptDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    try {
        if (!IsOpen())
            return;
        // The text as typed: quotes and wildcards match themselves.
        FindDataName(m_pRecordset, dlg.m_strBarCode);
    } catch (const _com_error& e) {
        RecordFailed(GetDocument(), m_pRecordset, e);
    }
    UpdateData(FALSE);
}

void CDBFormTrayScan::AddImportedRecord(const CString& strDataName, const CString& strImageName,
                                        const CString& strProfile)
{
    CAppServices* services = kestrun::AppServices();
    if (!strProfile.IsEmpty() && services != nullptr && strProfile != services->GetCurrentProfileName())
        services->SelectProfile(strProfile, TRUE);
    CDBDocADO* doc = GetDocument();
    try {
        if (!IsOpen())
            return;
        CImportedRecord record;
        record.nSeriesId = doc ? doc->GetFieldValue() : -1;
        record.strTray = m_strTray;
        record.nBatch = m_nBatch;
        record.nActiveAoi = m_nActiveAoi;
        record.strComment = m_strComment;
        record.strDataName = strDataName;
        record.strImageName = strImageName;
        record.strProfile = strProfile;
        kestrun::tray::AddImportedRecord(m_pRecordset, record);
    } catch (const _com_error& e) {
        RecordFailed(doc, m_pRecordset, e);
        return;
    }
    UpdateData(FALSE);
}
