// The plug-in as the board sees it: opened by name, started, asked and ended
// through its exports, over the simulated SDK.

#include "cameraplugins/eos/fgostrel.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/eos/tests/ostreltesting.h"
#include "cameraplugins/fgplugin.h"

#include "outside/edsdk/edsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kestrun;
using namespace kestrun::camplugin;
using kestrun::edsdk::CSimCommand;
using kestrun::edsdk::EdsdkSimulator;

namespace {

class OstrelExportsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EdsdkSimulator().Reset();
        FGOstrel().SetClock(&m_clock);
        m_module = ::LoadLibrary("Ostrel.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_init = reinterpret_cast<PFN_Init>(::GetProcAddress(m_module, kExportInit));
        m_exit = reinterpret_cast<PFN_Exit>(::GetProcAddress(m_module, kExportExit));
        m_getParameter = reinterpret_cast<PFN_GetParameter>(::GetProcAddress(m_module, kExportGetParameter));
        m_setParameter = reinterpret_cast<PFN_SetParameter>(::GetProcAddress(m_module, kExportSetParameter));
        m_getString = reinterpret_cast<PFN_GetParameterString>(::GetProcAddress(m_module, kExportGetParameterString));
        m_getInfo = reinterpret_cast<PFN_GetInfo>(::GetProcAddress(m_module, kExportGetInfo));
        m_getVersion = reinterpret_cast<PFN_GetFGVersion>(::GetProcAddress(m_module, kExportGetFGVersion));
        m_getPixelAddr = reinterpret_cast<PFN_GetPixelAddr>(::GetProcAddress(m_module, kExportGetPixelAddr));
        ASSERT_TRUE(m_init && m_exit && m_getParameter && m_setParameter && m_getString && m_getInfo &&
                    m_getVersion && m_getPixelAddr && ::GetProcAddress(m_module, kExportUpdateImage) &&
                    ::GetProcAddress(m_module, kExportSetImageDir) && ::GetProcAddress(m_module, kExportSnapshot) &&
                    ::GetProcAddress(m_module, kExportContFrGr));
        m_setParameter(kParamReportToWindow, 0);
    }
    void TearDown() override
    {
        m_exit();
        FGOstrel().SetClock(nullptr);
        EdsdkSimulator().Reset();
        ::FreeLibrary(m_module);
    }
    // Returns when the commands queued so far, and those the camera's
    // events queue after them, have run.
    void Drain()
    {
        for (int round = 0; round < 2; ++round) {
            EdsdkSimulator().WaitForEvents();
            ostrel::testing::Drain(FGOstrel().Controller()->processor(), FGOstrel().Model());
        }
    }

    ostrel::testing::CStillClock m_clock;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    HMODULE m_module = nullptr;
    PFN_Init m_init = nullptr;
    PFN_Exit m_exit = nullptr;
    PFN_GetParameter m_getParameter = nullptr;
    PFN_SetParameter m_setParameter = nullptr;
    PFN_GetParameterString m_getString = nullptr;
    PFN_GetInfo m_getInfo = nullptr;
    PFN_GetFGVersion m_getVersion = nullptr;
    PFN_GetPixelAddr m_getPixelAddr = nullptr;
};

TEST_F(OstrelExportsTest, InitOpensTheSessionOfANormalModelWithCapacity)
{
    EdsdkSimulator().SetCameras({{"Canon EOS 50D", 2}, {"Canon EOS 40D", 2}});
    ASSERT_EQ(m_init(nullptr), 1);
    Drain();
    EXPECT_FALSE(FGOstrel().Model()->isLegacy());
    EXPECT_TRUE(EdsdkSimulator().IsSessionOpen());
    EXPECT_EQ(EdsdkSimulator().GetProperty32(kEdsPropID_SaveTo), kEdsSaveTo_Host);
    EXPECT_EQ(EdsdkSimulator().StatusCommands(), (std::vector<CSimCommand>{{0, 0}, {1, 0}}));
    const std::vector<EdsCapacity> capacities = EdsdkSimulator().Capacities();
    ASSERT_EQ(capacities.size(), 1u);
    EXPECT_EQ(capacities[0].numberOfFreeClusters, 0x7FFFFFFF);
    EXPECT_EQ(capacities[0].bytesPerSector, 4096);
    EXPECT_EQ(capacities[0].reset, 1u);
    // The product name is read after the session opens; other properties wait.
    EXPECT_EQ(FGOstrel().Model()->getModelName(), "Canon EOS 450D");
    EXPECT_EQ(FGOstrel().Model()->getPropertyUInt32(kEdsPropID_Tv), 0u);
    EXPECT_STREQ(m_getInfo(), "Canon EOS 50D");
    EXPECT_STREQ(m_getVersion(), "Ostrel 1.00");
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(OstrelExportsTest, InitOfALegacyModelReadsEverythingInsteadOfSettingCapacity)
{
    EdsdkSimulator().SetCameras({{"Canon EOS 40D", 0}});
    ASSERT_EQ(m_init(nullptr), 1);
    Drain();
    EXPECT_TRUE(FGOstrel().Model()->isLegacy());
    EXPECT_TRUE(EdsdkSimulator().Capacities().empty());
    EXPECT_EQ(EdsdkSimulator().GetProperty32(kEdsPropID_SaveTo), kEdsSaveTo_Host);
    // Properties, descriptors and the product name (and the save-to target
    // the camera reports changed), each with the user interface locked
    // around it.
    const std::vector<CSimCommand> status = EdsdkSimulator().StatusCommands();
    ASSERT_GE(status.size(), 6u);
    ASSERT_EQ(status.size() % 2, 0u);
    for (std::size_t i = 0; i < status.size(); ++i)
        EXPECT_EQ(status[i].nCommand, i % 2 == 0 ? kEdsCameraStatusCommand_UILock : kEdsCameraStatusCommand_UIUnLock);
    EXPECT_FALSE(EdsdkSimulator().IsUILocked());
    EXPECT_EQ(FGOstrel().Model()->getPropertyUInt32(kEdsPropID_Tv), 0x60u);
    EXPECT_EQ(FGOstrel().Model()->getPropertyDesc(kEdsPropID_MeteringMode).numElements, 4);
    EXPECT_EQ(FGOstrel().Model()->getModelName(), "Canon EOS 450D");
}

TEST_F(OstrelExportsTest, ParametersAnswerAsTheBoardAsks)
{
    ASSERT_EQ(m_init(nullptr), 1);
    EXPECT_EQ(m_getParameter(kParamPictureWidth), 768.0);
    EXPECT_EQ(m_getParameter(kParamPictureHeight), 512.0);
    EXPECT_EQ(m_getParameter(kParamBitsPerPixel), 24.0);
    EXPECT_EQ(m_getParameter(kParamLiveWidth), 768.0);
    EXPECT_EQ(m_getParameter(kParamLiveHeight), 512.0);
    EXPECT_EQ(m_getParameter(999), 0.0);
    // The profile name is an empty text, never an address in a double.
    EXPECT_EQ(m_getParameter(kParamProfileName), 0.0);
    EXPECT_STREQ(m_getString(kParamProfileName), "");
    m_setParameter(kParamStretchLive, 1.0);
    EXPECT_EQ(FGOstrel().Stretch(), 1);
    m_setParameter(kParamStretchLive, 0.9);
    EXPECT_EQ(FGOstrel().Stretch(), 0);
    m_setParameter(kParamReportToWindow, 1.0);
    EXPECT_EQ(OstrelApp().GetReportToWindow(), 1);
    m_setParameter(kParamReportToWindow, 0.0);
    EXPECT_EQ(m_getPixelAddr(3, 4), nullptr);
}

TEST_F(OstrelExportsTest, ExitClosesTheSessionAndEndsTheSdk)
{
    ASSERT_EQ(m_init(nullptr), 1);
    Drain();
    m_exit();
    EXPECT_FALSE(EdsdkSimulator().IsSessionOpen());
    EXPECT_FALSE(EdsdkSimulator().IsStarted());
    EXPECT_EQ(EdsdkSimulator().OpenReferences(), 0);
    const std::vector<std::string> log = EdsdkSimulator().CallLog();
    const auto close = std::find(log.begin(), log.end(), "EdsCloseSession");
    const auto end = std::find(log.begin(), log.end(), "EdsTerminateSDK");
    EXPECT_LT(close, end);
    EXPECT_NE(end, log.end());
    m_exit(); // twice is harmless
}

TEST_F(OstrelExportsTest, FailedStartsReportAndAnswerZero)
{
    const struct
    {
        const char* call;
        EdsError code;
        const char* text;
    } cases[] = {
        {"EdsInitializeSDK", 0x3, "Error code from camera: 3"},
        {"EdsGetCameraList", 0x61, "Error code from camera: 61"},
        {"EdsGetDeviceInfo", 0x80, "Camera not found!"},
        {"EdsSetObjectEventHandler", 0x2, "Error code from camera: 2"},
    };
    for (const auto& c : cases) {
        EdsdkSimulator().Reset();
        m_boxes->Clear();
        EdsdkSimulator().AddFault({c.call, c.code});
        EXPECT_EQ(m_init(nullptr), 0) << c.call;
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{c.text}) << c.call;
        m_exit();
        EXPECT_FALSE(EdsdkSimulator().IsStarted()) << c.call;
        EXPECT_EQ(EdsdkSimulator().OpenReferences(), 0) << c.call;
    }
    EdsdkSimulator().Reset();
    m_boxes->Clear();
    EdsdkSimulator().SetCameras({});
    EXPECT_EQ(m_init(nullptr), 0);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Camera not found!"});
}

} // namespace
