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

CTrayScanSettings CTrayScanSettings::Read(const CString& strPath)
{
    CTrayScanSettings settings;
    const CString tray = ReadText("Tray", "Type", kDefaultTrayType, strPath);
    if (IsUsableTrayType(tray))
        settings.strTray = tray;
    const int batch = static_cast<int>(GetPrivateProfileInt("Tray", "Batch", 1, strPath));
    if (batch >= 1 && batch <= kMaxBatch)
        settings.nBatch = batch;
    const int batchCount = static_cast<int>(GetPrivateProfileInt("Batch", "Count", 4, strPath));
    if (batchCount >= 1 && batchCount <= kMaxBatch)
        settings.nBatchCount = batchCount;
    int count = static_cast<int>(GetPrivateProfileInt("Tray", "Count", 0, strPath));
    if (count > 10 || count < 0)
        count = 0;
    for (int i = 1; i <= count; ++i) {
        const CString type = ReadText("Tray", FormatString("Number%d", i), kDefaultTrayType, strPath);
        if (IsUsableTrayType(type))
            settings.trayTypes.push_back(type);
    }
    if (count == 0)
        settings.trayTypes = BuiltInTrayTypes();
    return settings;
}

void CTrayScanSettings::Write(const CString& strPath, const CString& strTray, int nBatch)
{
    WritePrivateProfileString("Tray", "Type", strTray, strPath);
    WritePrivateProfileString("Tray", "Batch", FormatString("%d", nBatch), strPath);
}

void CTrayFormSettings::WriteTray(const CString& strPath, const CString& strTray)
{
    WritePrivateProfileString("Tray", "Type", strTray, strPath);
}

} // namespace kestrun::tray
