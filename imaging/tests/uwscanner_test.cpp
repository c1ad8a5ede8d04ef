// The lid scanner over our simulated scanner library, a library without the
// video switch, and no library at all.

#include "imaging/tests/imagingtesting.h"

#include "imaging/uwscanner.h"

#include "analysis/ui/infodlgresources.h"
#include "analysis/ui/infodlgs.h"
#include "platform/core/profile.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace kestrun::testing {
namespace {

class UwScannerTest : public CImagingTest
{
protected:
    CString Folder() const { return m_folder.c_str(); }
    CString ShownError(const CUwScanner& scanner) const
    {
        CInfoDlg* window = scanner.GetInfoWindow();
        if (window == nullptr || window->GetSafeHwnd() == nullptr)
            return "<none>";
        CString shown;
        window->GetDlgItemText(kestrun::analysisui::IDC_INFO_TEXT, shown);
        return shown;
    }
};

TEST_F(UwScannerTest, WithoutTheLibraryEveryCallAnswersNotAvailableAndShowsNothing)
{
    CUwScanner scanner("uws_not_installed", Folder());
    scanner.Load();
    EXPECT_FALSE(scanner.IsLoaded());
    EXPECT_FALSE(scanner.SetScanner(1, 1, 0));
    EXPECT_FALSE(scanner.IsLidClosed(0));
    EXPECT_EQ(scanner.GetLidPosition(1), -1);
    EXPECT_FALSE(scanner.SelectVideo(1));
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(ShownError(scanner), "<none>");
}

TEST_F(UwScannerTest, TheDelayComesFromScannerIniAndIsWrittenBackOnlyAfterALoad)
{
    struct Case
    {
        const char* name;
        std::optional<int> stored;
        bool load;
        int delay;
        const char* written; // "" when no file is written
    };
    const Case cases[] = {
        {"no file", std::nullopt, true, 2000, "2000"},
        {"stored delay", 750, true, 750, "750"},
        {"never loaded", std::nullopt, false, 2000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path folder = m_folder / c.name;
        std::filesystem::create_directories(folder);
        const CString ini = (folder / "scanner.ini").c_str();
        if (c.stored)
            WritePrivateProfileString("Video", "Delay", FormatString("%d", *c.stored), ini);
        {
            CUwScanner scanner(KESTRUN_UWS_LIBRARY, folder.c_str());
            if (c.load)
                scanner.Load();
            EXPECT_EQ(scanner.GetDelay(), c.delay);
            EXPECT_EQ(scanner.GetIniPath(), c.load ? ini : CString());
        }
        if (*c.written == '\0') {
            EXPECT_FALSE(std::filesystem::exists(ini.GetString()));
            continue;
        }
        EXPECT_EQ(GetPrivateProfileString("Video", "Delay", "", ini), c.written);
    }
}

TEST_F(UwScannerTest, AMissingFunctionIsReportedOnceAndItsCallAnswersFalse)
{
    CUwScanner scanner(KESTRUN_UWS_NOVIDEO_LIBRARY, Folder());
    scanner.Load();
    scanner.Load(); // the library stays loaded: no second report
    ASSERT_TRUE(scanner.IsLoaded());
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Function VideoSelect not found"});
    EXPECT_FALSE(scanner.SelectVideo(1));
    EXPECT_EQ(ShownError(scanner), "<none>");
    // The functions that are there still work.
    EXPECT_TRUE(scanner.SetScanner(2, 1, 0));
    EXPECT_TRUE(scanner.IsLidClosed(1));
}

TEST_F(UwScannerTest, TheDeviceAnswersAndADeviceErrorAnswersFalseAfterTheInformationWindow)
{
    CUwScanner scanner(KESTRUN_UWS_LIBRARY, Folder());
    scanner.Load();
    ASSERT_TRUE(scanner.IsLoaded());
    EXPECT_TRUE(m_boxes->Texts().empty());

    struct Step
    {
        const char* name;
        std::function<BOOL()> call;
        BOOL result;
        const char* shown;
    };
    const Step steps[] = {
        {"output 1 on", [&] { return scanner.SetScanner(1, 1, 0); }, TRUE, "<none>"},
        {"lid of output 1 closed", [&] { return scanner.IsLidClosed(0); }, TRUE, "<none>"},
        {"lid of output 3 open", [&] { return scanner.IsLidClosed(2); }, FALSE, "<none>"},
        {"position closed", [&] { return BOOL(scanner.GetLidPosition(1) == 100); }, TRUE, "<none>"},
        {"output 1 off", [&] { return scanner.SetScanner(1, 0, 0); }, TRUE, "<none>"},
        {"lid of output 1 open", [&] { return scanner.IsLidClosed(0); }, FALSE, "<none>"},
        {"position open", [&] { return BOOL(scanner.GetLidPosition(1) == 0); }, TRUE, "<none>"},
        {"refused output", [&] { return scanner.SetScanner(4, 1, 0); }, FALSE, "Error Set Scanner:4"},
        {"input 2", [&] { return scanner.SelectVideo(2); }, TRUE, "Error Set Scanner:4"},
        {"refused input", [&] { return scanner.SelectVideo(0); }, FALSE, "Error VideoSelect Scanner:0"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        EXPECT_EQ(step.call(), step.result);
        EXPECT_EQ(ShownError(scanner), step.shown);
    }
    // Device errors go to the information window, never to a message box,
    // and the window closes itself when its time is over.
    EXPECT_TRUE(m_boxes->Texts().empty());
    ASSERT_NE(scanner.GetInfoWindow(), nullptr);
    EXPECT_NE(scanner.GetInfoWindow()->GetTimer(), 0U);
    scanner.GetInfoWindow()->SendMessage(WM_TIMER, CInfoDlg::kTimerId, 0);
    EXPECT_EQ(ShownError(scanner), "<none>");
}

} // namespace
} // namespace kestrun::testing
