#include "outside/grabwell/boardprofiles.h"
#include "outside/grabwell/tests/boardtesting.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;
using kestrun::testing::ScratchFolder;

class BoardProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_board = std::make_unique<FGBoard>(&m_clock, m_folder.c_str());
        ASSERT_TRUE(m_board->SetParameterString(p::kFolder, m_folder.c_str()));
    }

    void SetLabSettings()
    {
        ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 320));
        ASSERT_TRUE(m_board->SetParameter(p::kSimulatedSeed, 7));
        ASSERT_TRUE(m_board->SetParameter(p::kSimulatedScene, 1));
        ASSERT_TRUE(m_board->SetParameterDouble(p::kFrameRate, 12.5));
        ASSERT_TRUE(m_board->SetInpChannel(2));
        ASSERT_TRUE(m_board->SetParameterString(p::kPlaybackFolder, "images\\lab"));
    }

    kestrun::ManualClock m_clock;
    fs::path m_folder;
    std::unique_ptr<FGBoard> m_board;
};

TEST_F(BoardProfileTest, SavedProfileBringsItsSettingsBack)
{
    EXPECT_EQ(m_board->GetParameterString(p::kProfile), "");
    SetLabSettings();
    ASSERT_TRUE(m_board->SetParameterString(p::kSaveProfile, "Lab"));
    EXPECT_EQ(m_board->GetParameterString(p::kProfile), "Lab");
    EXPECT_TRUE(fs::exists(m_folder / "grabwell.ini"));

    FGBoard fresh(&m_clock, m_folder.c_str());
    ASSERT_TRUE(fresh.SetParameterString(p::kFolder, m_folder.c_str()));
    ASSERT_TRUE(fresh.SetParameterString(p::kProfile, "Lab"));
    EXPECT_EQ(fresh.GetParameterString(p::kProfile), "Lab");
    EXPECT_EQ(fresh.GetParameter(p::kLiveWidth), 320);
    EXPECT_EQ(fresh.GetParameter(p::kSimulatedSeed), 7);
    EXPECT_EQ(fresh.GetParameter(p::kSimulatedScene), 1);
    EXPECT_DOUBLE_EQ(fresh.GetParameterDouble(p::kFrameRate), 12.5);
    EXPECT_EQ(fresh.GetInpChannel(), 2);
    EXPECT_EQ(fresh.GetParameterString(p::kPlaybackFolder), "images/lab");
}

TEST_F(BoardProfileTest, UnknownProfileChangesNothing)
{
    SetLabSettings();
    ASSERT_TRUE(m_board->SetParameterString(p::kSaveProfile, "Lab"));
    ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 100));
    EXPECT_FALSE(m_board->SetParameterString(p::kProfile, "Nope"));
    EXPECT_EQ(m_board->GetParameterString(p::kProfile), "Lab");
    EXPECT_EQ(m_board->GetParameter(p::kLiveWidth), 100);
}

TEST_F(BoardProfileTest, NamesThatCannotHeadASectionAreRefused)
{
    for (const char* name : {"", " Lab", "Lab ", "La]b", "[Lab", "La\nb", "La\tb"}) {
        EXPECT_FALSE(kestrun::CBoardProfiles::IsValidName(name)) << name;
        EXPECT_FALSE(m_board->SetParameterString(p::kSaveProfile, name)) << name;
        EXPECT_FALSE(m_board->SetParameterString(p::kProfile, name)) << name;
    }
    EXPECT_FALSE(fs::exists(m_folder / "grabwell.ini"));
    EXPECT_TRUE(kestrun::CBoardProfiles::IsValidName("Lab 2 (µm)"));
}

TEST_F(BoardProfileTest, SaveIntoAMissingFolderFails)
{
    ASSERT_TRUE(m_board->SetParameterString(p::kFolder, (m_folder / "missing").c_str()));
    EXPECT_FALSE(m_board->SetParameterString(p::kSaveProfile, "Lab"));
    EXPECT_EQ(m_board->GetParameterString(p::kProfile), "");
}

TEST_F(BoardProfileTest, ProfileWithASourceThatIsGoneKeepsTheCurrentSource)
{
    kestrun::CBoardSettings settings;
    settings.videoSource = 2; // a camera, not connected here
    settings.simulatedSeed = 9;
    ASSERT_TRUE(kestrun::CBoardProfiles(m_folder.c_str()).Save("Camera", settings));
    ASSERT_TRUE(m_board->SetParameterString(p::kProfile, "Camera"));
    EXPECT_EQ(m_board->GetVideoSource(), 0);
    EXPECT_EQ(m_board->GetParameter(p::kSimulatedSeed), 9);
}

TEST_F(BoardProfileTest, ProfileOfAnImageFolderPlaysItsOwnFolder)
{
    const fs::path images = m_folder / "images";
    fs::create_directories(images);
    CDIB page;
    ASSERT_TRUE(page.InitDIB(4, 4, 24));
    ASSERT_TRUE(page.Write((images / "one.png").c_str()));
    kestrun::CBoardSettings settings;
    settings.videoSource = 1;
    settings.playbackFolder = images.c_str();
    ASSERT_TRUE(kestrun::CBoardProfiles(m_folder.c_str()).Save("Folder", settings));

    // The board's own folder holds no images: the profile's folder counts.
    ASSERT_TRUE(m_board->SetParameterString(p::kProfile, "Folder"));
    EXPECT_EQ(m_board->GetVideoSource(), 1);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(m_board->GetWidth(), 4);
}

} // namespace
