#include "platform/core/profile.h"

#include "platform/core/atomicfile.h"
#include "platform/core/errors.h"
#include "platform/core/exceptions.h"
#include "platform/core/initext.h"
#include "platform/core/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One lock for every profile file: a read-modify-write must not interleave
// with another thread's.
std::mutex g_profileMutex;

std::mutex g_applicationProfileMutex;
CString g_applicationProfile;

// The file's bytes; empty for a missing file, nullopt (errno set) when it
// exists but cannot be read.
std::optional<std::string> ReadProfileFile(const CString& path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::string();
        return std::nullopt;
    }
    std::string content;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return std::nullopt;
    }
    char chunk[8192];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            errno = error;
            return std::nullopt;
        }
        content.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return content;
}

// The file as text, or an empty text when it cannot be read: reads then give
// the defaults.
kestrun::CIniText LoadForReading(LPCTSTR file)
{
    std::lock_guard lock(g_profileMutex);
    return kestrun::CIniText(ReadProfileFile(kestrun::NativePath(file)).value_or(std::string()));
}

DWORD CopyText(std::string_view text, LPTSTR buffer, DWORD size)
{
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// Names each ended by a NUL, then a final NUL. A list that does not fit is
// cut and still ends in two NULs.
DWORD CopyNameList(const std::vector<std::string>& names, LPTSTR buffer, DWORD size)
{
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

std::string JoinNameList(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    return list;
}

bool HasLineBreak(LPCTSTR text) { return text && std::strpbrk(text, "\r\n") != nullptr; }

// Names and values that would turn into other lines, or into a different
// name, when read back.
bool IsWritable(LPCTSTR section, LPCTSTR key, LPCTSTR value)
{
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    if (std::strchr(section, ']') != nullptr)
        return false;
    if (key) {
        const std::string_view k(key);
        const auto first = k.find_first_not_of(" \t");
        if (first == std::string_view::npos || k[first] == ';' || k[first] == '[' || k.find('=') != std::string_view::npos)
            return false;
    }
    return true;
}

BOOL WriteText(const CString& path, const std::string& content)
{
    try {
        kestrun::CAtomicFileWriter writer(path);
        writer.Write(content.data(), content.size());
        writer.Commit();
        return TRUE;
    } catch (const CFileException& e) {
        SetLastError(kestrun::Win32ErrorOf(e));
        return FALSE;
    }
}

// The value as GetPrivateProfileInt reads it.
UINT ProfileInt(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Unsigned arithmetic: an overlong number wraps instead of overflowing.
    UINT number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + static_cast<UINT>(c - '0');
    }
    return negative ? 0u - number : number;
}

} // namespace

DWORD GetPrivateProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR def, LPTSTR buffer, DWORD size, LPCTSTR file)
{
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    try {
        const kestrun::CIniText ini = LoadForReading(file);
        if (section == nullptr)
            return CopyNameList(ini.Sections(), buffer, size);
        if (key == nullptr)
            return CopyNameList(ini.Keys(section), buffer, size);
        const auto value = ini.Value(section, key);
        return CopyText(value ? std::string_view(*value) : std::string_view(def ? def : ""), buffer, size);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        buffer[0] = '\0';
        return 0;
    }
}

CString GetPrivateProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR def, LPCTSTR file)
{
    const kestrun::CIniText ini = LoadForReading(file);
    if (section == nullptr)
        return CString(JoinNameList(ini.Sections()));
    if (key == nullptr)
        return CString(JoinNameList(ini.Keys(section)));
    const auto value = ini.Value(section, key);
    return value ? CString(*value) : CString(def);
}

UINT GetPrivateProfileInt(LPCTSTR section, LPCTSTR key, int def, LPCTSTR file)
{
    if (section == nullptr || key == nullptr)
        return static_cast<UINT>(def);
    const auto value = LoadForReading(file).Value(section, key);
    if (!value)
        return static_cast<UINT>(def);
    return ProfileInt(*value);
}

BOOL WritePrivateProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR value, LPCTSTR file)
{
    if (file == nullptr || *file == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (section == nullptr) {
        // All null flushes a cache the original kept; we keep none.
        if (key == nullptr && value == nullptr)
            return TRUE;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!IsWritable(section, key, value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    const CString path = kestrun::NativePath(file);
    try {
        std::lock_guard lock(g_profileMutex);
        const auto content = ReadProfileFile(path);
        if (!content) {
            kestrun::SetLastErrorFromErrno(errno);
            return FALSE;
        }
        kestrun::CIniText ini(*content);
        const bool changed = key == nullptr     ? ini.DeleteSection(section)
                             : value == nullptr ? ini.DeleteKey(section, key)
                                                : ini.SetValue(section, key, value);
        // Nothing to do leaves the file as it is, and a missing one missing.
        if (!changed)
            return TRUE;
        return WriteText(path, ini.Serialize());
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

namespace kestrun {

CProfileSection::CProfileSection(LPCTSTR section, LPCTSTR file)
{
    if (section == nullptr)
        return;
    for (auto& [name, value] : LoadForReading(file).Entries(section))
        m_values.emplace(CIniText::NameKey(name), std::move(value));
}

const std::string* CProfileSection::Find(LPCTSTR key) const
{
    if (key == nullptr)
        return nullptr;
    const auto found = m_values.find(CIniText::NameKey(key));
    return found == m_values.end() ? nullptr : &found->second;
}

CString CProfileSection::GetString(LPCTSTR key, LPCTSTR def) const
{
    const std::string* value = Find(key);
    return value ? CString(*value) : CString(def);
}

UINT CProfileSection::GetInt(LPCTSTR key, int def) const
{
    const std::string* value = Find(key);
    return value ? ProfileInt(*value) : static_cast<UINT>(def);
}

BOOL WritePrivateProfileValues(LPCTSTR section, const std::vector<std::pair<CString, CString>>& values, LPCTSTR file)
{
    if (file == nullptr || *file == '\0' || section == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::pair<std::string, std::string>> writable;
    writable.reserve(values.size());
    bool refused = false;
    for (const auto& [key, value] : values) {
        if (IsWritable(section, key, value))
            writable.emplace_back(key.str(), value.str());
        else
            refused = true;
    }

    const CString path = NativePath(file);
    try {
        std::lock_guard lock(g_profileMutex);
        const auto content = ReadProfileFile(path);
        if (!content) {
            SetLastErrorFromErrno(errno);
            return FALSE;
        }
        CIniText ini(*content);
        // Nothing to do leaves the file as it is, and a missing one missing.
        if (ini.SetValues(section, writable) && !WriteText(path, ini.Serialize()))
            return FALSE;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (refused) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

void SetApplicationProfile(const CString& iniPath)
{
    std::lock_guard lock(g_applicationProfileMutex);
    g_applicationProfile = NativePath(iniPath);
}

CString ApplicationProfile()
{
    std::lock_guard lock(g_applicationProfileMutex);
    return g_applicationProfile;
}

} // namespace kestrun

CString GetProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR def)
{
    const CString file = kestrun::ApplicationProfile();
    if (file.IsEmpty())
        return CString(def);
    return GetPrivateProfileString(section, key, def, file);
}

UINT GetProfileInt(LPCTSTR section, LPCTSTR key, int def)
{
    const CString file = kestrun::ApplicationProfile();
    if (file.IsEmpty())
        return static_cast<UINT>(def);
    return GetPrivateProfileInt(section, key, def, file);
}

BOOL WriteProfileString(LPCTSTR section, LPCTSTR key, LPCTSTR value)
{
    const CString file = kestrun::ApplicationProfile();
    if (file.IsEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return WritePrivateProfileString(section, key, value, file);
}

BOOL WriteProfileInt(LPCTSTR section, LPCTSTR key, int value)
{
    return WriteProfileString(section, key, FormatString("%d", value));
}
