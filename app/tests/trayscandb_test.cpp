// Mode 2 in the program: Open Database opens the tray-scan form on the
// current series, with its menu, its commands and its buttons.

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformtrayscan.h"
#include "platform/core/messages.h"
#include "platform/ui/frame.h"
#include "platform/ui/menu.h"

#include <cstdlib>
#include <filesystem>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

class TrayScanDatabaseTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        ::setenv("ODBCINI", (m_folder / "odbc.ini").c_str(), 1);
        WriteMode(2);
    }
    void TearDown() override
    {
        ::unsetenv("ODBCINI");
        CAppTest::TearDown();
    }

    // A database with one series of two tray records, where the program
    // looks first.
    void PrepareDatabase() const
    {
        const CString path = DataRoot() + "data/Halvorn.db";
        std::filesystem::create_directories(std::filesystem::path(path.GetString()).parent_path());
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open("DRIVER=SQLite3;Database=" + path);
        PrepareGrowthSchema(conn);
        conn->Execute("INSERT INTO Messreihen (Bezeichnung, Probe) VALUES ('Trays week 3', 'Pond B')");
        conn->Execute("INSERT INTO Messungen (MessreihenID, Messtag, GlasNr, Fuellstand, Bildname) VALUES "
                      "(1, 72, 1, 0, 'a.jpg'), (1, 72, 1, 1, 'b.jpg')");
    }
};

TEST_F(TrayScanDatabaseTest, OpenDatabaseOpensTheTrayScanFormWithItsCommands)
{
    PrepareDatabase();
    CKestrunApp app;
    Start(app);
    ASSERT_EQ(app.m_nMode, 2);
    CMainFrame& frame = MainFrame(app);
    EXPECT_TRUE(frame.m_wndDBToolBar.IsWindowVisible());
    ASSERT_TRUE(QueryCommand(frame, ID_OPEN_DATABASE).enabled);
    frame.SendMessage(WM_COMMAND, ID_OPEN_DATABASE);
    auto* form = dynamic_cast<CDBFormTrayScan*>(app.GetFormView());
    ASSERT_NE(form, nullptr) << (m_boxes->Texts().empty() ? "" : m_boxes->Texts()[0].GetString());
    EXPECT_EQ(form->m_strSeries, CString("Trays week 3"));
    EXPECT_EQ(form->m_nRecordCount, 2);
    EXPECT_FALSE(QueryCommand(frame, ID_OPEN_DATABASE).enabled);

    // The form's menu is the child frame's.
    EXPECT_TRUE(kestrun::HasMenuResource(IDR_TRAYSCAN));
    EXPECT_TRUE(QueryCommand(frame, ID_INIT_VIDEO).enabled);
    EXPECT_FALSE(QueryCommand(frame, ID_FILE_SAVE).enabled);

    for (UINT id = ID_DB_NEW_RECORD; id <= ID_DB_SEARCH_RECORD; ++id) {
        if (id == ID_DB_SAMPLES || id == ID_DB_DILUTION)
            continue; // the growth-test form's
        EXPECT_TRUE(QueryCommand(frame, id).enabled) << id;
    }
    // On the first record: Next and Last move, First and Previous do not.
    EXPECT_FALSE(QueryCommand(frame, ID_RECORD_FIRST).enabled);
    EXPECT_FALSE(QueryCommand(frame, ID_RECORD_PREV).enabled);
    EXPECT_TRUE(QueryCommand(frame, ID_RECORD_NEXT).enabled);
    EXPECT_TRUE(QueryCommand(frame, ID_RECORD_LAST).enabled);
    frame.SendMessage(WM_COMMAND, ID_RECORD_LAST);
    EXPECT_EQ(form->m_strPosition, CString("2/2"));
    EXPECT_TRUE(QueryCommand(frame, ID_RECORD_FIRST).enabled);
    EXPECT_FALSE(QueryCommand(frame, ID_RECORD_NEXT).enabled);
    for (UINT id : {IDC_NEWCOUNT, IDC_COUNT, IDC_TS_COUNT_ALL, IDC_TS_SAVE_AOI})
        EXPECT_TRUE(form->GetDlgItem(static_cast<int>(id))->IsWindowEnabled()) << id;
    Stop(app);
}

} // namespace
