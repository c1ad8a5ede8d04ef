#include "objectmodel/toolfunctions.h"

#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/sync.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <string>
#include <string_view>
#include <sys/statvfs.h>

namespace {

constexpr DWORD kIniBufferSize = 200;

bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

// Cuts an incomplete UTF-8 sequence off the end of a text that was cut to
// a byte count.
CString CutToCharacter(const CString& text)
{
    const std::string_view bytes = text.view();
    size_t end = bytes.size();
    size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80 && end - lead < 3)
        --lead;
    if (lead == 0)
        return text;
    const auto first = static_cast<unsigned char>(bytes[lead - 1]);
    const size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (first >= 0xC0 && end - (lead - 1) < length)
        end = lead - 1;
    return CString(std::string(bytes.substr(0, end)));
}

// "%lf" and atof with '.' whatever the locale.
CString FormatProfileDouble(double value)
{
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 6);
    return CString(std::string(buffer.data(), result.ptr));
}

double ParseProfileDouble(const CString& text)
{
    std::string_view digits = text.view();
    while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.front())))
        digits.remove_prefix(1);
    if (digits.starts_with('+'))
        digits.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

struct PathParts
{
    std::string_view drive;
    std::string_view folder;
    std::string_view name;
    std::string_view extension;
};

PathParts SplitPath(std::string_view path)
{
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsSeparator(path[i]))
            nameStart = i + 1;
    }
    parts.folder = path.substr(0, nameStart);
    const std::string_view file = path.substr(nameStart);
    const size_t dot = file.rfind('.');
    parts.name = file.substr(0, dot);
    parts.extension = dot == std::string_view::npos ? std::string_view() : file.substr(dot);
    return parts;
}

} // namespace

int WaitWithMessages(CEvent& event, DWORD timeoutMs)
{
    switch (kestrun::WaitPumping(event, timeoutMs)) {
    case WAIT_OBJECT_0:
        return 0;
    case WAIT_TIMEOUT:
        return static_cast<int>(WAIT_TIMEOUT);
    default:
        return -1;
    }
}

CString GetFileVersionString(HMODULE module)
{
    const CString path = kestrun::ModulePath(module);
    if (path.IsEmpty())
        return {};
    if (module != nullptr && path != kestrun::ModulePath(nullptr))
        return {};
    return FormatString("%d.%d.%d.%d", KESTRUN_VERSION_MAJOR, KESTRUN_VERSION_MINOR, KESTRUN_VERSION_PATCH, KESTRUN_VERSION_TWEAK);
}

LONGLONG GetDiskFreeMB(const char* path)
{
    struct statvfs info {};
    if (path != nullptr && ::statvfs(kestrun::NativePath(path).GetString(), &info) == 0)
        return static_cast<LONGLONG>((static_cast<ULONGLONG>(info.f_bfree) * info.f_frsize) >> 20);

    kestrun::SetLastErrorFromErrno(path != nullptr ? errno : EINVAL);
    const CString text = FormatString("error: %lu:  could not get free space for \"%s\"\n",
                                      static_cast<unsigned long>(GetLastError()), path != nullptr ? path : "");
    AfxMessageBox(text);
    return -1;
}

CString StripTrailingBackslash(const CString& path)
{
    if (!path.IsEmpty() && IsSeparator(path[path.GetLength() - 1]))
        return path.Left(path.GetLength() - 1);
    return path;
}

CString AddTrailingBackslash(const CString& path)
{
    if (path.IsEmpty() || IsSeparator(path[path.GetLength() - 1]))
        return path;
    return path + '/';
}

BOOL WriteIniInt(LPCTSTR section, LPCTSTR key, LONG value, LPCTSTR iniFile)
{
    return WritePrivateProfileString(section, key, FormatString("%d", value), iniFile);
}

CString ReadIniString(LPCTSTR section, LPCTSTR key, LPCTSTR def, LPCTSTR iniFile)
{
    std::array<char, kIniBufferSize> buffer{};
    const DWORD length = GetPrivateProfileString(section, key, def, buffer.data(), kIniBufferSize, iniFile);
    const CString value(buffer.data(), static_cast<int>(length));
    return length + 1 >= kIniBufferSize ? CutToCharacter(value) : value;
}

COLORREF GetIndexColor(int index)
{
    static constexpr std::array<COLORREF, 11> kColors = {
        RGB(255, 0, 0),   RGB(0, 0, 255),    RGB(255, 0, 255), RGB(0, 255, 255),   RGB(128, 128, 0), RGB(255, 64, 64),
        RGB(64, 64, 255), RGB(255, 64, 255), RGB(64, 128, 255), RGB(255, 128, 128), RGB(128, 128, 128),
    };
    return index >= 0 && index < static_cast<int>(kColors.size()) ? kColors[static_cast<size_t>(index)] : RGB(0, 0, 0);
}

CString GetSpecialFolderPath(int csidl)
{
    return kestrun::SpecialFolder(csidl);
}

CString GetCommonAppDataPath()
{
    return GetSpecialFolderPath(CSIDL_COMMON_APPDATA);
}

CString GetDataRootPath()
{
    return AddTrailingBackslash(GetCommonAppDataPath()) + "Tarvex AV/Halvorn";
}

double GetProfileDouble(LPCTSTR section, LPCTSTR entry, double def)
{
    return ParseProfileDouble(GetProfileString(section, entry, FormatProfileDouble(def)));
}

BOOL WriteProfileDouble(LPCTSTR section, LPCTSTR entry, double value)
{
    return WriteProfileString(section, entry, FormatProfileDouble(value));
}

CString SplitModulePath(const CString& path, BOOL drive, BOOL folder, BOOL name, int ext)
{
    const PathParts parts = SplitPath(path.view());
    std::string joined;
    if (drive)
        joined += parts.drive;
    if (folder)
        joined += parts.folder;
    if (name)
        joined += parts.name;
    if (ext == 1)
        joined += parts.extension;
    return CString(std::move(joined));
}

CString GetModulePathPart(int part)
{
    const CString path = kestrun::ModulePath(nullptr);
    switch (part) {
    case 1:
        return SplitModulePath(path, TRUE, TRUE, FALSE, 0);
    case 2:
        return SplitModulePath(path, FALSE, FALSE, TRUE, 0);
    case 3:
        return SplitModulePath(path, FALSE, FALSE, TRUE, 1);
    default:
        return path;
    }
}

CString GetProgramName()
{
    return "kestrun";
}

BOOL IsProgramRunning()
{
    return GetModulePathPart(2).CompareNoCase(GetProgramName()) == 0;
}

int SplitTokens(const CString& text, char separator, CStringArray& parts)
{
    if (text.IsEmpty()) {
        parts.RemoveAll();
        return 0;
    }
    INT_PTR count = 0;
    std::string token(1, text[0]);
    const auto store = [&] {
        parts.SetAtGrow(count++, CString(token));
        token.clear();
    };
    for (int i = 1; i < text.GetLength(); ++i) {
        const char ch = text[i];
        if (ch != separator)
            token += ch;
        else if (!token.empty())
            store();
    }
    if (!token.empty())
        store();
    if (count == 0)
        parts.RemoveAll();
    else if (parts.GetSize() > count)
        parts.SetSize(count);
    return static_cast<int>(parts.GetSize());
}
