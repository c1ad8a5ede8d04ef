// What the view leaves behind as it closes, and what it does when its
// result table closes first: the grabber's profile goes to the
// application, the table stays usable without the view, and an open class
// window waits for the objects of the next count.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/classes.h"
#include "analysis/ui/infodlgresources.h"
#include "analysis/ui/infolearnclass.h"
#include "outside/grabwell/fgboard.h"

#include "platform/core/messages.h"

#include <filesystem>

namespace viewclosetest {

using kestrun::testing::CImageViewTest;
namespace p = kestrun::fgparam;

class ViewCloseTest : public CImageViewTest
{
protected:
    void CloseView()
    {
        m_view->GetParentFrame()->SendMessage(WM_CLOSE);
        kestrun::PumpMessages();
        m_view = nullptr;
        m_doc = nullptr;
    }
    // The samples the first class's first feature has learned.
    int Samples() const { return m_engine.m_Classes[0].GetFeature(0).GetCount(); }
    CString Prompt(CInfoLearnClass& dialog)
    {
        CString text;
        dialog.GetDlgItemText(kestrun::analysisui::IDC_CLASS_PROMPT, text);
        return text;
    }
};

TEST_F(ViewCloseTest, TheBoardsProfileGoesToTheApplicationUnlessTheBoardKnowsNone)
{
    const std::filesystem::path boardFolder = m_folder / "board";
    std::filesystem::create_directories(boardFolder);
    FGBoard board;
    ASSERT_TRUE(board.SetParameterString(p::kFolder, boardFolder.c_str()));

    m_services.m_strGrabberProfileName = "Lab";
    CDIBVwEx::HandOverGrabberProfile(board);
    EXPECT_EQ(m_services.m_strGrabberProfileName, "Lab") << "a board without a profile empties nothing";

    ASSERT_TRUE(board.SetParameterString(p::kSaveProfile, "Day"));
    CDIBVwEx::HandOverGrabberProfile(board);
    EXPECT_EQ(m_services.m_strGrabberProfileName, "Day");
}

TEST_F(ViewCloseTest, ClosingTheViewHandsOverTheProfileOfTheProcesssBoard)
{
    FGBoard* board = GetFG();
    ASSERT_NE(board, nullptr);
    const CString previousFolder = board->GetParameterString(p::kFolder);
    ASSERT_TRUE(board->SetParameterString(p::kFolder, m_folder.c_str()));
    ASSERT_TRUE(board->SetParameterString(p::kSaveProfile, "Night"));
    m_services.m_strGrabberProfileName = "Lab";
    CloseView();
    EXPECT_EQ(m_services.m_strGrabberProfileName, "Night");
    board->SetParameterString(p::kFolder, previousFolder);
}

TEST_F(ViewCloseTest, TheTableOutlivesItsViewAndStaysUsable)
{
    ASSERT_TRUE(m_engine.m_Classes.AddClass("Brown"));
    CObjDataDoc* table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    m_doc->m_nDrawMode = CDIBView::kDrawNone;
    Command(ID_TOOL_CLASS_DEFINITION);
    ASSERT_NE(m_view->m_pLearnClassDlg, nullptr);
    m_view->ShowObject(1);

    CloseView();
    EXPECT_TRUE(m_imageTemplate->Documents().empty());

    // Picking a row, redrawing and closing the table reach no window of
    // the view (the sanitizers watch).
    const kestrun::testing::sColony& colony = m_colonies.front();
    const int hit = table->HitTestObject(colony.centre);
    ASSERT_GE(hit, 0);
    EXPECT_EQ(table->SetSelectedObject(colony.centre, hit), hit);
    table->UpdateAllViews(nullptr);
    table->OnCloseDocument();
    kestrun::PumpMessages();
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ViewCloseTest, ATableClosedUnderTheClassWindowLeavesItWaitingForTheNextCount)
{
    ASSERT_TRUE(m_engine.m_Classes.AddClass("Brown"));
    m_engine.m_Classes.ElementAt(0).AddFeature("Area", 1, 0.0, 0.0);
    CObjDataDoc* table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    m_doc->m_nDrawMode = CDIBView::kDrawNone;
    Command(ID_TOOL_CLASS_DEFINITION);
    ASSERT_NE(m_view->m_pLearnClassDlg, nullptr);
    CInfoLearnClass* dialog = m_view->m_pLearnClassDlg.get();
    Press(*dialog, kestrun::analysisui::IDC_CLASS_LEARN);
    dialog->GetFeatureList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    const kestrun::testing::sColony& colony = m_colonies.front();
    ClickAt(colony.centre);
    ASSERT_EQ(Prompt(*dialog), "");
    EXPECT_EQ(dialog->GetObjectSource(), CInfoLearnClass::objectsOfTable);
    const int learned = Samples();

    table->OnCloseDocument();
    EXPECT_EQ(m_doc->GetResultDoc(), nullptr);
    EXPECT_EQ(m_view->m_pLearnClassDlg.get(), dialog);
    EXPECT_EQ(dialog->GetObjectSource(), CInfoLearnClass::objectsGone);
    EXPECT_EQ(Prompt(*dialog), CInfoLearnClass::kPrompt);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawFinished);
    EXPECT_TRUE(m_view->m_rectMark.IsRectNull());

    // A click without a table learns nothing; the next count's objects do.
    ClickAt(colony.centre);
    EXPECT_EQ(Samples(), learned);
    table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    ClickAt(colony.centre);
    EXPECT_GT(Samples(), learned);
    EXPECT_EQ(dialog->GetObjectSource(), CInfoLearnClass::objectsOfTable);
}

} // namespace viewclosetest
