// A tray from the scanning station into the database: Mode 1 runs the tray
// on the simulated box and writes image, result tables and side files; the
// files are carried to another folder; Mode 2 imports that folder and Count
// All counts the imported records again from their images.

#include "app/resource.h"
#include "app/tests/traystation.h"

#include "analysis/bv.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformtrayscan.h"
#include "dialogtesting.h"
#include "platform/ui/pathdialog.h"

#include <cstdlib>
#include <map>

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

class TrayRoundTripTest : public CTrayStationTest
{
protected:
    void SetUp() override
    {
        CTrayStationTest::SetUp();
        ::setenv("ODBCINI", (m_folder / "odbc.ini").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("ODBCINI");
        CTrayStationTest::TearDown();
    }

    static void DarkObjects(CKestrunApp& app)
    {
        app.GetEngine()->GetSettings().m_SegThres =
            CSegThres(RGB(100, 100, 100), RGB(255, 255, 255), CSegThres::modeDark);
    }

    // Mode 1: barcodes 2001 and 2002, then the box's push button.
    void RunTray()
    {
        WriteTrayAreas();
        const fs::path playback = WriteCameraPicture();
        WriteMode(1);
        CKestrunApp app;
        StartWithBoxLibrary(app);
        m_boxes->Clear();
        auto* form = dynamic_cast<CFormTray*>(app.GetFormView());
        ASSERT_NE(form, nullptr);
        // The station's profile, with its thresholds, goes into every side
        // file and is the one the database selects for the records.
        DarkObjects(app);
        ASSERT_TRUE(app.SaveProfile("30_20"));
        ASSERT_TRUE(app.SelectProfile("30_20", TRUE));
        FGBoard* board = GetFG();
        ASSERT_TRUE(board->SetParameterString(fgparam::kPlaybackFolder, CString(playback.c_str())));
        ASSERT_TRUE(board->SetVideoSource(1));
        form->SendMessage(WM_TIMER, 1);
        Enter(*form, "2001");
        Enter(*form, "2002");
        PressBoxButton();
        for (const CString& text : m_boxes->Texts())
            ADD_FAILURE() << text.GetString();
        m_dataDir = app.GetDataDir().GetString();
        Stop(app);
    }

    // What the station wrote, moved to a folder of its own.
    fs::path CarryFiles() const
    {
        const fs::path transfer = m_folder / "transfer";
        fs::create_directories(transfer);
        for (const auto& entry : fs::directory_iterator(m_dataDir)) {
            const fs::path ext = entry.path().extension();
            if (ext == ".jpg" || ext == ".xml" || ext == ".txt")
                fs::rename(entry.path(), transfer / entry.path().filename());
        }
        return transfer;
    }

    void PrepareDatabase() const
    {
        const CString path = DataRoot() + "data/Halvorn.db";
        fs::create_directories(fs::path(path.GetString()).parent_path());
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open("DRIVER=SQLite3;Database=" + path);
        PrepareGrowthSchema(conn);
        conn->Execute("INSERT INTO Messreihen (Bezeichnung, Probe) VALUES ('Trays week 3', 'Pond B')");
    }

    // Anzahl by DataName.
    static std::map<std::string, int> Counts(CDBFormTrayScan& form)
    {
        std::map<std::string, int> counts;
        _RecordsetPtr rs = form.GetMeasurements();
        for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
            counts[GetFieldString(rs, "DataName").GetString()] = GetFieldInt(rs, "Anzahl");
        rs->MoveFirst();
        return counts;
    }

    fs::path m_dataDir;
};

TEST_F(TrayRoundTripTest, StationFilesAreImportedAndCountedAgain)
{
    RunTray();
    const fs::path transfer = CarryFiles();
    int tables = 0;
    for (const auto& entry : fs::directory_iterator(transfer))
        tables += entry.path().extension() == ".xml" ? 1 : 0;
    ASSERT_EQ(tables, 2);

    WriteMode(2);
    PrepareDatabase();
    CKestrunApp app;
    Start(app);
    MainFrame(app).SendMessage(WM_COMMAND, ID_OPEN_DATABASE);
    auto* form = dynamic_cast<CDBFormTrayScan*>(app.GetFormView());
    ASSERT_NE(form, nullptr);
    DarkObjects(app);
    OnNextDialog([&transfer](CDialog& d) {
        dynamic_cast<CPathDialogSub&>(d).PathEdit()->SetWindowText(transfer.c_str());
        Press(d, IDOK);
    });
    MainFrame(app).SendMessage(WM_COMMAND, dbui::ID_DB_IMPORT);
    ASSERT_EQ(form->m_nRecordCount, 2);
    const std::map<std::string, int> imported = Counts(*form);
    std::vector<int> numbers;
    for (const auto& [name, count] : imported)
        numbers.push_back(count);
    EXPECT_EQ(numbers, (std::vector<int>{3, 2})) << "the station's counts, barcode 2001 first";

    // The stored results cleared, Count All measures each tray image again.
    _RecordsetPtr rs = form->GetMeasurements();
    for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext()) {
        rs->PutCollect("Anzahl", COleVariant(static_cast<short>(0)));
        rs->Update();
    }
    DarkObjects(app);
    Press(*form, dbui::IDC_TS_COUNT_ALL);
    EXPECT_EQ(Counts(*form), imported);
    for (const CString& text : m_boxes->Texts())
        ADD_FAILURE() << text.GetString();
    Stop(app);
}

} // namespace
} // namespace kestrun::testing
