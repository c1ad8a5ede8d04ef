#include "platform/ui/printing.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Draws a frame and a page number on each page and notes every call.
class CPagePrinter : public IPrintable
{
public:
    UINT m_maxPage = CPrintInfo::kUnknownMaxPage;
    UINT m_stopBefore = 0;
    UINT m_throwOn = 0;
    BOOL m_prepare = TRUE;
    std::vector<std::string> m_calls;
    std::vector<int> m_mapModesOnEntry;
    CRect m_rectDraw;
    int m_technology = 0;
    BOOL m_printing = FALSE;
    int m_dpi = 0;
    BOOL m_preview = FALSE;

    BOOL OnPreparePrinting(CPrintInfo* info) override
    {
        m_calls.push_back("prepare");
        info->SetMaxPage(m_maxPage);
        return m_prepare;
    }
    void OnBeginPrinting(CDC*, CPrintInfo* info) override
    {
        m_calls.push_back("begin");
        m_preview = info->m_bPreview;
    }
    void OnPrepareDC(CDC* dc, CPrintInfo* info) override
    {
        m_mapModesOnEntry.push_back(dc->GetMapMode());
        IPrintable::OnPrepareDC(dc, info);
        if (info->m_nCurPage == m_stopBefore)
            info->m_bContinuePrinting = FALSE;
        // A page a tenth of a millimetre per unit, as the views print.
        dc->SetMapMode(MM_LOMETRIC);
    }
    void OnPrint(CDC* dc, CPrintInfo* info) override
    {
        m_calls.push_back("page " + std::to_string(info->m_nCurPage));
        if (info->m_nCurPage == m_throwOn)
            AfxThrowNotSupportedException();
        m_rectDraw = info->m_rectDraw;
        m_technology = dc->GetDeviceCaps(TECHNOLOGY);
        m_printing = dc->IsPrinting();
        m_dpi = dc->GetDeviceCaps(LOGPIXELSX);
        dc->Rectangle(100, -100, 1000, -500);
        dc->TextOut(100, -600, CString("Page ") + CString(std::to_string(info->m_nCurPage)));
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { m_calls.push_back("end"); }
};

class PrintingTest : public ::testing::Test
{
protected:
    void SetUp() override { m_folder = fs::path(std::getenv("KESTRUN_DATA_ROOT")) / "printing"; fs::create_directories(m_folder); }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Read(const fs::path& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Page objects in a PDF ("/Type /Page", not "/Pages").
    static int CountPages(const std::string& pdf)
    {
        const std::string page = "/Type /Page";
        int count = 0;
        for (size_t at = pdf.find(page); at != std::string::npos; at = pdf.find(page, at + 1)) {
            if (at + page.size() < pdf.size() && pdf[at + page.size()] != 's')
                ++count;
        }
        return count;
    }
    std::vector<fs::path> Files() const
    {
        return {fs::directory_iterator(m_folder), fs::directory_iterator()};
    }

    fs::path m_folder;
};

} // namespace

TEST_F(PrintingTest, PrintsEveryPageIntoAPdfFile)
{
    CPagePrinter printer;
    printer.m_maxPage = 3;
    const fs::path file = m_folder / "report.pdf";
    ASSERT_TRUE(kestrun::PrintToPdf(printer, CString(file.string())));

    const std::string pdf = Read(file);
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
    EXPECT_EQ(CountPages(pdf), 3);
    EXPECT_EQ(printer.m_calls, (std::vector<std::string>{"prepare", "begin", "page 1", "page 2", "page 3", "end"}));
    // Each page starts from the state the job began with.
    EXPECT_EQ(printer.m_mapModesOnEntry, (std::vector<int>{MM_TEXT, MM_TEXT, MM_TEXT}));
    EXPECT_EQ(printer.m_technology, DT_RASPRINTER);
    EXPECT_TRUE(printer.m_printing);
    EXPECT_EQ(printer.m_dpi, 1200);
    // The drawing area is the page in the page's logical units: y runs up.
    EXPECT_EQ(printer.m_rectDraw.left, 0);
    EXPECT_LT(printer.m_rectDraw.bottom, -1000);
    EXPECT_GT(printer.m_rectDraw.right, 1000);
    EXPECT_EQ(Files(), std::vector<fs::path>{file});
}

TEST_F(PrintingTest, WithoutAKnownLastPageOnePagePrintsUnlessThePrintableGoesOn)
{
    CPagePrinter one;
    ASSERT_TRUE(kestrun::PrintToPdf(one, CString((m_folder / "one.pdf").string())));
    EXPECT_EQ(CountPages(Read(m_folder / "one.pdf")), 1);

    CPagePrinter stopping;
    stopping.m_maxPage = 5;
    stopping.m_stopBefore = 3;
    ASSERT_TRUE(kestrun::PrintToPdf(stopping, CString((m_folder / "two.pdf").string())));
    EXPECT_EQ(CountPages(Read(m_folder / "two.pdf")), 2);
    EXPECT_EQ(stopping.m_calls.back(), "end");
}

TEST_F(PrintingTest, AFailedJobLeavesTheFormerFileAndNoTemporary)
{
    const fs::path file = m_folder / "kept.pdf";
    std::ofstream(file) << "former";

    CPagePrinter throwing;
    throwing.m_maxPage = 3;
    throwing.m_throwOn = 2;
    EXPECT_THROW(kestrun::PrintToPdf(throwing, CString(file.string())), CNotSupportedException);
    EXPECT_EQ(Read(file), "former");

    CPagePrinter cancelled;
    cancelled.m_prepare = FALSE;
    EXPECT_FALSE(kestrun::PrintToPdf(cancelled, CString(file.string())));
    EXPECT_EQ(cancelled.m_calls, std::vector<std::string>{"prepare"});
    EXPECT_EQ(Read(file), "former");
    EXPECT_EQ(Files(), std::vector<fs::path>{file});

    CPagePrinter nowhere;
    EXPECT_THROW(kestrun::PrintToPdf(nowhere, CString((m_folder / "missing" / "x.pdf").string())), CFileException);
}

TEST_F(PrintingTest, ThePreviewShowsThePagesThePrintableDraws)
{
    CPagePrinter printer;
    printer.m_maxPage = 2;
    const auto dialog = kestrun::MakePrintPreview(printer, nullptr);
    ASSERT_NE(dialog, nullptr);
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    preview->updatePreview();
    EXPECT_EQ(preview->pageCount(), 2);
    EXPECT_TRUE(printer.m_preview);
    EXPECT_EQ(printer.m_calls.back(), "end");

    CPagePrinter cancelled;
    cancelled.m_prepare = FALSE;
    EXPECT_EQ(kestrun::MakePrintPreview(cancelled, nullptr), nullptr);
}

TEST(CPrintInfoTest, TheRangeDefaultsToTheDocumentsPages)
{
    CPrintInfo info;
    info.SetMinPage(2);
    info.SetMaxPage(7);
    EXPECT_EQ(info.GetFromPage(), 2u);
    EXPECT_EQ(info.GetToPage(), 7u);
    info.SetPageRange(3, 4);
    EXPECT_EQ(info.GetFromPage(), 3u);
    EXPECT_EQ(info.GetToPage(), 4u);
    EXPECT_EQ(info.GetOffsetPage(), 2u);
}
