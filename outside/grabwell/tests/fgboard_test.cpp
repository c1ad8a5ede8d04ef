// The board's still grabs, sources, parameters and words.

#include "outside/grabwell/tests/boardtesting.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;
using kestrun::testing::CRecordingWindow;
using kestrun::testing::ScopedMessageBoxes;
using kestrun::testing::ScratchFolder;

class BoardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_folder = ScratchFolder(name);
        fs::create_directories(m_folder / "dev"); // no camera and no plug-ins here
        m_board = std::make_unique<FGBoard>(&m_clock, (m_folder / "dev").c_str(), (m_folder / "dev").c_str());
        m_board->SetParameterString(p::kFolder, m_folder.c_str());
    }

    // A copy of the frame in the buffer.
    cv::Mat Frame() const { return m_board->GetDIB()->GetMat().clone(); }

    // Writes an image of one colour.
    void WriteImage(const char* name, COLORREF colour, int width = 32, int height = 24) const
    {
        CDIB page;
        ASSERT_TRUE(page.InitDIB(width, height, 24));
        page.SetAllGray(colour);
        ASSERT_TRUE(page.Write((m_folder / name).c_str()));
    }

    kestrun::ManualClock m_clock;
    fs::path m_folder;
    ScopedMessageBoxes m_boxes;
    std::unique_ptr<FGBoard> m_board;
};

bool sameImage(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

TEST_F(BoardTest, StillGrabsDeliverNewFramesWithAGrowingCount)
{
    EXPECT_FALSE(m_board->IsInit());
    EXPECT_EQ(m_board->GetWidth(), 0); // no image yet
    EXPECT_EQ(m_board->GetFrameCount(), 0);

    EXPECT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_TRUE(m_board->IsInit());
    EXPECT_EQ(m_board->GetFrameCount(), 1);
    EXPECT_EQ(m_board->GetWidth(), 640);
    EXPECT_EQ(m_board->GetHeight(), 480);
    EXPECT_EQ(m_board->GetBitCount(), 24);
    EXPECT_EQ(m_board->GetBytes(), 3);
    EXPECT_EQ(m_board->GetDIB()->GetWidth(), 640);
    const cv::Mat first = Frame();

    EXPECT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(m_board->GetFrameCount(), 2);
    EXPECT_FALSE(sameImage(first, Frame()));
    EXPECT_FALSE(m_board->IsLive());
    EXPECT_EQ(m_board->GetGrabModeWord(), 1);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(BoardTest, NamesItsSourcesAndRefusesThoseThatAreNotThere)
{
    EXPECT_EQ(m_board->GetVideoSourceNameAt(0), "Simulated Camera");
    EXPECT_EQ(m_board->GetVideoSourceNameAt(1), "Image Folder");
    EXPECT_EQ(m_board->GetVideoSourceNameAt(2), ""); // no V4L2 camera connected
    EXPECT_EQ(m_board->GetVideoSourceNameAt(3), "Video File");
    EXPECT_EQ(m_board->GetName(), "Simulated Camera");

    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    m_board->SetParameterString(p::kVideoFile, (m_folder / "missing.avi").c_str());
    // Out of range, no camera, plug-in slots not filled, a file that is
    // missing, an image folder without images.
    for (int index : {-1, 2, 4, 5, 6, 3, 1}) {
        EXPECT_FALSE(m_board->SetVideoSource(index)) << index;
        EXPECT_EQ(m_board->GetVideoSource(), 0) << index;
        EXPECT_FALSE(m_board->GetLastReport().IsEmpty()) << index;
    }
    // The board works on as before, and refusals show nothing.
    EXPECT_TRUE(m_board->IsInit());
    EXPECT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(m_board->GetFrameCount(), 2);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(BoardTest, LiveSizeParametersDriveTheSimulatedCamera)
{
    EXPECT_EQ(m_board->GetParameter(p::kLiveWidth), 640);
    EXPECT_EQ(m_board->GetParameter(p::kLiveHeight), 480);
    EXPECT_TRUE(m_board->SetParameter(p::kLiveWidth, 320));
    EXPECT_TRUE(m_board->SetParameter(p::kLiveHeight, 200));
    for (int bad : {0, -5, 100000}) {
        EXPECT_FALSE(m_board->SetParameter(p::kLiveWidth, bad));
        EXPECT_FALSE(m_board->SetParameter(p::kLiveHeight, bad));
    }
    EXPECT_EQ(m_board->GetParameter(p::kLiveWidth), 320);
    EXPECT_EQ(m_board->GetParameter(p::kLiveHeight), 200);

    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(m_board->GetWidth(), 320);
    EXPECT_EQ(m_board->GetHeight(), 200);

    // Also while the camera is open.
    EXPECT_TRUE(m_board->SetParameter(p::kLiveWidth, 100));
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(m_board->GetWidth(), 100);
    EXPECT_EQ(m_board->GetParameter(p::kLiveWidth), 100);
}

TEST_F(BoardTest, FrameRateIsTheNominalRateUntilLive)
{
    EXPECT_DOUBLE_EQ(m_board->GetParameterDouble(p::kFrameRate), 25.0);
    EXPECT_TRUE(m_board->IsFrameRateAvailable());
    EXPECT_TRUE(m_board->SetParameterDouble(p::kFrameRate, 12.5));
    for (double bad : {0.0, -1.0, 5000.0})
        EXPECT_FALSE(m_board->SetParameterDouble(p::kFrameRate, bad));
    EXPECT_DOUBLE_EQ(m_board->GetParameterDouble(p::kFrameRate), 12.5);
    EXPECT_EQ(m_board->GetParameter(p::kNotAcquiring), 1);
}

TEST_F(BoardTest, UnknownParametersAnswerZeroAndChangeNothing)
{
    EXPECT_EQ(m_board->GetParameter(999), 0);
    EXPECT_FALSE(m_board->SetParameter(999, 1));
    EXPECT_EQ(m_board->GetParameterDouble(999), 0.0);
    EXPECT_EQ(m_board->GetParameterString(999), "");
    EXPECT_FALSE(m_board->SetParameterString(999, "x"));
    EXPECT_FALSE(m_board->SetParameter(p::kSimulatedType, 3));
    EXPECT_EQ(m_board->GetParameter(p::kSimulatedType), 1);
}

TEST_F(BoardTest, InputChannelChangesAreAnnouncedToTheOwner)
{
    CRecordingWindow owner;
    m_board->SetOwnerWnd(owner.Handle());
    EXPECT_TRUE(m_board->SetInpChannel(2));
    EXPECT_TRUE(m_board->SetInpChannel(2)); // no change, no notice
    EXPECT_FALSE(m_board->SetInpChannel(4));
    EXPECT_EQ(m_board->GetInpChannel(), 2);
    kestrun::PumpMessages();
    const auto notices = owner.Received("MSG_GRABWELL_TO_APP");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].wParam, kestrun::fgevent::kInputChanged);
    EXPECT_EQ(notices[0].lParam, 2);
}

TEST_F(BoardTest, ChannelsOfTheSimulatedCameraShowDifferentScenes)
{
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    const cv::Mat channel0 = Frame();
    // A fresh board on channel 1 at the same frame index.
    FGBoard other(&m_clock, (m_folder / "dev").c_str());
    other.SetInpChannel(1);
    ASSERT_EQ(other.GrabFrame(0), 1.0);
    EXPECT_FALSE(sameImage(channel0, other.GetDIB()->GetMat()));
}

TEST_F(BoardTest, TwoChannelGrabPutsBothInputsSideBySide)
{
    EXPECT_EQ(m_board->GetBoardType(), 1);
    ASSERT_TRUE(m_board->SetParameter(p::kSimulatedType, 2));
    EXPECT_EQ(m_board->GetBoardType(), 2);
    ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 64));
    ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 48));

    const int before = m_board->GetFrameCount();
    m_board->SetGrabMode(1);
    m_board->SetInpChannel(0);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    m_board->SetInpChannel(1);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    m_board->SetInpChannel(0);
    EXPECT_EQ(m_board->GetFrameCount(), before + 2);
    ASSERT_EQ(m_board->GetWidth(), 128);
    ASSERT_EQ(m_board->GetHeight(), 48);
    const cv::Mat both = Frame();
    EXPECT_FALSE(sameImage(both(cv::Rect(0, 0, 64, 48)), both(cv::Rect(64, 0, 64, 48))));
    EXPECT_GT(cv::countNonZero(both.reshape(1)), 0);

    m_board->SetGrabMode(0);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(m_board->GetWidth(), 64);
}

TEST_F(BoardTest, FieldAppliesToTheNextFrameOnly)
{
    const auto linesPaired = [](const cv::Mat& frame) {
        for (int y = 0; y + 1 < frame.rows; y += 2) {
            if (cv::norm(frame.row(y), frame.row(y + 1), cv::NORM_INF) != 0.0)
                return false;
        }
        return true;
    };
    m_board->SetField(1);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_TRUE(linesPaired(Frame()));
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_FALSE(linesPaired(Frame()));
}

TEST_F(BoardTest, FailedGrabIsReportedAsTheReportFlagSays)
{
    WriteImage("only.png", RGB(10, 20, 30));
    ASSERT_TRUE(m_board->SetParameterString(p::kPlaybackFolder, m_folder.c_str()));
    ASSERT_TRUE(m_board->SetVideoSource(1));
    fs::remove(m_folder / "only.png");

    // Message box by default...
    EXPECT_EQ(m_board->GrabFrame(0), 0.0);
    EXPECT_EQ(m_board->GetFrameCount(), 0);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], m_board->GetLastReport());

    // ...a status text to the owner window with the report flag.
    CRecordingWindow owner;
    m_board->SetOwnerWnd(owner.Handle());
    ASSERT_TRUE(m_board->SetParameter(p::kReportToWindow, 1));
    EXPECT_EQ(m_board->GetParameter(p::kReportToWindow), 1);
    EXPECT_EQ(m_board->GrabFrame(0), 0.0);
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    kestrun::PumpMessages();
    const auto notices = owner.Received("MSG_GRABWELL_TO_APP");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].wParam, kestrun::fgevent::kStatusText);
    EXPECT_STREQ(reinterpret_cast<const char*>(notices[0].lParam), m_board->GetLastReport().GetString());
}

TEST_F(BoardTest, DisplayConnectionOpensTheSourceAndKeepsTheLastFrame)
{
    CRecordingWindow view;
    CDIB page;
    EXPECT_EQ(m_board->ConnectDisplay(&page, nullptr, CRect(0, 0, 10, 10)), 0);
    EXPECT_FALSE(m_board->IsInit());

    ASSERT_EQ(m_board->ConnectDisplay(&page, view.Handle(), CRect(0, 0, 320, 240)), 1);
    EXPECT_TRUE(m_board->IsInit());
    EXPECT_TRUE(m_board->IsDisplayRunning());
    EXPECT_FALSE(m_board->PaintsWindow());
    EXPECT_EQ(m_board->GetDIB(), &page);
    EXPECT_EQ(m_board->GetDisplayRect(), CRect(0, 0, 320, 240));
    m_board->Stretch(TRUE);
    EXPECT_TRUE(m_board->IsStretched());

    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(page.GetWidth(), 640);
    const cv::Mat grabbed = page.GetMat().clone();

    m_board->DisconnectDisplay();
    EXPECT_FALSE(m_board->IsInit());
    EXPECT_FALSE(m_board->IsDisplayRunning());
    ASSERT_NE(m_board->GetDIB(), &page);
    EXPECT_TRUE(sameImage(m_board->GetDIB()->GetMat(), grabbed));
}

TEST_F(BoardTest, ChangingTheSourceOfAShownBoardAsksTheViewToGrab)
{
    WriteImage("a.png", RGB(200, 0, 0));
    ASSERT_TRUE(m_board->SetParameterString(p::kPlaybackFolder, m_folder.c_str()));
    CRecordingWindow view;
    CDIB page;
    ASSERT_EQ(m_board->ConnectDisplay(&page, view.Handle(), CRect()), 1);

    ASSERT_TRUE(m_board->SetVideoSource(1));
    EXPECT_TRUE(m_board->IsInit());
    EXPECT_TRUE(m_board->IsPlayback());
    EXPECT_EQ(m_board->GetBoardType(), 0);
    EXPECT_EQ(m_board->GetName(), "Image Folder");
    kestrun::PumpMessages();
    EXPECT_EQ(view.Events("MSG_GRABWELL_TO_APP"), std::vector<WPARAM>{kestrun::fgevent::kFormatChanged});
    m_board->DisconnectDisplay();
}

TEST(GetFGTest, ReturnsTheOneBoard)
{
    FGBoard* board = GetFG();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(GetFG(), board);
    EXPECT_EQ(board->GetVideoSourceNameAt(0), "Simulated Camera");
}

} // namespace
