#pragma once
// The growth-test database's data source, kept as a user data source in the
// user's ODBC ini ($ODBCINI, else ~/.odbc.ini), never in the system's files.
#include "platform/core/cstring.h"
#include "platform/core/types.h"

// The driver the data source names: the SQLite ODBC driver.
inline constexpr const char* kGrowthDbDriver = "SQLite3";

CString UserOdbcIniPath();

// Whether the user's or the system's ODBC ini names the data source. Asked
// before the driver manager is: it caches a source it did not find and
// would not see it registered later in the same run.
bool IsDataSourceListed(const CString& dsn);

// Adds (or, with add FALSE, removes) the data source for the database file
// directory/fileName. FALSE when the ini cannot be written or a name would
// break its lines.
BOOL RegisterAccessDsn(const CString& dsn, const CString& directory, const CString& fileName,
                       const CString& description, BOOL add);
