#include "database/dbdocado.h"

#include "database/comerrorbox.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/odbcdsn.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/database/database.h"
#include "platform/ui/appservices.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"

#include <filesystem>
#include <system_error>

IMPLEMENT_DYNCREATE(CDBDocADO, CDocument)

namespace {

constexpr const char* kSection = "DataBase";
constexpr const char* kPositionKey = "ActualMessreihe";
constexpr const char* kFileName = "Halvorn.db";

} // namespace

CDBDocADO::CDBDocADO() = default;

CDBDocADO::~CDBDocADO()
{
    m_pProben.reset();
    m_pVStufen.reset();
    m_pVReihen.reset();
    m_pGlastypen.reset();
    m_pMessreihen.reset();
    m_pConnection.reset();
}

BOOL CDBDocADO::RegisterSource()
{
    CString directory;
    if (CAppServices* services = kestrun::AppServices()) {
        directory = services->GetDataRoot();
    }
    const std::filesystem::path root(directory.GetString());
    std::filesystem::path folder = root / "data";
    CString fileName = kFileName;
    if (!std::filesystem::exists(folder / kFileName)) {
        CFileDialog dlg(TRUE, "db", kFileName, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                        "Halvorn Database (Halvorn.db)|*.db||");
        dlg.m_ofn.lpstrTitle = "Search File";
        const CString initial(root.c_str());
        dlg.m_ofn.lpstrInitialDir = initial;
        if (dlg.DoModal() == IDOK && std::filesystem::is_regular_file(dlg.GetPathName().GetString())) {
            const std::filesystem::path chosen(dlg.GetPathName().GetString());
            folder = chosen.parent_path();
            fileName = chosen.filename().c_str();
        } else {
            // No file chosen: a new database in the data folder.
            std::error_code ignored;
            std::filesystem::create_directories(folder, ignored);
        }
    }
    if (!RegisterAccessDsn(kGrowthDsn, folder.c_str(), fileName, "Halvorn Database", TRUE)) {
        AfxMessageBox("Cannot register database");
        return FALSE;
    }
    return TRUE;
}

namespace {

// The main window's second tool bar: the record navigation.
constexpr UINT kDatabaseToolBarId = 0xE905;

void ShowDatabaseToolBar()
{
    auto* main = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (CControlBar* bar = main ? main->GetControlBar(kDatabaseToolBarId) : nullptr)
        main->ShowControlBar(bar, TRUE, FALSE);
}

} // namespace

BOOL CDBDocADO::OnNewDocument()
{
    ShowDatabaseToolBar();
    bool registered = false;
    try {
        if (!IsDataSourceListed(kGrowthDsn)) {
            throw CDBException("The data source is not registered");
        }
        CDatabase probe;
        registered = probe.OpenEx(FormatString("ODBC;DSN=%s;", kGrowthDsn), CDatabase::useCursorLib) != FALSE;
        probe.Close();
    } catch (const CException&) {
        registered = false;
    }
    if (!registered && !RegisterSource()) {
        return FALSE;
    }
    if (!m_pConnection) {
        try {
            OpenDatabase();
        } catch (const _com_error& e) {
            DumpComError(e);
            return FALSE;
        }
    }
    return CDocument::OnNewDocument();
}

_RecordsetPtr CDBDocADO::OpenClient(const CString& sql, long cursorType) const
{
    _RecordsetPtr rs = CAdoRecordset::Create();
    rs->PutCursorLocation(adUseClient);
    rs->Open(sql, m_pConnection, cursorType, adLockOptimistic, adCmdText);
    return rs;
}

void CDBDocADO::OpenDatabase()
{
    _ConnectionPtr connection = CAdoConnection::Create();
    connection->Open(FormatString("DSN=%s;UID=;PWD=", kGrowthDsn), "", "", 0);
    PrepareGrowthSchema(connection);
    m_pConnection = connection;

    // In key order, as the file databases return a table: "ActualMessreihe"
    // and the master-data lists count positions, and a server returns an
    // edited row elsewhere when asked for no order.
    m_pMessreihen = OpenClient("SELECT * FROM Messreihen ORDER BY ID", adOpenDynamic);
    const long count = m_pMessreihen->GetRecordCount();
    if (count > 0) {
        // A stored position outside the table keeps the first series.
        const long position = static_cast<long>(static_cast<int>(GetProfileInt(kSection, kPositionKey, 1)));
        if (position >= 1 && position <= count) {
            m_pMessreihen->PutAbsolutePosition(position);
        }
    }
    m_pGlastypen = OpenClient("SELECT * FROM Glastypen ORDER BY ID", adOpenDynamic);
    m_pVReihen = OpenClient("SELECT * FROM Verduennungsreihen ORDER BY ID", adOpenDynamic);
    m_pVStufen = OpenClient(
        FormatString("SELECT * FROM Verduennungsstufen WHERE V_ReiheID = %ld ORDER BY Reihenfolge, GlasNr",
                     OpenDilutionSteps()),
        adOpenDynamic);
    OpenSamples();
}

void CDBDocADO::OnCloseDocument()
{
    try {
        if (m_pMessreihen) {
            if (m_pMessreihen->GetState() == adStateOpen && m_pMessreihen->GetRecordCount() > 0) {
                const long position = m_pMessreihen->GetAbsolutePosition();
                if (position >= 1) {
                    WriteProfileInt(kSection, kPositionKey, static_cast<int>(position));
                }
            }
            if (m_pMessreihen->GetState() == adStateOpen) {
                m_pMessreihen->Close();
            }
        }
        for (const _RecordsetPtr& rs : {m_pGlastypen, m_pVReihen}) {
            if (rs && rs->GetState() == adStateOpen) {
                rs->Close();
            }
        }
    } catch (const _com_error& e) {
        DumpComError(e);
    }
    if (m_pConnection) {
        m_pConnection->Close();
        m_pConnection.reset();
    }
    CDocument::OnCloseDocument();
}

long CDBDocADO::GetFieldValue()
{
    try {
        if (!m_pMessreihen || m_pMessreihen->GetRecordCount() <= 0) {
            return -1;
        }
        return GetFieldInt(m_pMessreihen, "ID");
    } catch (const _com_error& e) {
        DumpComError(e);
        return 0;
    }
}

long CDBDocADO::OpenDilutionSteps()
{
    try {
        return m_pMessreihen ? GetFieldInt(m_pMessreihen, "V_ReiheID") : 0;
    } catch (const _com_error& e) {
        DumpComError(e);
        return 0;
    }
}

CString CDBDocADO::GetDilutionStepText(long vReiheId, long glasNr)
{
    try {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(FormatString("SELECT Beschreibung FROM Verduennungsstufen WHERE V_ReiheID = %ld AND\t\t\t\t\t\tGlasNr = %ld",
                              vReiheId, glasNr),
                 m_pConnection, adOpenDynamic, adLockOptimistic, adCmdText);
        CString text = rs->GetRecordCount() > 0 ? GetFieldString(rs, "Beschreibung") : CString();
        rs->Close();
        return text;
    } catch (const _com_error& e) {
        DumpComError(e);
        return {};
    }
}

void CDBDocADO::OpenSamples()
{
    try {
        if (!m_pMessreihen || m_pMessreihen->GetRecordCount() <= 0) {
            return;
        }
        const int id = GetFieldInt(m_pMessreihen, "ID");
        if (m_pProben && m_pProben->GetState() == adStateOpen) {
            m_pProben->Close();
        }
        m_pProben = OpenClient(
            FormatString("SELECT * FROM Proben WHERE Proben.MessreihenID = %d ORDER BY Reihenfolge", id), adOpenKeyset);
    } catch (const _com_error& e) {
        DumpComError(e);
    }
}
