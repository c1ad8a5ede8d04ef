// Continuous acquisition on the board's thread: frames, the buffer lock,
// the frame callback, and stopping while the callback talks to windows.

#include "outside/grabwell/tests/boardtesting.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;
using kestrun::testing::CRecordingWindow;
using kestrun::testing::ScopedMessageBoxes;
using kestrun::testing::ScratchFolder;
using kestrun::testing::WaitFor;

// What the frame callback saw.
struct CCallBackLog
{
    FGBoard* board = nullptr;
    std::mutex mutex;
    std::vector<int> frameCounts;
    std::vector<void*> contexts;

    size_t Calls()
    {
        std::lock_guard lock(mutex);
        return frameCounts.size();
    }
};

int logFrame(void* context)
{
    auto* log = static_cast<CCallBackLog*>(context);
    std::lock_guard lock(log->mutex);
    log->frameCounts.push_back(log->board->GetFrameCount());
    log->contexts.push_back(context);
    return 0;
}

class LiveBoardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const fs::path folder = ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_board = std::make_unique<FGBoard>(&m_clock, folder.c_str());
        m_log.board = m_board.get();
    }
    void TearDown() override { m_board->StopLive(); }

    bool WaitForFrames(int count)
    {
        return WaitFor([this, count] { return m_board->GetFrameCount() >= count; });
    }

    kestrun::ManualClock m_clock;
    ScopedMessageBoxes m_boxes;
    std::unique_ptr<FGBoard> m_board;
    CCallBackLog m_log;
};

TEST_F(LiveBoardTest, LiveFramesCountUpAndReachTheCallBack)
{
    m_board->SetCallBack(logFrame, &m_log);
    ASSERT_TRUE(m_board->StartLive());
    EXPECT_TRUE(m_board->IsLive());
    EXPECT_TRUE(m_board->IsContinuous());
    EXPECT_EQ(m_board->GetGrabModeWord(), 0);
    EXPECT_EQ(m_board->GetParameter(p::kNotAcquiring), 0);
    ASSERT_TRUE(WaitFor([this] { return m_log.Calls() >= 5; }));

    // A still grab ends continuous acquisition.
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_FALSE(m_board->IsLive());
    const int afterStill = m_board->GetFrameCount();

    std::lock_guard lock(m_log.mutex);
    ASSERT_GE(m_log.frameCounts.size(), 5u);
    for (size_t i = 1; i < m_log.frameCounts.size(); ++i)
        EXPECT_GT(m_log.frameCounts[i], m_log.frameCounts[i - 1]);
    EXPECT_LT(m_log.frameCounts.back(), afterStill); // still frames do not call back
    for (void* context : m_log.contexts)
        EXPECT_EQ(context, &m_log);
}

TEST_F(LiveBoardTest, RemovedCallBackIsNotCalledAgain)
{
    m_board->SetCallBack(logFrame, &m_log);
    ASSERT_TRUE(m_board->GrabFrame(1));
    ASSERT_TRUE(WaitFor([this] { return m_log.Calls() >= 2; }));
    m_board->SetCallBack(nullptr, nullptr);
    const size_t calls = m_log.Calls();
    const int frames = m_board->GetFrameCount();
    ASSERT_TRUE(WaitForFrames(frames + 3));
    m_board->StopLive();
    EXPECT_EQ(m_log.Calls(), calls);
}

TEST_F(LiveBoardTest, FramesAreTakenAtTheNominalRate)
{
    ASSERT_TRUE(m_board->SetParameterDouble(p::kFrameRate, 10.0));
    const ULONGLONG start = m_clock.NowMs();
    ASSERT_TRUE(m_board->StartLive());
    ASSERT_TRUE(WaitForFrames(5));
    m_board->StopLive();
    const int frames = m_board->GetFrameCount();
    // The first frame comes at once, each further one 100 ms later.
    EXPECT_GE(m_clock.NowMs() - start, static_cast<ULONGLONG>((frames - 1) * 100));
    EXPECT_LE(m_clock.NowMs() - start, static_cast<ULONGLONG>(frames * 100));
}

TEST_F(LiveBoardTest, MeasuredRateIsReportedWhileLive)
{
    ASSERT_TRUE(m_board->SetParameterDouble(p::kFrameRate, 10.0));
    ASSERT_TRUE(m_board->StartLive());
    ASSERT_TRUE(WaitForFrames(4));
    EXPECT_DOUBLE_EQ(m_board->GetParameterDouble(p::kFrameRate), 10.0);
    EXPECT_TRUE(m_board->IsFrameRateAvailable());
}

TEST_F(LiveBoardTest, StillGrabWaitsWhileTheBufferIsLocked)
{
    ASSERT_TRUE(m_board->LockBuffer(0));
    std::future<double> grab = std::async(std::launch::async, [this] { return m_board->GrabFrame(0); });
    ASSERT_TRUE(WaitFor([this] { return m_board->GetBufferWaiters() == 1; }));
    EXPECT_EQ(m_board->GetFrameCount(), 0);
    EXPECT_TRUE(m_board->UnlockBuffer());
    EXPECT_EQ(grab.get(), 1.0);
    EXPECT_EQ(m_board->GetFrameCount(), 1);
}

TEST_F(LiveBoardTest, LiveFramesWaitWhileTheBufferIsLocked)
{
    ASSERT_TRUE(m_board->StartLive());
    ASSERT_TRUE(WaitForFrames(1));
    ASSERT_TRUE(m_board->LockBuffer(INFINITE));
    const int locked = m_board->GetFrameCount();
    ASSERT_TRUE(WaitFor([this] { return m_board->GetBufferWaiters() == 1; }));
    EXPECT_EQ(m_board->GetFrameCount(), locked);
    EXPECT_TRUE(m_board->UnlockBuffer());
    EXPECT_TRUE(WaitForFrames(locked + 1));
}

TEST_F(LiveBoardTest, LockBufferFailsWhileAnotherThreadHoldsIt)
{
    std::promise<void> locked;
    std::promise<void> release;
    std::thread holder([&] {
        EXPECT_TRUE(m_board->LockBuffer(0));
        locked.set_value();
        release.get_future().wait();
        m_board->UnlockBuffer();
    });
    locked.get_future().wait();
    EXPECT_FALSE(m_board->LockBuffer(0));
    EXPECT_FALSE(m_board->UnlockBuffer()); // not ours
    release.set_value();
    holder.join();
    EXPECT_TRUE(m_board->LockBuffer(0));
    EXPECT_TRUE(m_board->LockBuffer(0)); // recursive
    EXPECT_TRUE(m_board->UnlockBuffer());
    EXPECT_TRUE(m_board->UnlockBuffer());
}

TEST_F(LiveBoardTest, LiveFramesGoIntoTheConnectedPageAndAreAnnounced)
{
    CRecordingWindow view;
    CDIB page;
    ASSERT_EQ(m_board->ConnectDisplay(&page, view.Handle(), CRect(0, 0, 640, 480)), 1);
    ASSERT_TRUE(m_board->StartLive());
    ASSERT_TRUE(WaitForFrames(3));
    m_board->StopLive();
    kestrun::PumpMessages();

    EXPECT_EQ(page.GetWidth(), 640);
    EXPECT_EQ(page.GetHeight(), 480);
    const auto ready = view.Events("MSG_GRABBER");
    EXPECT_EQ(ready.size(), static_cast<size_t>(m_board->GetFrameCount()));
    for (WPARAM event : ready)
        EXPECT_EQ(event, kestrun::fgevent::kPictureReady);
    // The empty page took the camera's size with the first frame.
    EXPECT_EQ(view.Events("MSG_GRABWELL_TO_APP"), std::vector<WPARAM>{kestrun::fgevent::kFormatChangedLive});
    m_board->DisconnectDisplay();
}

// The callback of a dialog that sends to its window on the user's thread.
struct CSendingDialog
{
    HWND window = nullptr;
    UINT message = RegisterWindowMessage("MSG_GRABBER");
};

int sendToDialog(void* context)
{
    auto* dialog = static_cast<CSendingDialog*>(context);
    SendMessage(dialog->window, dialog->message, kestrun::fgevent::kPictureReady, 0);
    return 0;
}

TEST_F(LiveBoardTest, StoppingWhileTheCallBackSendsToThisThreadDoesNotHang)
{
    CRecordingWindow window;
    CSendingDialog dialog{window.Handle()};
    m_board->SetCallBack(sendToDialog, &dialog);
    ASSERT_TRUE(m_board->StartLive());
    // The board's thread now waits in its send until this thread delivers.
    ASSERT_TRUE(kestrun::WaitForMessages(INFINITE));
    m_board->SetCallBack(nullptr, nullptr);
    const size_t delivered = window.Received("MSG_GRABBER").size();
    EXPECT_GE(delivered, 1u);
    ASSERT_TRUE(m_board->StartLive());
    ASSERT_TRUE(WaitForFrames(m_board->GetFrameCount() + 2));
    m_board->StopLive();
    kestrun::PumpMessages();
    EXPECT_EQ(window.Received("MSG_GRABBER").size(), delivered);
}

// A callback that takes a still frame itself, ending the live run it runs in.
int grabFromCallBack(void* context)
{
    auto* board = static_cast<FGBoard*>(context);
    board->SetCallBack(nullptr, nullptr);
    board->GrabFrame(0);
    return 0;
}

TEST_F(LiveBoardTest, CallBackMayEndTheLiveRunItRunsIn)
{
    m_board->SetCallBack(grabFromCallBack, m_board.get());
    ASSERT_TRUE(m_board->StartLive());
    // The live frame, then the still one.
    ASSERT_TRUE(WaitFor([this] { return m_board->GetFrameCount() >= 2; }));
    EXPECT_FALSE(m_board->IsLive());
    // The board starts again, and ends cleanly with the stopped run.
    ASSERT_TRUE(m_board->StartLive());
    ASSERT_TRUE(WaitForFrames(m_board->GetFrameCount() + 1));
    m_board->StopLive();
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(LiveBoardTest, ClockCannotChangeWhileLive)
{
    kestrun::ManualClock other;
    ASSERT_TRUE(m_board->StartLive());
    EXPECT_FALSE(m_board->SetClock(&other));
    m_board->StopLive();
    EXPECT_TRUE(m_board->SetClock(&other));
}

} // namespace
