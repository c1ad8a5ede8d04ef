#include "platform/database/testing/test_database.h"
#include "platform/database/testing/postgres_test_server.h"

std::string BackendName(const ::testing::TestParamInfo<ETestBackend>& info)
{
    return info.param == ETestBackend::SQLite ? "SQLite" : "PostgreSQL";
}

void PrintTo(ETestBackend backend, std::ostream* out)
{
    *out << (backend == ETestBackend::SQLite ? "SQLite" : "PostgreSQL");
}

CTestDatabase::CTestDatabase(ETestBackend backend)
{
    if (backend == ETestBackend::SQLite) {
        m_connect = "DRIVER=SQLite3;Database=" + (m_folder / "test.db");
        return;
    }
    CPostgresTestServer& server = CPostgresTestServer::Instance();
    m_unavailable = server.Unavailable();
    if (m_unavailable.empty()) {
        m_connect = server.ConnectString(server.NewDatabase());
    }
}

_ConnectionPtr CTestDatabase::Connect() const
{
    _ConnectionPtr conn = CAdoConnection::Create();
    conn->Open(m_connect.c_str());
    return conn;
}
