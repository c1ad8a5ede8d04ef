// Folder snapshots: which entries a scan lists, how records join and
// compare, and the changes between two snapshots.

#include "imaging/fileinformation.h"

#include "platform/core/folders.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

CFileInformation FileRecord(const char* folder, const char* name, DWORD size = 1, DWORD writeTime = 1,
                            DWORD attributes = FILE_ATTRIBUTE_ARCHIVE)
{
    WIN32_FIND_DATA data;
    data.dwFileAttributes = attributes;
    data.nFileSizeLow = size;
    data.ftLastWriteTime.dwLowDateTime = writeTime;
    std::snprintf(data.cFileName, sizeof(data.cFileName), "%s", name);
    return CFileInformation(data, folder);
}

std::vector<CString> FullPaths(const CFileInfoList& list, std::size_t skip)
{
    std::vector<CString> paths;
    for (std::size_t i = skip; i < list.size(); ++i)
        paths.push_back(list[i].GetFullPath());
    return paths;
}

TEST(FileInformationTest, RecordTests)
{
    const CFileInformation plain;
    EXPECT_EQ(plain.GetPath(), "default.txt");
    EXPECT_EQ(plain.GetFileSize(), 0u);

    struct Case
    {
        const char* name;
        DWORD attributes;
        bool temporary;
        bool normal;
    };
    const Case cases[] = {
        {"a.bmp", FILE_ATTRIBUTE_ARCHIVE, false, true},
        {"~a.bmp", FILE_ATTRIBUTE_ARCHIVE, true, false},
        {"a.TMP.jpg", FILE_ATTRIBUTE_ARCHIVE, true, false},
        {"copy.Bak", FILE_ATTRIBUTE_ARCHIVE, true, false},
        {"a.bmp", FILE_ATTRIBUTE_TEMPORARY, true, false},
        {".a.bmp", FILE_ATTRIBUTE_HIDDEN, false, false},
        {"a.bmp", FILE_ATTRIBUTE_SYSTEM, false, false},
        {"folder", FILE_ATTRIBUTE_DIRECTORY, false, false},
        {"..", FILE_ATTRIBUTE_DIRECTORY, false, false},
        // Invalid attributes set no bit.
        {"a.bmp", INVALID_FILE_ATTRIBUTES, false, true},
    };
    for (const Case& c : cases) {
        const CFileInformation record = FileRecord("/img", c.name, 1, 1, c.attributes);
        EXPECT_EQ(record.IsTemporary() != FALSE, c.temporary) << c.name << " " << c.attributes;
        EXPECT_EQ(record.IsNormalFile() != FALSE, c.normal) << c.name << " " << c.attributes;
    }
}

TEST(FileInformationTest, PathsJoinWithASlashAndCompareExactly)
{
    EXPECT_EQ(FileRecord("/img/", "a.bmp").GetFullPath(), "/img/a.bmp");
    EXPECT_EQ(FileRecord("/img", "a.bmp").GetFullPath(), "/img/a.bmp");
    EXPECT_EQ(FileRecord("", "a.bmp").GetFullPath(), "a.bmp");

    EXPECT_TRUE(FileRecord("/img", "a.bmp").IsSame(FileRecord("/img/", "a.bmp")));
    EXPECT_FALSE(FileRecord("/img", "A.bmp").IsSame(FileRecord("/img", "a.bmp")));
    EXPECT_FALSE(FileRecord("/Img", "a.bmp").SamePath(FileRecord("/img", "a.bmp")));
    EXPECT_TRUE(FileRecord("/img", "a.bmp", 1, 2).IsDifferent(FileRecord("/img", "a.bmp", 1, 3)));
    EXPECT_TRUE(FileRecord("/img", "a.bmp", 2, 1).IsDifferent(FileRecord("/img", "a.bmp", 1, 1)));
}

TEST(FileInformationTest, CompareFileListsFindsTheFirstChange)
{
    const CFileInformation a = FileRecord("/img", "a.bmp");
    const CFileInformation b = FileRecord("/img", "b.bmp");
    const CFileInformation c = FileRecord("/img", "c.bmp");
    const CFileInformation newB = FileRecord("/img", "b.bmp", 1, 99);
    const CFileInformation bigA = FileRecord("/img", "a.bmp", 7);
    struct Case
    {
        const char* what;
        CFileInfoList before;
        CFileInfoList after;
        int kind;
        CString path;
        bool newRecord;
    };
    const Case cases[] = {
        {"created", {a, b}, {a, b, c}, CFileInformation::kCreated, "/img/c.bmp", false},
        {"created into nothing", {}, {b, a}, CFileInformation::kCreated, "/img/b.bmp", false},
        {"deleted", {a, b, c}, {a, c}, CFileInformation::kDeleted, "/img/b.bmp", false},
        {"changed", {a, b}, {a, newB}, CFileInformation::kChanged, "/img/b.bmp", true},
        {"created and deleted: the first differing place", {a, b}, {a, c}, CFileInformation::kChanged,
         "/img/c.bmp", false},
        {"grown, another added: a longer list is a creation", {a, b}, {bigA, b, c}, CFileInformation::kCreated,
         "/img/a.bmp", false},
        {"nothing", {a, b}, {a, b}, CFileInformation::kNoChange, "default.txt", false},
        {"both empty", {}, {}, CFileInformation::kNoChange, "default.txt", false},
    };
    for (const Case& c : cases) {
        CFileInformation out;
        EXPECT_EQ(CFileInformation::CompareFileLists(&c.before, &c.after, &out), c.kind) << c.what;
        EXPECT_EQ(c.kind == 0 ? out.GetPath() : out.GetFullPath(), c.path) << c.what;
        if (c.newRecord) {
            EXPECT_TRUE(out.IsSame(newB)) << c.what;
        }
    }

    // Several files at once: every one is found, matched by path.
    const auto changes = CFileInformation::FindAllChanges({a, b, c}, {newB, c, FileRecord("/img", "d.bmp")});
    std::vector<std::pair<CString, int>> found;
    for (const auto& [record, kind] : changes)
        found.emplace_back(record.GetFullPath(), kind);
    EXPECT_EQ(found, (std::vector<std::pair<CString, int>>{{"/img/a.bmp", CFileInformation::kDeleted},
                                                            {"/img/b.bmp", CFileInformation::kChanged},
                                                            {"/img/d.bmp", CFileInformation::kCreated}}));
}

TEST(FileInformationTest, ScanListsFilesAndFoldersDepthFirstAndFollowsNoLinkedFolder)
{
    CScratchFolder scratch;
    const fs::path root = scratch.Path();
    for (const char* name : {"a.bmp", "B.bmp", "b.bmp", "~x.bmp", "a.TMP.jpg", ".hidden.bmp", ".dots/in.bmp",
                             "sub/c.bmp"}) {
        fs::create_directories((root / name).parent_path());
        std::ofstream(root / name) << name;
    }
    // A loop back to the top, and a link to a file, which counts as the file.
    fs::create_directory_symlink(root, root / "sub/loop");
    fs::create_symlink(root / "a.bmp", root / "sub/alias.bmp");

    CFileInfoList list;
    CFileInformation::ClearFileList(&list);
    list.push_back(CFileInformation());
    const CString top = root.c_str();
    EXPECT_EQ(CFileInformation::ScanDirectory(top, &list), 10);
    EXPECT_EQ(FullPaths(list, 1),
              (std::vector<CString>{top + "/.dots", top + "/.dots/in.bmp", top + "/B.bmp", top + "/a.bmp",
                                    top + "/b.bmp", top + "/sub", top + "/sub/alias.bmp", top + "/sub/c.bmp",
                                    top + "/sub/loop"}));
    EXPECT_TRUE(list[9].IsDirectory());
    EXPECT_TRUE(list[9].IsLink());

    EXPECT_EQ(CFileInformation::ScanDirectory(top + "/missing", &list), 10);
    EXPECT_EQ(CFileInformation::ClearFileList(&list), 1);
    EXPECT_EQ(CFileInformation::ClearFileList(&list), 0);
    EXPECT_EQ(CFileInformation::ClearFileList(nullptr), 0);
}

} // namespace
