#include "database/growthschema.h"
#include "database/odbcdsn.h"
#include "platform/core/profile.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/database/ado.h"
#include "platform/database/database.h"
#include "platform/database/testing/postgres_test_server.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Points the driver manager's user ini at a scratch file for one test.
class OdbcDsnTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ini = m_folder / "odbc.ini";
        ::setenv("ODBCINI", m_ini.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("ODBCINI"); }

    CScratchFolder m_folder;
    std::string m_ini;
};

TEST_F(OdbcDsnTest, RegisteredSourceOpensTheFile)
{
    EXPECT_EQ(UserOdbcIniPath(), CString(m_ini.c_str()));
    const std::string dir = m_folder / "data";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(RegisterAccessDsn("KESTRUN_TEST", dir.c_str(), "Halvorn.db", "Halvorn Database", TRUE));
    EXPECT_EQ(GetPrivateProfileString("KESTRUN_TEST", "Driver", "", m_ini.c_str()), CString("SQLite3"));
    EXPECT_EQ(GetPrivateProfileString("KESTRUN_TEST", "Database", "", m_ini.c_str()),
              CString((dir + "/Halvorn.db").c_str()));

    CDatabase probe;
    EXPECT_TRUE(probe.OpenEx("ODBC;DSN=KESTRUN_TEST;"));
    _ConnectionPtr conn = CAdoConnection::Create();
    conn->Open("DSN=KESTRUN_TEST;UID=;PWD=");
    conn->Execute("CREATE TABLE T (ID INTEGER PRIMARY KEY)");
    EXPECT_TRUE(std::filesystem::exists(dir + "/Halvorn.db"));

    ASSERT_TRUE(RegisterAccessDsn("KESTRUN_TEST", "", "", "", FALSE));
    EXPECT_TRUE(GetPrivateProfileString("KESTRUN_TEST", "Driver", "", m_ini.c_str()).IsEmpty());
}

TEST_F(OdbcDsnTest, NamesThatWouldBreakTheIniAreRefused)
{
    const CString dir = (m_folder / "data").c_str();
    EXPECT_FALSE(RegisterAccessDsn("", dir, "a.db", "d", TRUE));
    EXPECT_FALSE(RegisterAccessDsn("A]B", dir, "a.db", "d", TRUE));
    EXPECT_FALSE(RegisterAccessDsn("A", dir, "a\n[B]\nDriver=x.db", "d", TRUE));
    EXPECT_FALSE(RegisterAccessDsn("A", dir, "a.db", "line\nbreak", TRUE));
    EXPECT_FALSE(std::filesystem::exists(m_ini));
}

// A lab's shared database: the data source names the PostgreSQL driver and
// server, and the program's own connection strings reach it.
TEST_F(OdbcDsnTest, SourceOnPostgreSQLOpensAndGetsTheSchema)
{
    CPostgresTestServer& server = CPostgresTestServer::Instance();
    if (!server.Unavailable().empty()) {
        GTEST_SKIP() << "PostgreSQL cases skipped: " << server.Unavailable();
    }
    const std::string database = server.NewDatabase();
    const char* dsn = "KESTRUN_PG_TEST";
    const std::pair<const char*, std::string> entry[] = {
        {"Driver", "PostgreSQL Unicode"}, {"Servername", "127.0.0.1"},  {"Port", std::to_string(server.Port())},
        {"Database", database},           {"Username", "postgres"},
    };
    for (const auto& [key, value] : entry) {
        ASSERT_TRUE(WritePrivateProfileString(dsn, key, value.c_str(), m_ini.c_str()));
    }
    EXPECT_TRUE(IsDataSourceListed(dsn));
    CDatabase probe;
    EXPECT_TRUE(probe.OpenEx(FormatString("ODBC;DSN=%s;", dsn)));
    probe.Close();

    _ConnectionPtr conn = CAdoConnection::Create();
    conn->Open(FormatString("DSN=%s;UID=;PWD=", dsn), "", "", 0);
    EXPECT_EQ(conn->GetDialect(), EDbDialect::PostgreSQL);
    EXPECT_GT(PrepareGrowthSchema(conn), 0);
    EXPECT_TRUE(HasTable(conn, "Korrekturfaktoren"));
}

TEST_F(OdbcDsnTest, UnwritableIniFails)
{
    // A folder where the file should be: the write cannot succeed.
    std::filesystem::create_directories(m_ini);
    EXPECT_FALSE(RegisterAccessDsn("KESTRUN_TEST", m_folder.Path().c_str(), "a.db", "d", TRUE));
}

} // namespace
