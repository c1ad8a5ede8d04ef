#include "platform/core/errors.h"
#include "platform/core/profile.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

class ProfileTest : public ::testing::Test
{
protected:
    // Writes the ini file and returns its content.
    std::string Ini(const std::string& content)
    {
        WriteBytes(m_ini, content);
        return content;
    }
    CString Read(const char* section, const char* key, const char* def = "<def>")
    {
        return GetPrivateProfileString(section, key, def, m_ini.c_str());
    }
    BOOL Write(const char* section, const char* key, const char* value)
    {
        return WritePrivateProfileString(section, key, value, m_ini.c_str());
    }
    std::string Content() const { return ReadBytes(m_ini); }

    CScratchFolder m_folder;
    std::string m_ini = m_folder / "settings.ini";
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Read("S", "k"), "<def>");
    EXPECT_EQ(Read("S", "k", nullptr), "");
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("S", "k", -3, m_ini.c_str())), -3);

    Ini("[Other]\nk=1\n[S]\nj=2\n");
    EXPECT_EQ(Read("Missing", "k"), "<def>");
    EXPECT_EQ(Read("S", "k"), "<def>");
    EXPECT_EQ(GetPrivateProfileInt("S", "k", 9, m_ini.c_str()), 9u);
    // A present but empty value is not missing.
    Ini("[S]\nk=\n");
    EXPECT_EQ(Read("S", "k"), "");
}

TEST_F(ProfileTest, WritesCreateTheFileAndReadBack)
{
    ASSERT_TRUE(Write("Camera", "Gain", "12"));
    ASSERT_TRUE(Write("Camera", "Mode", "live"));
    ASSERT_TRUE(Write("Paths", "Export", "a b"));
    ASSERT_TRUE(Write("Camera", "Gain", "13"));
    EXPECT_EQ(Content(), "[Camera]\nGain=13\nMode=live\n[Paths]\nExport=a b\n");
    EXPECT_EQ(Read("Camera", "Gain"), "13");
    EXPECT_EQ(GetPrivateProfileInt("Camera", "Gain", 0, m_ini.c_str()), 13u);
}

TEST_F(ProfileTest, NamesMatchWithoutRegardToCaseAndTheFirstOccurrenceWins)
{
    Ini("[Setup]\nWidth=1\nwidth=2\n[SETUP]\nHeight=3\n");
    EXPECT_EQ(Read("setup", "WIDTH"), "1");
    EXPECT_EQ(Read(" Setup ", " width "), "1");
    EXPECT_EQ(Read("Setup", "Height"), "<def>");

    ASSERT_TRUE(Write("sEtUp", "WIDTH", "7"));
    EXPECT_EQ(Content(), "[Setup]\nWidth=7\nwidth=2\n[SETUP]\nHeight=3\n");
}

TEST_F(ProfileTest, ValuesAreTrimmedAndUnquoted)
{
    struct Case
    {
        const char* line;
        const char* value;
    };
    const Case cases[] = {
        {"a = b = c", "b = c"},
        {"a=  spaced  value\t", "spaced  value"},
        {"a=\"  kept  \"", "  kept  "},
        {"a='single'", "single"},
        {"a=\"\"twice\"\"", "\"twice\""},
        {"a=\"mixed'", "\"mixed'"},
        {"a=\"", "\""},
        {"a", ""},
    };
    for (const Case& c : cases) {
        Ini(std::string("[S]\n") + c.line + "\n");
        EXPECT_EQ(Read("S", "a"), c.value) << c.line;
    }
}

TEST_F(ProfileTest, RewriteKeepsEveryOtherLineByteForByte)
{
    const std::string before = "\xEF\xBB\xBF; settings\r\n"
                               "stray line before any section\r\n"
                               "\r\n"
                               "[A]\r\n"
                               "  x = 1 ; not a comment\r\n"
                               "; comment in A\r\n"
                               "y=\"q\"\r\n"
                               "\r\n"
                               "; leads into B\r\n"
                               "[B]\r\n"
                               "z=3"; // no final line end
    Ini(before);

    ASSERT_TRUE(Write("A", "y", "new"));
    std::string expected = before;
    expected.replace(expected.find("y=\"q\""), 5, "y=new");
    EXPECT_EQ(Content(), expected);

    // A new key goes after the section's last entry, a new section at the
    // end, both with the file's line ends.
    ASSERT_TRUE(Write("A", "w", "4"));
    ASSERT_TRUE(Write("C", "v", "5"));
    expected.replace(expected.find("y=new\r\n") + 7, 0, "w=4\r\n");
    expected += "\r\n[C]\r\nv=5\r\n";
    EXPECT_EQ(Content(), expected);
    EXPECT_EQ(Read("A", "x"), "1 ; not a comment");
}

// A lone carriage return ends a line as "\n" and "\r\n" do; writes keep it.
TEST_F(ProfileTest, LinesEndingInALoneCarriageReturnKeepTheirKeys)
{
    struct Case
    {
        const char* before;
        const char* after; // after writing S/j and W/n
    };
    const Case cases[] = {
        {"[S]\rk=1\r[T]\rm=2\r", "[S]\rk=1\rj=4\n[T]\rm=2\r[W]\nn=3\n"},
        {"[S]\r\nk=1\r[T]\r\nm=2\r", "[S]\r\nk=1\rj=4\r\n[T]\r\nm=2\r[W]\r\nn=3\r\n"},
        {"[S]\nk=1\r\r\n[T]\nm=2", "[S]\nk=1\rj=4\n\r\n[T]\nm=2\n[W]\nn=3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.before)));
        Ini(c.before);
        EXPECT_EQ(Read("S", "k"), "1");
        EXPECT_EQ(Read("T", "m"), "2");
        ASSERT_TRUE(Write("S", "j", "4"));
        ASSERT_TRUE(Write("W", "n", "3"));
        EXPECT_EQ(Read("S", "k"), "1");
        EXPECT_EQ(Read("S", "j"), "4");
        EXPECT_EQ(Read("T", "m"), "2");
        EXPECT_EQ(Content(), c.after);
    }
}

TEST_F(ProfileTest, DeletesKeysAndSections)
{
    Ini("[A]\nk=1\nj=2\nk=3\n; a\n[B]\nk=4\n[a]\nk=5\n");
    ASSERT_TRUE(Write("A", "K", nullptr));
    EXPECT_EQ(Content(), "[A]\nj=2\n; a\n[B]\nk=4\n[a]\nk=5\n");
    // Every section of the name goes, with its comments.
    ASSERT_TRUE(Write("a", nullptr, nullptr));
    EXPECT_EQ(Content(), "[B]\nk=4\n");
    EXPECT_EQ(Read("A", "j"), "<def>");

    // Deleting what is not there changes nothing and creates no file.
    const std::string other = m_folder / "none.ini";
    EXPECT_TRUE(WritePrivateProfileString("S", "k", nullptr, other.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("S", nullptr, nullptr, other.c_str()));
    EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(ProfileTest, ListsKeysAndSectionsAsNulSeparatedNames)
{
    Ini("[One]\nb=1\na=2\nB=3\n[Two]\n[one]\nc=4\n");
    char buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(GetPrivateProfileString("one", nullptr, "", buffer, sizeof buffer, m_ini.c_str()), 4u);
    EXPECT_EQ(std::string(buffer, 5), std::string("b\0a\0\0", 5));

    EXPECT_EQ(GetPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, m_ini.c_str()), 8u);
    EXPECT_EQ(std::string(buffer, 9), std::string("One\0Two\0\0", 9));

    // A list that does not fit is cut and still ends in two NULs.
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(GetPrivateProfileString(nullptr, nullptr, "", buffer, 6, m_ini.c_str()), 4u);
    EXPECT_EQ(std::string(buffer, 6), std::string("One\0\0\0", 6));

    // No section: an empty list.
    EXPECT_EQ(GetPrivateProfileString("Nope", nullptr, "def", buffer, sizeof buffer, m_ini.c_str()), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(ProfileTest, ValueIsCutToTheBuffer)
{
    Ini("[S]\nk=abcdef\n");
    char buffer[4];
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", buffer, sizeof buffer, m_ini.c_str()), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(GetPrivateProfileString("S", "none", "zz", buffer, sizeof buffer, m_ini.c_str()), 2u);
    EXPECT_STREQ(buffer, "zz");
}

TEST_F(ProfileTest, IntegerParsing)
{
    struct Case
    {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"12", 12}, {" -7", -7}, {"+5", 5}, {"3abc", 3}, {"abc", 0}, {"", 0}, {"-", 0}, {"\"42\"", 42}, {"0x10", 0},
    };
    for (const Case& c : cases) {
        Ini(std::string("[S]\nn=") + c.value + "\n");
        EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("S", "n", 99, m_ini.c_str())), c.expected) << '"' << c.value << '"';
    }
}

TEST_F(ProfileTest, BackslashPathsAreNative)
{
    std::filesystem::create_directory(m_folder.Path() / "sub");
    std::string windowsStyle = m_folder / "sub\\x.ini";
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", windowsStyle.c_str()));
    EXPECT_EQ(ReadBytes(m_folder / "sub/x.ini"), "[S]\nk=v\n");
}

TEST_F(ProfileTest, TextThatWouldBreakTheFileIsRefused)
{
    const std::string before = Ini("[S]\nk=1\n");
    const char* bad[][3] = {{"S", "k", "two\nlines"}, {"S", "a=b", "1"}, {"S]", "k", "1"}, {"S", "", "1"}, {"S", ";k", "1"}};
    for (const auto& b : bad) {
        SetLastError(0);
        EXPECT_FALSE(Write(b[0], b[1], b[2])) << b[0] << " " << b[1];
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(Content(), before);
}

TEST_F(ProfileTest, WriteWhereTheFolderIsAFileFailsAndChangesNothing)
{
    const std::string blocker = m_folder / "plain.txt";
    WriteBytes(blocker, "not a folder");
    const std::string target = blocker + "/settings.ini";
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", target.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ReadBytes(blocker), "not a folder");

    // A missing folder is not created.
    const std::string deep = m_folder / "missing/settings.ini";
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", deep.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(EntryCount(m_folder.Path()), 1);
}

TEST_F(ProfileTest, WriteOverAFolderFailsAndLeavesNoTemporary)
{
    std::filesystem::create_directory(m_ini);
    WriteBytes(m_ini + "/inside", "kept");
    SetLastError(0);
    EXPECT_FALSE(Write("S", "k", "v"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadBytes(m_ini + "/inside"), "kept");
    EXPECT_EQ(EntryCount(m_folder.Path()), 1);
}

// Limits the size of files this process may write, for the life of the object.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(ProfileTest, WriteFailingHalfwayKeepsTheOldFile)
{
    const std::string before = Ini("; keep me\n[S]\nk=1\n");
    const std::string huge(4096, 'x');
    {
        const CFileSizeLimit limit(1024);
        SetLastError(0);
        EXPECT_FALSE(Write("S", "k", huge.c_str()));
    }
    EXPECT_EQ(GetLastError(), ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(Content(), before);
    EXPECT_EQ(EntryCount(m_folder.Path()), 1);
}

TEST_F(ProfileTest, ConcurrentWritersLoseNoUpdate)
{
    constexpr int threads = 6;
    constexpr int keysEach = 15;
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t) {
        writers.emplace_back([this, t] {
            for (int k = 0; k < keysEach; ++k) {
                const std::string key = "k" + std::to_string(t) + "_" + std::to_string(k);
                WritePrivateProfileString(t % 2 ? "Odd" : "Even", key.c_str(), std::to_string(k).c_str(), m_ini.c_str());
            }
        });
    }
    for (std::thread& w : writers)
        w.join();
    for (int t = 0; t < threads; ++t)
        for (int k = 0; k < keysEach; ++k) {
            const std::string key = "k" + std::to_string(t) + "_" + std::to_string(k);
            EXPECT_EQ(static_cast<int>(GetPrivateProfileInt(t % 2 ? "Odd" : "Even", key.c_str(), -1, m_ini.c_str())), k) << key;
        }
}

TEST_F(ProfileTest, ApplicationProfileGoesToTheFileSet)
{
    kestrun::SetApplicationProfile("");
    EXPECT_EQ(GetProfileString("S", "k", "d"), "d");
    EXPECT_EQ(GetProfileInt("S", "n", 5), 5u);
    EXPECT_FALSE(WriteProfileString("S", "k", "v"));

    kestrun::SetApplicationProfile(m_ini.c_str());
    EXPECT_EQ(kestrun::ApplicationProfile(), CString(m_ini.c_str()));
    EXPECT_TRUE(WriteProfileString("S", "k", "v"));
    EXPECT_TRUE(WriteProfileInt("S", "n", -12));
    EXPECT_EQ(GetProfileString("S", "k"), "v");
    EXPECT_EQ(static_cast<int>(GetProfileInt("S", "n", 0)), -12);
    EXPECT_EQ(Content(), "[S]\nk=v\nn=-12\n");
    kestrun::SetApplicationProfile("");
}

} // namespace
