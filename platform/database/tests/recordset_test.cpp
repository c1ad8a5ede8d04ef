#include "platform/database/ado.h"
#include "platform/database/database.h"
#include "platform/database/dialect.h"
#include "platform/database/testing/test_database.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace {

// A fresh database on each back end with one table of three rows; the last
// has a key above 32767 and no area or name.
class RecordsetTest : public ::testing::TestWithParam<ETestBackend>
{
protected:
    void SetUp() override
    {
        m_db.emplace(GetParam());
        KESTRUN_REQUIRE_DATABASE(*m_db);
        m_conn = Connect();
        m_dialect = m_conn->GetDialect();
        m_conn->Execute(FormatString("CREATE TABLE Messungen (%s, Anzahl INTEGER, Flaeche REAL, DataName VARCHAR(255), "
                                     "DatumZeit TIMESTAMP %s)",
                                     AutoKeyColumn(m_dialect).GetString(), LocalNowDefault(m_dialect).GetString()));
        for (const char* row : {"(1, 10, 1.5, 'alpha')", "(2, 20, 2.5, 'box')", "(40000, 30, NULL, NULL)"}) {
            m_conn->Execute(CString("INSERT INTO Messungen (ID, Anzahl, Flaeche, DataName) VALUES ") + row);
        }
        if (m_dialect == EDbDialect::PostgreSQL) {
            // Keys given by hand leave the server's numbering behind.
            m_conn->Execute("ALTER TABLE Messungen ALTER COLUMN ID RESTART WITH 40001");
        }
    }

    _ConnectionPtr Connect() const { return m_db->Connect(); }

    static _RecordsetPtr OpenAll(const _ConnectionPtr& conn, const char* sql = "SELECT * FROM Messungen ORDER BY ID")
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(sql, conn, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    }

    static LONG Id(const _RecordsetPtr& rs)
    {
        COleVariant v = rs->GetCollect("ID");
        v.ChangeType(VT_I4);
        return v.lVal;
    }

    std::optional<CTestDatabase> m_db;
    _ConnectionPtr m_conn;
    EDbDialect m_dialect = EDbDialect::Other;
};

INSTANTIATE_TEST_SUITE_P(Backends, RecordsetTest, kEveryBackend, BackendName);

bool HasRows(const _ConnectionPtr& conn)
{
    _RecordsetPtr rs = CAdoRecordset::Create();
    rs->Open("SELECT * FROM Messungen", conn);
    return rs->GetRecordCount() > 0;
}

HRESULT ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const _com_error& e) {
        return e.Error();
    }
    return 0;
}

TEST_P(RecordsetTest, PositionsAndMoves)
{
    _RecordsetPtr rs = OpenAll(m_conn);
    EXPECT_EQ(rs->GetState(), adStateOpen);
    EXPECT_EQ(rs->GetRecordCount(), 3);
    struct Step
    {
        std::function<void(CAdoRecordset&)> move;
        long position;
        bool bof;
        bool eof;
    };
    const Step steps[] = {
        {[](CAdoRecordset&) {}, 1, false, false},
        {[](CAdoRecordset& r) { r.MoveNext(); }, 2, false, false},
        {[](CAdoRecordset& r) { r.MoveLast(); }, 3, false, false},
        {[](CAdoRecordset& r) { r.MoveNext(); }, adPosEOF, false, true},
        {[](CAdoRecordset& r) { r.MovePrevious(); }, 3, false, false},
        {[](CAdoRecordset& r) { r.Move(-5); }, adPosBOF, true, false},
        {[](CAdoRecordset& r) { r.MoveFirst(); }, 1, false, false},
        {[](CAdoRecordset& r) { r.Move(2); }, 3, false, false},
        {[](CAdoRecordset& r) { r.PutAbsolutePosition(2); }, 2, false, false},
        {[](CAdoRecordset& r) { r.Move(9); }, adPosEOF, false, true},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].move(*rs);
        EXPECT_EQ(rs->GetAbsolutePosition(), steps[i].position) << "step " << i;
        EXPECT_EQ(rs->GetBOF(), steps[i].bof) << "step " << i;
        EXPECT_EQ(rs->GetEOF(), steps[i].eof) << "step " << i;
    }
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), ADO_E_NOCURRENTRECORD);
    EXPECT_EQ(ErrorOf([&] { rs->GetCollect("ID"); }), ADO_E_NOCURRENTRECORD);
    EXPECT_EQ(ErrorOf([&] { rs->PutAbsolutePosition(4); }), ADO_E_ILLEGALOPERATION);
}

TEST_P(RecordsetTest, EmptyRecordsetIsBothBofAndEof)
{
    _RecordsetPtr rs = OpenAll(m_conn, "SELECT * FROM Messungen WHERE ID < 0");
    EXPECT_EQ(rs->GetRecordCount(), 0);
    EXPECT_TRUE(rs->GetBOF());
    EXPECT_TRUE(rs->GetEOF());
    EXPECT_EQ(rs->GetAbsolutePosition(), adPosUnknown);
    EXPECT_EQ(rs->GetFields()->GetCount(), 5);
    EXPECT_EQ(ErrorOf([&] { rs->GetCollect("Anzahl"); }), ADO_E_NOCURRENTRECORD);
}

TEST_P(RecordsetTest, ValuesKeepTheirKindsAndFullWidth)
{
    _RecordsetPtr rs = OpenAll(m_conn);
    rs->MoveLast();
    const COleVariant id = rs->GetCollect("id");  // names match whatever their case
    EXPECT_EQ(id.vt, VT_I4);
    EXPECT_EQ(id.lVal, 40000);
    EXPECT_EQ(rs->GetCollect("Flaeche").vt, VT_NULL);
    EXPECT_EQ(rs->GetCollect("DataName").vt, VT_NULL);
    rs->MoveFirst();
    EXPECT_EQ(rs->GetCollect("DataName").bstrVal, CString("alpha"));
    COleVariant area = rs->GetCollect("Flaeche");
    area.ChangeType(VT_R8);
    EXPECT_DOUBLE_EQ(area.dblVal, 1.5);
    EXPECT_EQ(ErrorOf([&] { rs->GetCollect("NoSuchField"); }), ADO_E_ITEMNOTFOUND);

    // A value beyond four bytes is an error, not a wrapped number.
    if (m_dialect == EDbDialect::PostgreSQL) {
        m_conn->Execute("ALTER TABLE Messungen ALTER COLUMN Anzahl TYPE BIGINT");
    }
    m_conn->Execute("UPDATE Messungen SET Anzahl = 5000000000 WHERE ID = 2");
    EXPECT_EQ(ErrorOf([&] { OpenAll(m_conn); }), DISP_E_OVERFLOW);
}

TEST_P(RecordsetTest, AddNewReadsTheNewKeyAndDefaults)
{
    struct Case
    {
        bool batch;
        LONG id;  // 0: the server numbers the row
        const char* name;
    };
    const Case cases[] = {
        {false, 0, "it's; DROP TABLE Messungen"},
        {true, 0, "Trübung ä"},
        // A key given by hand is the one read back, not the server's last.
        {false, 50000, "von Hand"},
    };
    for (const Case& c : cases) {
        _RecordsetPtr rs = OpenAll(m_conn);
        rs->AddNew();
        if (c.id != 0) {
            rs->PutCollect("ID", COleVariant(c.id));
        }
        rs->PutCollect("Anzahl", COleVariant(LONG(7)));
        rs->PutCollect("DataName", COleVariant(c.name));
        c.batch ? rs->UpdateBatch() : rs->Update();
        const LONG id = Id(rs);
        EXPECT_EQ(id, c.id != 0 ? c.id : std::max(id, LONG(40001)));
        EXPECT_EQ(rs->GetCollect("DataName").bstrVal, CString(c.name));
        EXPECT_EQ(rs->GetCollect("DatumZeit").vt, VT_DATE);
        EXPECT_GT(rs->GetCollect("DatumZeit").date, 40000.0);
        EXPECT_EQ(rs->GetRecordCount(), 4);

        _RecordsetPtr check = OpenAll(m_conn, "SELECT * FROM Messungen ORDER BY ID DESC");
        EXPECT_EQ(Id(check), id);
        EXPECT_EQ(check->GetCollect("DataName").bstrVal, CString(c.name));
        m_conn->Execute("DELETE FROM Messungen WHERE ID = ?", {COleVariant(id)});
    }
}

TEST_P(RecordsetTest, MovingStoresAPendingChange)
{
    _RecordsetPtr rs = OpenAll(m_conn);
    rs->PutCollect("Anzahl", COleVariant(LONG(11)));
    rs->MoveNext();
    rs->AddNew();
    rs->PutCollect("Anzahl", COleVariant(LONG(99)));
    rs->MoveFirst();
    rs->Requery();
    EXPECT_EQ(rs->GetRecordCount(), 4);
    EXPECT_EQ(rs->GetCollect("Anzahl").lVal, 11);
    rs->MoveLast();
    EXPECT_EQ(rs->GetCollect("Anzahl").lVal, 99);
}

TEST_P(RecordsetTest, UpdateRefusedAfterAnotherConnectionChangedTheRow)
{
    _RecordsetPtr mine = OpenAll(m_conn);
    _ConnectionPtr other = Connect();
    other->Execute("UPDATE Messungen SET Anzahl = 12 WHERE ID = 1");

    mine->PutCollect("Anzahl", COleVariant(LONG(13)));
    EXPECT_EQ(ErrorOf([&] { mine->Update(); }), ADO_E_ROWCHANGED);
    // A column nobody else touched still updates.
    mine->CancelUpdate();
    mine->PutCollect("DataName", COleVariant("mine"));
    mine->Update();
    _RecordsetPtr check = OpenAll(other);
    EXPECT_EQ(check->GetCollect("Anzahl").lVal, 12);
    EXPECT_EQ(check->GetCollect("DataName").bstrVal, CString("mine"));
}

TEST_P(RecordsetTest, DeleteLeavesNoCurrentRecordUntilAMove)
{
    _RecordsetPtr rs = OpenAll(m_conn);
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(rs->GetRecordCount(), 2);
    EXPECT_EQ(ErrorOf([&] { rs->GetCollect("ID"); }), ADO_E_NOCURRENTRECORD);
    rs->MoveNext();
    EXPECT_EQ(Id(rs), 40000);
    EXPECT_EQ(rs->GetAbsolutePosition(), 2);
    rs->MovePrevious();
    EXPECT_EQ(Id(rs), 1);
    rs->Requery();
    EXPECT_EQ(rs->GetRecordCount(), 2);

    // Removed meanwhile by someone else: refused, not reported as done.
    m_conn->Execute("DELETE FROM Messungen WHERE ID = 1");
    EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), ADO_E_ROWCHANGED);
}

TEST_P(RecordsetTest, FindCriteria)
{
    _RecordsetPtr rs = OpenAll(m_conn);
    struct Case
    {
        const char* criteria;
        long direction;
        bool fromLast;
        LONG id;  // 0: not found
    };
    const Case cases[] = {
        {"ID = 2", adSearchForward, false, 2},
        {"ID = 40000", adSearchForward, false, 40000},
        {"ID = 7", adSearchForward, false, 0},
        {"DataName LIKE '*o*'", adSearchForward, false, 2},
        {"DataName LIKE 'AL%'", adSearchForward, false, 1},
        {"dataname = 'box'", adSearchForward, false, 2},
        {"Anzahl >= 20", adSearchBackward, true, 40000},
        {"Anzahl < 20", adSearchBackward, true, 1},
        {"Anzahl > 99", adSearchBackward, true, 0},
    };
    for (const Case& c : cases) {
        c.fromLast ? rs->MoveLast() : rs->MoveFirst();
        rs->Find(c.criteria, 0, c.direction);
        if (c.id == 0) {
            EXPECT_TRUE(c.direction == adSearchForward ? rs->GetEOF() : rs->GetBOF()) << c.criteria;
        } else {
            ASSERT_FALSE(rs->GetEOF() || rs->GetBOF()) << c.criteria;
            EXPECT_EQ(Id(rs), c.id) << c.criteria;
        }
    }
    rs->MoveFirst();
    rs->Find("Anzahl > 0", 1);
    EXPECT_EQ(Id(rs), 2);
    for (const char* bad : {"ID", "ID = ", "ID = 1 AND Anzahl = 2", "DataName LIKE x", "= 3"}) {
        EXPECT_EQ(ErrorOf([&] { rs->Find(bad); }), ADO_E_ILLEGALOPERATION) << bad;
    }
    EXPECT_EQ(ErrorOf([&] { rs->Find("Nope = 1"); }), ADO_E_ITEMNOTFOUND);
}

TEST_P(RecordsetTest, ReadOnlyAndUnkeyedRecordsetsRefuseChanges)
{
    _RecordsetPtr schema = m_conn->OpenSchema(adSchemaTables);
    schema->Find("TABLE_NAME = 'messungen'");
    ASSERT_FALSE(schema->GetEOF());
    EXPECT_EQ(schema->GetCollect("TABLE_NAME").ToString().CompareNoCase("Messungen"), 0);
    EXPECT_EQ(ErrorOf([&] { schema->PutCollect("TABLE_NAME", COleVariant("x")); }), ADO_E_ILLEGALOPERATION);

    _RecordsetPtr noKey = OpenAll(m_conn, "SELECT Anzahl FROM Messungen");
    EXPECT_EQ(ErrorOf([&] { noKey->AddNew(); }), ADO_E_ILLEGALOPERATION);

    // A column name from the file is never written into a statement unless
    // it is a plain name.
    m_conn->Execute("CREATE TABLE Odd (ID INTEGER PRIMARY KEY, \"x = 1; DROP TABLE Messungen; --\" TEXT)");
    m_conn->Execute("INSERT INTO Odd (ID) VALUES (1)");
    _RecordsetPtr odd = OpenAll(m_conn, "SELECT * FROM Odd");
    EXPECT_EQ(odd->GetCollect("ID").lVal, 1);
    EXPECT_EQ(ErrorOf([&] { odd->Delete(); }), ADO_E_ILLEGALOPERATION);
    EXPECT_EQ(ErrorOf([&] { odd->AddNew(); }), ADO_E_ILLEGALOPERATION);
    EXPECT_TRUE(HasRows(m_conn));
}

TEST_P(RecordsetTest, DatesRoundTrip)
{
    const DATE when = 45000.5;  // 2023-03-15 12:00
    m_conn->Execute("UPDATE Messungen SET DatumZeit = ? WHERE ID = 1", {COleVariant::Date(when)});
    _RecordsetPtr rs = OpenAll(m_conn);
    EXPECT_EQ(rs->GetCollect("DatumZeit").vt, VT_DATE);
    EXPECT_DOUBLE_EQ(rs->GetCollect("DatumZeit").date, when);
}

TEST_P(RecordsetTest, TransactionsTakeEffectTogetherOrNotAtAll)
{
    _ConnectionPtr other = Connect();
    auto count = [&] { return OpenAll(other)->GetRecordCount(); };

    EXPECT_EQ(m_conn->BeginTrans(), 1);
    EXPECT_EQ(ErrorOf([&] { m_conn->BeginTrans(); }), ADO_E_ILLEGALOPERATION);
    m_conn->Execute("DELETE FROM Messungen WHERE ID = 1");
    EXPECT_NE(ErrorOf([&] { m_conn->Execute("DELETE FROM NoSuchTable"); }), 0);
    m_conn->RollbackTrans();
    EXPECT_EQ(count(), 3);

    m_conn->BeginTrans();
    m_conn->Execute("DELETE FROM Messungen WHERE ID = 1");
    m_conn->Execute("DELETE FROM Messungen WHERE ID = 2");
    m_conn->CommitTrans();
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(ErrorOf([&] { m_conn->CommitTrans(); }), ADO_E_ILLEGALOPERATION);

    // Back to single statements: each one counts at once.
    m_conn->Execute("DELETE FROM Messungen WHERE ID = 40000");
    EXPECT_EQ(count(), 0);
}

TEST(DatabaseConnection, MissingSourceAndDamagedFileAreErrors)
{
    CDatabase probe;
    EXPECT_THROW(probe.OpenEx("ODBC;DSN=KESTRUN_NO_SUCH_SOURCE;"), CDBException);
    EXPECT_FALSE(probe.IsOpen());

    _ConnectionPtr conn = CAdoConnection::Create();
    EXPECT_EQ(ErrorOf([&] { conn->Open("DSN=KESTRUN_NO_SUCH_SOURCE;"); }), ADO_E_FAIL);
    EXPECT_EQ(conn->GetState(), adStateClosed);
    EXPECT_EQ(ErrorOf([&] { conn->Execute("SELECT 1"); }), ADO_E_ILLEGALOPERATION);

    CScratchFolder folder;
    const std::string path = folder / "notadb.db";
    std::ofstream(path) << std::string(4096, 'x');
    const HRESULT opened = ErrorOf([&] {
        conn->Open(CString("DRIVER=SQLite3;Database=") + path.c_str());
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open("SELECT * FROM Messungen", conn);
    });
    EXPECT_EQ(opened, ADO_E_FAIL);

    CScratchFolder good;
    EXPECT_TRUE(probe.OpenEx(CString("ODBC;DRIVER=SQLite3;Database=") + (good / "x.db").c_str()));
    EXPECT_TRUE(probe.IsOpen());
}

} // namespace
