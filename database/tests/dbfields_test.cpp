#include "database/comerrorbox.h"
#include "database/dbfields.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

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

TEST(DbFields, SetFieldStringStoresEvenAnEmptyText)
{
    CScratchFolder folder;
    _ConnectionPtr conn = CAdoConnection::Create();
    conn->Open(CString("DRIVER=SQLite3;Database=") + (folder / "f.db").c_str());
    conn->Execute("CREATE TABLE Messungen (ID INTEGER PRIMARY KEY, Comment TEXT)");
    conn->Execute("INSERT INTO Messungen (ID, Comment) VALUES (1, 'old')");
    auto open = [&] {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open("SELECT * FROM Messungen", conn, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    };
    for (const char* text : {"new", " ", ""}) {
        _RecordsetPtr rs = open();
        SetFieldString(rs, "Comment", text);
        rs->Update();
        _RecordsetPtr check = open();
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
