// The tray-scan form's reports, table, image saving and import: the report
// cells of the series' records, Print Report through the database forms'
// routes, "DBFront" GetReportValues, Show Table, Save Image, and Import of
// the folders the tray form wrote (result tables with their side files, or
// images alone).
#include "database/ui/dbformtrayscan.h"

#include "database/comerrorbox.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/reportvalues.h"
#include "database/trayimport.h"
#include "database/traynames.h"
#include "database/trayreport.h"
#include "database/traysidefile.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/recordcursor.h"
#include "database/ui/reportroutes.h"
#include "imaging/dibdocex.h"
#include "objectmodel/toolfunctions.h"
#include "platform/core/errors.h"
#include "platform/core/filefind.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/ui/appservices.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/frame.h"
#include "platform/ui/pathdialog.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/winapp.h"
#include "series/objdatadoc.h"

#include <algorithm>
#include <climits>
#include <memory>

using namespace kestrun::tray;

namespace {

constexpr const char* kNoMeasurements = "No measurement set available.";
// Table kind whose title is "Table".
constexpr int kTableKind = 3;
constexpr int kTrayScanMode = 2;
constexpr UINT kProgressId = 1;

bool IsFolder(const CString& path)
{
    const DWORD attributes = GetFileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CString FolderOfApp(CString (CAppServices::*folder)() const)
{
    CAppServices* services = kestrun::AppServices();
    return services != nullptr ? AddTrailingBackslash((services->*folder)()) : CString();
}

int RunMode()
{
    CAppServices* services = kestrun::AppServices();
    return services != nullptr ? services->GetMode() : 0;
}

CString Decimal(const _RecordsetPtr& rs, const char* field)
{
    return FormatString("%d", GetFieldInt(rs, field));
}

// The shares the class rows of the results panel stand for: the learned
// classes in order, then the default class.
constexpr const char* kClassShares[] = {"Prozent_Hell", "Prozent_Gelblich", "Prozent_Ausgebleicht"};
constexpr const char* kDefaultClassShare = "Prozent_Normal";
constexpr const char* kAreaFields[] = {"Flaeche_Fronds", "Flaeche_MittelWert", "Flaeche_Standardabw",
                                       "Flaeche_Median"};

// The result columns of Show Table, one per row of the results panel that
// has a stored value: the rows before the first class row take the area
// fields in order; the class rows the share of their class, the last of
// them (the default class) Prozent_Normal.
struct CResultColumn
{
    CString title;
    const char* field;
    const char* format;
};

std::vector<CResultColumn> ResultColumns(const std::vector<tagDATA_LIST>& rows)
{
    const auto firstClass =
        std::find_if(rows.begin(), rows.end(), [](const tagDATA_LIST& row) { return row.strUnit == "%"; });
    const auto areas = static_cast<size_t>(firstClass - rows.begin());
    std::vector<CResultColumn> columns;
    for (size_t i = 0; i < areas && i < std::size(kAreaFields); ++i)
        columns.push_back({rows[i].strTitle, kAreaFields[i], "%.2lf"});
    if (firstClass == rows.end())
        return columns;
    for (size_t i = areas; i + 1 < rows.size() && i - areas < std::size(kClassShares); ++i)
        columns.push_back({rows[i].strTitle, kClassShares[i - areas], "%.1lf"});
    columns.push_back({rows.back().strTitle, kDefaultClassShare, "%.1lf"});
    return columns;
}

std::vector<CString> TableTitles(bool bTrayScan, const std::vector<CResultColumn>& columns)
{
    std::vector<CString> titles;
    if (bTrayScan)
        titles = {"Index", "-- Date/Time --", "BarCode", "Tray", "Batch", "Pos", "Tray Cells", "Count"};
    else
        titles = {"Index", "Vessel", "-- Date/Time --", "Day", "Number", "Number (Manual)"};
    for (const CResultColumn& column : columns)
        titles.push_back(column.title);
    return titles;
}

std::vector<CString> TableRow(const _RecordsetPtr& rs, int nIndex, bool bTrayScan,
                              const std::vector<CResultColumn>& columns)
{
    std::vector<CString> cells = {FormatString("%d", nIndex)};
    if (bTrayScan) {
        for (const CString& cell :
             {GetFieldString(rs, "DatumZeit"), GetBarCodeFromName(GetFieldString(rs, "DataName")),
              Decimal(rs, "Messtag"), Decimal(rs, "GlasNr"),
              PositionLetter(GetFieldInt(rs, "Fuellstand"), GetFieldInt(rs, "GlasNr")),
              Decimal(rs, "Anzahl_Manuell"), Decimal(rs, "Anzahl")})
            cells.push_back(cell);
    } else {
        for (const CString& cell : {Decimal(rs, "GlasNr"), GetFieldString(rs, "DatumZeit"), Decimal(rs, "Messtag"),
                                    Decimal(rs, "Anzahl"), Decimal(rs, "Anzahl_Manuell")})
            cells.push_back(cell);
    }
    for (const CResultColumn& column : columns)
        cells.push_back(FormatString(column.format, GetFieldDouble(rs, column.field)));
    return cells;
}

// The progress bar over the first pane of the main window's status bar,
// gone with the import.
class CImportProgress
{
public:
    explicit CImportProgress(int nEntries)
    {
        auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        auto* bar = frame != nullptr ? dynamic_cast<CStatusBar*>(frame->GetMessageBar()) : nullptr;
        if (bar == nullptr)
            return;
        CRect pane;
        bar->GetItemRect(0, &pane);
        m_bar = std::make_unique<CProgressCtrl>();
        if (!m_bar->Create(WS_CHILD | WS_VISIBLE, pane, bar, kProgressId)) {
            m_bar.reset();
            return;
        }
        m_bar->SetRange32(0, nEntries);
    }
    ~CImportProgress()
    {
        if (m_bar != nullptr && m_bar->GetSafeHwnd() != nullptr)
            m_bar->DestroyWindow();
    }
    CImportProgress(const CImportProgress&) = delete;
    CImportProgress& operator=(const CImportProgress&) = delete;

    void SetPos(int nPos)
    {
        if (m_bar != nullptr)
            m_bar->SetPos(nPos);
    }

private:
    std::unique_ptr<CProgressCtrl> m_bar;
};

// The files of the folder, in the listing's order; folders left out.
std::vector<CString> FolderFiles(const CString& strFolder)
{
    std::vector<CString> names;
    CFileFind finder;
    BOOL more = finder.FindFile(AddTrailingBackslash(strFolder) + "*");
    while (more) {
        more = finder.FindNextFile();
        if (!finder.IsDots() && !finder.IsDirectory())
            names.push_back(finder.GetFileName());
    }
    return names;
}

bool HasSeries(CDBDocADO* doc)
{
    _RecordsetPtr series = doc != nullptr ? doc->GetSeriesRecordset() : _RecordsetPtr();
    return kestrun::dbui::HasRecords(series);
}

// The files the import takes from the folder. A folder that goes away
// meanwhile ends it with one message; the records made stay.
void ImportFolder(CDBFormTrayScan& form, const CString& strFolder)
{
    const std::vector<CString> files = ImportCandidates(FolderFiles(strFolder));
    CImportProgress progress(static_cast<int>(files.size()));
    int done = 0;
    for (const CString& name : files) {
        if (!IsFolder(strFolder)) {
            AfxMessageBox(FormatString("The folder %s is gone - the import ended after %d of %d files",
                                       strFolder.GetString(), done, static_cast<int>(files.size())));
            break;
        }
        form.ImportFile(name, strFolder);
        progress.SetPos(++done);
    }
}

// The import's image copied into the images folder; false when it was
// refused (said). An image that is not in the folder leaves image empty.
bool TakeImage(const CString& strFolder, CString& image, CString& target)
{
    target.Empty();
    if (!kestrun::IsRegularFile(AddTrailingBackslash(strFolder) + image)) {
        image.Empty();
        return true;
    }
    const CString images = FolderOfApp(&CAppServices::GetImageDir);
    const EImportCopy copied = CopyImportedFile(strFolder, image, images);
    if (copied != EImportCopy::Copied) {
        AfxMessageBox(ImportCopyMessage(copied, AddTrailingBackslash(strFolder) + image, images + image));
        return false;
    }
    target = images + image;
    return true;
}

// The side file beside a data file; values that cannot be used are said.
CSideFile SideFileOf(const CString& strFolder, const CString& strDataFile, int nCurrentAoi)
{
    const CString path = AddTrailingBackslash(strFolder) + SideFileNameOf(strDataFile);
    const CSideFileRead side = ReadSideFile(path, nCurrentAoi);
    if (side.bDamaged)
        AfxMessageBox(FormatString("%s holds values that cannot be used - their defaults are taken", path.GetString()));
    return side.values;
}

void SaveFailed(const _com_error& e)
{
    AfxMessageBox(ComErrorText(e));
}

} // namespace

// ---- the report's cells ----------------------------------------------------------------------

int CDBFormTrayScan::BuildReportRows(std::vector<CString>& cells)
{
    if (!IsOpen())
        return 0;
    try {
        std::vector<CString> records;
        records.reserve(static_cast<size_t>(std::max(0L, m_pRecordset->GetRecordCount())) *
                        static_cast<size_t>(m_nReportColumns));
        const int count = BuildTrayReportRows(m_pRecordset, records);
        cells.insert(cells.end(), records.begin(), records.end());
        return count;
    } catch (const _com_error& e) {
        SaveFailed(e);
    }
    return 0;
}

short CDBFormTrayScan::GetReportValues(COleVariant& target)
{
    std::vector<CString> cells;
    const int records = BuildReportRows(cells);
    if (records == 0)
        return 0;
    return FillScriptArray(target, cells, static_cast<short>(std::min(records, SHRT_MAX)),
                           static_cast<long>(cells.size()) + 1);
}

// ---- Print Report -----------------------------------------------------------------------------

void CDBFormTrayScan::OnPrintReport()
{
    CWaitCursor wait;
    if (kestrun::dbui::IsWorkbookTemplate(m_strReport)) {
        kestrun::dbui::RunWorkbookReport(*this, m_strReport, m_strSeries, m_strWorkbook);
        return;
    }
    // The titles make the table's first row.
    std::vector<CString> cells = GetReportTitleArray();
    BuildReportRows(cells);
    kestrun::dbui::RunHtmlReport(this, m_strReport, m_strSeries, m_strSample, m_nReportColumns, cells);
}

// ---- Show Table -------------------------------------------------------------------------------

void CDBFormTrayScan::OnShowTable()
{
    CDBDocADO* doc = GetDocument();
    if (doc == nullptr)
        return;
    const bool trayScan = RunMode() == kTrayScanMode;
    const std::vector<CResultColumn> columns = ResultColumns(m_arrayResults);
    std::vector<std::vector<CString>> rows;
    try {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(FormatString("SELECT * FROM Messungen WHERE Messungen.MessreihenID = %ld", doc->GetFieldValue()),
                 doc->GetConnection(), adOpenKeyset, adLockOptimistic, adCmdText);
        if (rs->GetRecordCount() > 0) {
            rs->MoveFirst();
            for (int index = 1; !rs->GetEOF(); ++index, rs->MoveNext())
                rows.push_back(TableRow(rs, index, trayScan, columns));
        }
        rs->Close();
    } catch (const _com_error& e) {
        SaveFailed(e);
        return;
    }
    if (rows.empty()) {
        AfxMessageBox(kNoMeasurements);
        return;
    }
    kestrun::dbui::ShowRecordTable(TableTitles(trayScan, columns), rows, kTableKind);
}

// ---- Save Image -------------------------------------------------------------------------------

void CDBFormTrayScan::OnSaveImage()
{
    if (m_pImageDoc == nullptr)
        return;
    CString name;
    try {
        if (!HasCurrentRecord())
            return;
        name = GetFieldString(m_pRecordset, "Bildname");
    } catch (const _com_error& e) {
        SaveFailed(e);
        return;
    }
    if (name.IsEmpty())
        return;
    const CString path = ImageFile(name);
    if (path.IsEmpty()) {
        AfxMessageBox(FormatString("%s is no plain file name - the image is not saved",
                                   kestrun::PrintableName(name.GetString()).GetString()));
        return;
    }
    if (m_pImageDoc->OnSaveDocument(path))
        m_pImageDoc->SetTitle(name);
}

// ---- Import -----------------------------------------------------------------------------------

void CDBFormTrayScan::OnImport()
{
    try {
        CDBDocADO* doc = GetDocument();
        if (doc == nullptr)
            return;
        if (!HasSeries(doc)) {
            AfxMessageBox(kestrun::dbui::kNoSeriesText);
            SendMessage(WM_COMMAND, kestrun::dbui::ID_DB_SERIES);
            if (!HasSeries(doc))
                return;
        }
        CPathDialog chooser("Select Directory", "Please select directory:",
                            GetProfileString("DataBase", "Import", ""), this);
        if (chooser.DoModal() != IDOK)
            return;
        const CString folder = chooser.GetPathName();
        WriteProfileString("DataBase", "Import", folder);
        ImportFolder(*this, folder);
        OnRecordLast();
    } catch (const _com_error& e) {
        SaveFailed(e);
    } catch (const CException& e) {
        AfxMessageBox(e.GetErrorMessage());
    }
}

bool CDBFormTrayScan::ImportFile(const CString& strFileName, const CString& strFolder)
{
    const int dot = strFileName.ReverseFind('.');
    const CString extension = dot >= 0 ? strFileName.Mid(dot) : CString();
    const CString base = dot >= 0 ? strFileName.Left(dot) : strFileName;
    const bool isImage = extension == ".jpg";
    const CString folder = AddTrailingBackslash(strFolder);
    const CString dataTarget = FolderOfApp(&CAppServices::GetDataDir) + strFileName;
    // A result table of that name in the data folder stays as it is; the
    // image is not taken either, so nothing of this file is half imported.
    if (!isImage && GetFileAttributes(dataTarget) != INVALID_FILE_ATTRIBUTES) {
        AfxMessageBox(ImportCopyMessage(EImportCopy::NameInUse, folder + strFileName, dataTarget));
        return false;
    }

    CString image = isImage ? strFileName : base + ".jpg";
    CString imagePath;
    if (!TakeImage(strFolder, image, imagePath))
        return false;
    if (!imagePath.IsEmpty())
        OpenImageFile(imagePath);
    if (isImage) {
        if (image.IsEmpty())
            return false;
        AddImportedRecord(CString(), image, "Default");
        return true;
    }

    const CSideFile side = SideFileOf(strFolder, strFileName, m_nActiveAoi);
    if (image.IsEmpty())
        image = side.strImage;
    m_nActiveAoi = side.nIndexAOI;
    LoadAoiProfile(side.strTray, side.nBatch);

    // Read once apart, so that a table that does not load makes no record
    // (the table says why).
    const CString dataPath = folder + strFileName;
    {
        CObjDataDoc table;
        if (!table.OnOpenDocument(dataPath))
            return false;
    }
    // The record is written from the form's own result table, so the data
    // goes through the image document also when there is no image; the
    // table is kept where the record names it.
    CDIBDocEx* imageDoc = EnsureImageDocument();
    if (!imageDoc->LoadObjectData(dataPath, FALSE) || imageDoc->GetResultDoc() == nullptr) {
        AfxMessageBox(FormatString("%s could not be loaded - not imported", dataPath.GetString()));
        return false;
    }
    CDocument* results = imageDoc->GetResultDoc();
    AddImportedRecord(strFileName, image, side.strProfile);
    OnDataChanged(0, reinterpret_cast<LPARAM>(results));
    results->OnSaveDocument(dataTarget);
    return true;
}
