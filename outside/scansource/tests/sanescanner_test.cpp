// Scans from SANE's test backend: the devices it lists, the page each mode
// gives, and the scans that must give no page.

#include "outside/scansource/sanescanner.h"
#include "outside/scansource/testing/sanetestbackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kestrun::testing {
namespace {

// 254 dpi over 10 x 20 mm: 100 x 200 pixels.
constexpr const char* kSmallPage = "resolution 254\ntl_x 0\ntl_y 0\nbr_x 10\nbr_y 20\n";
constexpr int kWidth = 100;
constexpr int kHeight = 200;

using SaneScannerTest = ::testing::Test;

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
        CSaneScanner scanner;
        scanner.SetMaxScanBytes(c.limit);
        CxImage page;
        ASSERT_TRUE(page.Create(3, 2, 8));
        CString error;
        int reads = 0;
        const bool scanned = scanner.Scan(c.device, page, error, [&] { return c.cancelAfter >= 0 && reads++ >= c.cancelAfter; });
        EXPECT_FALSE(scanned);
        EXPECT_EQ(page.GetWidth(), 3);
        EXPECT_EQ(page.GetHeight(), 2);
        EXPECT_GE(error.Find(c.device), 0) << error.GetString();
        EXPECT_GE(error.Find(c.reason), 0) << error.GetString();
    }
}

} // namespace
} // namespace kestrun::testing
