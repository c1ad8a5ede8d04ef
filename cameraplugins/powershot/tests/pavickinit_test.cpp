// The plug-in as the board sees it: opened by name, driven through its
// exports, over the simulated SDK.

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"
#include "cameraplugins/powershot/tests/pavicktesting.h"

#include "outside/prsdk/prsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrun;
using namespace kestrun::camplugin;
using kestrun::prsdk::CCallFault;
using kestrun::prsdk::PrsdkSimulator;

namespace {

struct CReceived
{
    UINT nMessage = 0;
    WPARAM wParam = 0;
    std::string text;
};

// A host window that keeps what it gets.
class CHostWindow : public CMessageTarget
{
public:
    CHostWindow() : m_hWnd(CreateWindowHandle(this)) {}
    ~CHostWindow() override { DestroyWindowHandle(m_hWnd); }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        CReceived r{message, wParam, {}};
        if (message == ::RegisterWindowMessage(kMsgGrabber) && wParam == kGrabberReport)
            r.text = reinterpret_cast<const char*>(lParam);
        m_received.push_back(r);
        return 0;
    }
    HWND m_hWnd;
    std::vector<CReceived> m_received;
};

class PavickInitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetManualFrames(true);
        m_module = ::LoadLibrary("Pavick.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_init = reinterpret_cast<int (*)(HWND)>(::GetProcAddress(m_module, kExportInit));
        m_exit = reinterpret_cast<PFN_Exit>(::GetProcAddress(m_module, kExportExit));
        m_getParameter = reinterpret_cast<PFN_GetParameter>(::GetProcAddress(m_module, kExportGetParameter));
        m_setParameter = reinterpret_cast<PFN_SetParameter>(::GetProcAddress(m_module, kExportSetParameter));
        m_getInfo = reinterpret_cast<PFN_GetInfo>(::GetProcAddress(m_module, kExportGetInfo));
        m_getVersion = reinterpret_cast<PFN_GetFGVersion>(::GetProcAddress(m_module, kExportGetFGVersion));
        m_getPixelAddr = reinterpret_cast<PFN_GetPixelAddr>(::GetProcAddress(m_module, kExportGetPixelAddr));
        ASSERT_TRUE(m_init && m_exit && m_getParameter && m_setParameter && m_getInfo && m_getVersion &&
                    m_getPixelAddr && ::GetProcAddress(m_module, kExportUpdateImage) &&
                    ::GetProcAddress(m_module, kExportSetImageDir));
        m_setParameter(kParamReportToWindow, 0);
        kestrun::pavick::testing::ResetProfiles();
    }
    void TearDown() override
    {
        if (m_exit && FGPavick().IsConnected())
            m_exit();
        PavickApp().DetachHost();
        PrsdkSimulator().Reset();
        ::FreeLibrary(m_module);
    }

    // The CWnd of the export is only read for its handle; tests hand the
    // plug-in a null window or drive the grabber with a handle.
    int InitExport() { return m_init(nullptr); }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    HMODULE m_module = nullptr;
    int (*m_init)(HWND) = nullptr;
    PFN_Exit m_exit = nullptr;
    PFN_GetParameter m_getParameter = nullptr;
    PFN_SetParameter m_setParameter = nullptr;
    PFN_GetInfo m_getInfo = nullptr;
    PFN_GetFGVersion m_getVersion = nullptr;
    PFN_GetPixelAddr m_getPixelAddr = nullptr;
};

TEST_F(PavickInitTest, InitStartsBothSdksAndConnectsTheFirstCameraWithReleaseControl)
{
    PrsdkSimulator().SetCameras({u"PowerShot One", u"PowerShot Two"});
    ASSERT_EQ(InitExport(), 1);
    const std::vector<std::string> wanted{"PR_StartSDK",        "CDStartSDK",          "PR_GetDeviceList",
                                          "PR_CreateCameraObject", "PR_SetEventCallBack", "PR_ConnectCamera",
                                          "PR_GetDeviceInfo",   "PR_InitiateReleaseControl"};
    // The settings are sent afterwards.
    const std::vector<std::string> log = PrsdkSimulator().CallLog();
    ASSERT_GE(log.size(), wanted.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + wanted.size()), wanted);
    const std::vector<std::uint8_t> record = PrsdkSimulator().CdStartRecord();
    ASSERT_EQ(record.size(), 40u);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.begin() + 6),
              (std::vector<std::uint8_t>{40, 0, 7, 0, 3, 0}));
    EXPECT_TRUE(std::all_of(record.begin() + 6, record.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(PrsdkSimulator().HasReleaseControl());
    EXPECT_STREQ(m_getInfo(), "PowerShot One");
    EXPECT_STREQ(m_getVersion(), "Pavick 1.01");
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PavickInitTest, EachFailingStepReportsItsCodeAndLeavesNothingConnected)
{
    const char* steps[] = {"PR_StartSDK",      "CDStartSDK",          "PR_GetDeviceList",
                           "PR_CreateCameraObject", "PR_SetEventCallBack", "PR_ConnectCamera",
                           "PR_GetDeviceInfo", "PR_InitiateReleaseControl"};
    for (const char* step : steps) {
        PrsdkSimulator().Reset();
        m_boxes->Clear();
        PrsdkSimulator().AddFault({step, 0x80000042});
        EXPECT_EQ(InitExport(), 0) << step;
        const std::vector<CString> texts = m_boxes->Texts();
        ASSERT_FALSE(texts.empty()) << step;
        EXPECT_EQ(texts[0], CString("ErrorCode = 0x80000042")) << step;
        // A failed device list is also no camera found.
        EXPECT_EQ(texts.size(), std::string(step) == "PR_GetDeviceList" ? 2u : 1u) << step;
        EXPECT_FALSE(PrsdkSimulator().IsConnected()) << step;
        EXPECT_FALSE(PrsdkSimulator().HasReleaseControl()) << step;
        EXPECT_EQ(PrsdkSimulator().CameraObjects(), 0) << step;
        EXPECT_FALSE(FGPavick().IsConnected()) << step;
        EXPECT_EQ(FGPavick().CameraHandle(), 0u) << step;
    }
}

TEST_F(PavickInitTest, SecondInitReleasesTheFirstCameraBeforeConnectingAgain)
{
    ASSERT_EQ(InitExport(), 1);
    ASSERT_EQ(InitExport(), 1);
    EXPECT_EQ(PrsdkSimulator().CameraObjects(), 1);
    EXPECT_TRUE(m_boxes->Texts().empty());
    m_exit();
    EXPECT_EQ(PrsdkSimulator().CameraObjects(), 0);
}

TEST_F(PavickInitTest, OlderSdkCodeWithZeroLowBitsIsNoError)
{
    PrsdkSimulator().AddFault({"CDStartSDK", 0x00070000});
    EXPECT_EQ(InitExport(), 1);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PavickInitTest, NoCameraIsReportedAsNotFound)
{
    PrsdkSimulator().SetCameras({});
    EXPECT_EQ(InitExport(), 0);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Canon Powershot device not found."});
}

TEST_F(PavickInitTest, DeviceListTooLargeForTheFirstBufferIsFetchedAgain)
{
    PrsdkSimulator().SetCameras(std::vector<std::u16string>(12, u"PowerShot Many"));
    EXPECT_EQ(InitExport(), 1);
    const std::vector<std::string> log = PrsdkSimulator().CallLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "PR_GetDeviceList"), 2);
}

TEST_F(PavickInitTest, DeviceListSizeThatNeverGrowsOrIsAbsurdIsRefused)
{
    const std::vector<CString> kRefused{"ErrorCode = 0x00000063", "Canon Powershot device not found."};
    // A "too small" answer that asks for no more would loop for ever.
    PrsdkSimulator().AddFault({"PR_GetDeviceList", 99});
    EXPECT_EQ(InitExport(), 0);
    EXPECT_EQ(m_boxes->Texts(), kRefused);
    EXPECT_EQ(PrsdkSimulator().CallLog().size(), 3u);

    PrsdkSimulator().Reset();
    m_boxes->Clear();
    PrsdkSimulator().SetCameras(std::vector<std::u16string>(2000, u"x"));
    EXPECT_EQ(InitExport(), 0);
    EXPECT_EQ(m_boxes->Texts(), kRefused);
}

TEST_F(PavickInitTest, DescriptionIsTheNameCutTo39BytesOnACharacterBoundary)
{
    std::u16string name(20, u'a');
    name.append(10, u'\u00e9');
    PrsdkSimulator().SetCameras({name});
    ASSERT_EQ(InitExport(), 1);
    // 20 + 9 * 2 bytes fit; the tenth two-byte character would end at 40.
    std::string wanted(20, 'a');
    for (int i = 0; i < 9; ++i)
        wanted += "\u00e9";
    EXPECT_EQ(std::string(m_getInfo()), wanted);
}

TEST_F(PavickInitTest, ExitReleasesTheCameraAndFinishesBothSdks)
{
    ASSERT_EQ(InitExport(), 1);
    PrsdkSimulator().ClearLogs();
    m_exit();
    const std::vector<std::string> wanted{"PR_TerminateReleaseControl", "PR_DisconnectCamera", "PR_ClearEventCallBack",
                                          "PR_DestroyCameraObject", "CDFinishSDK", "PR_FinishSDK"};
    EXPECT_EQ(PrsdkSimulator().CallLog(), wanted);
    EXPECT_FALSE(PrsdkSimulator().IsStarted());
    EXPECT_FALSE(FGPavick().IsConnected());
}

TEST_F(PavickInitTest, ParametersFollowTheTables)
{
    struct Case
    {
        std::uint8_t nImageSize;
        int bZoomLive;
        int nId;
        double dValue;
    };
    const Case cases[] = {
        {0, 0, kParamPictureWidth, 3264}, {1, 0, kParamPictureHeight, 1944}, {3, 0, kParamPictureWidth, 2048},
        {7, 0, kParamPictureHeight, 1200}, {2, 0, kParamPictureWidth, 640},  {5, 0, kParamPictureWidth, 0},
        {5, 0, kParamPictureHeight, 0},    {7, 0, kParamBitsPerPixel, 24},   {7, 0, kParamLiveWidth, 320},
        {7, 0, kParamLiveHeight, 240},     {7, 1, kParamLiveWidth, 640},     {7, 1, kParamLiveHeight, 480},
        {7, 0, kParamStretchLive, 0},      {7, 0, kParamReportToWindow, 0},  {7, 0, 4711, 0},
    };
    for (const Case& c : cases) {
        FGPavick().Settings().m_nImageSize = c.nImageSize;
        FGPavick().Settings().m_bZoomLive = c.bZoomLive;
        EXPECT_EQ(m_getParameter(c.nId), c.dValue) << c.nId << " code " << int(c.nImageSize);
    }
    EXPECT_EQ(m_getPixelAddr(3, 4), nullptr);
}

TEST_F(PavickInitTest, ReportFlagIsTruncatedAndSendsTheKeptTextToTheHost)
{
    struct Case
    {
        double dValue;
        int nFlag;
    };
    for (const Case c : {Case{0.9, 0}, Case{1.0, 1}, Case{-0.5, 0}, Case{1e300, 2147483647}, Case{NAN, 0}}) {
        m_setParameter(kParamReportToWindow, c.dValue);
        EXPECT_EQ(PavickApp().GetReportToWindow(), c.nFlag) << c.dValue;
    }
    CHostWindow host;
    m_setParameter(kParamReportToWindow, 1);
    PrsdkSimulator().SetCameras({});
    ASSERT_EQ(FGPavick().Init(host.m_hWnd), 0);
    ASSERT_EQ(host.m_received.size(), 1u);
    EXPECT_EQ(host.m_received[0].nMessage, ::RegisterWindowMessage(kMsgGrabber));
    EXPECT_EQ(host.m_received[0].wParam, kGrabberReport);
    EXPECT_EQ(host.m_received[0].text, "Canon Powershot device not found.");
    EXPECT_TRUE(m_boxes->Texts().empty());
    PavickApp().SetHostWindow(nullptr);
    PavickApp().ReportMessage("kept only");
    EXPECT_EQ(PavickApp().LastReport(), CString("kept only"));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PavickInitTest, CameraEventsKeepReleasedIdsAndShutDownIsPosted)
{
    CHostWindow host;
    ASSERT_EQ(FGPavick().Init(host.m_hWnd), 1);
    // The record's image size (7) differs from the camera's (3); no live frames.
    ASSERT_EQ(host.m_received.size(), 1u);
    EXPECT_EQ(host.m_received[0].nMessage, ::RegisterWindowMessage(kMsgVideoFormatChanged));
    EXPECT_EQ(host.m_received[0].wParam, kFormatChangedStopped);
    host.m_received.clear();
    PrsdkSimulator().RaiseEvent(0xC008, 0x1234);
    PrsdkSimulator().RaiseEvent(0xC009, 0x5678);
    PrsdkSimulator().RaiseEvent(0xD001);
    PrsdkSimulator().WaitForEvents();
    EXPECT_EQ(FGPavick().ReleasedObject(), 0x1234u);
    EXPECT_EQ(FGPavick().EventFlags(), 3u);
    EXPECT_TRUE(host.m_received.empty());
    EXPECT_EQ(PumpMessages(), 1);
    ASSERT_EQ(host.m_received.size(), 1u);
    EXPECT_EQ(host.m_received[0].nMessage, ::RegisterWindowMessage(kMsgShutDown));
    FGPavick().Exit();
}

} // namespace
