// The camera settings and the profile file "Pavick.xml", over the simulated
// camera: what is sent, what is stored, what a damaged file leaves.

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"
#include "cameraplugins/powershot/tests/pavicktesting.h"

#include "outside/prsdk/prsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace kestrun;
using namespace kestrun::camplugin;
using namespace kestrun::pavick;
using kestrun::prsdk::CPropertyWrite;
using kestrun::prsdk::PrsdkSimulator;

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string GoldenFile()
{
    return std::string(KESTRUN_PAVICK_GOLDEN_DIR) + "/Pavick.xml";
}

std::vector<CString> Names(CCameraProfiles& profiles)
{
    std::vector<CString> names;
    for (POSITION pos = profiles.GetStartPosition(); pos != nullptr;)
        names.push_back(profiles.GetNextProfileName(pos));
    return names;
}

class PavickSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetManualFrames(true);
        m_module = ::LoadLibrary("Pavick.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_getString = reinterpret_cast<PFN_GetParameterString>(::GetProcAddress(m_module, kExportGetParameterString));
        m_setString = reinterpret_cast<PFN_SetParameterString>(::GetProcAddress(m_module, kExportSetParameterString));
        m_getParameter = reinterpret_cast<PFN_GetParameter>(::GetProcAddress(m_module, kExportGetParameter));
        ASSERT_TRUE(m_getString && m_setString && m_getParameter);
        PavickApp().SetReportToWindow(0);
        pavick::testing::ResetProfiles();
    }
    void TearDown() override
    {
        if (FGPavick().IsConnected())
            FGPavick().Exit();
        PrsdkSimulator().Reset();
        ::FreeLibrary(m_module);
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    HMODULE m_module = nullptr;
    PFN_GetParameterString m_getString = nullptr;
    PFN_SetParameterString m_setString = nullptr;
    PFN_GetParameter m_getParameter = nullptr;
};

TEST_F(PavickSettingsTest, GoldenFileRoundTrips)
{
    CCameraProfiles profiles;
    profiles.m_strFilePath = GoldenFile().c_str();
    ASSERT_TRUE(profiles.SerializeFile(true));
    EXPECT_EQ(profiles.m_strCurrentName, "Bright");
    EXPECT_EQ(profiles.Current().m_nImageSize, 3);
    EXPECT_EQ(profiles.Current().m_nAFField, 0x1001);
    EXPECT_EQ(profiles.Current().m_nExposureCompensation, 0x10);
    EXPECT_EQ(Names(profiles).size(), 2u);
    EXPECT_EQ(profiles.GetStored(profiles.IndexOf("Dark")).m_nISO, 0x58);
    profiles.m_strFilePath = pavick::testing::ScratchProfileFile().c_str();
    ASSERT_TRUE(profiles.SerializeFile(false));
    EXPECT_EQ(ReadText(pavick::testing::ScratchProfileFile()), ReadText(GoldenFile()));
}

TEST_F(PavickSettingsTest, DamagedFileIsReportedAndKeepsTheDefaultsWhole)
{
    const std::string golden = ReadText(GoldenFile());
    const std::string cases[] = {
        "",
        "not xml at all <",
        "<Other_Root><CurrentProfileName>x</CurrentProfileName></Other_Root>",
        golden.substr(0, golden.size() / 2),
        // A name that leads to no record.
        [&] {
            std::string text = golden;
            text.replace(text.find("<value>1</value>"), 16, "<value>7</value>");
            return text;
        }(),
    };
    const std::string path = pavick::testing::ScratchProfileFile();
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        m_boxes->Clear();
        WriteText(path, text);
        CCameraProfiles profiles;
        profiles.m_strFilePath = path.c_str();
        EXPECT_FALSE(profiles.SerializeFile(true));
        const std::vector<CString> texts = m_boxes->Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].Left(texts[0].Find('\n') < 0 ? texts[0].GetLength() : texts[0].Find('\n')),
                  "Could not load camera profile file Pavick.xml");
        EXPECT_TRUE(profiles.Current() == CCameraSettings());
        EXPECT_EQ(profiles.GetProfileCount(), 0);
        EXPECT_EQ(profiles.m_strCurrentName, "");
        EXPECT_EQ(ReadText(path), text) << "a damaged file is not overwritten";
    }
}

TEST_F(PavickSettingsTest, StoringAnExistingNameKeepsItsPlaceAndDeletingShiftsTheOthers)
{
    CCameraProfiles& profiles = FGPavick().Profiles();
    for (const char* name : {"A", "B", "C"})
        profiles.StoreProfile(name);
    profiles.Current().m_nISO = 0x60;
    profiles.StoreProfile("B");
    EXPECT_EQ(profiles.IndexOf("B"), 1);
    EXPECT_EQ(profiles.GetStored(1).m_nISO, 0x60);
    EXPECT_EQ(profiles.GetProfileCount(), 3);

    profiles.DeleteProfile("A");
    EXPECT_EQ(profiles.IndexOf("A"), -1);
    EXPECT_EQ(profiles.IndexOf("B"), 0);
    EXPECT_EQ(profiles.IndexOf("C"), 1);
    EXPECT_EQ(profiles.GetStored(0).m_nISO, 0x60);
    EXPECT_EQ(profiles.m_strCurrentName, "B");
    profiles.DeleteProfile("B");
    EXPECT_EQ(profiles.m_strCurrentName, "");
}

TEST_F(PavickSettingsTest, ValueTablesGiveTheCameraTexts)
{
    struct Case
    {
        const CModeProperty* property;
        std::uint32_t nCode;
        const char* text;
    };
    const Case cases[] = {
        {&kExposureCompensationProperty, 24, "0"},
        {&kExposureCompensationProperty, 0x00, "+3"},
        {&kExposureCompensationProperty, 0x2D, "-2 (2/3)"},
        {&kIsoProperty, 0x78, "6400"},
        {&kIsoProperty, 0x01, "Invalid or the setting is not changed"},
        {&kWhiteBalanceProperty, 0, "Auto"},
        {&kWhiteBalanceProperty, 14, "Fluorescent H"},
        {&kWhiteBalanceProperty, 255, "Invalid or the setting is not changed."},
        {&kStrobeProperty, 0, "Off"},
        {&kStrobeProperty, 6, "On + Red Eye Suppression"},
        {&kMeteringProperty, 7, "Multi-Spot Metering"},
        {&kAFFieldProperty, 0x3004, "Multiple Focusing Points (Left)"},
        {&kExposureModeProperty, 4, "Mv"},
        {&kExposureModeProperty, 2, nullptr},
    };
    for (const Case& c : cases) {
        const char* text = ModeText(*c.property, c.nCode);
        EXPECT_STREQ(text, c.text) << std::hex << c.property->nProperty << " " << c.nCode;
    }
    EXPECT_EQ(kIsoProperty.nBytes, 2);
    EXPECT_EQ(kAFFieldProperty.nBytes, 2);
    EXPECT_EQ(kStrobeProperty.nBytes, 1);
}

TEST_F(PavickSettingsTest, InitLoadsTheFileAndSendsTheSettingsInOrder)
{
    CCameraSettings& s = FGPavick().Settings();
    s.m_nImageSize = 0;
    s.m_nCurrentZoom = 32;
    s.m_nStrobe = 2;
    s.m_nAFDistance = 3;
    s.m_nExposureCompensation = 0x14;
    ASSERT_TRUE(FGPavick().Profiles().SerializeFile(false));
    FGPavick().Settings() = CCameraSettings();
    ASSERT_EQ(FGPavick().Init(nullptr), 1);
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(FGPavick().Settings().m_nCurrentZoom, 32);
    // Compensation 0x14 is not offered: not sent, kept in the record.
    const std::vector<CPropertyWrite> wanted{
        {0xD008, 1, 0},      {0xD006, 1, 5},  {0xD011, 1, 3},      {0xD02A, 2, 32},     {0xD00A, 1, 2},
        {0xD036, 1, 3},      {0xD040, 2, 0},  {0xD041, 2, 0},      {0xD00C, 1, 1},      {0xD01C, 2, 0},
        {0xD013, 1, 0},      {0xD010, 1, 0},  {0xD012, 2, 0x3001}, {0xD00A, 1, 2},
    };
    const std::vector<CPropertyWrite> writes = PrsdkSimulator().PropertyWrites();
    ASSERT_EQ(writes.size(), wanted.size());
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        EXPECT_EQ(writes[i].nCode, wanted[i].nCode) << i;
        EXPECT_EQ(writes[i].nSize, wanted[i].nSize) << std::hex << wanted[i].nCode;
        EXPECT_EQ(writes[i].nValue, wanted[i].nValue) << std::hex << wanted[i].nCode;
        EXPECT_TRUE(writes[i].bTaken) << std::hex << wanted[i].nCode;
    }
    EXPECT_EQ(FGPavick().Settings().m_nExposureCompensation, 0x14);
    EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD01F), 0x18);
    EXPECT_EQ(FGPavick().m_exposureModes.GetSize(), 2) << "only P and Mv are listed";
}

TEST_F(PavickSettingsTest, InitWithADamagedFileReportsItAndGoesOnWithTheDefaults)
{
    WriteText(pavick::testing::ScratchProfileFile(), "<Canon_PowerShot_Profiles><ISO>");
    const std::string damaged = ReadText(pavick::testing::ScratchProfileFile());
    FGPavick().Settings() = CCameraSettings();
    ASSERT_EQ(FGPavick().Init(nullptr), 1);
    const std::vector<CString> texts = m_boxes->Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Left(45), "Could not load camera profile file Pavick.xml");
    EXPECT_TRUE(FGPavick().Settings() == CCameraSettings());
    EXPECT_TRUE(FGPavick().IsConnected());
    // Exit leaves the damaged file for the user; a save by name writes it.
    FGPavick().Exit();
    EXPECT_EQ(ReadText(pavick::testing::ScratchProfileFile()), damaged);
    ASSERT_EQ(FGPavick().Init(nullptr), 1);
    FGPavick().SaveProfileAs("Lab");
    CCameraProfiles again;
    again.m_strFilePath = pavick::testing::ScratchProfileFile().c_str();
    EXPECT_TRUE(again.SerializeFile(true));
    EXPECT_TRUE(again.HasProfile("Lab"));
}

TEST_F(PavickSettingsTest, AFirstStartWithoutTheFileIsQuietAndExitWritesIt)
{
    std::filesystem::remove(pavick::testing::ScratchProfileFile());
    ASSERT_EQ(FGPavick().Init(nullptr), 1);
    EXPECT_TRUE(m_boxes->Texts().empty());
    FGPavick().Exit();
    EXPECT_TRUE(std::filesystem::exists(pavick::testing::ScratchProfileFile()));
}

TEST_F(PavickSettingsTest, ProfileNamesTravelAsTypedStrings)
{
    ASSERT_EQ(FGPavick().Init(nullptr), 1);
    FGPavick().Settings().m_nISO = 0x50;
    m_setString(kParamSaveProfile, "Lab");
    EXPECT_STREQ(m_getString(kParamProfileName), "Lab");
    EXPECT_EQ(m_getParameter(kParamProfileName), 0.0) << "no address in a double";
    EXPECT_NE(ReadText(pavick::testing::ScratchProfileFile()).find("<key>Lab</key>"), std::string::npos);

    FGPavick().Settings().m_nISO = 0;
    FGPavick().Profiles().m_strCurrentName.Empty();
    PrsdkSimulator().ClearLogs();
    m_setString(kParamProfileName, "Lab");
    EXPECT_EQ(FGPavick().Settings().m_nISO, 0x50);
    EXPECT_STREQ(m_getString(kParamProfileName), "Lab");
    EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD01C), 0x50) << "applied to the camera";

    m_setString(kParamProfileName, "Nowhere");
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Camera profile Nowhere not found"});
    EXPECT_EQ(FGPavick().Settings().m_nISO, 0x50);
    EXPECT_STREQ(m_getString(4711), "");
}

TEST_F(PavickSettingsTest, ExitWritesTheFileAndAFailedSendIsReported)
{
    ASSERT_EQ(FGPavick().Init(nullptr), 1);
    // Faults count the calls made so far.
    const std::vector<std::string> log = PrsdkSimulator().CallLog();
    const int sent = static_cast<int>(std::count(log.begin(), log.end(), "PR_SetDevicePropValue"));
    PrsdkSimulator().AddFault({"PR_SetDevicePropValue", 0x80000011, sent, 1});
    FGPavick().SetMetering(1);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"ErrorCode = 0x80000011"});
    EXPECT_EQ(FGPavick().Settings().m_nMetering, 1);
    FGPavick().Exit();
    CCameraProfiles again;
    again.m_strFilePath = pavick::testing::ScratchProfileFile().c_str();
    ASSERT_TRUE(again.SerializeFile(true));
    EXPECT_EQ(again.Current().m_nMetering, 1);
}

} // namespace
