#include "platform/core/filefind.h"

#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace kestrun {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Match(std::string_view name, std::string_view pattern)
{
    // Greedy with one backtrack point: the last '*' seen.
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

CString AbsoluteFolder(const CString& folder)
{
    std::error_code ignored;
    std::string root = std::filesystem::absolute(folder.str(), ignored).lexically_normal().string();
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return CString(std::move(root));
}

LONGLONG Nanoseconds(const timespec& t) { return static_cast<LONGLONG>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

} // namespace

FILETIME FileTimeFromUnixNs(LONGLONG ns)
{
    // 1601 to 1970 in 100-ns intervals.
    constexpr LONGLONG kEpochOffset = 116444736000000000LL;
    const auto value = static_cast<ULONGLONG>(ns / 100 + kEpochOffset);
    return {static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

bool MatchesWildcard(const char* name, const char* pattern)
{
    const std::string_view p(pattern ? pattern : "");
    if (p == "*.*")
        return true;
    return Match(name ? name : "", p);
}

} // namespace kestrun

BOOL CFileFind::FindFile(LPCTSTR pattern, DWORD /*flags*/)
{
    Close();
    const CString path = pattern ? kestrun::NativePath(pattern) : CString("*.*");
    const int slash = path.ReverseFind('/');
    const CString folder = slash < 0 ? CString(".") : slash == 0 ? CString("/") : path.Left(slash);
    const CString mask = path.Mid(slash + 1);

    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder), &::closedir);
    if (!dir) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : kestrun::ErrnoToWin32(errno));
        return FALSE;
    }
    m_root = kestrun::AbsoluteFolder(folder);

    while (const dirent* item = ::readdir(dir.get())) {
        if (!kestrun::MatchesWildcard(item->d_name, mask))
            continue;
        const CString full = folder + "/" + item->d_name;
        struct stat info {};
        struct stat link {};
        if (::lstat(full, &link) != 0)
            continue;
        // A dangling link is still listed, as the link itself.
        if (!S_ISLNK(link.st_mode) || ::stat(full, &info) != 0)
            info = link;
        DWORD attributes = kestrun::FileAttributesOf(info.st_mode, item->d_name);
        if (S_ISLNK(link.st_mode))
            attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        m_entries.push_back({item->d_name, attributes, static_cast<ULONGLONG>(info.st_size), info.st_mtime,
                             kestrun::Nanoseconds(info.st_mtim), kestrun::Nanoseconds(info.st_atim),
                             kestrun::Nanoseconds(info.st_ctim)});
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });

    if (m_entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_next >= m_entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    ++m_next;
    m_hasCurrent = true;
    return m_next < m_entries.size();
}

void CFileFind::Close()
{
    m_root.Empty();
    m_entries.clear();
    m_next = 0;
    m_hasCurrent = false;
}

const CFileFind::Entry* CFileFind::Current() const { return m_hasCurrent ? &m_entries[m_next - 1] : nullptr; }

CString CFileFind::GetFileName() const
{
    const Entry* entry = Current();
    return entry ? entry->name : CString();
}

CString CFileFind::GetFilePath() const
{
    const Entry* entry = Current();
    if (!entry)
        return {};
    return m_root == "/" ? m_root + entry->name : m_root + "/" + entry->name;
}

CString CFileFind::GetFileTitle() const
{
    const Entry* entry = Current();
    if (!entry)
        return {};
    if (IsDots())
        return entry->name;
    const int dot = entry->name.ReverseFind('.');
    return dot < 0 ? entry->name : entry->name.Left(dot);
}

BOOL CFileFind::IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }

BOOL CFileFind::IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }

BOOL CFileFind::IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }

BOOL CFileFind::IsDots() const
{
    const Entry* entry = Current();
    return entry && (entry->attributes & FILE_ATTRIBUTE_DIRECTORY) && (entry->name == "." || entry->name == "..");
}

BOOL CFileFind::MatchesMask(DWORD mask) const
{
    const Entry* entry = Current();
    return entry && (entry->attributes & mask) != 0;
}

ULONGLONG CFileFind::GetLength() const
{
    const Entry* entry = Current();
    return entry ? entry->length : 0;
}

BOOL CFileFind::GetLastWriteTime(std::time_t& time) const
{
    const Entry* entry = Current();
    if (!entry)
        return FALSE;
    time = entry->writeTime;
    return TRUE;
}

BOOL CFileFind::GetFindData(WIN32_FIND_DATA& data) const
{
    const Entry* entry = Current();
    if (!entry)
        return FALSE;
    data = WIN32_FIND_DATA{};
    data.dwFileAttributes = entry->attributes;
    data.ftCreationTime = kestrun::FileTimeFromUnixNs(entry->changeNs);
    data.ftLastAccessTime = kestrun::FileTimeFromUnixNs(entry->accessNs);
    data.ftLastWriteTime = kestrun::FileTimeFromUnixNs(entry->writeNs);
    data.nFileSizeHigh = static_cast<DWORD>(entry->length >> 32);
    data.nFileSizeLow = static_cast<DWORD>(entry->length & 0xFFFFFFFFu);
    // Names of this file system are at most 255 bytes.
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(entry->name.GetLength()),
                                                     sizeof(data.cFileName) - 1);
    std::memcpy(data.cFileName, entry->name.GetString(), length);
    return TRUE;
}
