// The text window: the settings report shown by the image document's
// command, a window that shows the document again at every update, no
// saving, and printing over as many pages as the text needs.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "imaging/textdoc.h"
#include "imaging/ui/textview.h"

#include "analysis/settingsreport.h"
#include "platform/ui/printing.h"

#include <fstream>
#include <iterator>
#include <string>

namespace kestrun::testing {
namespace {

constexpr UINT IDR_VIEW_TEST_TEXT = 7445;

class TextViewTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        m_templates.SetTemplate(CSRC::kTextTemplate,
                                new CMultiDocTemplate(IDR_VIEW_TEST_TEXT, RUNTIME_CLASS(CTextDoc),
                                                      RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CTextView)));
        m_services.m_strProfileName = "Cells";
    }
    void TearDown() override
    {
        m_templates.GetTemplate(CSRC::kTextTemplate)->CloseAllDocuments(FALSE);
        CImageViewTest::TearDown();
    }

    // The settings report, opened through the image document's command.
    CTextDoc* ShowParameter()
    {
        auto* images = new CDIBMultiDocTemplate(IDR_VIEW_TEST_IMAGE, RUNTIME_CLASS(CDIBDocEx),
                                                RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CDIBVwEx));
        m_app.AddDocTemplate(images);
        CDocument* image = images->OpenDocumentFile(nullptr);
        if (image == nullptr)
            return nullptr;
        image->OnCmdMsg(ID_IMAGE_SHOW_PARAMETER, CN_COMMAND, nullptr, nullptr);
        CMultiDocTemplate* texts = m_templates.GetTemplate(CSRC::kTextTemplate);
        POSITION position = texts->GetFirstDocPosition();
        return position ? DYNAMIC_DOWNCAST(CTextDoc, texts->GetNextDoc(position)) : nullptr;
    }
    static CTextView* TextViewOf(CTextDoc* doc)
    {
        POSITION position = doc->GetFirstViewPosition();
        return DYNAMIC_DOWNCAST(CTextView, doc->GetNextView(position));
    }
    // The window's lines, each ended by "\n".
    static CString Shown(CTextView* view)
    {
        CString text;
        view->GetEditCtrl().GetWindowText(text);
        return text;
    }
    static CString Lines(CString text)
    {
        text.Replace("\r\n", "\n");
        return text;
    }
};

TEST_F(TextViewTest, ShowParameterOpensTheProfileReportInATextWindow)
{
    CTextDoc* doc = ShowParameter();
    ASSERT_NE(doc, nullptr);
    const CString report = FormatSettingsReport(m_engine.GetSettings(), "Cells");
    EXPECT_EQ(doc->GetText(), report);
    CTextView* view = TextViewOf(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Shown(view), Lines(report));
}

TEST_F(TextViewTest, EditsStayInTheWindowAndNothingIsSaved)
{
    CTextDoc* doc = ShowParameter();
    ASSERT_NE(doc, nullptr);
    CTextView* view = TextViewOf(doc);
    view->GetEditCtrl().SetWindowText("edited");
    const CString text = doc->GetText();
    doc->UpdateAllViews(nullptr);
    EXPECT_EQ(doc->GetText(), text);
    EXPECT_EQ(Shown(view), Lines(text));

    for (const UINT id : {ID_FILE_SAVE, ID_FILE_SAVE_AS}) {
        CCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(view, FALSE);
        EXPECT_FALSE(ui.m_bEnabled) << id;
    }
}

TEST_F(TextViewTest, PrintingTakesAsManyPagesAsTheLines)
{
    CTextDoc* doc = ShowParameter();
    ASSERT_NE(doc, nullptr);
    CTextView* view = TextViewOf(doc);
    const struct
    {
        int lines;
        UINT pages;
    } cases[] = {{1, 1}, {10, 1}, {11, 2}, {25, 3}};
    for (const auto& c : cases) {
        CString text;
        for (int i = 0; i < c.lines; ++i)
            text.AppendFormat(i == 0 ? "line %d" : "\r\nline %d", i);
        doc->SetText(text);
        doc->UpdateAllViews(nullptr);

        CRecordingDC printer;
        const int lineHeight = printer.GetTextExtent("Xg").cy;
        CPrintInfo info;
        info.m_rectDraw.SetRect(0, 0, 400, 10 * lineHeight);
        view->OnBeginPrinting(&printer, &info);
        EXPECT_EQ(info.GetMaxPage(), c.pages) << c.lines;
        info.m_nCurPage = c.pages;
        view->OnPrint(&printer, &info);
        std::vector<CString> printed;
        for (const CDCRecord& record : printer.Records())
            if (record.op == "TextOut")
                printed.push_back(record.text);
        const int first = 10 * static_cast<int>(c.pages - 1);
        ASSERT_EQ(static_cast<int>(printed.size()), c.lines - first) << c.lines;
        CString expected;
        expected.Format("line %d", first);
        EXPECT_EQ(printed.front(), expected);
    }

    const std::filesystem::path file = m_folder / "report.pdf";
    ASSERT_TRUE(kestrun::PrintViewToPdf(*view, CString(file.string().c_str())));
    std::ifstream in(file, std::ios::binary);
    const std::string pdf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
}

} // namespace
} // namespace kestrun::testing
