// The image view's commands beside the objects: the page through the
// clipboard, printing, the tools of later issues, the view switches and
// what the view keeps in the profile.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/tests/boardprobe.h"

#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <opencv2/core.hpp>

#include <filesystem>
#include <vector>

namespace {

using kestrun::testing::CImageViewTest;

class ViewCommandsTest : public CImageViewTest
{
protected:
    static CCmdUI* Update(CView* view, UINT id, CCmdUI& ui)
    {
        ui.m_nID = id;
        ui.DoUpdate(view, FALSE);
        return &ui;
    }
};

TEST_F(ViewCommandsTest, ThePageGoesThroughTheClipboard)
{
    m_view->SendMessage(WM_COMMAND, ID_EDIT_COPY, 0);
    ASSERT_TRUE(kestrun::ClipboardHasImage());

    // A document without pages shows a blank 100 x 100 page, which the paste replaces.
    auto* blank = dynamic_cast<CDIBDoc*>(m_imageTemplate->OpenDocumentFile(nullptr));
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->GetPageSize(), CSize(100, 100));
    CDIBVwEx* other = ViewOf(blank);
    CCmdUI ui;
    EXPECT_TRUE(Update(other, ID_EDIT_PASTE, ui)->m_bEnabled);
    other->SendMessage(WM_COMMAND, ID_EDIT_PASTE, 0);
    ASSERT_EQ(blank->GetPageSize(), CSize(kPlateWidth, kPlateHeight));
    const cv::Mat diff = blank->GetActiveDIB()->GetMat() != m_doc->GetActiveDIB()->GetMat();
    EXPECT_EQ(cv::countNonZero(diff.reshape(1)), 0);
    EXPECT_EQ(other->m_sizeImage, CSize(kPlateWidth, kPlateHeight));

    // Text is no picture: the command is disabled, and a paste says so and keeps the page.
    kestrun::SetClipboardText("not a picture");
    CCmdUI later;
    EXPECT_FALSE(Update(other, ID_EDIT_PASTE, later)->m_bEnabled);
    other->PastePage();
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], "Clipboard data with wrong format");
    EXPECT_EQ(blank->GetPageSize(), CSize(kPlateWidth, kPlateHeight));
}

TEST_F(ViewCommandsTest, ACopyOfThePageTheBoardWritesIntoHoldsItsBuffer)
{
    FGBoard* board = GetFG();
    // Outlives the test, whatever stops it: the board keeps the pointer.
    static kestrun::ManualClock clock;
    ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*board, clock));
    ASSERT_TRUE(m_doc->InitVideoPages());
    ASSERT_TRUE(m_view->ConnectVideo());
    ASSERT_EQ(board->GetDIB(), m_doc->GetActiveDIB());
    // Whether a live frame could have been written into the page while the
    // clipboard took it.
    std::vector<bool> bufferFree;
    const QMetaObject::Connection probe =
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                         [&bufferFree, board] { bufferFree.push_back(kestrun::testing::IsBufferFree(*board)); });
    m_view->SendMessage(WM_COMMAND, ID_EDIT_COPY, 0);
    QObject::disconnect(probe);
    board->DisconnectDisplay();
    board->SetClock(nullptr);
    EXPECT_TRUE(kestrun::ClipboardHasImage());
    EXPECT_EQ(bufferFree, std::vector<bool>{false});
}

TEST_F(ViewCommandsTest, WithObjectsTheCopyIsThePictureAsShown)
{
    ASSERT_NE(CountPlate(m_doc), nullptr);
    m_view->SendMessage(WM_COMMAND, ID_EDIT_COPY, 0);
    const auto image = kestrun::GetClipboardImage();
    ASSERT_TRUE(image.has_value());
    CRect client;
    m_view->GetClientRect(&client);
    EXPECT_EQ(image->width, client.Width());
    EXPECT_EQ(image->height, client.Height());
}

TEST_F(ViewCommandsTest, PrintsIntoAPdfFile)
{
    ASSERT_NE(CountPlate(m_doc), nullptr);
    m_view->m_bDrawRulers = TRUE;
    m_doc->UpdateAllViews(nullptr);
    const std::filesystem::path file = m_folder / "plate.pdf";
    ASSERT_TRUE(kestrun::PrintViewToPdf(*m_view, CString(file.c_str())));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

TEST_F(ViewCommandsTest, DirectViewAndRulersSwitchAndShowTheirState)
{
    m_view->m_bShrinkToFit = TRUE;
    CCmdUI before;
    EXPECT_TRUE(Update(m_view, ID_VIEW_DIRECT, before)->m_bEnabled);
    EXPECT_EQ(before.m_nCheck, 0);
    m_view->SendMessage(WM_COMMAND, ID_VIEW_DIRECT, 0);
    EXPECT_FALSE(m_view->m_bShrinkToFit);
    EXPECT_EQ(m_view->GetTotalSize(), CSize(kPlateWidth, kPlateHeight));
    CCmdUI after;
    EXPECT_EQ(Update(m_view, ID_VIEW_DIRECT, after)->m_nCheck, 1);

    m_view->SendMessage(WM_COMMAND, ID_VIEW_RULERS, 0);
    EXPECT_TRUE(m_view->m_bDrawRulers);
    EXPECT_EQ(m_view->GetTotalSize(), CSize(kPlateWidth + 50, kPlateHeight + 40));
    CCmdUI rulers;
    EXPECT_EQ(Update(m_view, ID_VIEW_RULERS, rulers)->m_nCheck, 1);
}

TEST_F(ViewCommandsTest, UndoTakesBackTheLastImageCommand)
{
    CCmdUI empty;
    EXPECT_FALSE(Update(m_view, ID_EDIT_UNDO, empty)->m_bEnabled);
    m_doc->PushUndo(FALSE);
    m_doc->GetActiveDIB()->SetAllGray(RGB(0, 0, 0));
    CCmdUI one;
    EXPECT_TRUE(Update(m_view, ID_EDIT_UNDO, one)->m_bEnabled);
    m_view->SendMessage(WM_COMMAND, ID_EDIT_UNDO, 0);
    EXPECT_EQ(m_doc->GetActiveDIB()->GetPixel(1, 1), RGB(200, 215, 205));
    EXPECT_EQ(m_doc->GetUndoCount(), 0);
}

TEST_F(ViewCommandsTest, TheViewKeepsItsSwitchesAndFontInTheProfile)
{
    m_view->m_bShrinkToFit = FALSE;
    m_view->m_bDrawRulers = TRUE;
    m_view->m_nMarkRectColor = RGB(0, 128, 255);
    m_view->m_lfText.lfHeight = -16; // 12 points at 96 dpi
    m_doc->OnCloseDocument();
    EXPECT_EQ(m_app.GetProfileInt("DIBView", "ShrinkToFit", -1), 0u);
    EXPECT_EQ(m_main->m_goneViews.size(), 1u);

    CDIBDoc* again = OpenPlate();
    ASSERT_NE(again, nullptr);
    CDIBVwEx* view = ViewOf(again);
    EXPECT_FALSE(view->m_bShrinkToFit);
    EXPECT_TRUE(view->m_bDrawRulers);
    EXPECT_EQ(view->m_nMarkRectColor, static_cast<int>(RGB(0, 128, 255)));
    EXPECT_STREQ(view->m_lfText.lfFaceName, "Arial");
    EXPECT_EQ(view->m_lfText.lfHeight, -16);
}

TEST_F(ViewCommandsTest, AnImageWindowOpensWhereTheLastOneClosedIfItFits)
{
    auto frameRect = [](CDIBDoc* doc) {
        WINDOWPLACEMENT placement{};
        ViewOf(doc)->GetParentFrame()->GetWindowPlacement(&placement);
        return CRect(placement.rcNormalPosition);
    };
    ViewOf(m_doc)->GetParentFrame()->MoveWindow(40, 30, 400, 300);
    m_doc->OnCloseDocument();
    EXPECT_EQ(m_app.GetProfileString("DIBView", "Rect", ""), "0040 0030 0440 0330");

    struct Case
    {
        const char* stored;
        CRect expected;
    };
    // Reaching past the main window's client area: the first start's rectangle.
    for (const Case c : {Case{"", CRect(40, 30, 440, 330)}, Case{"0040 0030 4000 0330", CRect(10, 10, 500, 400)}}) {
        if (*c.stored)
            m_app.WriteProfileString("DIBView", "Rect", c.stored);
        auto* doc = dynamic_cast<CDIBDoc*>(m_imageTemplate->OpenDocumentFile(PathOf("plate.png")));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(frameRect(doc), c.expected) << c.stored;
        doc->OnCloseDocument();
    }
}

TEST_F(ViewCommandsTest, LiveVideoNeedsAVideoDocument)
{
    EXPECT_FALSE(m_view->ConnectVideo());
    // A pick of colours for the threshold dialog.
    m_view->SetPickMode(TRUE);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawPickColour);
    m_view->SendMessage(WM_COMMAND, ID_CANCEL_TOOL, 0);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawNone);
    m_doc->m_nDrawMode = CDIBView::kDrawLearnThresholds;
    m_view->CancelTool();
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawFinished);
}

} // namespace
