#pragma once
// User data sources, written through the driver manager's installer so that
// the driver manager sees a change at once (it caches its ini files).
#include <string>
#include <utility>
#include <vector>

namespace kestrun::odbc {

// Adds or replaces the data source with the driver and attributes; false
// when the installer refuses it.
bool WriteUserDataSource(const std::string& dsn, const std::string& driver,
                         const std::vector<std::pair<std::string, std::string>>& attributes);
bool RemoveUserDataSource(const std::string& dsn);

} // namespace kestrun::odbc
