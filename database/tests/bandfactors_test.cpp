#include "database/bandfactors.h"
#include "database/comerrorbox.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(BandFactors, FillLevelsFallIntoTheirBands)
{
    const std::pair<int, int> cases[] = {{0, 0},  {60, 0},  {64, 0},  {65, 1},  {74, 1},  {75, 2},  {94, 3},
                                         {95, 4}, {100, 4}, {104, 4}, {105, 5}, {114, 5}, {115, 6}, {200, 6}};
    for (const auto& [level, band] : cases)
        EXPECT_EQ(FillLevelBand(level), band) << level;
}

class CorrectionFactorTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_conn = CAdoConnection::Create();
        m_conn->Open(CString("DRIVER=SQLite3;Database=") + (m_folder / "f.db").c_str());
    }
    double FactorOf(const char* level)
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open(FormatString("SELECT Faktor FROM Korrekturfaktoren WHERE Fuellstand = '%s'", level), m_conn);
        return rs->GetEOF() ? -1.0 : GetFieldDouble(rs, "Faktor");
    }

    CScratchFolder m_folder;
    _ConnectionPtr m_conn;
};

TEST_F(CorrectionFactorTable, LoadsKnownRowsAndKeepsBandsWithoutOne)
{
    // An old table: levels as texts, no row "90", one row of another level.
    m_conn->Execute("CREATE TABLE Korrekturfaktoren (ID INTEGER PRIMARY KEY, Fuellstand TEXT, Faktor REAL)");
    m_conn->Execute("INSERT INTO Korrekturfaktoren (Fuellstand, Faktor) VALUES ('60', 1.5), ('70', 0.5), "
                    "('80', 1.25), ('100', 0.75), ('110', 1.75), ('120', 2.0), ('95', 9.0)");
    CBandFactorArray factors{1.0F, 1.0F, 1.0F, 1.0F, 1.0F, 1.0F, 1.0F};
    ExchangeCorrectionFactors(m_conn, factors, false);
    const CBandFactorArray expected{1.5F, 0.5F, 1.25F, 1.0F, 0.75F, 1.75F, 2.0F};
    EXPECT_EQ(factors, expected);
    struct Case
    {
        int level;
        float factor;
    };
    for (const Case c : {Case{64, 1.5F}, Case{65, 0.5F}, Case{90, 1.0F}, Case{115, 2.0F}, Case{200, 2.0F}})
        EXPECT_FLOAT_EQ(factors[static_cast<size_t>(FillLevelBand(c.level))], c.factor) << c.level;
}

TEST_F(CorrectionFactorTable, StoresIntoANewDatabaseAndLeavesOtherRows)
{
    ASSERT_GT(PrepareGrowthSchema(m_conn), 0);
    m_conn->Execute("INSERT INTO Korrekturfaktoren (Fuellstand, Faktor) VALUES (95, 9.0)");
    CBandFactorArray factors{1.5F, 1.0F, 1.0F, 0.25F, 1.0F, 1.0F, 1.75F};
    ExchangeCorrectionFactors(m_conn, factors, true);
    EXPECT_DOUBLE_EQ(FactorOf("60"), 1.5);
    EXPECT_DOUBLE_EQ(FactorOf("90"), 0.25);
    EXPECT_DOUBLE_EQ(FactorOf("120"), 1.75);
    EXPECT_DOUBLE_EQ(FactorOf("95"), 9.0);
    CBandFactorArray loaded{};
    ExchangeCorrectionFactors(m_conn, loaded, false);
    EXPECT_EQ(loaded, factors);
}

TEST_F(CorrectionFactorTable, MissingTableRaisesAndTheProviderSaysWhy)
{
    EXPECT_TRUE(DumpAdoErrors(m_conn).IsEmpty());
    CBandFactorArray factors{};
    EXPECT_THROW(ExchangeCorrectionFactors(m_conn, factors, false), _com_error);
    const CString text = DumpAdoErrors(m_conn);
    EXPECT_EQ(text.Left(23), CString("Error number: 80004005\t"));
    EXPECT_NE(text.Find("Korrekturfaktoren"), -1) << text.GetString();
    EXPECT_EQ(text.Right(1), CString("\n"));
}

} // namespace
