// The application object: its profile, the recent-file list and its menu
// items, the command line, the file dialog it offers for its templates and
// the folders file dialogs start in.

#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi.h"
#include "platform/ui/menu.h"
#include "platform/ui/testing/fake_app_services.h"
#include "platform/ui/uitext.h"
#include "platform/ui/winapp.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr UINT IDR_TEXTDOC = 7400;
constexpr UINT IDR_CHARTDOC = 7401;
constexpr UINT IDR_RECENTMAIN = 7402;

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

// The File menu as Qt shows it, after its items were asked for their state.
std::vector<CString> shownFileMenu(CFrameWnd& frame, std::vector<bool>* enabled = nullptr)
{
    QMenu* file = frame.MainWindow()->menuBar()->actions().front()->menu();
    Q_EMIT file->aboutToShow();
    std::vector<CString> texts;
    for (QAction* action : file->actions()) {
        if (action->isSeparator())
            continue;
        texts.push_back(kestrun::FromQString(action->text()));
        if (enabled)
            enabled->push_back(action->isEnabled());
    }
    return texts;
}

TEST_F(WinAppTest, FileMenuShowsEveryStoredRecentFile)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    AfxRegisterString(IDR_RECENTMAIN, "Probe");
    kestrun::RegisterMenuResource(
        IDR_RECENTMAIN, {kestrun::Popup("&File", {kestrun::MenuItem("&Open", ID_FILE_OPEN), kestrun::MenuSeparator(),
                                                  kestrun::MenuItem("Recent File", ID_FILE_MRU_FILE1),
                                                  kestrun::MenuSeparator(), kestrun::MenuItem("E&xit", ID_APP_EXIT)})});
    auto openMain = [&] {
        auto* main = new CMDIFrameWnd;
        EXPECT_TRUE(main->LoadFrame(IDR_RECENTMAIN));
        m_app.m_pMainWnd = main;
        // The window made since the last idle time gets the list.
        m_app.OnIdle(0);
        return main;
    };

    // Nothing stored: the placeholder, disabled.
    WritePrivateProfileString("Recent File List", nullptr, nullptr, m_profile);
    m_app.LoadStdProfileSettings(8);
    CMDIFrameWnd* empty = openMain();
    std::vector<bool> enabled;
    EXPECT_EQ(shownFileMenu(*empty, &enabled), (std::vector<CString>{"&Open", "Recent File", "E&xit"}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true}));
    empty->DestroyWindow();

    // Five stored, from another run: five shown, each opening its file.
    for (int i = 1; i <= 5; ++i)
        WritePrivateProfileString("Recent File List", FormatString("File%d", i), FormatString("/lab/plate%d.png", i),
                                  m_profile);
    m_app.LoadStdProfileSettings(8);
    CMDIFrameWnd* main = openMain();
    EXPECT_EQ(shownFileMenu(*main), (std::vector<CString>{"&Open", "&1 plate1.png", "&2 plate2.png", "&3 plate3.png",
                                                          "&4 plate4.png", "&5 plate5.png", "E&xit"}));
    EXPECT_EQ(main->GetMenu()->GetSubMenu(0)->GetMenuItemID(6), ID_FILE_MRU_FILE1 + 4);

    // The list grows to its size and no further.
    for (const char* path : {"/lab/a&b.png", "/lab/b.png", "/lab/c.png", "/lab/d.png"})
        m_app.AddToRecentFileList(path);
    std::vector<CString> shown = shownFileMenu(*main);
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown[1], "&1 d.png");
    EXPECT_EQ(shown[4], "&4 a&&b.png");
    EXPECT_EQ(shown[8], "&8 plate4.png");

    // A file that cannot be opened leaves the list and the menu.
    m_app.OnOpenRecentFile(ID_FILE_MRU_FILE1);
    shown = shownFileMenu(*main);
    ASSERT_EQ(shown.size(), 9u);
    EXPECT_EQ(shown[1], "&1 c.png");
    EXPECT_EQ(boxes->Texts().size(), 1u);
    main->DestroyWindow();
    m_app.m_pMainWnd = nullptr;
}

TEST_F(WinAppTest, FileDialogsStartInTheSettingsFolderThenWhereTheLastOneOfTheirKindEnded)
{
    namespace fs = std::filesystem;
    const fs::path root = (kestrun::DataFolder() + "/dialogfolders").GetString();
    for (const char* folder : {"images", "data", "elsewhere"})
        fs::create_directories(root / folder);
    const CString images = (root / "images").c_str();
    const CString data = (root / "data").c_str();
    const CString elsewhere = (root / "elsewhere").c_str();
    kestrun::testing::CFakeAppServices services;
    services.m_strImageDir = images + "/";
    services.m_strDataDir = data + "/";

    struct Case
    {
        const char* what;
        const char* defExt;
        const char* name;
        const char* filter;
        const char* initialDir;
        CString choice; // empty: cancelled
        CString expected;
    };
    const Case cases[] = {
        {"image, first", "bmp", nullptr, "Image Files|*.bmp||", nullptr, elsewhere + "/a.png", images},
        {"image, then", "jpg", nullptr, nullptr, nullptr, "", elsewhere},
        {"cancelled: still", "bmp", nullptr, nullptr, nullptr, "", elsewhere},
        {"by the filter", nullptr, nullptr, "Image Files|*.tif;*.png||", nullptr, "", elsewhere},
        {"data, first", "xml", nullptr, "Data Files|*.xml||", nullptr, data + "/d.xml", data},
        {"other files", nullptr, nullptr, "ASCII File (*.txt) |*.txt||", nullptr, "", data},
        {"own folder", "bmp", nullptr, nullptr, "/lab/own", "", "/lab/own"},
        {"folder in the name", "bmp", "/lab/shot.bmp", nullptr, nullptr, "", "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFileDialog dialog(TRUE, c.defExt, c.name, OFN_FILEMUSTEXIST, c.filter);
        dialog.m_ofn.lpstrInitialDir = c.initialDir;
        CString start;
        auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog&) {
            start = dialog.m_ofn.lpstrInitialDir ? dialog.m_ofn.lpstrInitialDir : "<none>";
            if (c.choice.IsEmpty())
                return static_cast<INT_PTR>(IDCANCEL);
            dialog.SetResult({c.choice});
            return static_cast<INT_PTR>(IDOK);
        });
        dialog.DoModal();
        kestrun::SetCommonDialogHandler(previous);
        EXPECT_EQ(start, c.expected);
    }

    // A new run starts in the settings again; a folder that is gone is not offered.
    CWinApp next("Next");
    services.m_strDataDir = data + "/gone/";
    CFileDialog image(TRUE, "bmp");
    CFileDialog other(TRUE, "xml");
    std::vector<CString> starts;
    auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog& dialog) {
        const auto& files = static_cast<CFileDialog&>(dialog);
        starts.push_back(files.m_ofn.lpstrInitialDir ? files.m_ofn.lpstrInitialDir : "<none>");
        return static_cast<INT_PTR>(IDCANCEL);
    });
    image.DoModal();
    other.DoModal();
    kestrun::SetCommonDialogHandler(previous);
    EXPECT_EQ(starts, (std::vector<CString>{images, "<none>"}));
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
