#include "database/odbcdsn.h"

#include "platform/core/profile.h"
#include "platform/database/odbcinstaller.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

CString UserOdbcIniPath()
{
    // Where the driver manager looks for user data sources.
    if (const char* ini = std::getenv("ODBCINI"); ini != nullptr && *ini != 0) {
        return ini;
    }
    const passwd* user = ::getpwuid(::getuid());
    const char* home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : std::getenv("HOME");
    if (home == nullptr || *home == 0) {
        return {};
    }
    return CString((std::filesystem::path(home) / ".odbc.ini").c_str());
}

bool IsDataSourceListed(const CString& dsn)
{
    for (const CString& ini : {UserOdbcIniPath(), CString("/etc/odbc.ini")}) {
        if (!ini.IsEmpty() && !GetPrivateProfileString(dsn, "Driver", "", ini).IsEmpty()) {
            return true;
        }
    }
    return false;
}

namespace {

// A value that would end the line or open a section cannot be written.
bool FitsIni(const CString& text)
{
    const std::string s = text.GetString();
    return s.find_first_of("\r\n") == std::string::npos;
}

} // namespace

BOOL RegisterAccessDsn(const CString& dsn, const CString& directory, const CString& fileName,
                       const CString& description, BOOL add)
{
    const CString ini = UserOdbcIniPath();
    if (ini.IsEmpty() || dsn.IsEmpty() || !FitsIni(dsn) || dsn.Find(']') >= 0 || dsn.Find('[') >= 0) {
        return FALSE;
    }
    if (add == FALSE) {
        return kestrun::odbc::RemoveUserDataSource(dsn.GetString()) ? TRUE : FALSE;
    }
    const CString database((std::filesystem::path(directory.GetString()) / fileName.GetString()).c_str());
    if (!FitsIni(database) || !FitsIni(description)) {
        return FALSE;
    }
    return kestrun::odbc::WriteUserDataSource(dsn.GetString(), kGrowthDbDriver,
                                              {{"Description", description.GetString()},
                                               {"Database", database.GetString()}})
               ? TRUE
               : FALSE;
}
