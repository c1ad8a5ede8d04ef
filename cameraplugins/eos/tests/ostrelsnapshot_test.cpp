// Snapshots and live view on the simulated camera: the picture's way into
// the image through a downloaded file, the live-view frame loop into the
// board's frame sink, and the camera's shut-down.

#include "cameraplugins/eos/fgostrel.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/eos/tests/ostreltesting.h"
#include "cameraplugins/fgplugin.h"

#include "outside/edsdk/edsdksimulator.h"
#include "outside/pixmere/dib.h"

#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kestrun;
using namespace kestrun::camplugin;
using kestrun::edsdk::CSimCommand;
using kestrun::edsdk::EdsdkSimulator;

namespace {

class COstrelHost : public CMessageTarget
{
public:
    COstrelHost() : m_hWnd(CreateWindowHandle(this)) {}
    ~COstrelHost() override { DestroyWindowHandle(m_hWnd); }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        m_received.emplace_back(message, wParam);
        return 0;
    }
    bool Got(const char* name, WPARAM wParam) const
    {
        const UINT id = ::RegisterWindowMessage(name);
        return std::find(m_received.begin(), m_received.end(), std::make_pair(id, wParam)) != m_received.end();
    }
    HWND m_hWnd;
    std::vector<std::pair<UINT, WPARAM>> m_received;
};

class COstrelSink : public CPluginFrameSink
{
public:
    void OnLiveFrame(const cv::Mat& frame) override
    {
        std::lock_guard lock(m_mutex);
        m_sizes.push_back(frame.size());
    }
    std::vector<cv::Size> Sizes() const
    {
        std::lock_guard lock(m_mutex);
        return m_sizes;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<cv::Size> m_sizes;
};

template <class Condition>
void Until(Condition condition)
{
    while (!condition())
        std::this_thread::yield();
}

class OstrelSnapshotTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EdsdkSimulator().Reset();
        EdsdkSimulator().SetManualFrames(true);
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        FGOstrel().SetClock(&m_clock);
        FGOstrel().SetLocalClock([this] {
            CLocalTime time;
            time.tm.tm_year = 2026 - 1900;
            time.tm.tm_mday = 1;
            time.nMilliseconds = m_nPicture++;
            return time;
        });
        FGOstrel().SetFrameSink(&m_sink);
        FGOstrel().SetAFOnSnapshot(0);
        FGOstrel().SetParameter(kParamReportToWindow, 0);
        FGOstrel().SetParameter(kParamStretchLive, 0);
        ASSERT_EQ(FGOstrel().Init(m_host.m_hWnd), 1);
        FGOstrel().SetImageDir(m_folder.c_str());
        Drain();
    }
    void TearDown() override
    {
        FGOstrel().Exit();
        FGOstrel().SetFrameSink(nullptr);
        FGOstrel().SetClock(nullptr);
        FGOstrel().SetLocalClock({});
        EdsdkSimulator().Reset();
        std::filesystem::remove_all(m_folder);
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
    void StartLiveView()
    {
        FGOstrel().StartLiveView();
        Until([] { return FGOstrel().IsLiveViewActive(); });
    }
    std::vector<std::string> Pictures() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::string m_folder =
        (std::filesystem::temp_directory_path() / ("ostrel_tests_" + std::to_string(::getpid()))).string();
    ostrel::testing::CGateClock m_clock;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    COstrelHost m_host;
    COstrelSink m_sink;
    unsigned m_nPicture = 1;
};

TEST_F(OstrelSnapshotTest, PicturesArriveInTheImageUnderNamesOfTheirOwn)
{
    CDIB image;
    ASSERT_EQ(FGOstrel().TakeSnapshot(&image), 1);
    EXPECT_EQ(image.GetWidth(), 768);
    EXPECT_EQ(image.GetHeight(), 512);
    EXPECT_TRUE(m_host.Got(kMsgGrabber, kGrabberPictureReady));
    // A snapshot without an image loads into a temporary one; its file
    // stays beside the first.
    ASSERT_EQ(FGOstrel().TakeSnapshot(nullptr), 1);
    EXPECT_EQ(Pictures(), (std::vector<std::string>{"20260101_00-00-00-1.jpg", "20260101_00-00-00-2.jpg"}));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(OstrelSnapshotTest, BeforeTheHostNamesAFolderPicturesGoToTheSettingsFolder)
{
    FGOstrel().SetImageDir("");
    ASSERT_EQ(FGOstrel().Init(m_host.m_hWnd), 1);
    Drain();
    const std::filesystem::path settings = OstrelApp().SettingsFolder().GetString();
    std::filesystem::remove(settings / "20260101_00-00-00-1.jpg");
    CDIB image;
    ASSERT_EQ(FGOstrel().TakeSnapshot(&image), 1);
    EXPECT_TRUE(std::filesystem::exists(settings / "20260101_00-00-00-1.jpg"));
    std::filesystem::remove(settings / "20260101_00-00-00-1.jpg");
}

TEST_F(OstrelSnapshotTest, AnEmptyPictureFolderFailsTheDownloadWithTheCamerasError)
{
    FGOstrel().SetImageDir("");
    m_clock.SetRunning(true);
    CDIB image;
    EXPECT_EQ(FGOstrel().TakeSnapshot(&image), 0);
    EdsdkSimulator().WaitForEvents();
    Drain();
    PumpMessages();
    const std::vector<CString> texts = m_boxes->Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), CString("Error code from camera: 61")), texts.end());
    EXPECT_EQ(image.GetWidth(), 0);
}

TEST_F(OstrelSnapshotTest, WithoutAutofocusThePictureIsTakenLiveAndLiveViewEndsAfterwards)
{
    StartLiveView();
    CDIB image;
    ASSERT_EQ(FGOstrel().TakeSnapshot(&image), 1);
    Drain();
    EdsdkSimulator().WaitForEvents();
    Drain();
    ASSERT_EQ(EdsdkSimulator().Commands().size(), 1u);
    EXPECT_TRUE(EdsdkSimulator().Commands()[0].bLiveView);
    EXPECT_EQ(EdsdkSimulator().GetProperty32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC, 0u);
    EXPECT_FALSE(FGOstrel().IsLiveViewActive());
}

TEST_F(OstrelSnapshotTest, WithAutofocusLiveViewEndsBeforeThePicture)
{
    StartLiveView();
    FGOstrel().SetAFOnSnapshot(1);
    CDIB image;
    ASSERT_EQ(FGOstrel().TakeSnapshot(&image), 1);
    ASSERT_EQ(EdsdkSimulator().Commands().size(), 1u);
    EXPECT_FALSE(EdsdkSimulator().Commands()[0].bLiveView);
}

TEST_F(OstrelSnapshotTest, ATimeOutGivesZeroAndNeverThePreviousPicture)
{
    CDIB first;
    ASSERT_EQ(FGOstrel().TakeSnapshot(&first), 1);
    // The camera takes no picture; code 7 is not reported.
    EdsdkSimulator().AddFault({"EdsSendCommand", EDS_ERR_NOT_SUPPORTED});
    m_clock.SetRunning(true);
    CDIB second;
    EXPECT_EQ(FGOstrel().TakeSnapshot(&second), 0);
    EXPECT_EQ(second.GetWidth(), 0);
    EXPECT_GE(m_clock.NowMs(), CFGOstrel::kSnapshotWaitMs);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"The camera's picture did not arrive in time."});
}

TEST_F(OstrelSnapshotTest, AFailedDownloadReportsTheTransferAndLoadsNothing)
{
    EdsdkSimulator().AddFault({"EdsDownload", 0x2005});
    m_clock.SetRunning(true);
    CDIB image;
    EXPECT_EQ(FGOstrel().TakeSnapshot(&image), 0);
    EdsdkSimulator().WaitForEvents();
    Drain();
    PumpMessages();
    EXPECT_EQ(image.GetWidth(), 0);
    const std::vector<CString> texts = m_boxes->Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), CString("Error during picture transfer (Code: 2005)")),
              texts.end());
    EXPECT_TRUE(Pictures().empty());
}

TEST_F(OstrelSnapshotTest, LiveFramesReachTheSinkUntilLiveViewEnds)
{
    StartLiveView();
    // Not ready yet: asked again without a word.
    EdsdkSimulator().MakeFramesReady(2);
    Until([this] { return m_sink.Sizes().size() == 2; });
    FGOstrel().SetParameter(kParamStretchLive, 1);
    EdsdkSimulator().CorruptNextFrames(1);
    EdsdkSimulator().MakeFramesReady(2);
    Until([this] { return m_sink.Sizes().size() == 3; });
    Until([] { return EdsdkSimulator().FramesDelivered() == 4; });
    EXPECT_EQ(FGOstrel().BadFrames(), 1);
    const std::vector<cv::Size> sizes = m_sink.Sizes();
    EXPECT_EQ(sizes[0], EdsdkSimulator().SceneFrame(1).size());
    EXPECT_EQ(sizes[2], cv::Size(768, 512));

    FGOstrel().m_endEvf.fireEvent();
    Until([] { return !FGOstrel().IsLiveViewActive(); });
    EdsdkSimulator().MakeFramesReady(1);
    Drain();
    EXPECT_EQ(EdsdkSimulator().FramesDelivered(), 4);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(OstrelSnapshotTest, ShutDownReleasesTheCameraAndTellsTheHost)
{
    EdsdkSimulator().RaiseStateEvent(kEdsStateEvent_Shutdown);
    EdsdkSimulator().WaitForEvents();
    Until([] { return !FGOstrel().Controller()->processor().isRunning(); });
    Until([this] {
        PumpMessages();
        return m_host.Got(kMsgShutDown, 0);
    });
    EXPECT_EQ(FGOstrel().Camera(), nullptr);
    FGOstrel().Exit();
    EXPECT_FALSE(EdsdkSimulator().IsStarted());
    EXPECT_EQ(EdsdkSimulator().OpenReferences(), 0);
}

} // namespace
