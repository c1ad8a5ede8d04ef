#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "platform/core/profile.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/database/testing/postgres_test_server.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/testing/fake_app_services.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// "HALVORN" in a user ODBC ini of the test's own, pointing at PostgreSQL.
// Kept apart from the file-database cases: the driver manager remembers a
// data source's driver for a while within one process.
class DBDocADOOnPostgreSQLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPostgresTestServer& server = CPostgresTestServer::Instance();
        if (!server.Unavailable().empty()) {
            GTEST_SKIP() << "PostgreSQL cases skipped: " << server.Unavailable();
        }
        m_database = server.NewDatabase();
        m_connect = server.ConnectString(m_database);
        m_ini = m_folder / "odbc.ini";
        ::setenv("ODBCINI", m_ini.c_str(), 1);
        const std::pair<const char*, std::string> entry[] = {
            {"Driver", "PostgreSQL Unicode"}, {"Servername", "127.0.0.1"}, {"Port", std::to_string(server.Port())},
            {"Database", m_database},         {"Username", "postgres"},
        };
        for (const auto& [key, value] : entry) {
            ASSERT_TRUE(WritePrivateProfileString(kGrowthDsn, key, value.c_str(), m_ini.c_str()));
        }
        m_services.m_strDataRoot = m_folder.Path().c_str();
        kestrun::SetApplicationProfile((m_folder / "kestrun.ini").c_str());
        m_previousHandler = kestrun::SetCommonDialogHandler([this](CCommonDialog&) -> INT_PTR {
            ++m_dialogs;
            return IDCANCEL;
        });
    }

    void TearDown() override
    {
        if (m_previousHandler) {
            kestrun::SetCommonDialogHandler(m_previousHandler);
        }
        kestrun::SetApplicationProfile("");
        ::unsetenv("ODBCINI");
    }

    std::unique_ptr<CDBDocADO> OpenDocument() const
    {
        auto doc = std::make_unique<CDBDocADO>();
        doc->m_bAutoDelete = FALSE;
        EXPECT_TRUE(doc->OnNewDocument()) << (m_boxes->Texts().empty() ? CString() : m_boxes->Texts()[0]).GetString();
        return doc;
    }

    CScratchFolder m_folder;
    std::string m_ini;
    std::string m_database;
    std::string m_connect;
    kestrun::testing::CFakeAppServices m_services;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    kestrun::CommonDialogHandler m_previousHandler;
    int m_dialogs = 0;
};

// A new database gets the schema; the stored position finds the same series
// even after another workstation edited one (a server returns rows asked
// for in no order as it finds them, an edited one last).
TEST_F(DBDocADOOnPostgreSQLTest, NewDatabaseAndTheSeriesPosition)
{
    std::unique_ptr<CDBDocADO> doc = OpenDocument();
    EXPECT_EQ(m_dialogs, 0);
    ASSERT_TRUE(doc->GetConnection());
    EXPECT_EQ(doc->GetConnection()->GetDialect(), EDbDialect::PostgreSQL);
    EXPECT_TRUE(HasTable(doc->GetConnection(), "Korrekturfaktoren"));
    doc->OnCloseDocument();

    _ConnectionPtr other = CAdoConnection::Create();
    other->Open(m_connect.c_str());
    other->Execute("INSERT INTO Messreihen (Bezeichnung) VALUES ('first'), ('second'), ('third')");
    other->Execute("UPDATE Messreihen SET Beschreibung = 'edited' WHERE Bezeichnung = 'first'");
    for (const int stored : {1, 3}) {
        WriteProfileInt("DataBase", "ActualMessreihe", stored);
        doc = OpenDocument();
        EXPECT_EQ(GetFieldString(doc->GetSeriesRecordset(), "Bezeichnung"), CString(stored == 1 ? "first" : "third"));
        doc->OnCloseDocument();
    }
    EXPECT_TRUE(m_boxes->Texts().empty());
}

} // namespace
