// The tray-scan form's exports in the program: Measurement > Import reaches
// the form's import, and the report script reads the form as "DBFront" with
// the workbook Print Report made in place of "report.xls".

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "database/growthschema.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformtrayscan.h"
#include "dialogtesting.h"
#include "platform/ui/pathdialog.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;
namespace fs = std::filesystem;

class TrayScanExportTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        ::setenv("ODBCINI", (m_folder / "odbc.ini").c_str(), 1);
        WriteMode(2);
        const fs::path data = fs::path(DataRoot().GetString()) / "data";
        fs::create_directories(data);
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open("DRIVER=SQLite3;Database=" + CString((data / "Halvorn.db").c_str()));
        PrepareGrowthSchema(conn);
        conn->Execute("INSERT INTO Messreihen (Bezeichnung, Probe) VALUES ('Trays week 3', 'Pond B')");
        conn->Execute("INSERT INTO Messungen (MessreihenID, Messtag, GlasNr, Fuellstand, Bildname) VALUES "
                      "(1, 72, 1, 0, 'a.jpg'), (1, 72, 2, 1, 'b.jpg')");
    }
    void TearDown() override
    {
        ::unsetenv("ODBCINI");
        CAppTest::TearDown();
    }
};

TEST_F(TrayScanExportTest, ImportAndTheReportScriptReachTheTrayScanForm)
{
    const fs::path scripts = fs::path(DataRoot().GetString()) / "script";
    fs::create_directories(scripts);
    std::ofstream(scripts / "report.txt") << "t = Array(\"\")\n"
                                             "n = DBFront.GetReportValues(t)\n"
                                             "MsgBox \"report.xls|\" & n & \"|\" & t(5) & \"|\" & t(20) & \"|\" & "
                                             "DBFront.ReportColumns\n";
    CKestrunApp app;
    Start(app);
    CMainFrame& frame = MainFrame(app);
    frame.SendMessage(WM_COMMAND, ID_OPEN_DATABASE);
    auto* form = dynamic_cast<CDBFormTrayScan*>(app.GetFormView());
    ASSERT_NE(form, nullptr);

    // Measurement > Import and the tool bar's button: the form asks for
    // the folder.
    ASSERT_TRUE(QueryCommand(frame, ID_IMPORT).enabled);
    bool asked = false;
    OnNextDialog([&](CDialog& d) {
        asked = dynamic_cast<CPathDialogSub*>(&d) != nullptr;
        Press(d, IDCANCEL);
    });
    frame.SendMessage(WM_COMMAND, ID_IMPORT);
    EXPECT_TRUE(asked);

    // A quote in the series name must not end the script's string literal.
    const fs::path folder = m_folder / "reports";
    fs::create_directories(folder);
    std::ofstream(folder / "tray.xlsx") << "workbook";
    form->m_strReport = (folder / "tray.xlsx").c_str();
    form->m_strSeries = "Trays \"3\"/b";
    m_boxes->Clear();
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    const fs::path workbook = folder / "Trays \"3\"_b.xlsx";
    EXPECT_TRUE(fs::exists(workbook));
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], CString((workbook.string() + "|2|L|R|15").c_str()));
    Stop(app);
}

} // namespace
