#pragma once
// A connection and a client-cursor recordset in the shape of ADO's smart
// pointers, over ODBC. Every failure raises _com_error. The whole result of
// a query is read when the recordset opens; changes go back by statements
// with bound parameters that name the row by its key column "ID".
#include "platform/core/cstring.h"
#include "platform/core/variant.h"
#include "platform/database/comerror.h"

#include <memory>
#include <vector>

enum CursorLocationEnum { adUseServer = 2, adUseClient = 3 };
enum CursorTypeEnum { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum CommandTypeEnum { adCmdText = 1 };
enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };
enum SchemaEnum { adSchemaTables = 20 };
enum SearchDirectionEnum { adSearchForward = 1, adSearchBackward = -1 };
enum PositionEnum { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };
enum ExecuteOptionEnum { adExecuteNoRecords = 0x80 };

class CAdoConnection;
class CAdoRecordset;
class CAdoField;
class CAdoFields;
using _ConnectionPtr = std::shared_ptr<CAdoConnection>;
using _RecordsetPtr = std::shared_ptr<CAdoRecordset>;
using FieldPtr = std::shared_ptr<CAdoField>;
using FieldsPtr = std::shared_ptr<CAdoFields>;

// What kind of server is behind the data source; the statements that differ
// between them (the new key after an insert) follow it.
enum class EDbDialect { SQLite, PostgreSQL, Other };

// One message of the provider about a failed call.
struct CAdoError
{
    HRESULT number = 0;
    CString description;
};

class CAdoConnection : public std::enable_shared_from_this<CAdoConnection>
{
public:
    static _ConnectionPtr Create();
    ~CAdoConnection();
    CAdoConnection(const CAdoConnection&) = delete;
    CAdoConnection& operator=(const CAdoConnection&) = delete;

    // An ODBC connection string ("DSN=...;", "DRIVER=...;Database=...").
    HRESULT Open(const CString& connect, const CString& user = "", const CString& password = "", long options = 0);
    void Close();
    long GetState() const;
    EDbDialect GetDialect() const { return m_dialect; }

    // A statement without result; values are bound in order to its '?'.
    // Returns the number of rows it touched (-1 when the driver cannot say).
    long Execute(const CString& sql, const std::vector<COleVariant>& params = {});
    // The statements between BeginTrans and CommitTrans take effect
    // together, or none after RollbackTrans. Transactions do not nest:
    // BeginTrans inside one raises, and returns the level (1) otherwise.
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // adSchemaTables: one row per table, field "TABLE_NAME".
    _RecordsetPtr OpenSchema(long schema);
    // The provider's messages of the last call that failed on this
    // connection; empty before any failure.
    std::vector<CAdoError> GetErrors() const;

    struct CImpl;
    CImpl& Impl();

private:
    CAdoConnection();
    void EndTrans(bool commit);

    std::unique_ptr<CImpl> m_impl;
    EDbDialect m_dialect = EDbDialect::Other;
    bool m_inTransaction = false;
};

struct CAdoColumn
{
    CString name;
    VARTYPE type = VT_BSTR;
};

class CAdoField
{
public:
    CAdoField(_RecordsetPtr rs, int index) : m_rs(std::move(rs)), m_index(index) {}
    COleVariant GetValue() const;
    void PutValue(const COleVariant& value);
    CString GetName() const;
    VARTYPE GetType() const;

private:
    _RecordsetPtr m_rs;
    int m_index;
};

class CAdoFields
{
public:
    explicit CAdoFields(_RecordsetPtr rs) : m_rs(std::move(rs)) {}
    long GetCount() const;
    // By name (whatever its case) or by 0-based index.
    FieldPtr GetItem(const CString& name);
    FieldPtr GetItem(long index);

private:
    _RecordsetPtr m_rs;
};

class CAdoRecordset : public std::enable_shared_from_this<CAdoRecordset>
{
public:
    static _RecordsetPtr Create();
    // An open, read-only recordset over rows already in memory.
    static _RecordsetPtr FromRows(std::vector<CAdoColumn> columns, std::vector<std::vector<COleVariant>> rows);

    void PutCursorLocation(long location) { m_cursorLocation = location; }
    long GetCursorLocation() const { return m_cursorLocation; }
    void Open(const CString& source, const _ConnectionPtr& connection, long cursorType = adOpenForwardOnly,
              long lockType = adLockReadOnly, long options = adCmdText);
    void Close();
    long GetState() const { return m_open ? adStateOpen : adStateClosed; }
    // Runs the query again; pending changes are dropped.
    void Requery();

    long GetRecordCount() const;
    bool GetBOF() const;
    bool GetEOF() const;
    // 1-based among the records not deleted; adPosBOF/adPosEOF outside.
    long GetAbsolutePosition() const;
    void PutAbsolutePosition(long position);
    // A pending change of the current record is stored before any move.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long count);

    FieldsPtr GetFields();
    COleVariant GetCollect(const CString& name);
    void PutCollect(const CString& name, const COleVariant& value);

    void AddNew();
    // Stores the current record's changes; an insert reads its new row back
    // (key and defaults). A row that another user changed raises
    // ADO_E_ROWCHANGED and keeps the pending change.
    void Update();
    void UpdateBatch();
    void CancelUpdate();
    void Delete();
    // Criteria "Field op value" with op one of = <> < > <= >= LIKE; texts in
    // single quotes, '*' or '%' as wildcards for LIKE. Not found: EOF
    // (forward) or BOF (backward).
    void Find(const CString& criteria, long skipRecords = 0, long direction = adSearchForward, long start = 0);

    // For the fields collection.
    int ColumnIndex(const CString& name) const;
    const std::vector<CAdoColumn>& Columns() const { return m_columns; }
    const COleVariant& ValueAt(int column) const;
    void SetValueAt(int column, const COleVariant& value);

private:
    CAdoRecordset() = default;

    struct CRow
    {
        std::vector<COleVariant> values;
        std::vector<COleVariant> original;
        std::vector<bool> changed;
        bool isNew = false;
        bool deleted = false;
    };

    void RequireOpen() const;
    CRow& CurrentRow();
    const CRow& CurrentRow() const;
    void StorePending();
    void Fetch();
    void Insert(CRow& row);
    void UpdateRow(CRow& row);
    void RequireUpdatable() const;
    int KeyIndex() const;
    void ReadRowByKey(CRow& row, const COleVariant& key);
    long LiveIndexToPos(long live) const;
    void Moved(long pos);

    _ConnectionPtr m_connection;
    CString m_source;
    CString m_table;
    long m_cursorLocation = adUseServer;
    long m_lockType = adLockReadOnly;
    bool m_open = false;
    std::vector<CAdoColumn> m_columns;
    std::vector<CRow> m_rows;
    // Index into m_rows; -1 is BOF, m_rows.size() is EOF.
    long m_pos = -1;
};
