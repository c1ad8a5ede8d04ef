#include "analysis/inivalues.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/exceptions.h"
#include "platform/core/profile.h"

#include <cstdlib>

namespace kestrun::ini {

namespace {

// Decimal text as the 32 bits the settings files have always held, so that
// colours and flag words above 0x7FFFFFFF come back whole.
UINT ParseWord32(const CString& text)
{
    return static_cast<UINT>(std::strtoll(text, nullptr, 10));
}

} // namespace

void ReadInt(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile, int& value)
{
    value = static_cast<int>(GetPrivateProfileInt(section, key, value, iniFile));
}

void ReadUInt(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile, UINT& value)
{
    value = GetPrivateProfileInt(section, key, static_cast<int>(value), iniFile);
}

void ReadFloat(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile, float& value)
{
    const CString text = ReadIniString(section, key, "", iniFile);
    if (!text.IsEmpty())
        value = static_cast<float>(std::atof(text));
}

void Write(LPCTSTR section, LPCTSTR key, const CString& text, LPCTSTR iniFile)
{
    if (!WritePrivateProfileString(section, key, text, iniFile))
        AfxThrowFileException(CFileException::genericException, -1, iniFile);
}

bool IsMarkerPending(LPCTSTR section, LPCTSTR key, LPCTSTR iniFile)
{
    return static_cast<int>(GetPrivateProfileInt(section, key, -1, iniFile)) != -1;
}

void ReadProfileInt(LPCTSTR section, LPCTSTR key, int& value)
{
    value = static_cast<int>(ParseWord32(GetProfileString(section, key, FormatString("%d", value))));
}

void ReadProfileUInt(LPCTSTR section, LPCTSTR key, UINT& value)
{
    value = ParseWord32(GetProfileString(section, key, FormatString("%d", static_cast<int>(value))));
}

void ReadProfileWord(LPCTSTR section, LPCTSTR key, WORD& value)
{
    value = static_cast<WORD>(ParseWord32(GetProfileString(section, key, FormatString("%d", value))));
}

void ReadProfileFloat(LPCTSTR section, LPCTSTR key, float& value)
{
    value = static_cast<float>(std::atof(GetProfileString(section, key, FormatString("%f", value))));
}

void ReadProfileDouble(LPCTSTR section, LPCTSTR key, double& value)
{
    value = std::atof(GetProfileString(section, key, FormatString("%f", value)));
}

} // namespace kestrun::ini
