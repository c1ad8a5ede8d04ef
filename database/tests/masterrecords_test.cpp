#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/masterrecords.h"
#include "platform/database/testing/test_database.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// A growth database with the series 1 "A", 2 "B", 3 "C"; series 2 has two
// measurements and two samples, series 3 one of each.
class MasterRecordsTest : public ::testing::TestWithParam<ETestBackend>
{
protected:
    void SetUp() override
    {
        m_db.emplace(GetParam());
        KESTRUN_REQUIRE_DATABASE(*m_db);
        m_conn = m_db->Connect();
        PrepareGrowthSchema(m_conn);
        m_conn->Execute("INSERT INTO Messreihen (ID, Bezeichnung) VALUES (1, 'A'), (2, 'B'), (3, 'C')");
        m_conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr) VALUES (2, 1), (2, 2), (3, 1)");
        m_conn->Execute("INSERT INTO Proben (MessreihenID, Reihenfolge) VALUES (2, 1), (2, 2), (3, 1)");
        m_series = Open("SELECT * FROM Messreihen ORDER BY ID");
    }

    _RecordsetPtr Open(const CString& sql) const
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(sql, m_conn, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    }

    long Count(const CString& sql) const { return Open(sql)->GetRecordCount(); }

    std::vector<CString> Names() const
    {
        std::vector<CString> names;
        const _RecordsetPtr rs = Open("SELECT * FROM Messreihen ORDER BY ID");
        if (rs->GetRecordCount() > 0)
            for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
                names.push_back(GetFieldString(rs, "Bezeichnung"));
        return names;
    }

    std::optional<CTestDatabase> m_db;
    _ConnectionPtr m_conn;
    _RecordsetPtr m_series;
};

INSTANTIATE_TEST_SUITE_P(Backends, MasterRecordsTest, kEveryBackend, BackendName);

TEST_P(MasterRecordsTest, RowsAreRecordsInQueryOrder)
{
    struct Case
    {
        long row;
        bool moved;
        const char* current;
    };
    const Case cases[] = {{0, true, "A"}, {2, true, "C"}, {1, true, "B"}, {3, false, "B"}, {-1, false, "B"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(MoveToRow(m_series, c.row), c.moved);
        EXPECT_EQ(GetFieldString(m_series, "Bezeichnung"), CString(c.current));
    }
}

TEST_P(MasterRecordsTest, DeletingMovesToTheNextOrTheNewLastRecord)
{
    struct Case
    {
        long row;
        const char* current;
        std::vector<CString> left;
    };
    const Case cases[] = {
        {0, "B", {"B", "C"}},
        {1, "B", {"B"}},
        {0, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        ASSERT_TRUE(MoveToRow(m_series, c.row));
        DeleteCurrentAndMove(m_series);
        EXPECT_EQ(Names(), c.left);
        if (c.current == nullptr) {
            EXPECT_EQ(m_series->GetRecordCount(), 0);
        } else {
            EXPECT_EQ(GetFieldString(m_series, "Bezeichnung"), CString(c.current));
        }
    }
}

TEST_P(MasterRecordsTest, ADeletedSeriesTakesItsMeasurementsAndSamplesAlong)
{
    struct Case
    {
        long row;
        const char* current;
        std::vector<CString> left;
        long measurements;
        long samples;
    };
    const Case cases[] = {
        {1, "C", {"A", "C"}, 1, 1},
        {1, "A", {"A"}, 0, 0},
        {0, nullptr, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        ASSERT_TRUE(MoveToRow(m_series, c.row));
        DeleteSeriesWithRecords(m_conn, m_series);
        EXPECT_EQ(Names(), c.left);
        EXPECT_EQ(Count("SELECT * FROM Messungen"), c.measurements);
        EXPECT_EQ(Count("SELECT * FROM Proben"), c.samples);
        if (c.current == nullptr) {
            EXPECT_EQ(m_series->GetRecordCount(), 0);
        } else {
            EXPECT_EQ(GetFieldString(m_series, "Bezeichnung"), CString(c.current));
        }
    }
    // An empty recordset: nothing to delete, nothing raised.
    EXPECT_NO_THROW(DeleteSeriesWithRecords(m_conn, m_series));
}

TEST_P(MasterRecordsTest, AFailedCascadeLeavesEveryRecord)
{
    m_conn->Execute("DROP TABLE Proben");
    ASSERT_TRUE(MoveToRow(m_series, 1));
    EXPECT_THROW(DeleteSeriesWithRecords(m_conn, m_series), _com_error);
    EXPECT_EQ(Names(), (std::vector<CString>{"A", "B", "C"}));
    EXPECT_EQ(Count("SELECT * FROM Messungen"), 3);
}

} // namespace
