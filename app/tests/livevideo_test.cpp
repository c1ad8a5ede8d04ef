// Live video from the Video menu on the simulated camera (paced by a manual
// clock): Snapshot and Continuous Grabbing reach the video document
// wherever it stands among the open images, their check marks follow the
// board, and a stopped picture stays stopped.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

namespace kestrun::testing {
namespace {

class LiveVideoTest : public CBoardAppTest
{
protected:
    void SetUp() override
    {
        CBoardAppTest::SetUp();
        if (!HasFatalFailure())
            ASSERT_TRUE(GetFG()->SetParameter(fgparam::kSimulatedType, 1));
    }

    static bool Same(const cv::Mat& a, const cv::Mat& b)
    {
        return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
    }

};

TEST_F(LiveVideoTest, SnapshotAndContinuousGrabbingDriveTheVideoDocumentAndTheirChecksFollowTheBoard)
{
    // An image opened before the video: the video document is not the first.
    const std::filesystem::path file = m_folder / "plate.png";
    ASSERT_TRUE(cv::imwrite(file.string(), cv::Mat(60, 80, CV_8UC3, cv::Scalar(200, 210, 220))));
    auto* image = DYNAMIC_DOWNCAST(CDIBDoc, m_app.OpenDocumentFile(file.c_str()));
    ASSERT_NE(image, nullptr);
    const cv::Mat plate = image->GetActiveDIB()->GetMat().clone();
    CMainFrame& frame = MainFrame(m_app);
    frame.SendMessage(WM_COMMAND, ID_INIT_VIDEO);
    CDIBDoc* video = VideoDocument(m_app);
    ASSERT_NE(video, nullptr);
    ASSERT_NE(video, image);
    FGBoard& board = *GetFG();
    ASSERT_TRUE(board.IsLive());

    struct Step
    {
        UINT command;
        bool live;
    };
    const Step steps[] = {
        {ID_SNAPSHOT, false},           {ID_CONTINUOUS_GRABBING, true}, {ID_CONTINUOUS_GRABBING, false},
        {ID_CONTINUOUS_GRABBING, true}, {ID_SNAPSHOT, false},           {ID_SNAPSHOT, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(&step - steps);
        frame.SendMessage(WM_COMMAND, step.command);
        PumpMessages();
        EXPECT_EQ(board.IsLive(), step.live ? TRUE : FALSE);
        EXPECT_EQ(QueryCommand(frame, ID_CONTINUOUS_GRABBING).check, step.live ? 1 : 0);
        EXPECT_EQ(QueryCommand(frame, ID_SNAPSHOT).check, step.live ? 0 : 1);
        if (step.live)
            continue;
        // Stopped: the next tick brings no new picture.
        const cv::Mat shown = video->GetActiveDIB()->GetMat().clone();
        m_clock.Advance(1000);
        PumpMessages();
        EXPECT_TRUE(Same(video->GetActiveDIB()->GetMat(), shown));
    }
    EXPECT_TRUE(Same(image->GetActiveDIB()->GetMat(), plate));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(LiveVideoTest, ANewFrameSizeTakenWhileLiveKeepsLiveVideoAsTheUserLeftIt)
{
    CMainFrame& frame = MainFrame(m_app);
    frame.SendMessage(WM_COMMAND, ID_INIT_VIDEO);
    CDIBDoc* video = VideoDocument(m_app);
    ASSERT_NE(video, nullptr);
    ASSERT_FALSE(video->Views().empty());
    CView* view = video->Views().front();
    FGBoard& board = *GetFG();
    const UINT toApp = RegisterWindowMessage("MSG_GRABWELL_TO_APP");

    // While live: a still of the new size, then live again.
    ASSERT_TRUE(board.IsLive());
    view->SendMessage(toApp, fgevent::kFormatChangedLive);
    EXPECT_TRUE(board.IsLive());

    // A notice still queued when the snapshot stopped live video.
    frame.SendMessage(WM_COMMAND, ID_SNAPSHOT);
    ASSERT_FALSE(board.IsLive());
    const int frames = board.GetFrameCount();
    const cv::Mat shown = video->GetActiveDIB()->GetMat().clone();
    view->SendMessage(toApp, fgevent::kFormatChangedLive);
    PumpMessages();
    EXPECT_FALSE(board.IsLive());
    EXPECT_EQ(board.GetFrameCount(), frames);
    EXPECT_TRUE(Same(video->GetActiveDIB()->GetMat(), shown));
}

} // namespace
} // namespace kestrun::testing
