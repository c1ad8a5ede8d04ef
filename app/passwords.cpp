#include "app/passwords.h"

#include "app/md5.h"

#include "platform/core/encoding.h"
#include "platform/ui/winapp.h"

namespace kestrun {
namespace {

constexpr const char* kSection = "System";
constexpr const char* kDefaultAdministratorPassword = "Morvint";

const char* KeyOf(int nLevel)
{
    return nLevel == kAdministratorLevel ? "PassWord1" : "PassWord2";
}

} // namespace

CString UserLevelName(int nLevel)
{
    return nLevel == kAdministratorLevel ? "Administrator" : "User";
}

std::optional<CString> PasswordDigest(const CString& password)
{
    const std::string_view text(password.GetString(), static_cast<size_t>(password.GetLength()));
    if (!FitsCp1252(text))
        return std::nullopt;
    return CString(CMD5::HexDigest(Utf8ToCp1252(text)).c_str());
}

CString StoredPasswordDigest(CWinApp& app, int nLevel)
{
    const CString fallback = *PasswordDigest(nLevel == kAdministratorLevel ? kDefaultAdministratorPassword : "");
    return app.GetProfileString(kSection, KeyOf(nLevel), fallback);
}

void StorePasswordDigest(CWinApp& app, int nLevel, const CString& digest)
{
    app.WriteProfileString(kSection, KeyOf(nLevel), digest);
}

} // namespace kestrun
