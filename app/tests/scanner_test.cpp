// Scanning in the running program through our source manager library and
// SANE's test backend: the sources Select Source lists, and where Acquire
// puts the page - or does not, when the user cancels.

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "imaging/dibdoc.h"
#include "outside/pixmere/dib.h"
#include "outside/scansource/testing/sanetestbackend.h"
#include "platform/core/messages.h"
#include "platform/ui/dialog.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

namespace kestrun::testing {
namespace {

// 254 dpi over 10 x 20 mm: 100 x 200 pixels.
constexpr const char* kDevice = "number_of_devices 2\nmode Color\nresolution 254\ntl_x 0\ntl_y 0\nbr_x 10\nbr_y 20\n";
constexpr UINT kSourceList = 1001;

class ScannerTest : public CStartedAppTest<CKestrunApp>
{
protected:
    CDIBDoc* OpenImage()
    {
        std::filesystem::create_directories(m_folder);
        const CString path = (m_folder / "plate.png").c_str();
        CDIB page;
        EXPECT_TRUE(page.InitDIB(12, 10, 24));
        EXPECT_TRUE(page.Write(path));
        return DYNAMIC_DOWNCAST(CDIBDoc, m_app.OpenDocumentFile(path));
    }
    // The scan's question answered; then the source's events delivered.
    void Acquire(int answer)
    {
        m_boxes->QueueAnswer(answer);
        Frame().SendMessage(WM_COMMAND, ID_TWAIN_ACQUIRE);
        while (PumpMessages() > 0) {
        }
    }
    int ImageDocuments()
    {
        int count = 0;
        CMultiDocTemplate* images = m_app.GetImageTemplate();
        for (POSITION pos = images->GetFirstDocPosition(); pos != nullptr;) {
            images->GetNextDoc(pos);
            ++count;
        }
        return count;
    }

    CScopedSaneTestBackend m_backend{kDevice};
};

TEST_F(ScannerTest, SelectSourceListsTheDevicesAndKeepsTheChoice)
{
    std::vector<CString> listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = WindowOf<CDialog>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* list = DYNAMIC_DOWNCAST(CListBox, dialog->GetDlgItem(kSourceList));
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->GetCount(); ++i) {
            CString text;
            list->GetText(i, text);
            listed.push_back(text.Left(6));
        }
        list->SetCurSel(1);
        dialog->SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_TRUE(QueryCommand(Frame(), ID_TWAIN_SELECT_SOURCE).enabled);
    Frame().SendMessage(WM_COMMAND, ID_TWAIN_SELECT_SOURCE);
    EXPECT_EQ(listed, (std::vector<CString>{"test:0", "test:1"}));
    EXPECT_STREQ(Frame().GetSourceIdentity().ProductName, "test:1");
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ScannerTest, AcquireBringsAPageOfTheDevicesSizeIntoTheActiveImage)
{
    CDIBDoc* doc = OpenImage();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(QueryCommand(Frame(), ID_TWAIN_ACQUIRE).enabled);
    Acquire(IDOK);
    ASSERT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetPageSize(), CSize(100, 200));
    EXPECT_EQ(doc->GetActiveDIB()->GetBpp(), 24);
    EXPECT_EQ(doc->GetPathName(), "Image from TWAIN");
    EXPECT_EQ(m_boxes->Texts().size(), 1u); // the scan's question only
    // The page the scan replaced comes back with undo.
    doc->PopUndo(CDIBDoc::undoPop);
    EXPECT_EQ(doc->GetPageSize(), CSize(12, 10));
    // The source closed itself after its page; the manager stays open.
    EXPECT_FALSE(Frame().IsSourceOpen());
    EXPECT_TRUE(Frame().IsManagerOpen());
}

TEST_F(ScannerTest, ACancelledScanAddsNothing)
{
    CDIBDoc* doc = OpenImage();
    ASSERT_NE(doc, nullptr);
    Acquire(IDCANCEL);
    EXPECT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetPageSize(), CSize(12, 10));
    EXPECT_EQ(doc->GetUndoCount(), 0);
    EXPECT_EQ(ImageDocuments(), 1);
    EXPECT_FALSE(Frame().IsSourceOpen());
}

TEST_F(ScannerTest, WithoutAnImageTheScanOpensANewOne)
{
    ASSERT_EQ(ImageDocuments(), 0);
    Acquire(IDOK);
    ASSERT_EQ(ImageDocuments(), 1);
    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_app.GetImageDocument());
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetPageSize(), CSize(100, 200));
}

} // namespace
} // namespace kestrun::testing
