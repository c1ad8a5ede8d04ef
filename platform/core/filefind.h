#pragma once
// CFileFind: the entries of one folder that match a wildcard pattern.
//
//   CFileFind finder;
//   BOOL more = finder.FindFile("images/*.bmp");
//   while (more) {
//       more = finder.FindNextFile(); // FALSE on the last entry, which is still valid
//       if (!finder.IsDots()) Use(finder.GetFilePath());
//   }
//
// Entries come sorted by name (byte order) and include "." and "..".
// A symbolic link shows its target (a dangling one itself) and carries
// FILE_ATTRIBUTE_REPARSE_POINT.

#include "platform/core/cstring.h"

#include <cstddef>
#include <ctime>
#include <vector>

// 100-nanosecond intervals since 1601-01-01 UTC, in two halves.
struct FILETIME
{
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

// One entry as the file search reports it.
struct WIN32_FIND_DATA
{
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwReserved0 = 0;
    DWORD dwReserved1 = 0;
    char cFileName[260] = {};
    char cAlternateFileName[14] = {};
};

namespace kestrun {

// Nanoseconds since 1970 (UTC) as a FILETIME.
FILETIME FileTimeFromUnixNs(LONGLONG ns);

// Whether name matches pattern: '*' any run, '?' any one character, ASCII
// letters without regard to case; "*.*" matches every name, also names
// without a dot.
bool MatchesWildcard(const char* name, const char* pattern);

} // namespace kestrun

class CFileFind
{
public:
    CFileFind() = default;
    virtual ~CFileFind() = default;

    // Lists the entries of the pattern's folder that match its last
    // component ("dir/*.bmp", "dir/*"); null means "*.*" in the current
    // folder. FALSE, with the thread's last error set, when the folder is
    // missing (ERROR_PATH_NOT_FOUND) or nothing matches (ERROR_FILE_NOT_FOUND).
    BOOL FindFile(LPCTSTR pattern = nullptr, DWORD flags = 0);
    // Makes the next entry current; FALSE when that entry is the last one
    // (it can still be read) or when none was left.
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    // The root, '/', the name.
    CString GetFilePath() const;
    // The name without its extension.
    CString GetFileTitle() const;
    // The absolute folder searched, without a final '/'.
    CString GetRoot() const { return m_root; }

    BOOL IsDirectory() const;
    BOOL IsDots() const;
    BOOL IsHidden() const;
    BOOL IsReadOnly() const;
    // Whether the current entry has any of the FILE_ATTRIBUTE_* bits of mask.
    BOOL MatchesMask(DWORD mask) const;
    ULONGLONG GetLength() const;
    BOOL GetLastWriteTime(std::time_t& time) const;
    // The current entry as a find record (the creation time is the last
    // status change: the file system keeps no birth time for us); FALSE
    // without a current entry.
    BOOL GetFindData(WIN32_FIND_DATA& data) const;

private:
    struct Entry
    {
        CString name;
        DWORD attributes = 0;
        ULONGLONG length = 0;
        std::time_t writeTime = 0;
        LONGLONG writeNs = 0;
        LONGLONG accessNs = 0;
        LONGLONG changeNs = 0;
    };

    const Entry* Current() const;

    CString m_root;
    std::vector<Entry> m_entries;
    std::size_t m_next = 0;
    bool m_hasCurrent = false;
};
