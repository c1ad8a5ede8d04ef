// Live frames through the board's frame sink, over the simulated viewfinder.

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"
#include "cameraplugins/powershot/tests/pavicktesting.h"

#include "outside/prsdk/prsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace kestrun;
using namespace kestrun::camplugin;
using kestrun::prsdk::PrsdkSimulator;

namespace {

class CRecordingSink : public CPluginFrameSink
{
public:
    void OnLiveFrame(const cv::Mat& frame) override
    {
        std::lock_guard lock(m_mutex);
        m_frames.push_back(frame.clone());
        m_threads.push_back(std::this_thread::get_id());
    }
    std::vector<cv::Mat> Frames() const
    {
        std::lock_guard lock(m_mutex);
        return m_frames;
    }
    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard lock(m_mutex);
        return m_threads;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<cv::Mat> m_frames;
    std::vector<std::thread::id> m_threads;
};

double FrameDifference(const cv::Mat& a, const cv::Mat& b)
{
    if (a.size() != b.size() || a.type() != b.type())
        return 1e9;
    cv::Mat diff;
    cv::absdiff(a, b, diff);
    const cv::Scalar m = cv::mean(diff);
    return (m[0] + m[1] + m[2]) / 3;
}

class PavickViewFinderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetManualFrames(true);
        m_module = ::LoadLibrary("Pavick.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_contFrGr = reinterpret_cast<PFN_ContFrGr>(::GetProcAddress(m_module, kExportContFrGr));
        m_setSink = reinterpret_cast<PFN_SetFrameSink>(::GetProcAddress(m_module, kExportSetFrameSink));
        ASSERT_TRUE(m_contFrGr && m_setSink);
        PavickApp().SetReportToWindow(0);
        kestrun::pavick::testing::ResetProfiles();
        ASSERT_EQ(FGPavick().Init(nullptr), 1);
        m_setSink(&m_sink);
    }
    void TearDown() override
    {
        FGPavick().Exit();
        if (m_setSink)
            m_setSink(nullptr);
        PrsdkSimulator().Reset();
        ::FreeLibrary(m_module);
    }

    int StartCalls() const
    {
        const std::vector<std::string> log = PrsdkSimulator().CallLog();
        return static_cast<int>(std::count(log.begin(), log.end(), "PR_RC_StartViewFinder"));
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CRecordingSink m_sink;
    HMODULE m_module = nullptr;
    PFN_ContFrGr m_contFrGr = nullptr;
    PFN_SetFrameSink m_setSink = nullptr;
};

TEST_F(PavickViewFinderTest, LiveFramesReachTheSinkDecodedOnTheSdkThread)
{
    m_contFrGr();
    m_contFrGr();
    EXPECT_EQ(StartCalls(), 1);
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(2), 2);
    const std::vector<cv::Mat> frames = m_sink.Frames();
    ASSERT_EQ(frames.size(), 2u);
    for (int i = 0; i < 2; ++i)
        EXPECT_LT(FrameDifference(frames[i], PrsdkSimulator().SceneFrame(i)), 3.0) << i;
    EXPECT_NE(m_sink.Threads()[0], std::this_thread::get_id());
}

TEST_F(PavickViewFinderTest, EnlargedLiveImageIsTwiceTheSize)
{
    FGPavick().Settings().m_bZoomLive = 1;
    m_contFrGr();
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(1), 1);
    const std::vector<cv::Mat> frames = m_sink.Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), cv::Size(640, 480));
}

TEST_F(PavickViewFinderTest, ViewFinderStoppedEventStopsLiveFrames)
{
    m_contFrGr();
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(1), 1);
    PrsdkSimulator().RaiseEvent(0xC006);
    PrsdkSimulator().WaitForEvents();
    EXPECT_FALSE(FGPavick().IsViewFinderRunning());
    EXPECT_FALSE(PrsdkSimulator().IsViewFinderRunning());
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(1), 0);
    // The host has to start live frames again.
    m_contFrGr();
    EXPECT_EQ(StartCalls(), 2);
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(1), 1);
}

TEST_F(PavickViewFinderTest, FrameThatDoesNotDecodeIsDroppedAndCounted)
{
    // The count lives as long as the library: compare with before.
    const int before = FGPavick().BadFrames();
    PrsdkSimulator().CorruptNextFrames(1);
    m_contFrGr();
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(2), 2);
    EXPECT_EQ(m_sink.Frames().size(), 1u);
    EXPECT_EQ(FGPavick().BadFrames() - before, 1);
    PumpMessages();
}

TEST_F(PavickViewFinderTest, FrameThatDoesNotDecodeIsReportedOncePerLiveRunOnTheHostThread)
{
    const std::vector<CString> kReported{"A live frame from the camera could not be decoded and was dropped."};
    const int before = FGPavick().BadFrames();
    PrsdkSimulator().CorruptNextFrames(3);
    m_contFrGr();
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(4), 4);
    EXPECT_EQ(FGPavick().BadFrames() - before, 3);
    EXPECT_TRUE(m_boxes->Texts().empty()) << "no message box on the SDK thread";
    PumpMessages();
    EXPECT_EQ(m_boxes->Texts(), kReported);

    FGPavick().SetViewFinder(0);
    PrsdkSimulator().CorruptNextFrames(1);
    m_contFrGr();
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(1), 1);
    PumpMessages();
    EXPECT_EQ(m_boxes->Texts().size(), 2u) << "a new live run reports again";
}

TEST_F(PavickViewFinderTest, ViewFinderThatCannotStartIsReported)
{
    PrsdkSimulator().AddFault({"PR_RC_StartViewFinder", 0x80000011});
    m_contFrGr();
    EXPECT_FALSE(FGPavick().IsViewFinderRunning());
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"ErrorCode = 0x80000011"});
}

} // namespace
