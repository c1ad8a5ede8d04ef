#include "objectmodel/toolfunctions.h"

#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/sync.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class CCallbackTarget : public CMessageTarget
{
public:
    explicit CCallbackTarget(std::function<void(UINT)> handler) : m_handler(std::move(handler)) {}
    LRESULT OnWindowMessage(UINT message, WPARAM, LPARAM) override
    {
        m_handler(message);
        return 0;
    }

private:
    std::function<void(UINT)> m_handler;
};

// A file name in the test's data root.
std::string DataFile(const char* name)
{
    return (std::filesystem::path(kestrun::DataFolder().str()) / name).string();
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<CString> Parts(const CStringArray& array)
{
    return std::vector<CString>(array.begin(), array.end());
}

} // namespace

TEST(WaitWithMessagesTest, TimeOutZeroAndSignalledEvent)
{
    CEvent event;
    EXPECT_EQ(WaitWithMessages(event, 0), 258);
    event.SetEvent();
    EXPECT_EQ(WaitWithMessages(event, 0), 0);
    // Auto-reset: the wait took the signal.
    EXPECT_EQ(WaitWithMessages(event, 0), 258);
}

TEST(WaitWithMessagesTest, DeliversMessagesWhileWaiting)
{
    CEvent event;
    std::vector<UINT> delivered;
    CCallbackTarget target([&](UINT message) {
        delivered.push_back(message);
        event.SetEvent();
    });
    const HWND hwnd = kestrun::CreateWindowHandle(&target);
    PostMessage(hwnd, WM_USER + 7);
    EXPECT_EQ(WaitWithMessages(event, INFINITE), 0);
    EXPECT_EQ(delivered, std::vector<UINT>{WM_USER + 7});
    kestrun::DestroyWindowHandle(hwnd);
}

TEST(WaitWithMessagesTest, EventSetByAWorker)
{
    CEvent event(FALSE, TRUE);
    std::thread worker([&] { event.SetEvent(); });
    EXPECT_EQ(WaitWithMessages(event, INFINITE), 0);
    worker.join();
}

TEST(ToolFunctionsTest, FileVersionOfTheProgramOnly)
{
    const CString version = GetFileVersionString();
    int parts[4] = {-1, -1, -1, -1};
    char rest = 0;
    ASSERT_EQ(std::sscanf(version, "%d.%d.%d.%d%c", &parts[0], &parts[1], &parts[2], &parts[3], &rest), 4) << version.GetString();
    for (const int part : parts)
        EXPECT_GE(part, 0);

    void* program = ::dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetFileVersionString(program), version);
    ::dlclose(program);

    const HMODULE library = LoadLibrary("kestrun_platform.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetFileVersionString(library), "");
    FreeLibrary(library);
}

TEST(ToolFunctionsTest, DiskFree)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    EXPECT_GE(GetDiskFreeMB(kestrun::DataFolder()), 0);
    EXPECT_TRUE(boxes->Texts().empty());

    const CString missing = kestrun::DataFolder() + "/no such folder/x";
    EXPECT_EQ(GetDiskFreeMB(missing), -1);
    const CString expected =
        FormatString("error: %lu:  could not get free space for \"%s\"\n", static_cast<unsigned long>(kestrun::ErrnoToWin32(ENOENT)), missing.GetString());
    EXPECT_EQ(boxes->Texts(), std::vector<CString>{expected});
}

TEST(ToolFunctionsTest, TrailingSeparators)
{
    struct Case
    {
        const char* path;
        const char* stripped;
        const char* added;
    };
    const Case cases[] = {
        {"C:\\data", "C:\\data", "C:\\data/"},
        {"C:\\data\\", "C:\\data", "C:\\data\\"},
        {"/srv/data", "/srv/data", "/srv/data/"},
        {"/srv/data/", "/srv/data", "/srv/data/"},
        {"/srv/data//", "/srv/data/", "/srv/data//"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StripTrailingBackslash(c.path), c.stripped) << c.path;
        EXPECT_EQ(AddTrailingBackslash(c.path), c.added) << c.path;
    }
}

TEST(ToolFunctionsTest, SplitModulePath)
{
    struct Case
    {
        const char* path;
        BOOL drive, folder, name;
        int ext;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\x\\prog.exe", TRUE, TRUE, FALSE, 0, "C:\\x\\"},
        {"C:\\x\\prog.exe", FALSE, FALSE, TRUE, 0, "prog"},
        {"C:\\x\\prog.exe", FALSE, FALSE, TRUE, 1, "prog.exe"},
        {"C:\\x\\prog.exe", TRUE, TRUE, TRUE, 2, "C:\\x\\prog"},
        {"C:\\x\\prog.exe", FALSE, TRUE, FALSE, 0, "\\x\\"},
        {"/srv/data/profile.v2.ini", TRUE, TRUE, TRUE, 0, "/srv/data/profile.v2"},
        {"/srv/data/profile.v2.ini", FALSE, FALSE, FALSE, 1, ".ini"},
        {"/srv/data.d/README", FALSE, TRUE, TRUE, 1, "/srv/data.d/README"},
        {"/srv/data.d/README", FALSE, FALSE, FALSE, 1, ""},
        {"name.txt", TRUE, TRUE, TRUE, 1, "name.txt"},
        {"", TRUE, TRUE, TRUE, 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitModulePath(c.path, c.drive, c.folder, c.name, c.ext), c.expected) << c.path << " " << c.expected;
}

TEST(ToolFunctionsTest, ModulePathParts)
{
    const CString full = kestrun::ModulePath();
    ASSERT_FALSE(full.IsEmpty());
    const CString folder = GetModulePathPart(1);
    const CString nameWithExtension = GetModulePathPart(3);
    EXPECT_EQ(folder, kestrun::ModuleFolder() + "/");
    EXPECT_EQ(folder + nameWithExtension, full);
    EXPECT_EQ(nameWithExtension, "objectmodel_tests");
    EXPECT_EQ(GetModulePathPart(2), "objectmodel_tests");
    EXPECT_EQ(GetModulePathPart(0), full);
}

TEST(ToolFunctionsTest, ProgramName)
{
    EXPECT_EQ(GetProgramName(), "kestrun");
    // The test program is not the program.
    EXPECT_FALSE(IsProgramRunning());
}

TEST(ToolFunctionsTest, IniValues)
{
    const std::string ini = DataFile("tools.ini");
    EXPECT_TRUE(WriteIniInt("Threshold", "Mode", -42, ini.c_str()));
    EXPECT_EQ(ReadIniString("Threshold", "Mode", "x", ini.c_str()), "-42");
    EXPECT_EQ(ReadIniString("Threshold", "Missing", "fallback", ini.c_str()), "fallback");

    // Values are cut to 199 bytes, never inside a character.
    const std::string ascii(300, 'a');
    WritePrivateProfileString("Long", "Ascii", ascii.c_str(), ini.c_str());
    EXPECT_EQ(ReadIniString("Long", "Ascii", "", ini.c_str()), CString(std::string(199, 'a')));
    const std::string umlauts = std::string(198, 'a') + "\xC3\xA4\xC3\xB6";
    WritePrivateProfileString("Long", "Umlauts", umlauts.c_str(), ini.c_str());
    EXPECT_EQ(ReadIniString("Long", "Umlauts", "", ini.c_str()), CString(std::string(198, 'a')));
}

TEST(ToolFunctionsTest, IndexColors)
{
    const COLORREF expected[] = {RGB(255, 0, 0),    RGB(0, 0, 255),    RGB(255, 0, 255),  RGB(0, 255, 255),
                                 RGB(128, 128, 0),  RGB(255, 64, 64),  RGB(64, 64, 255),  RGB(255, 64, 255),
                                 RGB(64, 128, 255), RGB(255, 128, 128), RGB(128, 128, 128)};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(GetIndexColor(i), expected[i]) << i;
    EXPECT_EQ(GetIndexColor(11), RGB(0, 0, 0));
    EXPECT_EQ(GetIndexColor(-1), RGB(0, 0, 0));
}

TEST(ToolFunctionsTest, Folders)
{
    EXPECT_EQ(GetCommonAppDataPath(), kestrun::DataFolder());
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_COMMON_APPDATA), kestrun::DataFolder());
    EXPECT_EQ(GetSpecialFolderPath(0x7F), "");
}

TEST(ToolFunctionsTest, ProfileDoubles)
{
    const CString previous = kestrun::ApplicationProfile();
    const std::string ini = DataFile("profile-doubles.ini");
    kestrun::SetApplicationProfile(ini.c_str());

    EXPECT_TRUE(WriteProfileDouble("ImageFilter", "KernelWidth", 2.5));
    EXPECT_NE(ReadText(ini).find("KernelWidth=2.500000"), std::string::npos) << ReadText(ini);
    EXPECT_EQ(GetProfileDouble("ImageFilter", "KernelWidth", 9.0), 2.5);
    EXPECT_TRUE(WriteProfileDouble("ImageFilter", "Negative", -0.125));
    EXPECT_EQ(GetProfileDouble("ImageFilter", "Negative", 9.0), -0.125);
    // The default goes through the same six-decimal text.
    EXPECT_EQ(GetProfileDouble("ImageFilter", "Missing", 0.1234567), 0.123457);
    WriteProfileString("ImageFilter", "Text", "  +3.5 mm");
    EXPECT_EQ(GetProfileDouble("ImageFilter", "Text", 9.0), 3.5);
    WriteProfileString("ImageFilter", "Garbage", "abc");
    EXPECT_EQ(GetProfileDouble("ImageFilter", "Garbage", 9.0), 0.0);

    kestrun::SetApplicationProfile(previous);
}

TEST(ToolFunctionsTest, SplitTokens)
{
    struct Case
    {
        const char* text;
        char separator;
        std::vector<CString> parts;
    };
    const Case cases[] = {
        {"12;34;;5", ';', {"12", "34", "5"}},
        {";7", ';', {";7"}},
        {"a,,b,", ',', {"a", "b"}},
        {";;7", ';', {";", "7"}},
        {"abc", ';', {"abc"}},
        {";", ';', {";"}},
        {"", ';', {}},
    };
    for (const Case& c : cases) {
        CStringArray parts;
        // Five old elements: overwritten, then cut to the number of parts.
        for (const char* old : {"v", "w", "x", "y", "z"})
            parts.Add(old);
        EXPECT_EQ(SplitTokens(c.text, c.separator, parts), static_cast<int>(c.parts.size())) << c.text;
        EXPECT_EQ(Parts(parts), c.parts) << c.text;

        CStringArray fresh;
        EXPECT_EQ(SplitTokens(c.text, c.separator, fresh), static_cast<int>(c.parts.size())) << c.text;
        EXPECT_EQ(Parts(fresh), c.parts) << c.text;
    }
}
