#include "platform/database/odbcvariant.h"

using namespace kestrun;

namespace {

// An empty "UID=" or "PWD=" means no user or password given; passed on, it
// would overrule the ones the data source names (PostgreSQL then logs in as
// the system user). Values in braces may hold ';'.
CString WithoutEmptyCredentials(const CString& connect)
{
    const std::string text = connect.GetString();
    std::string kept;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        bool braced = false;
        while (end < text.size() && (braced || text[end] != ';')) {
            braced = text[end] == '{' ? true : (text[end] == '}' ? false : braced);
            ++end;
        }
        const CString part(text.substr(start, end - start).c_str());
        const int equals = part.Find('=');
        CString key = equals < 0 ? part : part.Left(equals);
        CString value = equals < 0 ? CString() : part.Mid(equals + 1);
        key.Trim();
        value.Trim();
        const bool emptyCredential =
            (key.CompareNoCase("UID") == 0 || key.CompareNoCase("PWD") == 0) && equals >= 0 && value.IsEmpty();
        if (!part.IsEmpty() && !emptyCredential) {
            kept += part.GetString();
            kept += ';';
        }
        start = end + 1;
    }
    return kept.c_str();
}

} // namespace

CAdoConnection::CAdoConnection() : m_impl(std::make_unique<CImpl>()) {}

CAdoConnection::~CAdoConnection() = default;

_ConnectionPtr CAdoConnection::Create()
{
    return _ConnectionPtr(new CAdoConnection());
}

CAdoConnection::CImpl& CAdoConnection::Impl()
{
    if (!m_impl->connection.IsConnected()) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "The connection is closed");
    }
    return *m_impl;
}

HRESULT CAdoConnection::Open(const CString& connect, const CString& user, const CString& password, long /*options*/)
{
    if (m_impl->connection.IsConnected()) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "The connection is already open");
    }
    CString text = WithoutEmptyCredentials(connect);
    if (!user.IsEmpty()) {
        text.AppendFormat("UID=%s;", user.GetString());
    }
    if (!password.IsEmpty()) {
        text.AppendFormat("PWD=%s;", password.GetString());
    }
    odbc::GuardOn(*m_impl, [&] { m_impl->connection.Connect(text.GetString()); });
    const CString dbms(m_impl->connection.DbmsName().c_str());
    m_dialect = EDbDialect::Other;
    if (dbms.CompareNoCase("SQLite") == 0) {
        m_dialect = EDbDialect::SQLite;
    } else if (dbms.CompareNoCase("PostgreSQL") == 0) {
        m_dialect = EDbDialect::PostgreSQL;
    }
    return 0;
}

void CAdoConnection::Close()
{
    // Closing drops what an open transaction did.
    if (m_inTransaction && m_impl->connection.IsConnected()) {
        try {
            m_impl->connection.EndTransaction(false);
        } catch (const odbc::CError&) {
            // The connection goes all the same.
        }
    }
    m_inTransaction = false;
    m_impl->connection.Disconnect();
}

long CAdoConnection::GetState() const
{
    return m_impl->connection.IsConnected() ? adStateOpen : adStateClosed;
}

long CAdoConnection::Execute(const CString& sql, const std::vector<COleVariant>& params)
{
    CImpl& impl = Impl();
    return odbc::GuardOn(impl, [&] {
        odbc::CStatement stmt(impl.connection);
        stmt.Run(sql.GetString(), odbc::ToValues(params));
        return stmt.RowCount();
    });
}

long CAdoConnection::BeginTrans()
{
    CImpl& impl = Impl();
    if (m_inTransaction) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "A transaction is already open");
    }
    odbc::GuardOn(impl, [&] { impl.connection.BeginTransaction(); });
    m_inTransaction = true;
    return 1;
}

void CAdoConnection::CommitTrans()
{
    EndTrans(true);
}

void CAdoConnection::RollbackTrans()
{
    EndTrans(false);
}

void CAdoConnection::EndTrans(bool commit)
{
    CImpl& impl = Impl();
    if (!m_inTransaction) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "No transaction is open");
    }
    m_inTransaction = false;
    odbc::GuardOn(impl, [&] { impl.connection.EndTransaction(commit); });
}

_RecordsetPtr CAdoConnection::OpenSchema(long schema)
{
    if (schema != adSchemaTables) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "Only the table schema can be read");
    }
    CImpl& impl = Impl();
    std::vector<std::vector<COleVariant>> names = odbc::GuardOn(impl, [&] {
        odbc::CStatement stmt(impl.connection);
        stmt.Tables();
        std::vector<std::vector<COleVariant>> rows;
        while (stmt.NextRow()) {
            rows.push_back({odbc::ToVariant(stmt.Value(2, odbc::EKind::Text))});
        }
        return rows;
    });
    return CAdoRecordset::FromRows({CAdoColumn{"TABLE_NAME", VT_BSTR}}, std::move(names));
}

std::vector<CAdoError> CAdoConnection::GetErrors() const
{
    return m_impl->errors;
}
