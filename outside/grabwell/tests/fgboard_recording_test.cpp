// Recording the board's frames into an AVI file, and playing it back as
// the video-file source.

#include "outside/grabwell/tests/boardtesting.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;
using kestrun::testing::ScopedMessageBoxes;
using kestrun::testing::ScratchFolder;

class BoardRecordingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_folder = ScratchFolder(name);
        fs::create_directories(m_folder / "dev");
        m_board = std::make_unique<FGBoard>(&m_clock, (m_folder / "dev").c_str(), (m_folder / "dev").c_str());
        m_board->SetParameterString(p::kFolder, m_folder.c_str());
        ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 160));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 120));
    }

    // Still frames, each kept as the board delivered it.
    std::vector<cv::Mat> Grab(int count)
    {
        std::vector<cv::Mat> frames;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(m_board->GrabFrame(0), 1.0);
            frames.push_back(m_board->GetDIB()->GetMat().clone());
        }
        return frames;
    }

    // The files of the folder, by name.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder))
            if (entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static double MeanDifference(const cv::Mat& a, const cv::Mat& b) { return cv::norm(a, b, cv::NORM_L1) / a.total() / 3.0; }

    kestrun::ManualClock m_clock;
    fs::path m_folder;
    ScopedMessageBoxes m_boxes;
    std::unique_ptr<FGBoard> m_board;
};

TEST_F(BoardRecordingTest, TheVideoFileSourcePlaysBackWhatWasRecorded)
{
    const fs::path file = m_folder / "sequence.avi";
    ASSERT_TRUE(m_board->RecordSequence(file.c_str()));
    EXPECT_TRUE(m_board->IsRecording());
    const std::vector<cv::Mat> recorded = Grab(5);
    EXPECT_EQ(m_board->GetRecordingFrames(), 5);
    // Nothing stands under the name before the recording is complete.
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(m_board->StopRecording());
    EXPECT_FALSE(m_board->IsRecording());
    EXPECT_EQ(Files(), std::vector<std::string>{"sequence.avi"});
    EXPECT_TRUE(m_boxes->Texts().empty());

    // Frames after the stop are not recorded.
    Grab(1);
    ASSERT_TRUE(m_board->SetParameterString(p::kVideoFile, file.c_str()));
    ASSERT_TRUE(m_board->SetVideoSource(3));
    const std::vector<cv::Mat> played = Grab(5);
    EXPECT_EQ(m_board->GetParameter(p::kRecordedFrames), 5);
    for (size_t i = 0; i < played.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(played[i].size(), recorded[i].size());
        // Motion-JPEG loses a little; a frame is nearest its own original.
        const double own = MeanDifference(played[i], recorded[i]);
        EXPECT_LT(own, 3.0);
        for (size_t j = 0; j < recorded.size(); ++j)
            if (j != i) {
                EXPECT_LT(own, MeanDifference(played[i], recorded[j]));
            }
    }
}

TEST_F(BoardRecordingTest, RefusedRecordingsAndEmptyOnesWriteNoFile)
{
    // No folder to write into.
    EXPECT_FALSE(m_board->RecordSequence((m_folder / "missing" / "a.avi").c_str()));
    EXPECT_FALSE(m_board->RecordSequence(""));
    EXPECT_FALSE(m_board->IsRecording());
    EXPECT_FALSE(m_board->StopRecording());

    // One recording at a time; the first goes on.
    ASSERT_TRUE(m_board->RecordSequence((m_folder / "first.avi").c_str()));
    EXPECT_FALSE(m_board->RecordSequence((m_folder / "second.avi").c_str()));
    EXPECT_TRUE(m_board->IsRecording());
    // Stopped before any frame came: nothing written, and said so.
    EXPECT_FALSE(m_board->StopRecording());
    EXPECT_TRUE(Files().empty());
    const std::vector<CString> texts = m_boxes->Texts();
    ASSERT_EQ(texts.size(), 4U);
    EXPECT_TRUE(texts[0].Find("folder does not exist") >= 0) << texts[0];
    EXPECT_TRUE(texts[2] == "A sequence is being recorded already.") << texts[2];
    EXPECT_TRUE(texts[3] == "No frame came while recording; no sequence was written.") << texts[3];
}

TEST_F(BoardRecordingTest, AFrameOfAnotherSizeEndsTheRecordingWithTheFramesSoFar)
{
    const fs::path file = m_folder / "sized.avi";
    ASSERT_TRUE(m_board->RecordSequence(file.c_str()));
    Grab(2);
    ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 200));
    Grab(1);
    EXPECT_FALSE(m_board->IsRecording());
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{FormatString(
                                    "The frame size changed: the recording %s ends after 2 frames.", file.c_str())});
    ASSERT_TRUE(m_board->SetParameterString(p::kVideoFile, file.c_str()));
    ASSERT_TRUE(m_board->SetVideoSource(3));
    Grab(1);
    EXPECT_EQ(m_board->GetParameter(p::kRecordedFrames), 2);
    EXPECT_EQ(m_board->GetWidth(), 160);
}

} // namespace
