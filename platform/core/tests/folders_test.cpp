#include "platform/core/errors.h"
#include "platform/core/folders.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Sets or clears an environment variable for the life of the object.
class CScopedEnv
{
public:
    CScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~CScopedEnv()
    {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

TEST(FoldersTest, DataFolderFollowsTheEnvironment)
{
    struct Case
    {
        const char* root;
        const char* xdg;
        const char* expected;
    };
    const Case cases[] = {
        {"/data/root", "/xdg", "/data/root"},
        {"", "/xdg", "/xdg"},
        {nullptr, "/xdg", "/xdg"},
        {nullptr, "", "/home/tester/.local/share"},
        {nullptr, nullptr, "/home/tester/.local/share"},
    };
    const CScopedEnv home("HOME", "/home/tester");
    for (const Case& c : cases) {
        const CScopedEnv root("KESTRUN_DATA_ROOT", c.root);
        const CScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        EXPECT_EQ(kestrun::DataFolder(), c.expected) << (c.root ? c.root : "(unset)") << " " << (c.xdg ? c.xdg : "(unset)");
    }
    const CScopedEnv root("KESTRUN_DATA_ROOT", "/data/root");
    for (int csidl : {CSIDL_COMMON_APPDATA, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_APPDATA | CSIDL_FLAG_CREATE})
        EXPECT_EQ(kestrun::SpecialFolder(csidl), "/data/root") << csidl;
    EXPECT_EQ(kestrun::SpecialFolder(CSIDL_PERSONAL), "/home/tester");
    EXPECT_EQ(kestrun::SpecialFolder(0x7F), "");
}

TEST(FoldersTest, SpecialFolderPathFitsMaxPathAndCanBeCreated)
{
    const CScratchFolder scratch;
    const std::string data = scratch / "data/root";
    const CScopedEnv root("KESTRUN_DATA_ROOT", data.c_str());

    char path[MAX_PATH];
    EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_COMMON_APPDATA, FALSE));
    EXPECT_EQ(std::string(path), data);
    EXPECT_FALSE(std::filesystem::exists(data));
    EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_COMMON_APPDATA, TRUE));
    EXPECT_TRUE(std::filesystem::is_directory(data));

    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, 0x7F, FALSE));
    const std::string tooLong = "/" + std::string(MAX_PATH, 'x');
    const CScopedEnv longRoot("KESTRUN_DATA_ROOT", tooLong.c_str());
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, CSIDL_APPDATA, FALSE));
}

TEST(FoldersTest, FileAttributes)
{
    const CScratchFolder scratch;
    WriteBytes(scratch / "file.txt", "x");
    WriteBytes(scratch / "locked.txt", "x");
    ::chmod((scratch / "locked.txt").c_str(), 0444);
    WriteBytes(scratch / ".hidden", "x");
    std::filesystem::create_directory(scratch.Path() / "dir");

    struct Case
    {
        std::string path;
        DWORD attributes;
    };
    const Case cases[] = {
        {scratch / "dir", FILE_ATTRIBUTE_DIRECTORY},
        {scratch / "dir/", FILE_ATTRIBUTE_DIRECTORY},
        {scratch / "file.txt", FILE_ATTRIBUTE_ARCHIVE},
        {scratch / "locked.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {scratch / ".hidden", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
        {scratch / "dir\\..\\file.txt", FILE_ATTRIBUTE_ARCHIVE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetFileAttributes(c.path.c_str()), c.attributes) << c.path;

    SetLastError(0);
    EXPECT_EQ(GetFileAttributes((scratch / "missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FoldersTest, CreatingAndRemovingFolders)
{
    const CScratchFolder scratch;
    const std::string dir = scratch / "new";
    EXPECT_TRUE(CreateDirectory(dir.c_str()));
    SetLastError(0);
    EXPECT_FALSE(CreateDirectory(dir.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectory((scratch / "no/such").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    const std::string tree = scratch / "a\\b\\c";
    EXPECT_TRUE(kestrun::CreateFolderTree(tree.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "a/b/c"));
    EXPECT_TRUE(kestrun::CreateFolderTree(tree.c_str()));
    WriteBytes(scratch / "file", "x");
    EXPECT_FALSE(kestrun::CreateFolderTree((scratch / "file/sub").c_str()));

    EXPECT_FALSE(RemoveDirectory((scratch / "a").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(RemoveDirectory((scratch / "a/b/c").c_str()));
    EXPECT_FALSE(std::filesystem::exists(scratch / "a/b/c"));

    EXPECT_TRUE(DeleteFile((scratch / "file").c_str()));
    EXPECT_FALSE(DeleteFile((scratch / "file").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FoldersTest, CopyFileKeepsContentAndPermissionsAndHonoursFailIfExists)
{
    const CScratchFolder scratch;
    const std::string src = scratch / "src.bin";
    const std::string dst = scratch / "dst.bin";
    const std::string content("\0binary\r\n\xff", 10);
    WriteBytes(src, content);
    ::chmod(src.c_str(), 0640);

    EXPECT_TRUE(CopyFile(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(ReadBytes(dst), content);
    EXPECT_EQ(std::filesystem::status(dst).permissions(), std::filesystem::status(src).permissions());
    EXPECT_EQ(std::filesystem::last_write_time(dst), std::filesystem::last_write_time(src));

    WriteBytes(dst, "older");
    SetLastError(0);
    EXPECT_FALSE(CopyFile(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadBytes(dst), "older");
    EXPECT_TRUE(CopyFile(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(ReadBytes(dst), content);

    EXPECT_FALSE(CopyFile((scratch / "missing").c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CopyFile(src.c_str(), (scratch / "no/such/dst").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ReadBytes(dst), content);
    EXPECT_EQ(EntryCount(scratch.Path()), 2);
}

TEST(FoldersTest, MoveFileRenamesButDoesNotReplace)
{
    const CScratchFolder scratch;
    const std::string a = scratch / "a.txt";
    const std::string b = scratch / "b.txt";
    WriteBytes(a, "A");
    EXPECT_TRUE(MoveFile(a.c_str(), b.c_str()));
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_EQ(ReadBytes(b), "A");

    WriteBytes(a, "again");
    SetLastError(0);
    EXPECT_FALSE(MoveFile(a.c_str(), b.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ReadBytes(a), "again");
    EXPECT_EQ(ReadBytes(b), "A");
}

TEST(FoldersTest, TempPathAndModuleFileName)
{
    const CScopedEnv tmp("TMPDIR", "/var/tmp");
    char buffer[MAX_PATH];
    EXPECT_EQ(GetTempPath(sizeof buffer, buffer), 9u);
    EXPECT_STREQ(buffer, "/var/tmp/");
    EXPECT_EQ(GetTempPath(5, buffer), 10u); // the size needed, nothing written
    EXPECT_STREQ(buffer, "/var/tmp/");

    const CString program = kestrun::ModulePath();
    EXPECT_EQ(program.Mid(program.ReverseFind('/') + 1), "platform_core_tests");
    EXPECT_EQ(kestrun::ModuleFolder(), program.Left(program.ReverseFind('/')));
    EXPECT_EQ(GetModuleFileName(nullptr, buffer, sizeof buffer), static_cast<DWORD>(program.GetLength()));
    EXPECT_EQ(CString(buffer), program);

    char small[6];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileName(nullptr, small, sizeof small), 6u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(CString(small), program.Left(5));
}

class FileFindTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"a.bmp", "B.BMP", "c.txt", "noext", ".dotfile"})
            WriteBytes(m_scratch / name, name);
        std::filesystem::create_directory(m_scratch.Path() / "sub");
    }

    // Every name FindFile/FindNextFile walk through, in order.
    std::vector<std::string> Walk(const std::string& pattern)
    {
        std::vector<std::string> names;
        CFileFind finder;
        BOOL more = finder.FindFile(pattern.c_str());
        while (more) {
            more = finder.FindNextFile();
            names.push_back(finder.GetFileName().str());
        }
        return names;
    }

    CScratchFolder m_scratch;
};

TEST_F(FileFindTest, PatternsMatchLikeTheOriginalPlatform)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(Walk(m_scratch / "*.BMP"), (Names{"B.BMP", "a.bmp"}));
    EXPECT_EQ(Walk(m_scratch / "*.*"), (Names{".", "..", ".dotfile", "B.BMP", "a.bmp", "c.txt", "noext", "sub"}));
    EXPECT_EQ(Walk(m_scratch / "*"), Walk(m_scratch / "*.*"));
    EXPECT_EQ(Walk(m_scratch / "?.txt"), (Names{"c.txt"}));
    EXPECT_EQ(Walk(m_scratch / "NOEXT"), (Names{"noext"}));
    EXPECT_EQ(Walk(m_scratch / "sub\\*.*"), (Names{".", ".."}));
}

TEST(WildcardTest, NamesAgainstPatterns)
{
    struct Case
    {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"noext", "*.*", true},     {"a.b.c", "*.c", true},     {"abc", "a*c", true},   {"ac", "a*c", true},
        {"abcd", "a*c", false},     {"Image01.TIF", "image??.tif", true}, {"image1.tif", "image??.tif", false},
        {"x.bmp", "*.bmp*", true},  {"a", "", false},            {"", "*", true},        {"abab", "*ab", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kestrun::MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST_F(FileFindTest, NextFileReportsTheLastEntryWhichStaysReadable)
{
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((m_scratch / "*.bmp").c_str()));
    EXPECT_TRUE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "B.BMP");
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "a.bmp");
    EXPECT_EQ(finder.GetFilePath(), CString((m_scratch / "a.bmp").c_str()));
    EXPECT_EQ(finder.GetRoot(), CString(m_scratch.Path().c_str()));
    EXPECT_EQ(finder.GetFileTitle(), "a");
    EXPECT_EQ(finder.GetLength(), 5u);
    std::time_t written = 0;
    EXPECT_TRUE(finder.GetLastWriteTime(written));
    EXPECT_GT(written, 0);
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
}

TEST_F(FileFindTest, EntryKinds)
{
    ::chmod((m_scratch / "c.txt").c_str(), 0444);
    struct Kind
    {
        bool dots, directory, hidden, readOnly;
        bool operator==(const Kind&) const = default;
    };
    std::map<std::string, Kind> kinds;
    CFileFind finder;
    BOOL more = finder.FindFile((m_scratch / "*").c_str());
    while (more) {
        more = finder.FindNextFile();
        kinds[finder.GetFileName().str()] = {!!finder.IsDots(), !!finder.IsDirectory(), !!finder.IsHidden(),
                                             !!finder.IsReadOnly()};
    }
    EXPECT_EQ(kinds["."], (Kind{true, true, false, false}));
    EXPECT_EQ(kinds[".."], (Kind{true, true, false, false}));
    EXPECT_EQ(kinds["sub"], (Kind{false, true, false, false}));
    EXPECT_EQ(kinds[".dotfile"], (Kind{false, false, true, false}));
    EXPECT_EQ(kinds["c.txt"], (Kind{false, false, false, true}));
    EXPECT_EQ(kinds["a.bmp"], (Kind{false, false, false, false}));
}

TEST_F(FileFindTest, NothingFoundSetsTheLastError)
{
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile((m_scratch / "*.jpg").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(finder.FindFile((m_scratch / "missing/*.*").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), "");
}

} // namespace
