#pragma once
// A throw-away PostgreSQL server for the tests that run on both back ends.
// It starts on first use in a temporary folder, listens on loopback on a
// free port and on a socket in that folder, and runs as the "postgres" user
// when the tests run as root. It is stopped and its folder removed when the
// test program ends; a watcher in a session of its own does the same when
// the program dies before that, so that no server outlives its tests.
#include <string>
#include <sys/types.h>

class CPostgresTestServer
{
public:
    // The one server of this process, started on the first call.
    static CPostgresTestServer& Instance();
    ~CPostgresTestServer();
    CPostgresTestServer(const CPostgresTestServer&) = delete;
    CPostgresTestServer& operator=(const CPostgresTestServer&) = delete;

    // Why the server cannot be used (no server programs, no ODBC driver, it
    // did not start); empty when it runs.
    const std::string& Unavailable() const { return m_unavailable; }
    // Creates a new, empty database and returns its name. Throws
    // _com_error when the server refuses.
    std::string NewDatabase();
    // The ODBC connection string that reaches a database, by driver name.
    std::string ConnectString(const std::string& database) const;
    int Port() const { return m_port; }

private:
    CPostgresTestServer();
    void Start();
    bool StartOnFreePort();
    void Stop();

    std::string m_unavailable;
    std::string m_folder;
    std::string m_pgCtl;
    int m_port = 0;
    pid_t m_watcher = -1;
    int m_databases = 0;
};
