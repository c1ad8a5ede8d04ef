#include "outside/grabwell/folderplayback.h"
#include "outside/grabwell/tests/boardtesting.h"

#include "outside/pixmere/dib.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;
using kestrun::CBoardSettings;
using kestrun::CFolderPlayback;
using kestrun::testing::ScratchFolder;

constexpr COLORREF kFirst = RGB(200, 10, 10);
constexpr COLORREF kSecond = RGB(10, 200, 10);
constexpr COLORREF kThird = RGB(10, 10, 200);

class FolderPlaybackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        // Name order, not the order of writing; case does not count.
        WriteImage("c.png", kThird, 30, 10);
        WriteImage("A.bmp", kFirst, 10, 10);
        WriteImage("b.tif", kSecond, 20, 10);
        std::ofstream(m_folder / "notes.txt") << "not an image";
        fs::create_directories(m_folder / "sub.png"); // a folder, not an image
    }

    void WriteImage(const char* name, COLORREF colour, int width, int height) const
    {
        CDIB page;
        ASSERT_TRUE(page.InitDIB(width, height, 24));
        page.SetAllGray(colour);
        ASSERT_TRUE(page.Write((m_folder / name).c_str()));
    }

    CBoardSettings Settings() const
    {
        CBoardSettings settings;
        settings.playbackFolder = m_folder.c_str();
        return settings;
    }

    fs::path m_folder;
};

COLORREF colourOf(const cv::Mat& frame)
{
    const cv::Vec3b bgr = frame.at<cv::Vec3b>(0, 0);
    return RGB(bgr[2], bgr[1], bgr[0]);
}

TEST_F(FolderPlaybackTest, PlaysTheImagesInNameOrderAndStartsOver)
{
    CFolderPlayback playback(Settings(), "");
    ASSERT_TRUE(playback.Open()) << playback.GetLastError().GetString();
    EXPECT_TRUE(playback.IsPlayback());
    EXPECT_EQ(playback.GetRecordedFrames(), 3);
    EXPECT_EQ(playback.GetFrameSize(), CSize(10, 10));

    cv::Mat frame;
    for (COLORREF expected : {kFirst, kSecond, kThird, kFirst}) {
        ASSERT_TRUE(playback.ReadFrame(frame));
        EXPECT_EQ(colourOf(frame), expected);
    }
}

TEST_F(FolderPlaybackTest, FolderWithoutImagesIsRefusedWithAReason)
{
    const fs::path empty = m_folder / "empty";
    fs::create_directories(empty);
    for (const fs::path& folder : {empty, m_folder / "missing"}) {
        CBoardSettings settings;
        settings.playbackFolder = folder.c_str();
        CFolderPlayback playback(settings, "");
        EXPECT_FALSE(playback.Open()) << folder;
        EXPECT_NE(playback.GetLastError().Find(folder.c_str()), -1) << playback.GetLastError().GetString();
    }
}

TEST_F(FolderPlaybackTest, DamagedImageStopsThePlaybackWithAReason)
{
    std::ofstream(m_folder / "d.png", std::ios::binary) << "\x89PNG broken";
    CFolderPlayback playback(Settings(), "");
    ASSERT_TRUE(playback.Open());
    cv::Mat frame;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(playback.ReadFrame(frame));
    EXPECT_FALSE(playback.ReadFrame(frame));
    EXPECT_NE(playback.GetLastError().Find("d.png"), -1);
}

TEST_F(FolderPlaybackTest, GreyImagesPlayInColourPages)
{
    const fs::path grey = m_folder / "grey";
    fs::create_directories(grey);
    CDIB page;
    ASSERT_TRUE(page.InitDIB(8, 8, 8));
    page.SetAllGray(RGB(90, 90, 90));
    ASSERT_TRUE(page.Write((grey / "g.png").c_str()));
    CBoardSettings settings;
    settings.playbackFolder = grey.c_str();
    CFolderPlayback playback(settings, "");
    cv::Mat frame;
    ASSERT_TRUE(playback.ReadFrame(frame));
    EXPECT_EQ(frame.type(), CV_8UC3);
    EXPECT_EQ(colourOf(frame), RGB(90, 90, 90));
}

TEST_F(FolderPlaybackTest, BoardServesTheFolderAsSourceOne)
{
    kestrun::ManualClock clock;
    FGBoard board(&clock, m_folder.c_str());
    // Without a playback folder the board's own folder is played.
    ASSERT_TRUE(board.SetParameterString(p::kFolder, m_folder.c_str()));
    ASSERT_TRUE(board.SetVideoSource(1));
    EXPECT_FALSE(board.IsInit());
    EXPECT_TRUE(board.IsPlayback());
    EXPECT_EQ(board.GetBoardType(), 0);

    const std::vector<std::pair<COLORREF, int>> expected{{kFirst, 10}, {kSecond, 20}, {kThird, 30}, {kFirst, 10}};
    for (const auto& [colour, width] : expected) {
        ASSERT_EQ(board.GrabFrame(0), 1.0);
        EXPECT_EQ(board.GetPixel(0, 0), colour);
        EXPECT_EQ(board.GetWidth(), width);
    }
    EXPECT_EQ(board.GetParameter(p::kRecordedFrames), 3);
    EXPECT_EQ(board.GetFrameCount(), 4);
}

TEST_F(FolderPlaybackTest, LivePlaybackRunsThroughTheFolder)
{
    kestrun::ManualClock clock;
    FGBoard board(&clock, m_folder.c_str());
    ASSERT_TRUE(board.SetParameterString(p::kPlaybackFolder, m_folder.c_str()));
    ASSERT_TRUE(board.SetVideoSource(1));
    ASSERT_TRUE(board.StartLive());
    ASSERT_TRUE(kestrun::testing::WaitFor([&board] { return board.GetFrameCount() >= 7; }));
    board.StopLive();
    // Frame n shows image (n - 1) mod 3.
    const COLORREF colours[] = {kFirst, kSecond, kThird};
    ASSERT_TRUE(board.LockBuffer(0));
    EXPECT_EQ(board.GetPixel(0, 0), colours[(board.GetFrameCount() - 1) % 3]);
    board.UnlockBuffer();
}

TEST_F(FolderPlaybackTest, LiveReadFailureStopsAndTellsTheOwner)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    kestrun::testing::CRecordingWindow owner;
    std::ofstream(m_folder / "a0.png", std::ios::binary) << "\x89PNG broken"; // right after A.bmp
    kestrun::ManualClock clock;
    FGBoard board(&clock, m_folder.c_str());
    board.SetOwnerWnd(owner.Handle());
    ASSERT_TRUE(board.SetParameterString(p::kPlaybackFolder, m_folder.c_str()));
    ASSERT_TRUE(board.SetVideoSource(1));
    ASSERT_TRUE(board.StartLive());
    ASSERT_TRUE(kestrun::testing::WaitFor([&board] { return !board.IsLive(); }));
    board.StopLive();
    EXPECT_EQ(board.GetFrameCount(), 1);

    // The board's thread shows no message box; the owner gets the text.
    EXPECT_TRUE(boxes->Texts().empty());
    kestrun::PumpMessages();
    const auto notices = owner.Received("MSG_GRABWELL_TO_APP");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].wParam, kestrun::fgevent::kStatusText);
    EXPECT_NE(CString(reinterpret_cast<const char*>(notices[0].lParam)).Find("a0.png"), -1);
}

} // namespace
