#include "platform/database/testing/postgres_test_server.h"
#include "platform/database/ado.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kServerRoot = "/usr/lib/postgresql";
constexpr const char* kDriver = "PostgreSQL Unicode";
constexpr int kStartTries = 5;

// The bin folder of the newest server installed, or empty.
std::string FindServerPrograms()
{
    std::error_code ec;
    std::string best;
    long bestVersion = -1;
    for (const fs::directory_entry& entry : fs::directory_iterator(kServerRoot, ec)) {
        const fs::path bin = entry.path() / "bin";
        const long version = std::strtol(entry.path().filename().c_str(), nullptr, 10);
        if (version > bestVersion && fs::exists(bin / "initdb", ec) && fs::exists(bin / "pg_ctl", ec) &&
            fs::exists(bin / "postgres", ec)) {
            best = bin.string();
            bestVersion = version;
        }
    }
    return best;
}

// The server refuses to run as root: then every server program runs as
// "postgres" through runuser.
std::vector<std::string> AsServerUser()
{
    if (::geteuid() != 0) {
        return {};
    }
    for (const char* runuser : {"/usr/sbin/runuser", "/sbin/runuser"}) {
        if (::access(runuser, X_OK) == 0) {
            return {runuser, "-u", "postgres", "--"};
        }
    }
    return {"runuser", "-u", "postgres", "--"};
}

std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// Starts a program with its output appended to log (stdin empty); its
// process id, or -1. With ownSession it leaves our session and process
// group, so that a test runner that kills the group leaves it running.
pid_t Spawn(std::vector<std::string> argv, const std::string& log, bool ownSession)
{
    std::vector<char*> args;
    for (std::string& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    if (ownSession) {
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Runs a program to its end; true when it exits with 0.
bool Run(const std::vector<std::string>& argv, const std::string& log)
{
    const pid_t pid = Spawn(argv, log, false);
    if (pid < 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The last lines of a log, for the reason a step failed.
std::string Tail(const std::string& log)
{
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    std::string tail;
    for (size_t i = lines.size() > 4 ? lines.size() - 4 : 0; i < lines.size(); ++i) {
        tail += "\n  " + lines[i];
    }
    return tail;
}

// The files the driver logs to when its installed settings ask it to,
// whatever the connection says: the ones of this process are removed
// with the server.
std::string DriverLogs()
{
    const passwd* user = ::getpwuid(::geteuid());
    return "/tmp/psqlodbc_*_" + std::string(user != nullptr ? user->pw_name : "") + std::to_string(::getpid()) +
           ".log";
}

void RemoveDriverLogs()
{
    glob_t found{};
    if (::glob(DriverLogs().c_str(), 0, nullptr, &found) == 0) {
        for (size_t i = 0; i < found.gl_pathc; ++i) {
            ::unlink(found.gl_pathv[i]);
        }
    }
    ::globfree(&found);
}

// A port nobody listens on now; another program may still take it before
// the server does, so the start is tried again on a new one.
int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

} // namespace

CPostgresTestServer& CPostgresTestServer::Instance()
{
    static CPostgresTestServer server;
    return server;
}

CPostgresTestServer::CPostgresTestServer()
{
    Start();
}

CPostgresTestServer::~CPostgresTestServer()
{
    Stop();
}

void CPostgresTestServer::Start()
{
    const std::string bin = FindServerPrograms();
    if (bin.empty()) {
        m_unavailable = std::string("PostgreSQL is not installed (no initdb, pg_ctl and postgres in ") + kServerRoot +
                        "/*/bin)";
        return;
    }
    const passwd* user = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
    if (::geteuid() == 0 && user == nullptr) {
        m_unavailable = "the tests run as root and there is no user \"postgres\" to run the server as";
        return;
    }
    std::string pattern = (fs::temp_directory_path() / "kestrun-pg-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_unavailable = "no temporary folder for the server";
        return;
    }
    m_folder = pattern;
    if (user != nullptr && ::chown(m_folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
        m_unavailable = "cannot give the server's folder to \"postgres\"";
        Stop();
        return;
    }
    m_pgCtl = bin + "/pg_ctl";
    const std::string log = m_folder + "/setup.log";
    // The watcher stops the server and removes its folder once this
    // process is gone, however it ended.
    m_watcher = Spawn(Join({"/bin/sh", "-c",
                            "while kill -0 \"$1\" 2>/dev/null; do sleep 1; done; dir=$2; logs=$3; shift 3; "
                            "\"$@\" >/dev/null 2>&1; rm -rf \"$dir\" $logs",
                            "watcher", std::to_string(::getpid()), m_folder, DriverLogs()},
                           Join(AsServerUser(), {m_pgCtl, "-D", m_folder + "/data", "stop", "-m", "immediate"})),
                      "/dev/null", true);
    if (!Run(Join(AsServerUser(), {bin + "/initdb", "-D", m_folder + "/data", "-U", "postgres", "-A", "trust",
                                   "--no-sync", "-E", "UTF8", "--locale=C"}),
             log)) {
        m_unavailable = "initdb failed:" + Tail(log);
        Stop();
        return;
    }
    if (!StartOnFreePort()) {
        m_unavailable = "the PostgreSQL server did not start:" + Tail(m_folder + "/server.log");
        Stop();
        return;
    }
    try {
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open(ConnectString("postgres").c_str());
    } catch (const _com_error& e) {
        m_unavailable = std::string("the ODBC driver \"") + kDriver + "\" does not reach the server: " +
                        e.Description().GetString();
        Stop();
    }
}

bool CPostgresTestServer::StartOnFreePort()
{
    for (int attempt = 0; attempt < kStartTries; ++attempt) {
        m_port = FreePort();
        if (m_port == 0) {
            continue;
        }
        // Durability is of no use for a database that lives for one run.
        const std::string options = "-p " + std::to_string(m_port) + " -k '" + m_folder +
                                    "' -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off "
                                    "-c full_page_writes=off -c shared_buffers=16MB -c max_connections=40";
        if (Run(Join(AsServerUser(), {m_pgCtl, "-D", m_folder + "/data", "-l", m_folder + "/server.log", "-w", "-t",
                                      "60", "-o", options, "start"}),
                m_folder + "/setup.log")) {
            return true;
        }
        Run(Join(AsServerUser(), {m_pgCtl, "-D", m_folder + "/data", "stop", "-m", "immediate"}),
            m_folder + "/setup.log");
    }
    m_port = 0;
    return false;
}

void CPostgresTestServer::Stop()
{
    if (m_port != 0) {
        Run(Join(AsServerUser(), {m_pgCtl, "-D", m_folder + "/data", "stop", "-m", "fast"}), "/dev/null");
        m_port = 0;
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
        m_folder.clear();
    }
    RemoveDriverLogs();
    if (m_watcher > 0) {
        // It leads a process group of its own: its sleep goes with it.
        ::kill(-m_watcher, SIGKILL);
        ::waitpid(m_watcher, nullptr, 0);
        m_watcher = -1;
    }
}

std::string CPostgresTestServer::ConnectString(const std::string& database) const
{
    // By driver name, so that no ini file names the source; the driver's
    // own logs stay off whatever its installed defaults say.
    return std::string("DRIVER={") + kDriver + "};Server=127.0.0.1;Port=" + std::to_string(m_port) +
           ";Database=" + database + ";UID=postgres;PWD=;CommLog=0;Debug=0;";
}

std::string CPostgresTestServer::NewDatabase()
{
    if (!m_unavailable.empty()) {
        throw _com_error(ADO_E_FAIL, m_unavailable.c_str());
    }
    const std::string name = "kestrun_" + std::to_string(++m_databases);
    _ConnectionPtr conn = CAdoConnection::Create();
    conn->Open(ConnectString("postgres").c_str());
    conn->Execute(("CREATE DATABASE " + name).c_str());
    return name;
}
