// The application object: its profile, the recent-file list, the command
// line and the file dialog it offers for its templates.

#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi.h"
#include "platform/ui/winapp.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT IDR_TEXTDOC = 7400;
constexpr UINT IDR_CHARTDOC = 7401;

class WinAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_profile = kestrun::DataFolder() + "/winapp.ini";
        m_app.SetProfileName(m_profile);
    }

    CWinApp m_app{"Probe"};
    CString m_profile;
};

TEST_F(WinAppTest, ProfileGoesToTheApplicationsIniFile)
{
    EXPECT_TRUE(m_app.WriteProfileInt("System", "AutoThreshold", 1));
    EXPECT_TRUE(m_app.WriteProfileString("PathName", "Images", "/lab/images"));
    EXPECT_EQ(m_app.GetProfileInt("System", "AutoThreshold", 0), 1u);
    EXPECT_EQ(GetPrivateProfileString("PathName", "Images", "", m_profile), "/lab/images");
    // The plain profile functions use the same file.
    EXPECT_EQ(GetProfileString("PathName", "Images"), "/lab/images");
    EXPECT_EQ(m_app.GetProfileString("PathName", "Data", "none"), "none");
}

TEST_F(WinAppTest, RecentFilesKeepTheNewestFirstWithoutDoubles)
{
    m_app.LoadStdProfileSettings(3);
    for (const char* path : {"/a/one.bmp", "/a/two.bmp", "/a/three.bmp", "/a/ONE.bmp", "/a/four.bmp"})
        m_app.AddToRecentFileList(path);
    CRecentFileList& list = *m_app.m_pRecentFileList;
    EXPECT_EQ(list[0], "/a/four.bmp");
    EXPECT_EQ(list[1], "/a/ONE.bmp");
    EXPECT_EQ(list[2], "/a/three.bmp");
    EXPECT_EQ(list[3], "");
    EXPECT_EQ(GetPrivateProfileString("Recent File List", "File1", "", m_profile), "/a/four.bmp");

    // Another run reads the list back and shows it in the menu.
    CWinApp next("Next");
    next.SetProfileName(m_profile);
    next.LoadStdProfileSettings(3);
    EXPECT_EQ((*next.m_pRecentFileList)[2], "/a/three.bmp");
    CCmdUI item;
    item.m_nID = ID_FILE_MRU_FILE1 + 1;
    EXPECT_TRUE(next.OnCmdMsg(item.m_nID, CN_UPDATE_COMMAND_UI, &item, nullptr));
    EXPECT_EQ(item.m_strText, "&2 ONE.bmp");
    item.m_nID = ID_FILE_MRU_FILE1 + 3;
    next.OnCmdMsg(item.m_nID, CN_UPDATE_COMMAND_UI, &item, nullptr);
    EXPECT_FALSE(item.m_bEnabled);
}

TEST_F(WinAppTest, CommandLineAsksForAFileOrForAutomation)
{
    struct Case
    {
        std::vector<CString> args;
        int command;
        const char* file;
        BOOL automated;
    };
    const Case cases[] = {
        {{"kestrun"}, CCommandLineInfo::FileNew, "", FALSE},
        {{"kestrun", "/data/img.bmp"}, CCommandLineInfo::FileOpen, "/data/img.bmp", FALSE},
        {{"kestrun", "-Automation"}, CCommandLineInfo::FileNew, "", TRUE},
        {{"kestrun", "--p", "/data/img.bmp"}, CCommandLineInfo::FilePrint, "/data/img.bmp", FALSE},
    };
    for (const Case& c : cases) {
        m_app.m_arguments = c.args;
        CCommandLineInfo info;
        m_app.ParseCommandLine(info);
        EXPECT_EQ(info.m_nShellCommand, c.command) << c.args.back().GetString();
        EXPECT_EQ(info.m_strFileName, c.file);
        EXPECT_EQ(info.m_bRunAutomated, c.automated);
    }
}

TEST_F(WinAppTest, FileDialogOffersTheKindsOfEveryTemplate)
{
    AfxRegisterString(IDR_TEXTDOC, "\nText\nText Document\nText Files (*.txt)\n.txt\n\n");
    AfxRegisterString(IDR_CHARTDOC, "\nChart\nChart\nChart Files (*.cht)\n.cht;.chx\n\n");
    m_app.AddDocTemplate(new CMultiDocTemplate(IDR_TEXTDOC, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CMDIChildWnd), nullptr));
    m_app.AddDocTemplate(new CMultiDocTemplate(IDR_CHARTDOC, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CMDIChildWnd), nullptr));

    CString filter;
    BOOL open = FALSE;
    auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog& dlg) {
        auto& file = static_cast<CFileDialog&>(dlg);
        filter = file.Filter();
        open = file.IsOpenDialog();
        file.SetResult({"/lab/series"});
        return static_cast<INT_PTR>(IDOK);
    });
    CString name;
    EXPECT_TRUE(m_app.DoPromptFileName(name, 0, 0, FALSE, nullptr));
    kestrun::SetCommonDialogHandler(previous);
    EXPECT_FALSE(open);
    EXPECT_EQ(filter, "Text Files (*.txt)|*.txt|Chart Files (*.cht)|*.cht;*.chx|All Files (*.*)|*.*||");
    // The first kind's extension is added to a name without one.
    EXPECT_EQ(name, "/lab/series.txt");
    EXPECT_EQ(kestrun::QtFileFilter(filter), "Text Files (*.txt);;Chart Files (*.cht *.chx);;All Files (*.*)");
}

TEST_F(WinAppTest, WithoutAMainWindowNoDocumentIsLeftHalfMade)
{
    AfxRegisterString(IDR_TEXTDOC, "\nText\nText Document\n\n\n\n");
    auto* text = new CMultiDocTemplate(IDR_TEXTDOC, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CMDIChildWnd), nullptr);
    m_app.AddDocTemplate(text);
    EXPECT_EQ(text->OpenDocumentFile(nullptr), nullptr);
    EXPECT_TRUE(text->Documents().empty());
}

TEST(QtFileFilterTest, NamesWithoutPatternsGetThem)
{
    EXPECT_EQ(kestrun::QtFileFilter("Image Files|*.bmp;*.jpg;*.tif||"), "Image Files (*.bmp *.jpg *.tif)");
    EXPECT_EQ(kestrun::QtFileFilter("Bitmap Files (*.bmp) |*.bmp|JPEG Files (*.jpg) |*.jpg||"),
              "Bitmap Files (*.bmp);;JPEG Files (*.jpg)");
    EXPECT_EQ(kestrun::QtFileFilter(""), "");
}

} // namespace
