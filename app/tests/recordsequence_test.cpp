// Video > Record Sequence and Video > Options on the board's own sources:
// a recording of the video document's frames that the video-file source
// plays back, and the options dialog's settings reaching the board.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "app/videooptionsdlg.h"
#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>
#include <opencv2/core.hpp>

#include <filesystem>
#include <regex>

namespace kestrun::testing {
namespace {

class RecordSequenceTest : public CBoardAppTest
{
protected:
    void SetUp() override
    {
        CBoardAppTest::SetUp();
        if (!HasFatalFailure())
            m_settings = GetFG()->GetSettings();
    }

    void TearDown() override
    {
        Stop(m_app);
        GetFG()->StopRecording();
        ReleaseBoard();
        FGBoard* board = GetFG();
        board->SetVideoSource(0);
        board->SetParameter(fgparam::kLiveWidth, m_settings.simulatedWidth);
        board->SetParameter(fgparam::kLiveHeight, m_settings.simulatedHeight);
        board->SetParameter(fgparam::kSimulatedScene, m_settings.simulatedScene);
        board->SetParameterDouble(fgparam::kFrameRate, m_settings.frameRate);
        board->SetParameterString(fgparam::kVideoFile, m_settings.videoFile);
        board->SetParameterString(fgparam::kPlaybackFolder, m_settings.playbackFolder);
        CAppTest::TearDown();
    }

    // A snapshot of the video document, as the menu takes it.
    cv::Mat Snapshot()
    {
        MainFrame(m_app).SendMessage(WM_COMMAND, ID_SNAPSHOT);
        PumpMessages();
        return VideoDocument(m_app)->GetActiveDIB()->GetMat().clone();
    }

    static double MeanDifference(const cv::Mat& a, const cv::Mat& b)
    {
        return cv::norm(a, b, cv::NORM_L1) / static_cast<double>(a.total()) / 3.0;
    }

    CBoardSettings m_settings;
};

TEST_F(RecordSequenceTest, RecordedFramesArePlayedBackByTheVideoFileSource)
{
    CMainFrame& frame = MainFrame(m_app);
    EXPECT_FALSE(QueryCommand(frame, ID_RECORD_SEQUENCE).enabled); // no video yet
    ASSERT_TRUE(GetFG()->SetParameter(fgparam::kLiveWidth, 160));
    ASSERT_TRUE(GetFG()->SetParameter(fgparam::kLiveHeight, 120));
    frame.SendMessage(WM_COMMAND, ID_INIT_VIDEO);
    ASSERT_NE(VideoDocument(m_app), nullptr);
    Snapshot(); // stills from here on
    ASSERT_TRUE(QueryCommand(frame, ID_RECORD_SEQUENCE).enabled);
    EXPECT_EQ(QueryCommand(frame, ID_RECORD_SEQUENCE).check, 0);

    frame.SendMessage(WM_COMMAND, ID_RECORD_SEQUENCE);
    EXPECT_EQ(QueryCommand(frame, ID_RECORD_SEQUENCE).check, 1);
    std::vector<cv::Mat> recorded;
    for (int i = 0; i < 3; ++i)
        recorded.push_back(Snapshot());
    EXPECT_EQ(GetFG()->GetRecordingFrames(), 3);
    frame.SendMessage(WM_COMMAND, ID_RECORD_SEQUENCE);
    EXPECT_EQ(QueryCommand(frame, ID_RECORD_SEQUENCE).check, 0);
    EXPECT_FALSE(GetFG()->IsRecording());

    // One file in the images folder, named by the date and time.
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_app.GetImageDir().str()))
        if (entry.path().extension() == ".avi")
            files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1U);
    EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(\d{8}_\d{6}\.avi)")))
        << files[0].filename();

    ASSERT_TRUE(GetFG()->SetParameterString(fgparam::kVideoFile, files[0].c_str()));
    ASSERT_TRUE(GetFG()->SetVideoSource(3));
    PumpMessages();
    EXPECT_EQ(GetFG()->GetParameter(fgparam::kRecordedFrames), 3);
    // Whichever frame the view's own grab took first, each played frame is
    // one of the recorded ones.
    for (int i = 0; i < 3; ++i) {
        const cv::Mat played = Snapshot();
        ASSERT_EQ(played.size(), recorded[0].size());
        double nearest = 1e9;
        for (const cv::Mat& original : recorded)
            nearest = std::min(nearest, MeanDifference(played, original));
        EXPECT_LT(nearest, 3.0) << i;
    }
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts().front().GetString();
}

TEST_F(RecordSequenceTest, VideoOptionsSetsUpTheBoardsOwnSources)
{
    CMainFrame& frame = MainFrame(m_app);
    ASSERT_TRUE(QueryCommand(frame, ID_VIDEO_OPTIONS).enabled);
    const std::filesystem::path movie = m_folder / "movie.avi";
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = WindowOf<CVideoOptionsDlg>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        // A width of 0 is refused and the dialog stays.
        dialog->SetDlgItemText(IDC_VIDEO_WIDTH, "0");
        dialog->SendMessage(WM_COMMAND, IDOK);
        ASSERT_NE(QApplication::activeModalWidget(), nullptr);
        dialog->SetDlgItemText(IDC_VIDEO_WIDTH, "320");
        dialog->SetDlgItemText(IDC_VIDEO_HEIGHT, "200");
        dialog->SetDlgItemText(IDC_VIDEO_FRAME_RATE, "12.5");
        dialog->CheckDlgButton(IDC_VIDEO_CHESSBOARD, 1);
        dialog->SetDlgItemText(IDC_VIDEO_FILE, movie.c_str());
        dialog->SendMessage(WM_COMMAND, IDOK);
    });
    frame.SendMessage(WM_COMMAND, ID_VIDEO_OPTIONS);
    ASSERT_TRUE(shown);

    const CBoardSettings settings = GetFG()->GetSettings();
    EXPECT_EQ(settings.simulatedWidth, 320);
    EXPECT_EQ(settings.simulatedHeight, 200);
    EXPECT_DOUBLE_EQ(settings.frameRate, 12.5);
    EXPECT_EQ(settings.simulatedScene, 1);
    EXPECT_EQ(settings.videoFile, CString(movie.c_str()));
    // The box that told of the width refused.
    EXPECT_EQ(m_boxes->Texts().size(), 1U);
}

} // namespace
} // namespace kestrun::testing
