#pragma once
// CFileInformation: one entry of a folder snapshot - the find record and
// the folder that holds it - with the tests a folder watch makes on it. A
// snapshot (CFileInfoList) lists every ordinary file and folder below a
// folder, depth first, each folder's contents right after it.
//
// On this system paths compare exactly (case matters), join with '/', and
// hidden means a name with a leading dot. Links to folders are listed but
// not followed, and the scan goes at most kMaxScanDepth folders deep.

#include "platform/core/filefind.h"
#include "platform/core/object.h"

#include <utility>
#include <vector>

class CFileInformation;
using CFileInfoList = std::vector<CFileInformation>;

class CFileInformation : public CObject
{
    DECLARE_DYNAMIC(CFileInformation)

public:
    static constexpr int kMaxScanDepth = 64;

    // Change kinds of a comparison.
    enum
    {
        kNoChange = 0,
        kDeleted = 1,
        kCreated = 2,
        kChanged = 3,
    };

    // All zero, in the folder "default.txt".
    CFileInformation();
    CFileInformation(const WIN32_FIND_DATA& findData, const CString& strDirectory);
    CFileInformation(const CFileInformation&) = default;
    CFileInformation& operator=(const CFileInformation&) = default;

    void SetFindData(const WIN32_FIND_DATA& findData) { m_findData = findData; }
    WIN32_FIND_DATA GetFindData() const { return m_findData; }
    void ClearFindData() { m_findData = WIN32_FIND_DATA{}; }
    CString GetFileName() const { return m_findData.cFileName; }
    CString GetPath() const { return m_strDirectory; }
    void SetPath(const CString& strDirectory) { m_strDirectory = strDirectory; }
    DWORD GetAttributes() const { return m_findData.dwFileAttributes; }
    ULONGLONG GetFileSize() const;
    FILETIME GetLastWriteTime() const { return m_findData.ftLastWriteTime; }

    BOOL IsDirectory() const;
    BOOL IsHidden() const;
    BOOL IsSystem() const;
    // The temporary attribute, or a name that starts with '~' or holds
    // ".tmp" or ".bak" in any letter case.
    BOOL IsTemporary() const;
    BOOL IsCurrentDir() const;
    BOOL IsParentDir() const;
    BOOL IsDots() const;
    // A link (to a folder: not scanned into).
    BOOL IsLink() const;
    BOOL IsNormalFile() const;

    // The folder, a '/' unless it is empty or ends with one, the name.
    static CString JoinPath(const CString& strDirectory, const CString& strName);
    CString GetFullPath() const;

    BOOL SamePath(const CFileInformation& other) const;
    BOOL SameSize(const CFileInformation& other) const;
    BOOL SameLastWriteTime(const CFileInformation& other) const;
    BOOL SameAttributes(const CFileInformation& other) const;
    BOOL IsSame(const CFileInformation& other) const;
    BOOL IsDifferent(const CFileInformation& other) const { return !IsSame(other); }

    // Appends the folder's tree to the list; the list's count afterwards
    // (0, list unchanged, when the folder cannot be searched).
    static int ScanDirectory(const CString& strDirectory, CFileInfoList* pList);
    // 0 for a missing or empty list, else empties it and returns 1.
    static int ClearFileList(CFileInfoList* pList);
    // The first change from before to after: kDeleted, kCreated or
    // kChanged with its record copied to pOut, or kNoChange. The counts
    // choose between deleted and created; at equal counts the records are
    // compared position by position.
    static int CompareFileLists(const CFileInfoList* pBefore, const CFileInfoList* pAfter, CFileInformation* pOut);
    // Every change from before to after, matched by path: the deleted
    // records (in before's order), then the created and changed ones (in
    // after's order).
    static std::vector<std::pair<CFileInformation, int>> FindAllChanges(const CFileInfoList& before,
                                                                       const CFileInfoList& after);

private:
    static int ScanInto(const CString& strDirectory, CFileInfoList& list, int depth);
    BOOL HasAttribute(DWORD bit) const;

    WIN32_FIND_DATA m_findData;
    CString m_strDirectory;
};
