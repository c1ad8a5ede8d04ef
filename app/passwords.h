#pragma once
// The two user levels' passwords, kept as MD5 digests in [System]
// "PassWord1" (administrator) and "PassWord2" (user) of the settings file.

#include "platform/core/cstring.h"

#include <optional>

class CWinApp;

namespace kestrun {

inline constexpr int kAdministratorLevel = 0;
inline constexpr int kUserLevel = 1;

// "Administrator" for level 0, "User" otherwise.
CString UserLevelName(int nLevel);

// The digest of the password's Windows-1252 bytes, as earlier installations
// stored it; nothing when a character has no Windows-1252 byte, since such a
// password could never be typed again the same way.
std::optional<CString> PasswordDigest(const CString& password);

// The level's stored digest; the default password's when none is stored.
CString StoredPasswordDigest(CWinApp& app, int nLevel);
void StorePasswordDigest(CWinApp& app, int nLevel, const CString& digest);

// Shown when a password has a character that cannot be stored.
inline constexpr const char* kPasswordCharacterText =
    "The password contains a character that cannot be stored. Please use other characters.";

} // namespace kestrun
