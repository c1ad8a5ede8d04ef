#include "database/dbfields.h"
#include "database/growthschema.h"
#include "platform/database/dialect.h"
#include "platform/database/testing/test_database.h"

#include <ctime>
#include <optional>

#include <gtest/gtest.h>

namespace {

// An empty database on each back end.
class GrowthSchemaTest : public ::testing::TestWithParam<ETestBackend>
{
protected:
    void SetUp() override
    {
        m_db.emplace(GetParam());
        KESTRUN_REQUIRE_DATABASE(*m_db);
        m_conn = m_db->Connect();
    }

    _RecordsetPtr Open(const CString& sql) const
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open(sql, m_conn, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    }

    // The layout of an older database: counts without the manual count,
    // no comment, median or data name; series with four columns.
    void MakeOldLayout(const char* seriesColumns = "ID INTEGER PRIMARY KEY, Bezeichnung TEXT, V_ReiheID INTEGER, "
                                                   "GlasTypID INTEGER")
    {
        m_conn->Execute(FormatString("CREATE TABLE Messungen (%s, MessreihenID INTEGER, Anzahl INTEGER)",
                                     AutoKeyColumn(m_conn->GetDialect()).GetString()));
        m_conn->Execute("INSERT INTO Messungen (MessreihenID, Anzahl) VALUES (1, 17), (1, 40000)");
        m_conn->Execute(CString("CREATE TABLE Messreihen (") + seriesColumns + ")");
    }

    std::optional<CTestDatabase> m_db;
    _ConnectionPtr m_conn;
};

INSTANTIATE_TEST_SUITE_P(Backends, GrowthSchemaTest, kEveryBackend, BackendName);

TEST_P(GrowthSchemaTest, NewDatabaseGetsEveryTableOnce)
{
    EXPECT_GT(PrepareGrowthSchema(m_conn), 0);
    _RecordsetPtr factors = Open("SELECT * FROM Korrekturfaktoren ORDER BY Fuellstand");
    ASSERT_EQ(factors->GetRecordCount(), 7);
    for (int level = 60; level <= 120; level += 10, factors->MoveNext()) {
        EXPECT_EQ(GetFieldInt(factors, "Fuellstand"), level);
        EXPECT_DOUBLE_EQ(GetFieldDouble(factors, "Faktor"), 1.0);
    }
    for (const char* table : {"Messungen", "Messreihen", "Proben", "Verduennungsreihen", "Verduennungsstufen",
                              "Glastypen", "Korrekturfaktoren"}) {
        EXPECT_TRUE(HasTable(m_conn, table)) << table;
        // Every table numbers its rows with an integer key.
        _RecordsetPtr rs = Open(FormatString("SELECT * FROM %s", table));
        rs->AddNew();
        rs->Update();
        EXPECT_EQ(rs->GetCollect("ID").vt, VT_I4) << table;
        EXPECT_GT(GetFieldInt(rs, "ID"), 0) << table;
    }
    _RecordsetPtr rs = Open("SELECT * FROM Messungen");
    rs->AddNew();
    rs->PutCollect("MessreihenID", COleVariant(LONG(1)));
    rs->Update();
    EXPECT_GT(GetFieldInt(rs, "ID"), 0);
    // The time of the insert, on the clock of the workstation's zone.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const double localNow = (now + local.tm_gmtoff) / 86400.0 + 25569.0;
    EXPECT_EQ(rs->GetCollect("DatumZeit").vt, VT_DATE);
    EXPECT_NEAR(rs->GetCollect("DatumZeit").date, localNow, 5.0 / 1440);

    EXPECT_EQ(PrepareGrowthSchema(m_conn), 0);
}

TEST_P(GrowthSchemaTest, OldLayoutIsUpgradedInPlace)
{
    MakeOldLayout();
    m_conn->Execute("CREATE TABLE ReportTexte (ID INTEGER)");
    m_conn->Execute("CREATE TABLE ReportTexteAll (ID INTEGER)");
    EXPECT_GT(PrepareGrowthSchema(m_conn), 0);

    EXPECT_FALSE(HasTable(m_conn, "ReportTexte"));
    EXPECT_FALSE(HasTable(m_conn, "ReportTexteAll"));
    _RecordsetPtr rs = Open("SELECT * FROM Messungen ORDER BY ID");
    ASSERT_EQ(rs->GetRecordCount(), 2);
    for (const int count : {17, 40000}) {
        EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), count);
        EXPECT_EQ(rs->GetCollect("Comment").bstrVal, CString(""));
        EXPECT_EQ(rs->GetCollect("DataName").bstrVal, CString(""));
        EXPECT_EQ(rs->GetCollect("Flaeche_Median").vt, VT_NULL);
        rs->MoveNext();
    }
    EXPECT_GE(Open("SELECT * FROM Messreihen")->ColumnIndex("Probe"), 0);
    // Current now: nothing more runs.
    EXPECT_EQ(PrepareGrowthSchema(m_conn), 0);
}

TEST_P(GrowthSchemaTest, ObsoleteTablesAreFoundWhateverTheirCase)
{
    MakeOldLayout();
    PrepareGrowthSchema(m_conn);
    struct Case
    {
        std::vector<const char*> present;
        int statements;
    };
    const Case cases[] = {
        {{"ReportTexteAll"}, 1},
        {{"reporttexte"}, 1},
        {{"REPORTTEXTE", "reporttexteall"}, 2},
        {{"ReportTexteAlt"}, 0},
    };
    for (const Case& c : cases) {
        for (const char* table : c.present) {
            m_conn->Execute(CString("CREATE TABLE ") + table + " (ID INTEGER)");
        }
        EXPECT_EQ(PrepareGrowthSchema(m_conn), c.statements) << c.present.front();
        EXPECT_FALSE(HasTable(m_conn, "ReportTexte"));
        EXPECT_FALSE(HasTable(m_conn, "ReportTexteAll"));
    }
    EXPECT_TRUE(HasTable(m_conn, "reporttextealt"));
}

TEST_P(GrowthSchemaTest, ProbeIsAddedWhenNoColumnHasThatName)
{
    struct Case
    {
        const char* columns;
        bool added;
    };
    const Case cases[] = {
        {"ID INTEGER PRIMARY KEY, Bezeichnung TEXT, V_ReiheID INTEGER, GlasTypID INTEGER, Beschreibung TEXT", true},
        {"ID INTEGER PRIMARY KEY, Bezeichnung TEXT, V_ReiheID INTEGER, probe TEXT", false},
    };
    for (const Case& c : cases) {
        m_conn->Execute("DROP TABLE IF EXISTS Messungen");
        m_conn->Execute("DROP TABLE IF EXISTS Messreihen");
        MakeOldLayout(c.columns);
        const long before = Open("SELECT * FROM Messreihen")->GetFields()->GetCount();
        PrepareGrowthSchema(m_conn);
        EXPECT_EQ(Open("SELECT * FROM Messreihen")->GetFields()->GetCount(), before + (c.added ? 1 : 0)) << c.columns;
    }
}

} // namespace
