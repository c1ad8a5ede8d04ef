// The image document's pages, undo stack, image files and views.

#include "imaging/tests/imagingtesting.h"

#include "outside/pixmere/imagecodec.h"
#include "outside/pixmere/packeddib.h"
#include "platform/core/exceptions.h"
#include "platform/ui/commondialogs.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

using kestrun::CImageFormat;
using kestrun::testing::CCountingView;
using kestrun::testing::CImagingTest;

constexpr COLORREF kStrongRed = RGB(200, 10, 10);
constexpr COLORREF kStrongBlue = RGB(10, 10, 200);
constexpr COLORREF kGreen = RGB(10, 200, 10);

std::vector<BYTE> fileBytes(const CString& path)
{
    std::ifstream in(path.GetString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ImageDocTest : public CImagingTest
{
protected:
    void SetUp() override
    {
        CImagingTest::SetUp();
        m_doc = std::make_unique<CDIBDoc>();
    }

    std::unique_ptr<CDIBDoc> m_doc;
};

TEST_F(ImageDocTest, OpeningReplacesTheActivePageAndInAppendModeAddsOne)
{
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("first.bmp", 40, 30, kStrongRed)));
    ASSERT_EQ(m_doc->GetPageCount(), 1);
    EXPECT_EQ(m_doc->GetTitle(), "first.bmp");
    EXPECT_EQ(m_doc->GetLastImageSize(), CSize(40, 30));
    EXPECT_FALSE(m_doc->IsModified());

    // Without append the active page takes the new image.
    CDIB* page = m_doc->GetActiveDIB();
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("second.png", 20, 10, kStrongBlue)));
    ASSERT_EQ(m_doc->GetPageCount(), 1);
    EXPECT_EQ(m_doc->GetActiveDIB(), page);
    EXPECT_EQ(m_doc->GetPageSize(), CSize(20, 10));
    EXPECT_EQ(page->GetPixel(3, 3), kStrongBlue);
    EXPECT_EQ(m_doc->GetPathName(), PathOf("second.png"));

    // In append mode the new page comes last and becomes the active one.
    m_doc->m_bAppend = TRUE;
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("third.tif", 8, 6, kGreen)));
    ASSERT_EQ(m_doc->GetPageCount(), 2);
    EXPECT_EQ(m_doc->GetActiveIndex(), 1);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(0, 0), kGreen);
    EXPECT_EQ(m_doc->GetPage(0)->GetPixel(0, 0), kStrongBlue);
    EXPECT_EQ(m_doc->GetLastImageSize(), CSize(8, 6));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ImageDocTest, EveryFormatThePageLayerWritesOpensAgain)
{
    struct Case
    {
        const char* name;
        CImageFormat format;
        bool lossy;
    };
    const Case cases[] = {
        {"page.bmp", CImageFormat::Bmp, false}, {"page.png", CImageFormat::Png, false},
        {"page.tif", CImageFormat::Tif, false}, {"page.jpg", CImageFormat::Jpg, true},
        {"page.jp2", CImageFormat::Jp2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!kestrun::IsImageFormatAvailable(c.format))
            continue;
        CDIBDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(WriteImage(c.name, 48, 40, kStrongRed)));
        EXPECT_EQ(doc.GetPageSize(), CSize(48, 40));
        if (!c.lossy) {
            EXPECT_EQ(doc.GetActiveDIB()->GetPixel(20, 20), kStrongRed);
        }
    }
}

TEST_F(ImageDocTest, AFailedOpenKeepsEveryPageAndSaysSo)
{
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("kept.bmp", 16, 16, kStrongRed)));
    std::ofstream(PathOf("damaged.png").GetString()) << "not an image";

    m_doc->m_bAppend = TRUE;
    for (const char* name : {"missing.bmp", "damaged.png"}) {
        SCOPED_TRACE(name);
        m_boxes->Clear();
        EXPECT_FALSE(m_doc->OnOpenDocument(PathOf(name)));
        ASSERT_EQ(m_boxes->Shown().size(), 1u);
        EXPECT_EQ(m_boxes->Shown()[0].text, "Couldn't load Image: " + PathOf(name));
        EXPECT_EQ(m_boxes->Shown()[0].type & MB_ICONINFORMATION, MB_ICONINFORMATION);
        ASSERT_EQ(m_doc->GetPageCount(), 1);
        EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(5, 5), kStrongRed);
        EXPECT_EQ(m_doc->GetPathName(), PathOf("kept.bmp"));
    }
    // Without append the active page stays as it was, too.
    m_doc->m_bAppend = FALSE;
    EXPECT_FALSE(m_doc->OnOpenDocument(PathOf("damaged.png")));
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(5, 5), kStrongRed);
}

TEST_F(ImageDocTest, TheLastPageCannotBeDeleted)
{
    m_doc->AddPage(std::make_unique<CDIB>());
    EXPECT_EQ(m_doc->DeletePage(0), 0);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], "You cannot delete the last image");
    EXPECT_EQ(m_doc->GetPageCount(), 1);

    CDIB* second = m_doc->AddPage(std::make_unique<CDIB>());
    EXPECT_THROW(m_doc->DeletePage(2), CInvalidArgException);
    EXPECT_THROW(m_doc->DeletePage(-1), CInvalidArgException);
    EXPECT_EQ(m_doc->DeletePage(0), 1);
    EXPECT_EQ(m_doc->GetPage(0), second);
    EXPECT_THROW(m_doc->GetPage(1), CInvalidArgException);
}

TEST_F(ImageDocTest, TheActiveIndexIsClampedWhereverItIsUsed)
{
    EXPECT_EQ(m_doc->GetActiveDIB(), nullptr);
    EXPECT_THROW(m_doc->GetPageSize(), CInvalidArgException);
    m_doc->AddPage(std::make_unique<CDIB>());
    CDIB* last = m_doc->AddPage(std::make_unique<CDIB>());
    m_doc->SetActiveIndex(7);
    EXPECT_EQ(m_doc->GetActiveDIB(), last);
    EXPECT_EQ(m_doc->GetActiveIndex(), 1);
}

TEST_F(ImageDocTest, UndoReturnsToTheImageBeforeTheFirstChange)
{
    CDIB* page = m_doc->AddPage(std::make_unique<CDIB>());
    ASSERT_TRUE(page->InitDIB(10, 10, 24));
    page->SetAllGray(kStrongRed);

    // Two image commands in a row: only the first one's copy is kept.
    m_doc->PushUndo(FALSE);
    page->SetAllGray(kGreen);
    m_doc->PushUndo(FALSE);
    page->SetAllGray(kStrongBlue);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_EQ(page->GetPixel(1, 1), kStrongRed);
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
    m_doc->PopUndo(CDIBDoc::undoPop); // nothing left: nothing happens
    EXPECT_EQ(page->GetPixel(1, 1), kStrongRed);

    // Revert keeps its copy; a forced push adds one; clear drops them all.
    m_doc->PushUndo(FALSE);
    page->SetAllGray(kGreen);
    m_doc->PopUndo(CDIBDoc::undoRevert);
    EXPECT_EQ(page->GetPixel(1, 1), kStrongRed);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    page->SetAllGray(kStrongBlue);
    m_doc->PushUndo(TRUE);
    EXPECT_EQ(m_doc->GetUndoCount(), 2);
    page->SetAllGray(kGreen);
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_EQ(page->GetPixel(1, 1), kStrongBlue);
    m_doc->PopUndo(CDIBDoc::undoClear);
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
    EXPECT_EQ(page->GetPixel(1, 1), kStrongBlue);
}

TEST_F(ImageDocTest, AResultsUndoStepGoesBackOnlyWhileItIsOnTop)
{
    CDocument table;
    CDocument otherTable;
    enum Before { nothing, userEdit };
    enum After { none, laterEdit, undoneAndPushedAgain };
    const struct
    {
        const char* name;
        Before before;
        After after;
        CDocument* closed;
        bool popped;
    } cases[] = {
        {"the search's own step", nothing, none, &table, true},
        {"the user edited first", userEdit, none, &table, false},
        {"a later edit on top", nothing, laterEdit, &table, false},
        {"undone, then another step", nothing, undoneAndPushedAgain, &table, false},
        {"another table closes", nothing, none, &otherTable, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_doc = std::make_unique<CDIBDoc>();
        CDIB* page = m_doc->AddPage(std::make_unique<CDIB>());
        ASSERT_TRUE(page->InitDIB(4, 4, 24));
        page->SetAllGray(kStrongRed);
        if (c.before == userEdit) {
            m_doc->PushUndo(FALSE);
            page->SetAllGray(kGreen);
        }
        // The search pushes onto an empty stack only, and marks what it pushed.
        const int steps = m_doc->GetUndoCount();
        m_doc->PushUndo(FALSE);
        if (m_doc->GetUndoCount() > steps)
            m_doc->MarkUndoStep(&table);
        page->SetAllGray(kStrongBlue);
        if (c.after == laterEdit) {
            m_doc->PushUndo(TRUE);
        } else if (c.after == undoneAndPushedAgain) {
            m_doc->PopUndo(CDIBDoc::undoPop);
            m_doc->PushUndo(FALSE);
        }
        const int before = m_doc->GetUndoCount();
        const COLORREF shown = page->GetPixel(1, 1);
        EXPECT_EQ(m_doc->PopUndoStepOf(c.closed) != FALSE, c.popped);
        EXPECT_EQ(m_doc->GetUndoCount(), before - (c.popped ? 1 : 0));
        EXPECT_EQ(page->GetPixel(1, 1), c.popped ? kStrongRed : shown);
        EXPECT_FALSE(m_doc->PopUndoStepOf(c.closed)) << "once at most";
    }
}

TEST_F(ImageDocTest, SavingWritesTiffWhenThePathEndsInTifWhateverTheCase)
{
    struct Case
    {
        const char* name;
        CImageFormat format;
    };
    // A name that ends in "TIF" without a dot is TIFF too: the choice is
    // made on the last three letters of the upper-cased path.
    const Case cases[] = {
        {"shot.tif", CImageFormat::Tif}, {"shot.TIF", CImageFormat::Tif}, {"shotTIF", CImageFormat::Tif},
        {"shot.jpg", CImageFormat::Jpg}, {"shot.png", CImageFormat::Png}, {"shot.bmp", CImageFormat::Bmp},
    };
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("source.bmp", 32, 24, kGreen)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_doc->SetModifiedFlag(TRUE);
        ASSERT_TRUE(m_doc->OnSaveDocument(PathOf(c.name)));
        EXPECT_FALSE(m_doc->IsModified());
        EXPECT_EQ(kestrun::DetectImageFormat(fileBytes(PathOf(c.name))), c.format);
    }
    EXPECT_TRUE(m_boxes->Texts().empty());
    // The document keeps its own path.
    EXPECT_EQ(m_doc->GetPathName(), PathOf("source.bmp"));
}

TEST_F(ImageDocTest, ASaveThatCannotBeWrittenKeepsTheOldFileAndSaysSo)
{
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("source.bmp", 16, 16, kStrongRed)));
    m_doc->SetModifiedFlag(TRUE);

    // The target's folder is a regular file.
    std::ofstream(PathOf("notafolder").GetString()) << "old content";
    EXPECT_FALSE(m_doc->OnSaveDocument(PathOf("notafolder/shot.bmp")));
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts()[0].Find("notafolder/shot.bmp"), -1) << m_boxes->Texts()[0].GetString();
    EXPECT_EQ(fileBytes(PathOf("notafolder")), std::vector<BYTE>({'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'}));
    EXPECT_TRUE(m_doc->IsModified());

    // The folder takes files, but the page cannot be written: the old
    // file stays whole and no temporary file is left behind.
    std::ofstream(PathOf("old.xyz").GetString()) << "old content";
    m_boxes->Clear();
    EXPECT_FALSE(m_doc->OnSaveDocument(PathOf("old.xyz")));
    ASSERT_EQ(m_boxes->Shown().size(), 1u);
    EXPECT_EQ(m_boxes->Shown()[0].text.Left(17), "Couldn't save DIB");
    EXPECT_EQ(m_boxes->Shown()[0].type & MB_ICONINFORMATION, MB_ICONINFORMATION);
    EXPECT_EQ(fileBytes(PathOf("old.xyz")), fileBytes(PathOf("notafolder")));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>({"notafolder", "old.xyz", "source.bmp"}));
    EXPECT_TRUE(m_doc->IsModified());
}

TEST_F(ImageDocTest, ASilentDocumentReportsSaveErrorsInTheStatusBar)
{
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("source.bmp", 16, 16, kStrongRed)));
    m_doc->m_bSilent = TRUE;
    std::ofstream(PathOf("notafolder").GetString()) << "x";
    EXPECT_FALSE(m_doc->OnSaveDocument(PathOf("notafolder/shot.bmp")));
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0), "Error writing file");
    EXPECT_FALSE(m_doc->OnSaveDocument(PathOf("shot.xyz")));
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0).Left(28), "Error: Couldn't save DIB ->U");
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ImageDocTest, TheLoadDialogRemembersItsFilterAndAppendsOnlyForTheOpen)
{
    const CString path = WriteImage("loaded.png", 12, 12, kStrongBlue);
    ASSERT_TRUE(m_doc->OnOpenDocument(WriteImage("first.bmp", 12, 12, kStrongRed)));
    std::vector<DWORD> offeredIndex;
    auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog& dialog) {
        auto& files = static_cast<CFileDialog&>(dialog);
        EXPECT_TRUE(files.IsOpenDialog());
        EXPECT_STREQ(files.m_ofn.lpstrTitle, "Load");
        EXPECT_EQ(files.m_ofn.Flags, 4100u);
        EXPECT_EQ(files.Filter(), "Image Files|*.bmp;*.jpg;*.jp2;*.tif;*.png;*.pga;*.pcx;*.wmf;*.jbg;*.pgx||");
        offeredIndex.push_back(files.m_ofn.nFilterIndex);
        files.SetResult({path}, 3);
        return static_cast<INT_PTR>(IDOK);
    });
    m_doc->m_bFreshImage = TRUE;
    EXPECT_TRUE(m_doc->OnLoadImageFile(TRUE));
    EXPECT_EQ(m_doc->GetPageCount(), 2);
    EXPECT_FALSE(m_doc->m_bAppend);
    EXPECT_FALSE(m_doc->m_bFreshImage);
    EXPECT_TRUE(m_doc->OnLoadImageFile(FALSE));
    EXPECT_EQ(m_doc->GetPageCount(), 2);
    kestrun::SetCommonDialogHandler(previous);
    EXPECT_EQ(offeredIndex, std::vector<DWORD>({1, 3}));
}

TEST_F(ImageDocTest, SaveAsTakesThePathFromItsDialog)
{
    CDIBDoc* doc = NewImageDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->OnOpenDocument(WriteImage("source.bmp", 16, 16, kStrongRed)));
    CString title;
    auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog& dialog) {
        auto& files = static_cast<CFileDialog&>(dialog);
        EXPECT_FALSE(files.IsOpenDialog());
        title = files.m_ofn.lpstrTitle;
        files.SetResult({PathOf("copy.jpg")});
        return static_cast<INT_PTR>(IDOK);
    });
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS, 0);
    kestrun::SetCommonDialogHandler(previous);
    EXPECT_EQ(title, "Speichern unter");
    EXPECT_EQ(kestrun::DetectImageFormat(fileBytes(PathOf("copy.jpg"))), CImageFormat::Jpg);
}

// Save As renames the document; Save then writes to that file without a
// dialog, while a file only opened is saved through the dialog.
TEST_F(ImageDocTest, ASavedDocumentTakesItsNewNameAndSaveWritesThereUnasked)
{
    m_app.LoadStdProfileSettings(8);
    CDIBDoc* doc = NewImageDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->OnOpenDocument(WriteImage("plate.png", 16, 16, kStrongRed)));
    std::vector<CString> dialogs;
    CString choice = PathOf("saved.bmp");
    auto previous = kestrun::SetCommonDialogHandler([&](CCommonDialog& dialog) {
        auto& files = static_cast<CFileDialog&>(dialog);
        dialogs.emplace_back(files.m_ofn.lpstrTitle);
        files.SetResult({choice});
        return static_cast<INT_PTR>(IDOK);
    });
    auto titles = [&] {
        CString child;
        CString main;
        FirstView(doc)->GetParentFrame()->GetWindowText(child);
        m_main->GetWindowText(main);
        return std::vector<CString>{doc->GetTitle(), child, main};
    };

    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(dialogs, std::vector<CString>{"Speichern"});
    EXPECT_EQ(doc->GetPathName(), PathOf("saved.bmp"));
    EXPECT_EQ(titles(), (std::vector<CString>{"saved.bmp", "saved.bmp", "Imaging Test - saved.bmp"}));
    EXPECT_EQ((*m_app.m_pRecentFileList)[0], PathOf("saved.bmp"));

    choice = PathOf("copy.tif");
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(titles(), (std::vector<CString>{"copy.tif", "copy.tif", "Imaging Test - copy.tif"}));

    doc->GetActiveDIB()->SetAllGray(kStrongBlue);
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(dialogs.size(), 2u);
    CDIB written;
    ASSERT_TRUE(written.Read(PathOf("copy.tif")));
    EXPECT_EQ(written.GetPixel(4, 4), kStrongBlue);

    // A save that fails keeps the name it had; opening another file asks again.
    std::ofstream(PathOf("notafolder").GetString()) << "x";
    choice = PathOf("notafolder/shot.bmp");
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    EXPECT_EQ(doc->GetPathName(), PathOf("copy.tif"));
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    ASSERT_TRUE(doc->OnOpenDocument(WriteImage("other.png", 8, 8, kGreen)));
    choice = PathOf("other.bmp");
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    kestrun::SetCommonDialogHandler(previous);
    EXPECT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(doc->GetPathName(), PathOf("other.bmp"));
}

TEST_F(ImageDocTest, TheImageTemplateOffersToOpenAnyFile)
{
    CDocument* open = m_app.OpenDocumentFile(WriteImage("open.bmp", 8, 8, kStrongRed));
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->IsKindOf(RUNTIME_CLASS(CDIBDoc)));

    struct Case
    {
        CString path;
        CDocTemplate::Confidence expected;
    };
    const Case cases[] = {
        {PathOf("open.bmp"), CDocTemplate::yesAlreadyOpen}, {"/data/a.bmp", CDocTemplate::yesAttemptNative},
        {"/data/a.JPG", CDocTemplate::yesAttemptNative},    {"/data/a.xml", CDocTemplate::yesAttemptForeign},
        {"/data/noextension", CDocTemplate::yesAttemptForeign},
    };
    for (const Case& c : cases) {
        CDocument* match = nullptr;
        EXPECT_EQ(m_imageTemplate->MatchDocType(c.path, match), c.expected) << c.path.GetString();
        EXPECT_EQ(match, c.expected == CDocTemplate::yesAlreadyOpen ? open : nullptr);
    }
}

TEST_F(ImageDocTest, AnEmbeddedViewTakesTheUpdatesInsteadOfTheViewList)
{
    CDIBDoc* doc = NewImageDocument();
    ASSERT_NE(doc, nullptr);
    CCountingView* listed = FirstView(doc);
    ASSERT_NE(listed, nullptr);
    const int before = listed->m_nUpdates;

    // A form's view: made for the document, then taken out of its list.
    auto* embedded = new CCountingView;
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    ASSERT_TRUE(embedded->Create(nullptr, "Video", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), m_main, 1, &context));
    doc->DetachView(embedded);
    EXPECT_EQ(doc->Views().size(), 1u);
    EXPECT_EQ(embedded->GetDocument(), doc);

    doc->SetEmbeddedView(embedded);
    doc->UpdateImageViews();
    EXPECT_EQ(embedded->m_nUpdates, 1);
    EXPECT_EQ(listed->m_nUpdates, before);
    doc->SetEmbeddedView(nullptr);
    doc->UpdateImageViews();
    EXPECT_EQ(listed->m_nUpdates, before + 1);
    embedded->DestroyWindow();

    // Taking out the last listed view does not close the document.
    doc->DetachView(listed);
    EXPECT_TRUE(doc->Views().empty());
    EXPECT_EQ(m_imageTemplate->Documents().size(), 1u);
    doc->AddView(listed);
}

TEST_F(ImageDocTest, ThePreviewPageIsMadeOnceInTheActivePagesSize)
{
    EXPECT_EQ(m_doc->EnsurePreviewImage(), nullptr);
    CDIB* page = m_doc->AddPage(std::make_unique<CDIB>());
    ASSERT_TRUE(page->InitDIB(30, 20, 24));
    CDIB* preview = m_doc->EnsurePreviewImage();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetWidth(), 30);
    EXPECT_EQ(preview->GetHeight(), 20);
    EXPECT_EQ(preview->GetBitCount(), 8);
    EXPECT_EQ(m_doc->EnsurePreviewImage(), preview);
    m_doc->DeleteOwnedObject();
    EXPECT_EQ(m_doc->GetPreviewImage(), nullptr);
}

} // namespace

namespace {

// A scanned page as a source hands it over.
HGLOBAL ScannedPage(int width, int height, COLORREF colour)
{
    CDIB page;
    page.InitDIB(width, height, 24);
    page.SetAllGray(colour);
    return kestrun::PackPage(page);
}

TEST_F(ImageDocTest, AScanGoesIntoTheActivePageOrTheLastVideoPageOrANewOne)
{
    // No page yet: a new one.
    HGLOBAL scan = ScannedPage(7, 5, kGreen);
    ASSERT_TRUE(m_doc->AddTwainImage(scan));
    ASSERT_EQ(m_doc->GetPageCount(), 1);
    EXPECT_EQ(m_doc->GetPageSize(), CSize(7, 5));
    EXPECT_EQ(m_doc->GetPathName(), "Image from TWAIN");
    EXPECT_EQ(m_doc->GetLastImageSize(), CSize(7, 5));

    // Into the active page; undo brings the old one back.
    m_doc->PopUndo(CDIBDoc::undoClear);
    HGLOBAL second = ScannedPage(3, 4, kStrongBlue);
    ASSERT_TRUE(m_doc->AddTwainImage(second));
    EXPECT_EQ(m_doc->GetPageCount(), 1);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(1, 1), kStrongBlue);
    m_doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(1, 1), kGreen);

    // A damaged bitmap changes nothing.
    const CSize before = m_doc->GetPageSize();
    EXPECT_FALSE(m_doc->AddTwainImage(nullptr));
    std::memset(GlobalLock(second), 0xFF, 8);
    GlobalUnlock(second);
    EXPECT_FALSE(m_doc->AddTwainImage(second));
    EXPECT_EQ(m_doc->GetPageSize(), before);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(1, 1), kGreen);

    // A video document with several pages: its last page.
    CDIBDoc video;
    ASSERT_TRUE(video.InitVideoPages());
    const CSize live = video.GetPageSize();
    video.AddPage(std::make_unique<CDIB>())->InitDIB(2, 2, 24);
    ASSERT_TRUE(video.AddTwainImage(scan));
    EXPECT_EQ(video.GetPage(0)->GetWidth(), live.cx);
    EXPECT_EQ(video.GetPage(1)->GetWidth(), 7);
    GlobalFree(scan);
    GlobalFree(second);
}

} // namespace
