#include "platform/database/odbc.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>

#include <chrono>
#include <cmath>
#include <limits>
#include <tuple>

namespace kestrun::odbc {

namespace {

constexpr int kMaxDiagRecords = 4;
constexpr size_t kMaxDiagText = 512;
// A text field longer than this is refused rather than read into memory.
constexpr size_t kMaxTextBytes = size_t(16) << 20;

} // namespace

namespace {

SQL_TIMESTAMP_STRUCT FromDate(double date);
double ToDate(const SQL_TIMESTAMP_STRUCT& ts);

// What failed, followed by the driver's messages about it.
std::string Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const char* what)
{
    std::string description(what);
    for (SQLSMALLINT i = 1; i <= kMaxDiagRecords && handle != nullptr; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[kMaxDiagText] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(handleType, handle, i, state, &native, message,
                                           static_cast<SQLSMALLINT>(sizeof message), &length);
        if (!SQL_SUCCEEDED(rc)) {
            break;
        }
        message[sizeof message - 1] = 0;
        description += std::string("\n[") + reinterpret_cast<const char*>(state) + "] " +
                       reinterpret_cast<const char*>(message);
    }
    return description;
}

[[noreturn]] void Throw(SQLSMALLINT handleType, SQLHANDLE handle, const char* what)
{
    throw CError{CError::Failed, Diagnostics(handleType, handle, what)};
}

void Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* what)
{
    if (!SQL_SUCCEEDED(rc)) {
        Throw(handleType, handle, what);
    }
}

} // namespace

struct CConnection::CHandles
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
};

CConnection::CConnection() : m_handles(std::make_unique<CHandles>()) {}

CConnection::~CConnection()
{
    Disconnect();
}

void CConnection::Connect(const std::string& text)
{
    CHandles& h = *m_handles;
    if (h.env == SQL_NULL_HENV) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h.env))) {
            throw CError{CError::Failed, "Cannot start ODBC"};
        }
        SQLSetEnvAttr(h.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    if (h.dbc == SQL_NULL_HDBC) {
        Check(SQLAllocHandle(SQL_HANDLE_DBC, h.env, &h.dbc), SQL_HANDLE_ENV, h.env, "Cannot allocate a connection");
    }
    SQLSMALLINT outLength = 0;
    std::string buffer = text;
    Check(SQLDriverConnect(h.dbc, nullptr, reinterpret_cast<SQLCHAR*>(buffer.data()), SQL_NTS, nullptr, 0, &outLength,
                           SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, h.dbc, "Cannot open the database");
    h.connected = true;
}

void CConnection::Disconnect()
{
    CHandles& h = *m_handles;
    if (h.connected) {
        SQLDisconnect(h.dbc);
        h.connected = false;
    }
    if (h.dbc != SQL_NULL_HDBC) {
        SQLFreeHandle(SQL_HANDLE_DBC, h.dbc);
        h.dbc = SQL_NULL_HDBC;
    }
    if (h.env != SQL_NULL_HENV) {
        SQLFreeHandle(SQL_HANDLE_ENV, h.env);
        h.env = SQL_NULL_HENV;
    }
}

bool CConnection::IsConnected() const
{
    return m_handles->connected;
}

void CConnection::BeginTransaction()
{
    CHandles& h = *m_handles;
    Check(SQLSetConnectAttr(h.dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
          SQL_HANDLE_DBC, h.dbc, "Cannot begin a transaction");
}

void CConnection::EndTransaction(bool commit)
{
    CHandles& h = *m_handles;
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, h.dbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(rc)) {
        // A failed commit is rolled back, so that the connection is back to
        // single statements either way.
        const std::string what = Diagnostics(SQL_HANDLE_DBC, h.dbc,
                                             commit ? "Cannot commit the transaction" : "Cannot roll back the transaction");
        SQLEndTran(SQL_HANDLE_DBC, h.dbc, SQL_ROLLBACK);
        SQLSetConnectAttr(h.dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        throw CError{CError::Failed, what};
    }
    Check(SQLSetConnectAttr(h.dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0),
          SQL_HANDLE_DBC, h.dbc, "Cannot end the transaction");
}

std::string CConnection::DbmsName() const
{
    SQLCHAR name[128] = {};
    SQLSMALLINT length = 0;
    if (!m_handles->connected || !SQL_SUCCEEDED(SQLGetInfo(m_handles->dbc, SQL_DBMS_NAME, name, sizeof name, &length))) {
        return {};
    }
    name[sizeof name - 1] = 0;
    return reinterpret_cast<const char*>(name);
}

struct CStatement::CState
{
    struct CParam
    {
        SQLLEN indicator = 0;
        SQLSMALLINT shortValue = 0;
        SQLINTEGER longValue = 0;
        unsigned char byteValue = 0;
        float floatValue = 0;
        double doubleValue = 0;
        SQL_TIMESTAMP_STRUCT stamp{};
        std::string text;
    };
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    // Bound buffers stay where they are until the statement ran.
    std::vector<CParam> params;
};

CStatement::CStatement(CConnection& connection) : m_state(std::make_unique<CState>())
{
    CConnection::CHandles& h = connection.Handles();
    if (!h.connected) {
        throw CError{CError::Failed, "The connection is closed"};
    }
    Check(SQLAllocHandle(SQL_HANDLE_STMT, h.dbc, &m_state->stmt), SQL_HANDLE_DBC, h.dbc, "Cannot allocate a statement");
}

CStatement::~CStatement()
{
    if (m_state->stmt != SQL_NULL_HSTMT) {
        SQLFreeHandle(SQL_HANDLE_STMT, m_state->stmt);
    }
}

void CStatement::Tables()
{
    SQLCHAR kind[] = "TABLE";
    Check(SQLTables(m_state->stmt, nullptr, 0, nullptr, 0, nullptr, 0, kind, SQL_NTS), SQL_HANDLE_STMT, m_state->stmt,
          "Cannot list the tables");
}

void CStatement::Run(const std::string& sql, const std::vector<CValue>& params)
{
    const SQLHSTMT stmt = m_state->stmt;
    std::string text = sql;
    Check(SQLPrepare(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), SQL_HANDLE_STMT, stmt,
          "Cannot prepare the statement");
    m_state->params.assign(params.size(), CState::CParam{});
    for (size_t i = 0; i < params.size(); ++i) {
        const CValue& v = params[i];
        CState::CParam& p = m_state->params[i];
        SQLSMALLINT cType = SQL_C_CHAR;
        SQLSMALLINT sqlType = SQL_VARCHAR;
        SQLPOINTER data = nullptr;
        SQLLEN bufferLength = 0;
        SQLULEN columnSize = 0;
        switch (v.kind) {
        case EKind::Null:
            p.indicator = SQL_NULL_DATA;
            columnSize = 1;
            break;
        case EKind::Short:
        case EKind::Bool:
            p.shortValue = static_cast<SQLSMALLINT>(v.integer);
            std::tie(cType, sqlType, data) = std::tuple(SQL_C_SSHORT, SQL_SMALLINT, &p.shortValue);
            break;
        case EKind::Long:
            p.longValue = static_cast<SQLINTEGER>(v.integer);
            std::tie(cType, sqlType, data) = std::tuple(SQL_C_SLONG, SQL_INTEGER, &p.longValue);
            break;
        case EKind::Byte:
            p.byteValue = static_cast<unsigned char>(v.integer);
            std::tie(cType, sqlType, data) = std::tuple(SQL_C_UTINYINT, SQL_SMALLINT, &p.byteValue);
            break;
        case EKind::Float:
            p.floatValue = static_cast<float>(v.real);
            std::tie(cType, sqlType, data) = std::tuple(SQL_C_FLOAT, SQL_REAL, &p.floatValue);
            break;
        case EKind::Double:
            p.doubleValue = v.real;
            std::tie(cType, sqlType, data) = std::tuple(SQL_C_DOUBLE, SQL_DOUBLE, &p.doubleValue);
            break;
        case EKind::Date:
            p.stamp = FromDate(v.real);
            cType = SQL_C_TYPE_TIMESTAMP;
            sqlType = SQL_TYPE_TIMESTAMP;
            data = &p.stamp;
            columnSize = 19;
            break;
        case EKind::Text:
            p.text = v.text;
            p.indicator = static_cast<SQLLEN>(p.text.size());
            data = p.text.data();
            bufferLength = p.indicator;
            columnSize = std::max<size_t>(p.text.size(), 1);
            break;
        }
        Check(SQLBindParameter(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, cType, sqlType, columnSize, 0,
                               data, bufferLength, &p.indicator),
              SQL_HANDLE_STMT, stmt, "Cannot bind a value");
    }
    const SQLRETURN rc = SQLExecute(stmt);
    if (rc != SQL_NO_DATA) {
        Check(rc, SQL_HANDLE_STMT, stmt, "The statement failed");
    }
}

std::vector<CColumnInfo> CStatement::Columns()
{
    const SQLHSTMT stmt = m_state->stmt;
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(stmt, &count), SQL_HANDLE_STMT, stmt, "Cannot read the columns");
    std::vector<CColumnInfo> columns;
    for (SQLSMALLINT i = 1; i <= count; ++i) {
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        Check(SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(i), name, static_cast<SQLSMALLINT>(sizeof name),
                             &nameLength, &type, &size, &digits, &nullable),
              SQL_HANDLE_STMT, stmt, "Cannot read a column");
        name[sizeof name - 1] = 0;
        CColumnInfo column;
        column.name = reinterpret_cast<const char*>(name);
        switch (type) {
        case SQL_SMALLINT: column.kind = EKind::Short; break;
        case SQL_INTEGER:
        case SQL_BIGINT: column.kind = EKind::Long; break;
        case SQL_TINYINT: column.kind = EKind::Byte; break;
        case SQL_BIT: column.kind = EKind::Bool; break;
        case SQL_REAL: column.kind = EKind::Float; break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_NUMERIC:
        case SQL_DECIMAL: column.kind = EKind::Double; break;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_TIMESTAMP:
        case SQL_DATE: column.kind = EKind::Date; break;
        default: column.kind = EKind::Text; break;
        }
        columns.push_back(column);
    }
    return columns;
}

bool CStatement::NextRow()
{
    const SQLRETURN rc = SQLFetch(m_state->stmt);
    if (rc == SQL_NO_DATA) {
        return false;
    }
    Check(rc, SQL_HANDLE_STMT, m_state->stmt, "Cannot read a row");
    return true;
}

CValue CStatement::Value(int column, EKind kind)
{
    const SQLHSTMT stmt = m_state->stmt;
    const auto n = static_cast<SQLUSMALLINT>(column + 1);
    SQLLEN indicator = 0;
    CValue value;
    auto get = [&](SQLSMALLINT cType, void* target, SQLLEN size) {
        Check(SQLGetData(stmt, n, cType, target, size, &indicator), SQL_HANDLE_STMT, stmt, "Cannot read a value");
        if (indicator != SQL_NULL_DATA) {
            value.kind = kind;
        }
    };
    switch (kind) {
    case EKind::Null: return value;
    case EKind::Short:
    case EKind::Bool:
    case EKind::Long:
    case EKind::Byte: {
        // Read wide, so that a value beyond its kind is an error, not a
        // different number.
        SQLBIGINT v = 0;
        get(SQL_C_SBIGINT, &v, 0);
        value.integer = v;
        const long long low = kind == EKind::Long ? -2147483648LL : (kind == EKind::Byte ? 0 : -32768);
        const long long high = kind == EKind::Long ? 2147483647LL : (kind == EKind::Byte ? 255 : 32767);
        if (value.kind != EKind::Null && (v < low || v > high)) {
            throw CError{CError::Overflow, "An integer field holds a value beyond its size"};
        }
        return value;
    }
    case EKind::Float:
    case EKind::Double: {
        double v = 0;
        get(SQL_C_DOUBLE, &v, 0);
        value.real = v;
        return value;
    }
    case EKind::Date: {
        SQL_TIMESTAMP_STRUCT v{};
        get(SQL_C_TYPE_TIMESTAMP, &v, sizeof v);
        value.real = ToDate(v);
        return value;
    }
    case EKind::Text: break;
    }
    char chunk[4096];
    for (;;) {
        indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt, n, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        Check(rc, SQL_HANDLE_STMT, stmt, "Cannot read a text");
        if (indicator == SQL_NULL_DATA) {
            return value;
        }
        value.kind = EKind::Text;
        const bool more = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof chunk);
        value.text.append(chunk, more ? sizeof chunk - 1 : static_cast<size_t>(indicator));
        if (value.text.size() > kMaxTextBytes) {
            throw CError{CError::Failed, "A text field is too long"};
        }
        if (!more) {
            break;
        }
    }
    return value;
}

long CStatement::RowCount()
{
    SQLLEN count = -1;
    Check(SQLRowCount(m_state->stmt, &count), SQL_HANDLE_STMT, m_state->stmt, "Cannot count the rows");
    return static_cast<long>(count);
}

namespace {

constexpr std::chrono::sys_days kDateEpoch = std::chrono::sys_days(std::chrono::year(1899) / 12 / 30);

double ToDate(const SQL_TIMESTAMP_STRUCT& ts)
{
    using namespace std::chrono;
    const year_month_day ymd(year(ts.year), month(ts.month), day(ts.day));
    if (!ymd.ok()) {
        return 0.0;
    }
    const double days = static_cast<double>((sys_days(ymd) - kDateEpoch).count());
    const double fraction = (ts.hour * 3600.0 + ts.minute * 60.0 + ts.second) / 86400.0;
    return days >= 0 ? days + fraction : days - fraction;
}

SQL_TIMESTAMP_STRUCT FromDate(double date)
{
    using namespace std::chrono;
    SQL_TIMESTAMP_STRUCT ts{};
    if (!std::isfinite(date) || std::fabs(date) > 2958465.0) {
        return ts;
    }
    const double whole = std::trunc(date);
    const long seconds = std::min(std::lround(std::fabs(date - whole) * 86400.0), 86399L);
    const year_month_day ymd(kDateEpoch + days(static_cast<long>(whole)));
    ts.year = static_cast<SQLSMALLINT>(static_cast<int>(ymd.year()));
    ts.month = static_cast<SQLUSMALLINT>(static_cast<unsigned>(ymd.month()));
    ts.day = static_cast<SQLUSMALLINT>(static_cast<unsigned>(ymd.day()));
    ts.hour = static_cast<SQLUSMALLINT>(seconds / 3600);
    ts.minute = static_cast<SQLUSMALLINT>((seconds / 60) % 60);
    ts.second = static_cast<SQLUSMALLINT>(seconds % 60);
    return ts;
}

} // namespace

} // namespace kestrun::odbc
