#include "imaging/fileinformation.h"

#include "platform/core/folders.h"

#include <algorithm>
#include <cstring>
#include <map>

IMPLEMENT_DYNAMIC(CFileInformation, CObject)

CFileInformation::CFileInformation() : m_strDirectory("default.txt") {}

CFileInformation::CFileInformation(const WIN32_FIND_DATA& findData, const CString& strDirectory)
    : m_findData(findData), m_strDirectory(strDirectory)
{
}

ULONGLONG CFileInformation::GetFileSize() const
{
    return (static_cast<ULONGLONG>(m_findData.nFileSizeHigh) << 32) | m_findData.nFileSizeLow;
}

BOOL CFileInformation::HasAttribute(DWORD bit) const
{
    const DWORD attributes = m_findData.dwFileAttributes;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & bit) != 0 ? TRUE : FALSE;
}

BOOL CFileInformation::IsDirectory() const { return HasAttribute(FILE_ATTRIBUTE_DIRECTORY); }

BOOL CFileInformation::IsHidden() const { return HasAttribute(FILE_ATTRIBUTE_HIDDEN); }

BOOL CFileInformation::IsSystem() const { return HasAttribute(FILE_ATTRIBUTE_SYSTEM); }

BOOL CFileInformation::IsLink() const { return HasAttribute(FILE_ATTRIBUTE_REPARSE_POINT); }

BOOL CFileInformation::IsTemporary() const
{
    if (m_findData.dwFileAttributes != INVALID_FILE_ATTRIBUTES)
        if (m_findData.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY)
            return TRUE;
    CString name = GetFileName();
    name.MakeLower();
    return name.Left(1) == "~" || name.Find(".tmp") >= 0 || name.Find(".bak") >= 0 ? TRUE : FALSE;
}

BOOL CFileInformation::IsCurrentDir() const { return std::strcmp(m_findData.cFileName, ".") == 0 ? TRUE : FALSE; }

BOOL CFileInformation::IsParentDir() const { return std::strcmp(m_findData.cFileName, "..") == 0 ? TRUE : FALSE; }

BOOL CFileInformation::IsDots() const { return IsCurrentDir() || IsParentDir(); }

BOOL CFileInformation::IsNormalFile() const
{
    return !IsDirectory() && !IsDots() && !IsTemporary() && !IsHidden() && !IsSystem();
}

CString CFileInformation::JoinPath(const CString& strDirectory, const CString& strName)
{
    if (strDirectory.IsEmpty() || strDirectory.Right(1) == "/")
        return strDirectory + strName;
    return strDirectory + "/" + strName;
}

CString CFileInformation::GetFullPath() const { return JoinPath(m_strDirectory, GetFileName()); }

BOOL CFileInformation::SamePath(const CFileInformation& other) const
{
    return GetFullPath() == other.GetFullPath() ? TRUE : FALSE;
}

BOOL CFileInformation::SameSize(const CFileInformation& other) const
{
    return m_findData.nFileSizeHigh == other.m_findData.nFileSizeHigh &&
                   m_findData.nFileSizeLow == other.m_findData.nFileSizeLow
               ? TRUE
               : FALSE;
}

BOOL CFileInformation::SameLastWriteTime(const CFileInformation& other) const
{
    const FILETIME& a = m_findData.ftLastWriteTime;
    const FILETIME& b = other.m_findData.ftLastWriteTime;
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime ? TRUE : FALSE;
}

BOOL CFileInformation::SameAttributes(const CFileInformation& other) const
{
    return m_findData.dwFileAttributes == other.m_findData.dwFileAttributes ? TRUE : FALSE;
}

BOOL CFileInformation::IsSame(const CFileInformation& other) const
{
    return SamePath(other) && SameSize(other) && SameLastWriteTime(other) && SameAttributes(other);
}

int CFileInformation::ScanDirectory(const CString& strDirectory, CFileInfoList* pList)
{
    if (pList == nullptr)
        return 0;
    return ScanInto(strDirectory, *pList, 0);
}

int CFileInformation::ScanInto(const CString& strDirectory, CFileInfoList& list, int depth)
{
    CFileFind finder;
    if (!finder.FindFile(JoinPath(strDirectory, "*.*")))
        return static_cast<int>(list.size());
    for (BOOL more = TRUE; more;) {
        more = finder.FindNextFile();
        WIN32_FIND_DATA data;
        finder.GetFindData(data);
        CFileInformation record(data, strDirectory);
        if (record.IsDots())
            continue;
        if (record.IsDirectory()) {
            const CString folder = record.GetFullPath();
            list.push_back(std::move(record));
            // A link to a folder may lead back up the tree: it is not followed.
            if (!list.back().IsLink() && depth + 1 < kMaxScanDepth)
                ScanInto(folder, list, depth + 1);
        } else if (record.IsNormalFile()) {
            list.push_back(std::move(record));
        }
    }
    return static_cast<int>(list.size());
}

int CFileInformation::ClearFileList(CFileInfoList* pList)
{
    if (pList == nullptr || pList->empty())
        return 0;
    pList->clear();
    return 1;
}

int CFileInformation::CompareFileLists(const CFileInfoList* pBefore, const CFileInfoList* pAfter,
                                       CFileInformation* pOut)
{
    static const CFileInfoList none;
    const CFileInfoList& before = pBefore ? *pBefore : none;
    const CFileInfoList& after = pAfter ? *pAfter : none;
    const auto report = [pOut](const CFileInformation& record, int kind) {
        if (pOut)
            *pOut = record;
        return kind;
    };
    // The first record of one list without its same in the other.
    const auto unmatched = [](const CFileInfoList& from, const CFileInfoList& in) {
        return std::find_if(from.begin(), from.end(), [&in](const CFileInformation& record) {
            return std::none_of(in.begin(), in.end(), [&record](const CFileInformation& other) {
                return record.IsSame(other) != FALSE;
            });
        });
    };
    if (before.size() == after.size()) {
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i].IsDifferent(after[i]))
                return report(after[i], kChanged);
        }
        return kNoChange;
    }
    if (before.size() > after.size()) {
        const auto gone = unmatched(before, after);
        return gone == before.end() ? kNoChange : report(*gone, kDeleted);
    }
    const auto added = unmatched(after, before);
    return added == after.end() ? kNoChange : report(*added, kCreated);
}

std::vector<std::pair<CFileInformation, int>> CFileInformation::FindAllChanges(const CFileInfoList& before,
                                                                              const CFileInfoList& after)
{
    std::map<CString, const CFileInformation*> beforeByPath;
    for (const CFileInformation& record : before)
        beforeByPath.emplace(record.GetFullPath(), &record);
    std::map<CString, const CFileInformation*> afterByPath;
    for (const CFileInformation& record : after)
        afterByPath.emplace(record.GetFullPath(), &record);

    std::vector<std::pair<CFileInformation, int>> changes;
    for (const CFileInformation& record : before) {
        if (afterByPath.find(record.GetFullPath()) == afterByPath.end())
            changes.emplace_back(record, kDeleted);
    }
    for (const CFileInformation& record : after) {
        const auto old = beforeByPath.find(record.GetFullPath());
        if (old == beforeByPath.end())
            changes.emplace_back(record, kCreated);
        else if (record.IsDifferent(*old->second))
            changes.emplace_back(record, kChanged);
    }
    return changes;
}
