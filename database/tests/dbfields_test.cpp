#include "database/comerrorbox.h"
#include "database/dbfields.h"
#include "platform/database/dialect.h"
#include "platform/database/testing/test_database.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

_RecordsetPtr OneRow(const COleVariant& value)
{
    return CAdoRecordset::FromRows({CAdoColumn{"F", value.vt}}, {{value}});
}

TEST(DbFields, ReadersByVariantKind)
{
    struct Case
    {
        const char* what;
        COleVariant value;
        int asInt;
        double asDouble;
        const char* asString;
    };
    const Case cases[] = {
        {"empty", COleVariant(), 0, 0.0, ""},
        {"null", COleVariant::Null(), 0, 0.0, ""},
        {"2-byte", COleVariant(short(-12)), -12, -12.0, ""},
        {"4-byte in full", COleVariant(LONG(40000)), 40000, 40000.0, ""},
        {"4-byte negative", COleVariant(LONG(-70000)), -70000, -70000.0, ""},
        {"unsigned byte", COleVariant(BYTE(200)), 200, 200.0, ""},
        {"single", COleVariant(2.5F), 0, 2.5, ""},
        {"real is not rounded to an int", COleVariant(7.9), 0, 7.9, ""},
        {"text", COleVariant("Probe A"), 0, 0.0, "Probe A"},
        {"one blank", COleVariant(" "), 0, 0.0, ""},
        {"bool", COleVariant(short(1), VT_BOOL), 0, 0.0, ""},
    };
    for (const Case& c : cases) {
        const _RecordsetPtr rs = OneRow(c.value);
        EXPECT_EQ(GetFieldInt(rs, "F"), c.asInt) << c.what;
        EXPECT_DOUBLE_EQ(GetFieldDouble(rs, "F"), c.asDouble) << c.what;
        EXPECT_EQ(GetFieldString(rs, "f"), CString(c.asString)) << c.what;
    }
    EXPECT_FALSE(GetFieldString(OneRow(COleVariant::Date(45000.5)), "F").IsEmpty());
}

TEST(DbFields, EmptyRecordsetGivesNeutralValuesForAnyName)
{
    const _RecordsetPtr rs = CAdoRecordset::FromRows({CAdoColumn{"F", VT_I4}}, {});
    EXPECT_EQ(GetFieldInt(rs, "NoSuchField"), 0);
    EXPECT_EQ(GetFieldDouble(rs, "NoSuchField"), 0.0);
    EXPECT_TRUE(GetFieldString(rs, "NoSuchField").IsEmpty());
    // With records, an unknown name is the caller's error.
    EXPECT_THROW(GetFieldInt(OneRow(COleVariant(LONG(1))), "NoSuchField"), _com_error);
}

// The readers over what each server's driver returns: one row with values,
// one with nulls.
class DbFieldsOnBackend : public ::testing::TestWithParam<ETestBackend>
{
protected:
    void SetUp() override
    {
        m_db.emplace(GetParam());
        KESTRUN_REQUIRE_DATABASE(*m_db);
        m_conn = m_db->Connect();
        m_conn->Execute(FormatString("CREATE TABLE Messungen (%s, Anzahl INTEGER, Klein SMALLINT, Flaeche REAL, "
                                     "Faktor DOUBLE PRECISION, Comment VARCHAR(255), DatumZeit TIMESTAMP)",
                                     AutoKeyColumn(m_conn->GetDialect()).GetString()));
        m_conn->Execute("INSERT INTO Messungen (ID, Anzahl, Klein, Flaeche, Faktor, Comment, DatumZeit) "
                        "VALUES (40000, 40000, -12, 2.5, 7.9, 'Probe A', ?)",
                        {COleVariant::Date(45000.5)});
        m_conn->Execute("INSERT INTO Messungen (ID) VALUES (1)");
    }

    _RecordsetPtr Open(const char* sql) const
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open(sql, m_conn, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    }

    std::optional<CTestDatabase> m_db;
    _ConnectionPtr m_conn;
};

INSTANTIATE_TEST_SUITE_P(Backends, DbFieldsOnBackend, kEveryBackend, BackendName);

TEST_P(DbFieldsOnBackend, ReadersByColumnType)
{
    struct Case
    {
        int id;
        const char* field;
        int asInt;
        double asDouble;
        const char* asString;
    };
    const Case cases[] = {
        {40000, "ID", 40000, 40000.0, ""},
        {40000, "Anzahl", 40000, 40000.0, ""},
        {40000, "klein", -12, -12.0, ""},
        {40000, "Flaeche", 0, 2.5, ""},
        {40000, "Faktor", 0, 7.9, ""},
        {40000, "Comment", 0, 0.0, "Probe A"},
        {1, "Anzahl", 0, 0.0, ""},
        {1, "Klein", 0, 0.0, ""},
        {1, "Flaeche", 0, 0.0, ""},
        {1, "Faktor", 0, 0.0, ""},
        {1, "Comment", 0, 0.0, ""},
        {1, "DatumZeit", 0, 0.0, ""},
    };
    for (const Case& c : cases) {
        const _RecordsetPtr rs = Open(FormatString("SELECT * FROM Messungen WHERE ID = %d", c.id).GetString());
        EXPECT_EQ(GetFieldInt(rs, c.field), c.asInt) << c.id << ' ' << c.field;
        EXPECT_NEAR(GetFieldDouble(rs, c.field), c.asDouble, 1e-6) << c.id << ' ' << c.field;
        EXPECT_EQ(GetFieldString(rs, c.field), CString(c.asString)) << c.id << ' ' << c.field;
    }
    EXPECT_FALSE(GetFieldString(Open("SELECT * FROM Messungen WHERE ID = 40000"), "DatumZeit").IsEmpty());

    const _RecordsetPtr empty = Open("SELECT * FROM Messungen WHERE ID < 0");
    EXPECT_EQ(GetFieldInt(empty, "NoSuchField"), 0);
    EXPECT_EQ(GetFieldDouble(empty, "Anzahl"), 0.0);
    EXPECT_TRUE(GetFieldString(empty, "Comment").IsEmpty());
}

TEST_P(DbFieldsOnBackend, SetFieldStringStoresEvenAnEmptyText)
{
    for (const char* text : {"new", " ", ""}) {
        _RecordsetPtr rs = Open("SELECT * FROM Messungen ORDER BY ID");
        SetFieldString(rs, "Comment", text);
        rs->Update();
        _RecordsetPtr check = Open("SELECT * FROM Messungen ORDER BY ID");
        EXPECT_EQ(check->GetCollect("Comment").bstrVal, CString(text)) << '"' << text << '"';
        EXPECT_TRUE(text[0] != ' ' || GetFieldString(check, "Comment").IsEmpty());
    }
}

TEST(DbFields, ErrorBoxText)
{
    const _com_error e(ADO_E_ROWCHANGED, "changed meanwhile", "ODBC");
    EXPECT_EQ(ComErrorText(e), CString("Error\nCode = 80040e38\nCode meaning = Row cannot be located for updating\n"
                                       "Source = ODBC\nDescription = changed meanwhile\n"));
}

} // namespace
