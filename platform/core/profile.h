#pragma once
// Private-profile (ini) files and the application profile.
//
// Section and key names match without regard to ASCII case; the first
// section and the first key of a name win. Values are read trimmed of blanks
// and of one pair of surrounding quotes. Lines starting with ';' are
// comments. A write rewrites the file through a temporary file and keeps
// every line it does not change byte for byte. Paths may be written with
// '\'. All functions are thread-safe.

#include "platform/core/cstring.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The value of section/key, or def (null reads as "") when the file, the
// section or the key is missing. Copies at most size - 1 bytes and a NUL;
// returns the number of bytes copied. A null key lists the section's keys,
// a null section lists the file's sections: each name NUL-terminated, then
// one more NUL; the return value leaves out that final NUL.
DWORD GetPrivateProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR def, LPTSTR buffer, DWORD size, LPCTSTR file);
CString GetPrivateProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR def, LPCTSTR file);

// The value as a decimal integer: leading blanks and a sign allowed,
// parsing stops at the first other character, no digits give 0; def when
// the file or the key is missing.
UINT GetPrivateProfileInt(LPCTSTR section, LPCTSTR key, int def, LPCTSTR file);

// Sets section/key to value, adding the key at the end of its section and
// the section at the end of the file (which is created when missing; its
// folder must exist). A null value deletes the key, a null key deletes the
// section. FALSE with the thread's last error set when the file cannot be
// written; the old file is then unchanged.
BOOL WritePrivateProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR value, LPCTSTR file);

namespace kestrun {

// One section of an ini file, read with one read of the file: many keys
// read in time linear in the section. Lookups give what
// GetPrivateProfileString and GetPrivateProfileInt give for the section.
class CProfileSection
{
public:
    CProfileSection(LPCTSTR section, LPCTSTR file);

    CString GetString(LPCTSTR key, LPCTSTR def) const;
    UINT GetInt(LPCTSTR key, int def) const;

private:
    const std::string* Find(LPCTSTR key) const;

    // Keyed by CIniText::NameKey; the first key of a name wins.
    std::unordered_map<std::string, std::string> m_values;
};

// Sets several keys of one section with one read and one write of the file,
// which ends as WritePrivateProfileString called for each key in order would
// leave it. An entry that call would refuse is left out and the others are
// written; FALSE then, with the thread's last error set, as when the file
// cannot be written (the old file is then unchanged).
BOOL WritePrivateProfileValues(LPCTSTR section, const std::vector<std::pair<CString, CString>>& values,
                               LPCTSTR file);

} // namespace kestrun

// The application profile: the ini file of the program's settings. Before
// one is set, reads give the defaults and writes return FALSE.
namespace kestrun {
void SetApplicationProfile(const CString& iniPath);
CString ApplicationProfile();
} // namespace kestrun

CString GetProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR def = nullptr);
UINT GetProfileInt(LPCTSTR section, LPCTSTR key, int def);
BOOL WriteProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR value);
BOOL WriteProfileInt(LPCTSTR section, LPCTSTR key, int value);
