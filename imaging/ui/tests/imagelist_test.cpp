// The image list of "&Enhancement": the pages as named thumbnails, the
// page operations of its menu, and the page chosen with OK.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "imaging/ui/mdibview.h"

#include "analysis/ui/tests/dialogtesting.h"

#include <opencv2/core.hpp>

#include <memory>
#include <vector>

namespace {

using kestrun::testing::CImageViewTest;
using kestrun::testing::IDR_VIEW_TEST_IMAGE;
using kestrun::testing::OnNextDialog;

class ImageListTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        m_exTemplate = std::make_unique<CDIBMultiDocTemplate>(IDR_VIEW_TEST_IMAGE, RUNTIME_CLASS(CDIBDocEx),
                                                              RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CDIBVwEx));
        m_ex = dynamic_cast<CDIBDocEx*>(m_exTemplate->OpenDocumentFile(WritePlate(5)));
        ASSERT_NE(m_ex, nullptr);
        // Three pages, each its own grey.
        for (int i = 1; i < 3; ++i) {
            auto page = std::make_unique<CDIB>(*m_ex->GetPage(0));
            page->GetMat().setTo(cv::Scalar(40 * i, 40 * i, 40 * i));
            m_ex->AddPage(std::move(page));
        }
    }

    void TearDown() override
    {
        m_exTemplate->CloseAllDocuments(FALSE);
        CImageViewTest::TearDown();
    }

    static std::vector<CString> Names(CMDIBView& list)
    {
        std::vector<CString> names;
        for (int i = 0; i < list.m_wndList.GetItemCount(); ++i)
            names.push_back(list.m_wndList.GetItemText(i, 0));
        return names;
    }
    static void Select(CMDIBView& list, std::vector<int> items)
    {
        for (int i = 0; i < list.m_wndList.GetItemCount(); ++i)
            list.m_wndList.SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int item : items)
            list.m_wndList.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    static void Command(CMDIBView& list, UINT id) { list.SendMessage(WM_COMMAND, id, 0); }

    std::unique_ptr<CDIBMultiDocTemplate> m_exTemplate;
    CDIBDocEx* m_ex = nullptr;
};

TEST_F(ImageListTest, PagesAreNamedChannelsAndDifferencesAddedAndOKChoosesThePage)
{
    bool shown = false;
    OnNextDialog([&](CDialog& dialog) {
        auto& list = dynamic_cast<CMDIBView&>(dialog);
        shown = true;
        EXPECT_EQ(Names(list), (std::vector<CString>{"Bild1", "Bild2", "Bild3"}));

        // All three channels of the current page become pages 4 to 6.
        list.m_nCurrent = 0;
        OnNextDialog([](CDialog& chooser) { chooser.SendMessage(WM_COMMAND, IDOK); });
        Command(list, CMDIBView::ID_PAGE_COLOR_CHANNELS);
        EXPECT_EQ(Names(list), (std::vector<CString>{"Bild1", "Bild2", "Bild3", "ImgRed", "ImgGreen", "ImgBlue"}));
        ASSERT_EQ(m_ex->GetPageCount(), 6);
        EXPECT_EQ(m_ex->GetPage(3)->GetBitCount(), 8);
        EXPECT_EQ(m_ex->GetPage(5)->GetWidth(), kPlateWidth);

        const struct
        {
            const char* name;
            std::vector<int> selected;
            bool shrinkSecond; // page 2 becomes half as large first
            const char* message; // "" when a "Diff" page is added
        } diffs[] = {
            {"one image", {1}, false, "Please select two images!"},
            {"different depth", {0, 3}, false,
             "The two images differ in size or colour depth: no difference is formed."},
            {"two alike", {1, 2}, false, ""},
            {"different size", {1, 2}, true,
             "The two images differ in size or colour depth: no difference is formed."},
        };
        for (const auto& c : diffs) {
            SCOPED_TRACE(c.name);
            m_boxes->Clear();
            if (c.shrinkSecond)
                ASSERT_TRUE(m_ex->GetPage(2)->InitDIB(kPlateWidth / 2, kPlateHeight / 2, 24));
            const int pages = m_ex->GetPageCount();
            Select(list, c.selected);
            Command(list, CMDIBView::ID_PAGE_DIFF);
            if (*c.message != '\0') {
                EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{c.message});
                EXPECT_EQ(m_ex->GetPageCount(), pages);
            } else {
                EXPECT_TRUE(m_boxes->Texts().empty());
                ASSERT_EQ(m_ex->GetPageCount(), pages + 1);
                EXPECT_EQ(Names(list).back(), "Diff");
                // 40 against 80 grey: every pixel differs.
                EXPECT_EQ(m_ex->GetPage(pages)->GetMat().at<cv::Vec3b>(10, 10), cv::Vec3b(255, 255, 255));
            }
        }

        // Closing the last page keeps the current index on a page.
        list.m_nCurrent = m_ex->GetPageCount() - 1;
        Command(list, CMDIBView::ID_PAGE_CLOSE);
        EXPECT_EQ(m_ex->GetPageCount(), 6);
        EXPECT_EQ(list.m_wndList.GetItemCount(), 6);
        EXPECT_EQ(list.m_nCurrent, 5);

        Select(list, {1});
        Press(dialog, IDOK);
    });
    m_ex->OnCmdMsg(ID_IMAGE_ENHANCEMENT, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(m_ex->GetActiveIndex(), 1);
}

TEST_F(ImageListTest, LoadAddsAPageAndAClickMakesItActive)
{
    kestrun::testing::CFileAnswers files;
    CMDIBView list(*m_ex, &m_engine, 0, m_main);
    OnNextDialog([&](CDialog& dialog) {
        files.m_answer = WritePlate(9);
        Command(list, CMDIBView::ID_PAGE_LOAD);
        files.m_answer.Empty(); // a cancelled file dialog adds nothing
        Command(list, CMDIBView::ID_PAGE_LOAD);
        EXPECT_EQ(Names(list), (std::vector<CString>{"Bild1", "Bild2", "Bild3", "Bild4"}));
        ASSERT_EQ(m_ex->GetPageCount(), 4);

        NMITEMACTIVATE click{};
        click.hdr.code = NM_CLICK;
        click.iItem = 3;
        list.m_wndList.NotifyParent(click.hdr);
        EXPECT_EQ(list.m_nCurrent, 3);
        EXPECT_EQ(m_ex->GetActiveIndex(), 3);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(list.DoModal(), IDCANCEL);
}

TEST_F(ImageListTest, PageCommandsWithoutACurrentPageSaySo)
{
    CMDIBView list(*m_ex, &m_engine, -1, m_main);
    const cv::Mat before = m_ex->GetPage(0)->GetMat().clone();
    OnNextDialog([&](CDialog& dialog) {
        for (const UINT id : {CMDIBView::ID_PAGE_INVERSE, CMDIBView::ID_PAGE_GRAY_RANGE}) {
            m_boxes->Clear();
            Command(list, id);
            EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Actual Image not loaded"}) << id;
        }
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(list.DoModal(), IDCANCEL);
    EXPECT_EQ(cv::norm(before, m_ex->GetPage(0)->GetMat(), cv::NORM_INF), 0.0);
    EXPECT_EQ(m_ex->GetPageCount(), 3);
}

} // namespace
