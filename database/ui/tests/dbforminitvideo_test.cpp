// "&Initialize" of the database form: the form's image becomes a video
// document, and the grabber takes back the profile the application keeps
// for it.

#include "database/ui/dbform.h"

#include "imaging/dibdocex.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/testing/fake_app_services.h"
#include "platform/ui/winapp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;

// The form without its window: the view it would embed counts as made.
class CVideoForm : public CDBForm
{
public:
    BOOL CreateImageView(BOOL) override { return TRUE; }
};

class DBFormInitVideoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::path(std::getenv("KESTRUN_DATA_ROOT")) / "dbform_initvideo";
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        m_app.SetProfileName((m_folder / "kestrun32.ini").c_str());
        m_board = GetFG();
        ASSERT_NE(m_board, nullptr);
        m_previousFolder = m_board->GetParameterString(p::kFolder);
        ASSERT_TRUE(m_board->SetParameterString(p::kFolder, m_folder.c_str()));
        ASSERT_TRUE(m_board->SetParameterString(p::kSaveProfile, "Lab"));
        ASSERT_TRUE(m_board->SetParameterString(p::kSaveProfile, "Day"));
    }

    void TearDown() override
    {
        if (m_board != nullptr)
            m_board->SetParameterString(p::kFolder, m_previousFolder);
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    kestrun::testing::CFakeAppServices m_services;
    CWinApp m_app{"DBFormInitVideoTest"};
    fs::path m_folder;
    FGBoard* m_board = nullptr;
    CString m_previousFolder;
};

TEST_F(DBFormInitVideoTest, AStoredGrabberProfileGoesBackToTheBoard)
{
    struct Case
    {
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        {"Lab", "Lab"},
        {"", "Day"}, // nothing stored: the board keeps its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(m_board->SetParameterString(p::kProfile, "Day"));
        m_services.m_strGrabberProfileName = c.stored;
        CVideoForm form;
        form.OnInitVideo();
        ASSERT_NE(form.GetImageDocument(), nullptr);
        EXPECT_TRUE(form.GetImageDocument()->IsVideo());
        EXPECT_EQ(m_board->GetParameterString(p::kProfile), c.expected);
        form.DetachImageView();
    }
    EXPECT_TRUE(m_boxes->Texts().empty());
}

} // namespace
