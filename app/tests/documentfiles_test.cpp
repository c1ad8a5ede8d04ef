// Documents in the running program: where file dialogs start, saving under
// a new name, files that are no images, the recent files of the File menu,
// the main title and the kinds of document "New" offers.

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "imaging/dibdoc.h"
#include "outside/pixmere/dib.h"
#include "platform/core/profile.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/uitext.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <fstream>

namespace kestrun::testing {

namespace {

namespace fs = std::filesystem;

class DocumentFilesTest : public CAppTest
{
protected:
    CString MainTitle()
    {
        CString title;
        MainFrame(m_app).GetWindowText(title);
        return title;
    }

    CString WriteImage(const fs::path& path)
    {
        fs::create_directories(path.parent_path());
        CDIB page;
        EXPECT_TRUE(page.InitDIB(12, 10, 24));
        EXPECT_TRUE(page.SetAllGray(RGB(200, 10, 10)));
        EXPECT_TRUE(page.Write(path.c_str()));
        return path.c_str();
    }

    CKestrunApp m_app;
};

// Answers every file dialog with the next path (an empty one cancels) and
// records where each started.
class CDialogScript
{
public:
    CDialogScript()
    {
        m_previous = SetCommonDialogHandler([this](CCommonDialog& dialog) {
            auto& files = static_cast<CFileDialog&>(dialog);
            m_starts.emplace_back(files.m_ofn.lpstrInitialDir ? files.m_ofn.lpstrInitialDir : "<none>");
            const CString choice = m_next < m_choices.size() ? m_choices[m_next++] : CString();
            if (choice.IsEmpty())
                return static_cast<INT_PTR>(IDCANCEL);
            files.SetResult({choice});
            return static_cast<INT_PTR>(IDOK);
        });
    }
    ~CDialogScript() { SetCommonDialogHandler(m_previous); }
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    void Choose(const CString& path) { m_choices.push_back(path); }
    std::vector<CString> m_starts;

private:
    CommonDialogHandler m_previous;
    std::vector<CString> m_choices;
    size_t m_next = 0;
};

TEST_F(DocumentFilesTest, DialogsStartInTheProfilesFoldersAndSaveAsThenSaveWritesTheNewFileUnasked)
{
    const CString pictures = (m_folder / "pictures").c_str();
    const CString results = (m_folder / "results").c_str();
    fs::create_directories(DataRoot().GetString());
    WritePrivateProfileString("PathName", "Images", pictures, IniPath());
    WritePrivateProfileString("PathName", "Data", results, IniPath());
    const CString plate = WriteImage(m_folder / "elsewhere" / "plate.png");
    Start(m_app);
    CDialogScript dialogs;

    dialogs.Choose(plate);
    MainFrame(m_app).SendMessage(WM_COMMAND, ID_FILE_OPEN);
    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_app.GetImageDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(MainTitle(), "Halvorn - Numbrel - plate.png");

    // Save As starts where the last image came from and renames the document.
    const CString copy = (m_folder / "elsewhere" / "copy.bmp").c_str();
    dialogs.Choose(copy);
    MainFrame(m_app).SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    EXPECT_EQ(doc->GetPathName(), copy);
    EXPECT_EQ(MainTitle(), "Halvorn - Numbrel - copy.bmp");
    EXPECT_EQ((*m_app.m_pRecentFileList)[0], copy);

    fs::remove(copy.GetString());
    MainFrame(m_app).SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_TRUE(fs::exists(copy.GetString()));

    // Other files start in the data folder.
    CFileDialog results1(FALSE, "xml");
    results1.DoModal();

    const CString elsewhere = (m_folder / "elsewhere").c_str();
    EXPECT_EQ(dialogs.m_starts, (std::vector<CString>{pictures, elsewhere, results}));
    EXPECT_TRUE(m_boxes->Texts().empty());
    Stop(m_app);
}

// A file that is no image gives the image document's message, and only it.
TEST_F(DocumentFilesTest, AFileThatIsNoImageIsReportedOnce)
{
    Start(m_app);
    std::ofstream(m_folder / "notes.png") << "not an image";
    std::ofstream(m_folder / ".png").close();
    std::ofstream(m_folder / "notes.txt") << "plain text";
    for (const char* name : {"notes.png", ".png", "notes.txt", "missing.bmp"}) {
        SCOPED_TRACE(name);
        const CString path = (m_folder / name).c_str();
        m_boxes->Clear();
        EXPECT_EQ(m_app.OpenDocumentFile(path), nullptr);
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Couldn't load Image: " + path});
        EXPECT_EQ(m_app.GetOpenDocumentCount(), 0);
    }
    Stop(m_app);
}

TEST_F(DocumentFilesTest, FileMenuShowsEveryStoredRecentFile)
{
    fs::create_directories(DataRoot().GetString());
    for (int i = 1; i <= 5; ++i)
        WritePrivateProfileString("Recent File List", FormatString("File%d", i), FormatString("/lab/plate%d.png", i),
                                  IniPath());
    Start(m_app);
    QMenu* file = MainFrame(m_app).MainWindow()->menuBar()->actions().front()->menu();
    ASSERT_NE(file, nullptr);
    Q_EMIT file->aboutToShow();
    std::vector<CString> recent;
    for (QAction* action : file->actions()) {
        const UINT id = action->data().toUInt();
        if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE16) {
            recent.push_back(FromQString(action->text()));
            EXPECT_TRUE(action->isEnabled());
        }
    }
    EXPECT_EQ(recent, (std::vector<CString>{"&1 plate1.png", "&2 plate2.png", "&3 plate3.png", "&4 plate4.png",
                                            "&5 plate5.png"}));
    Stop(m_app);
}

TEST_F(DocumentFilesTest, AfterTheLastDocumentClosesTheTitleNamesTheProgramAlone)
{
    Start(m_app);
    ASSERT_NE(m_app.OpenDocumentFile(WriteImage(m_folder / "first.png")), nullptr);
    ASSERT_NE(m_app.OpenDocumentFile(WriteImage(m_folder / "second.png")), nullptr);
    EXPECT_EQ(MainTitle(), "Halvorn - Numbrel - second.png");
    MainFrame(m_app).SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    EXPECT_EQ(MainTitle(), "Halvorn - Numbrel - first.png");
    MainFrame(m_app).SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    EXPECT_EQ(m_app.GetOpenDocumentCount(), 0);
    EXPECT_EQ(MainTitle(), "Halvorn - Numbrel");
    Stop(m_app);
}

TEST_F(DocumentFilesTest, NewOffersTheKindsOfDocumentByTheirNames)
{
    Start(m_app);
    std::vector<CString> offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        if (auto* list = dialog->findChild<QListWidget*>()) {
            for (int i = 0; i < list->count(); ++i)
                offered.push_back(FromQString(list->item(i)->text()));
        }
        dialog->reject();
    });
    MainFrame(m_app).SendMessage(WM_COMMAND, ID_FILE_NEW);
    EXPECT_EQ(offered, (std::vector<CString>{"Image", "Halvorn Document", "Data"}));
    EXPECT_EQ(m_app.GetOpenDocumentCount(), 0);
    Stop(m_app);
}

} // namespace

} // namespace kestrun::testing
