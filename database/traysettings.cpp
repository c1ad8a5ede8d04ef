#include "database/traysettings.h"

#include "database/traybarcode.h"

#include "platform/core/folders.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"

namespace kestrun::tray {

namespace {

// The tray form reads its texts into buffers of 80 characters.
constexpr DWORD kTextSize = 80;

CString ReadText(const char* section, const char* key, const char* def, const CString& path)
{
    char buffer[kTextSize] = {};
    GetPrivateProfileString(section, key, def, buffer, kTextSize, path);
    return CString(buffer);
}

std::int64_t ReadLimit(const char* key, std::int64_t def, const CString& path)
{
    std::int64_t value = 0;
    const CString text = ReadText("BarCodeRange", key, "", path);
    return ReadWholeNumber(text, true, value) ? value : def;
}

} // namespace

CString TraySettingsPath(const CString& strFolder)
{
    CString folder = strFolder.IsEmpty() ? ModuleFolder() : strFolder;
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    return folder + kSettingsFile;
}

bool IsUsableTrayType(const CString& text)
{
    return !text.IsEmpty() && IsPlainFileName(text.GetString());
}

CTrayFormSettings CTrayFormSettings::Read(const CString& strPath)
{
    CTrayFormSettings settings;
    settings.nMinBarcode = ReadLimit("Min", kDefaultMinBarcode, strPath);
    settings.nMaxBarcode = ReadLimit("Max", kDefaultMaxBarcode, strPath);
    const CString tray = ReadText("Tray", "Type", kDefaultTrayType, strPath);
    if (IsUsableTrayType(tray))
        settings.strTray = tray;
    return settings;
}

void CTrayFormSettings::WriteTray(const CString& strPath, const CString& strTray)
{
    WritePrivateProfileString("Tray", "Type", strTray, strPath);
}

} // namespace kestrun::tray
