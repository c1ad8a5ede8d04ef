#include "platform/database/odbcinstaller.h"

#include <odbcinst.h>

namespace kestrun::odbc {

namespace {

// Puts the previous configuration mode back when it ends.
class CUserMode
{
public:
    CUserMode()
    {
        SQLGetConfigMode(&m_previous);
        SQLSetConfigMode(ODBC_USER_DSN);
    }
    ~CUserMode() { SQLSetConfigMode(m_previous); }
    CUserMode(const CUserMode&) = delete;
    CUserMode& operator=(const CUserMode&) = delete;

private:
    UWORD m_previous = ODBC_BOTH_DSN;
};

} // namespace

bool WriteUserDataSource(const std::string& dsn, const std::string& driver,
                         const std::vector<std::pair<std::string, std::string>>& attributes)
{
    CUserMode mode;
    if (!SQLWriteDSNToIni(dsn.c_str(), driver.c_str())) {
        return false;
    }
    for (const auto& [key, value] : attributes) {
        if (!SQLWritePrivateProfileString(dsn.c_str(), key.c_str(), value.c_str(), "ODBC.INI")) {
            return false;
        }
    }
    return true;
}

bool RemoveUserDataSource(const std::string& dsn)
{
    CUserMode mode;
    return SQLRemoveDSNFromIni(dsn.c_str()) != 0;
}

} // namespace kestrun::odbc
