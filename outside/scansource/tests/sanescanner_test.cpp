// Scans from SANE's test backend: the devices it lists, the page each mode
// gives, and the scans that must give no page.

#include "outside/scansource/sanescanner.h"
#include "outside/scansource/testing/sanetestbackend.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

namespace kestrun::testing {
namespace {

// 254 dpi over 10 x 20 mm: 100 x 200 pixels.
constexpr const char* kSmallPage = "resolution 254\ntl_x 0\ntl_y 0\nbr_x 10\nbr_y 20\n";
constexpr int kWidth = 100;
constexpr int kHeight = 200;

using SaneScannerTest = ::testing::Test;

struct CScanOutcome
{
    bool scanned = false;
    int width = 0;
    int height = 0;
    std::string error;
};

// A scan that ends early makes the test backend cancel its reader thread
// asynchronously, which can leave a lock of the C library or of the
// sanitizer held for the rest of the process (seen as a hang at exit).
// Such scans run in a child process that reports through a pipe and ends
// with _exit.
CScanOutcome ScanInChild(const std::function<CScanOutcome()>& scan)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {false, 0, 0, "no pipe"};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const CScanOutcome outcome = scan();
        std::ostringstream text;
        text << outcome.scanned << ' ' << outcome.width << ' ' << outcome.height << ' ' << outcome.error;
        const std::string bytes = text.str();
        [[maybe_unused]] const ssize_t written = write(fds[1], bytes.data(), bytes.size());
        _exit(0);
    }
    close(fds[1]);
    std::string bytes;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    CScanOutcome outcome;
    std::istringstream text(bytes);
    text >> outcome.scanned >> outcome.width >> outcome.height;
    std::getline(text >> std::ws, outcome.error);
    return outcome;
}

TEST_F(SaneScannerTest, ListsTheTestBackendsDevices)
{
    CScopedSaneTestBackend backend("number_of_devices 2");
    CSaneScanner scanner;
    ASSERT_TRUE(scanner.IsReady());
    const std::vector<CSaneDeviceInfo> devices = scanner.Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_EQ(devices[1].name, "test:1");
}

TEST_F(SaneScannerTest, EveryModeGivesAnEightBitOrColourPageOfTheScannedSize)
{
    struct Case
    {
        const char* name;
        const char* options;
        int bpp;
        BYTE value; // every byte of the page
    };
    const Case cases[] = {
        {"grey", "mode Gray\ndepth 8\ntest-picture \"Solid black\"", 8, 0},
        {"lineart black", "mode Gray\ndepth 1\ntest-picture \"Solid black\"", 8, 0},
        {"lineart white", "mode Gray\ndepth 1\ntest-picture \"Solid white\"", 8, 255},
        {"16-bit grey", "mode Gray\ndepth 16\ntest-picture \"Solid white\"", 8, 255},
        {"colour", "mode Color\ndepth 8\ntest-picture \"Solid white\"", 24, 255},
        {"16-bit colour", "mode Color\ndepth 16\ntest-picture \"Solid white\"", 24, 255},
        {"three passes", "mode Color\ndepth 8\nthree-pass true\ntest-picture \"Solid white\"", 24, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScopedSaneTestBackend backend(std::string(kSmallPage) + c.options);
        CSaneScanner scanner;
        CxImage page;
        CString error;
        ASSERT_TRUE(scanner.Scan("test:0", page, error)) << error.GetString();
        EXPECT_EQ(page.GetBpp(), c.bpp);
        EXPECT_EQ(page.GetWidth(), kWidth);
        EXPECT_EQ(page.GetHeight(), kHeight);
        EXPECT_EQ(page.GetYRes(), 254);
        int wrong = 0;
        for (int y = 0; y < page.GetHeight(); ++y) {
            for (BYTE b : page.GetRow(y))
                wrong += b != c.value;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(SaneScannerTest, SixteenBitSamplesKeepTheirHighByte)
{
    // Past its 4-pixel border the backend's 16-bit grey pattern rises by
    // 256 a pixel: one step of the high byte, none of the low one.
    CScopedSaneTestBackend backend(std::string(kSmallPage) + "mode Gray\ndepth 16\ntest-picture \"Color pattern\"");
    CSaneScanner scanner;
    CxImage page;
    CString error;
    ASSERT_TRUE(scanner.Scan("test:0", page, error)) << error.GetString();
    const std::span<const BYTE> row = std::as_const(page).GetRow(kHeight / 2);
    int steps = 0;
    for (std::size_t x = 4; x + 1 < row.size(); ++x)
        steps += row[x + 1] == row[x] + 1;
    EXPECT_EQ(steps, kWidth - 5);
}

TEST_F(SaneScannerTest, AScanOfUnknownLengthIsReadToItsEnd)
{
    CScopedSaneTestBackend backend(std::string(kSmallPage) + "mode Gray\ndepth 8\nhand-scanner true");
    CSaneScanner scanner;
    CxImage page;
    CString error;
    ASSERT_TRUE(scanner.Scan("test:0", page, error)) << error.GetString();
    // The backend's hand-scanner is 11 cm wide and says nothing of its length.
    EXPECT_EQ(page.GetWidth(), 1100);
    EXPECT_GT(page.GetHeight(), 0);
}

TEST_F(SaneScannerTest, AFailedScanGivesNoPageAndSaysWhichDevice)
{
    struct Case
    {
        const char* name;
        const char* options;
        const char* device;
        std::size_t limit;
        int cancelAfter; // reads before the user cancels; -1 never
        const char* reason;
    };
    const Case cases[] = {
        {"vanished device", "", "test:7", CSaneScanner::kMaxScanBytes, -1, "cannot be opened"},
        {"device error", "read-status-code \"SANE_STATUS_IO_ERROR\"", "test:0", CSaneScanner::kMaxScanBytes, -1,
         "the scan failed"},
        {"cancelled by the device", "read-status-code \"SANE_STATUS_CANCELLED\"", "test:0",
         CSaneScanner::kMaxScanBytes, -1, "cancelled"},
        {"cancelled midway", "read-limit true\nread-limit-size 1000", "test:0", CSaneScanner::kMaxScanBytes, 3,
         "cancelled"},
        {"too large", "hand-scanner true", "test:0", 5000, -1, "larger than"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScopedSaneTestBackend backend(std::string(kSmallPage) + "mode Gray\ndepth 8\n" + c.options);
        const CScanOutcome outcome = ScanInChild([&c] {
            CSaneScanner scanner;
            scanner.SetMaxScanBytes(c.limit);
            CxImage page;
            if (!page.Create(3, 2, 8))
                return CScanOutcome{true, 0, 0, "no page"};
            CString error;
            int reads = 0;
            const bool scanned = scanner.Scan(c.device, page, error,
                                              [&] { return c.cancelAfter >= 0 && reads++ >= c.cancelAfter; });
            return CScanOutcome{scanned, page.GetWidth(), page.GetHeight(), error.GetString()};
        });
        EXPECT_FALSE(outcome.scanned);
        EXPECT_EQ(outcome.width, 3);
        EXPECT_EQ(outcome.height, 2);
        EXPECT_NE(outcome.error.find(c.device), std::string::npos) << outcome.error;
        EXPECT_NE(outcome.error.find(c.reason), std::string::npos) << outcome.error;
    }
}

} // namespace
} // namespace kestrun::testing
