// The tray form's barcodes, settings, status lines and file names.
#include "database/traybarcode.h"
#include "database/trayoutput.h"
#include "database/traysettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace kestrun::tray;

namespace {

TEST(TrayBarcodes, EachTextStandsForOneThing)
{
    struct Case
    {
        const char* text;
        std::int64_t min;
        std::int64_t max;
        EBarcodeKind kind;
    };
    constexpr std::int64_t kMax = kDefaultMaxBarcode;
    const Case cases[] = {
        {"30/20", 1, kMax, EBarcodeKind::profile},
        {"55/35", 1, kMax, EBarcodeKind::profile},
        {"30_20", 1, kMax, EBarcodeKind::invalid},
        {"72", 1, kMax, EBarcodeKind::tray},
        {"480", 1, kMax, EBarcodeKind::tray},
        // A tray type and a batch win over a sample inside the range.
        {"72", 50, 100, EBarcodeKind::tray},
        {"1", 1, kMax, EBarcodeKind::batch},
        {"4", 1, kMax, EBarcodeKind::batch},
        {"04", 1, kMax, EBarcodeKind::batch},
        {"5", 1, kMax, EBarcodeKind::sample},
        {"0", 0, kMax, EBarcodeKind::sample},
        {"0", 1, kMax, EBarcodeKind::invalid},
        {"4294967295", 1, kMax, EBarcodeKind::sample},
        {"4294967296", 1, kMax, EBarcodeKind::invalid},
        {"99", 100, 200, EBarcodeKind::invalid},
        {"100", 100, 200, EBarcodeKind::sample},
        {"200", 100, 200, EBarcodeKind::sample},
        {"201", 100, 200, EBarcodeKind::invalid},
        // Text never reads as 0, whatever the range.
        {"ABC", -5, kMax, EBarcodeKind::invalid},
        {"12AB", 1, kMax, EBarcodeKind::invalid},
        {"2x", 1, kMax, EBarcodeKind::invalid},
        {"-7", -10, kMax, EBarcodeKind::invalid},
        {"+12", 1, kMax, EBarcodeKind::invalid},
        {" 12", 1, kMax, EBarcodeKind::invalid},
        {"../12", 1, kMax, EBarcodeKind::invalid},
        {"99999999999999999999999", 1, INT64_MAX, EBarcodeKind::invalid},
        {"", -5, kMax, EBarcodeKind::invalid},
    };
    for (const Case& c : cases) {
        const CBarcodeRules rules(c.min, c.max);
        EXPECT_EQ(rules.Classify(c.text), c.kind) << '"' << c.text << "\" in " << c.min << ".." << c.max;
    }
    EXPECT_EQ(CBarcodeRules::BatchOf("3"), 3);
    EXPECT_EQ(CBarcodeRules::BatchOf("5"), 0);
    EXPECT_EQ(CBarcodeRules::ProfileNameOf("30/20"), CString("30_20"));
}

class TraySettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("traysettings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_path = (m_dir / kSettingsFile).c_str();
    }
    void TearDown() override { fs::remove_all(m_dir); }
    void Write(const std::string& text) const { std::ofstream(m_path.GetString(), std::ios::binary) << text; }

    fs::path m_dir;
    CString m_path;
};

TEST_F(TraySettingsTest, MissingOrBadValuesTakeTheDefaults)
{
    struct Case
    {
        const char* text;
        std::int64_t min;
        std::int64_t max;
        const char* tray;
    };
    const Case cases[] = {
        {nullptr, 1, 4294967295LL, "72"},
        {"[BarCodeRange]\nMin=1000\nMax=2000\n[Tray]\nType=128\n", 1000, 2000, "128"},
        {"[BarCodeRange]\nMin=-3\nMax=9223372036854775807\n", -3, INT64_MAX, "72"},
        {"[BarCodeRange]\nMin=abc\nMax=99999999999999999999\n", 1, 4294967295LL, "72"},
        {"[BarCodeRange]\nMin=\nMax=12x\n[Tray]\nType=\n", 1, 4294967295LL, "72"},
        {"[Tray]\nType=../../etc\n", 1, 4294967295LL, "72"},
        {"[Tray]\nType=Petri 6\n", 1, 4294967295LL, "Petri 6"},
    };
    for (const Case& c : cases) {
        fs::remove(m_path.GetString());
        if (c.text)
            Write(c.text);
        const CTrayFormSettings settings = CTrayFormSettings::Read(m_path);
        EXPECT_EQ(settings.nMinBarcode, c.min) << (c.text ? c.text : "no file");
        EXPECT_EQ(settings.nMaxBarcode, c.max) << (c.text ? c.text : "no file");
        EXPECT_EQ(settings.strTray, CString(c.tray)) << (c.text ? c.text : "no file");
    }
}

TEST_F(TraySettingsTest, TheTrayTypeIsWrittenBackAndReadNextTime)
{
    Write("[BarCodeRange]\nMin=10\n");
    CTrayFormSettings::WriteTray(m_path, "264");
    const CTrayFormSettings settings = CTrayFormSettings::Read(m_path);
    EXPECT_EQ(settings.strTray, CString("264"));
    EXPECT_EQ(settings.nMinBarcode, 10);
}

// The tray-scan database form's keys.
TEST_F(TraySettingsTest, TrayScanListsAndLimits)
{
    struct Case
    {
        const char* text;
        std::vector<CString> types;
        int batch;
        int batchCount;
    };
    const std::vector<CString> builtIn = {"72", "128", "264", "480"};
    const Case cases[] = {
        {"[Tray]\nCount=11\nNumber1=96\n", builtIn, 1, 4},
        {"[Tray]\nCount=2\nNumber1=96\nNumber2=384\nNumber3=12\nBatch=3\n[Batch]\nCount=2\n",
         {"96", "384"}, 3, 2},
        {"[Tray]\nCount=2\nNumber1=../x\nBatch=7\n[Batch]\nCount=9\n", {"72"}, 1, 4},
        {"[Tray]\nCount=-1\nBatch=0\n", builtIn, 1, 4},
    };
    for (const Case& c : cases) {
        Write(c.text);
        const CTrayScanSettings settings = CTrayScanSettings::Read(m_path);
        EXPECT_EQ(settings.trayTypes, c.types) << c.text;
        EXPECT_EQ(settings.nBatch, c.batch) << c.text;
        EXPECT_EQ(settings.nBatchCount, c.batchCount) << c.text;
    }
    CTrayScanSettings::Write(m_path, "128", 2);
    const CTrayScanSettings written = CTrayScanSettings::Read(m_path);
    EXPECT_EQ(written.strTray, CString("128"));
    EXPECT_EQ(written.nBatch, 2);
}

TEST(TrayStatus, EveryCodeHasItsText)
{
    CTrayStatusValues values;
    values.nCount = 7;
    values.strProfile = "30/20";
    values.strTray = "128";
    values.nBatch = 3;
    values.strNextBarcode = "1234";
    const char* texts[] = {
        "Ready-Next Barcode:1234",    "Error: no barcode",         "Error: barcode not valid",
        "Error: not enough barcodes", "Error: no image available", "Error: writing image file",
        "Error: writing data file",   "Ready",                     "Measurement started",
        "Ready-Count: 7",             "Halvorn is going down",     "Profil:30/20",
        "Tray:128",                   "Batch:3",                   "Error: loading profile",
        "Error: loading tray",        "Error: loading batch",      "Error: writing side file",
    };
    for (int code = 0; code <= 17; ++code)
        EXPECT_EQ(TrayStatusText(code, values), CString(texts[code])) << code;
    EXPECT_EQ(TrayStatusText(18, values), CString());

    // "Ready" after a count names it; an empty queue says so.
    values.nPrevious = statusCounted;
    EXPECT_EQ(TrayStatusText(statusReady, values), CString("Ready-Count: 7-Next Barcode:1234"));
    values.strNextBarcode.Empty();
    EXPECT_EQ(TrayStatusText(statusReady, values), CString("Ready-Count: 7-No Barcode"));
    values.nPrevious = statusNoBarcode;
    EXPECT_EQ(TrayStatusText(statusReady, values), CString("Ready-No Barcode"));
}

TEST(TrayFileNames, APositionInTheSameSecondGetsItsNumber)
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    std::time_t now = std::mktime(&local);
    CTrayFileNamer namer([&now] { return now; });
    // Made in the second the form was: position 0 never gets a number.
    EXPECT_EQ(namer.Make("1001", 0), CString("20260304 090507 1001"));
    EXPECT_EQ(namer.Make("1002", 1), CString("20260304 090507-1 1002"));
    EXPECT_EQ(namer.Make("1003", 2), CString("20260304 090507-2 1003"));
    ++now;
    EXPECT_EQ(namer.Make("1004", 3), CString("20260304 090508 1004"));
    EXPECT_EQ(namer.Make("1005", 4), CString("20260304 090508-4 1005"));
}

TEST(TraySideFile, FiveLinesAsImportReadsThem)
{
    const fs::path path = fs::temp_directory_path() / "trayside_test.txt";
    std::ofstream(path) << "an older and much longer side file than the new one\n\n\n\n\n\n";
    const CSideFile side{"30_20", "20260304 090507 1001.jpg", "128", 2, 5};
    ASSERT_TRUE(WriteSideFile(path.c_str(), side));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Profile:30_20\nImage:20260304 090507 1001.jpg\nRaster:128\nBatch:2\nIndexAOI:5\n");
    fs::remove(path);

    // A folder in the way: no file, and false.
    const fs::path blocked = fs::temp_directory_path() / "trayside_blocked";
    fs::create_directories(blocked);
    EXPECT_FALSE(WriteSideFile(blocked.c_str(), side));
    fs::remove_all(blocked);
}

} // namespace
