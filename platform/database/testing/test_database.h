#pragma once
// A new, empty database for one test on either back end, so that one table
// of cases runs on SQLite and on PostgreSQL. Without a PostgreSQL server the
// PostgreSQL cases are skipped with the reason, never failed.
#include "platform/core/tests/scratch_folder.h"
#include "platform/database/ado.h"

#include <gtest/gtest.h>

#include <string>

enum class ETestBackend { SQLite, PostgreSQL };

inline const auto kEveryBackend = ::testing::Values(ETestBackend::SQLite, ETestBackend::PostgreSQL);

// The names GoogleTest prints for a case's back end.
std::string BackendName(const ::testing::TestParamInfo<ETestBackend>& info);
void PrintTo(ETestBackend backend, std::ostream* out);

class CTestDatabase
{
public:
    explicit CTestDatabase(ETestBackend backend);

    // Why the database cannot be had; empty when it can.
    const std::string& Unavailable() const { return m_unavailable; }
    const std::string& ConnectString() const { return m_connect; }
    // A new connection to it (a second one plays another workstation).
    _ConnectionPtr Connect() const;

private:
    CScratchFolder m_folder;
    std::string m_connect;
    std::string m_unavailable;
};

// Skips the test (from SetUp or the test body) when the database is not
// available.
#define KESTRUN_REQUIRE_DATABASE(db)                                                                                   \
    if (!(db).Unavailable().empty())                                                                                  \
    GTEST_SKIP() << "PostgreSQL cases skipped: " << (db).Unavailable()
