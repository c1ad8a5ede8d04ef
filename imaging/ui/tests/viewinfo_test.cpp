// The view's class window (drawing mode 4), manual counter (256), contour
// editing of "Add Object" in a table of ellipses (64) and colour picking
// (8): each command opens its window once, and the clicks over the image
// reach that window.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/classes.h"
#include "analysis/objdata.h"
#include "analysis/ui/infodlgresources.h"
#include "analysis/ui/infodlgs.h"
#include "analysis/ui/infolearnclass.h"
#include "analysis/ui/thresdlg.h"
#include "analysis/ui/analysisdlgresources.h"
#include "series/griddoc2.h"

#include "platform/core/messages.h"
#include "platform/ui/qtdc_overlay.h"

#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

using kestrun::testing::CImageViewTest;

// A window below the main window: hears "DataChanged".
class CDataListener : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == RegisterWindowMessage("DataChanged"))
            m_heard.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<WPARAM> m_heard;
};

class ViewInfoTest : public CImageViewTest
{
protected:
    CObjData& Record(CObjDataDoc* table, int i) { return dynamic_cast<CObjData&>(*table->GetAt(i)); }
};

TEST_F(ViewInfoTest, ManualCountingCountsTheClicksDrawsThemAndTellsTheCountOnOK)
{
    CDataListener listener;
    ASSERT_TRUE(listener.Create(nullptr, "listener", WS_CHILD, CRect(0, 0, 10, 10), m_main, 1));
    EXPECT_TRUE(IsEnabled(ID_TOOL_COUNT_MANUALLY));
    Command(ID_TOOL_COUNT_MANUALLY);
    ASSERT_NE(m_view->m_pManualCountDlg, nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawManualCount);
    CInfoManualCount* dialog = m_view->m_pManualCountDlg.get();
    Command(ID_TOOL_COUNT_MANUALLY); // one counter at a time
    EXPECT_EQ(m_view->m_pManualCountDlg.get(), dialog);

    const CPoint clicks[] = {{30, 40}, {100, 120}, {200, 60}};
    for (const CPoint& p : clicks)
        ClickAt(p);
    EXPECT_EQ(dialog->GetCount(), 3);
    EXPECT_EQ(dialog->GetPoints(), std::vector<CPoint>(std::begin(clicks), std::end(clicks)));

    // The view draws every counted point as a red cross with its number.
    CRecordingDC dc;
    Render(m_view, dc);
    std::vector<CString> numbers;
    int redLines = 0;
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "TextOut" && (r.text == "1" || r.text == "2" || r.text == "3"))
            numbers.push_back(r.text);
        if (r.op == "LineTo" && r.pen.lopnColor == RGB(255, 0, 0))
            ++redLines;
    }
    EXPECT_EQ(numbers, (std::vector<CString>{"1", "2", "3"}));
    EXPECT_GE(redLines, 6);

    Press(*dialog, IDOK);
    EXPECT_EQ(listener.m_heard, std::vector<WPARAM>{3});
    EXPECT_EQ(m_view->m_pManualCountDlg, nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawNone);
}

TEST_F(ViewInfoTest, ClassDefinitionLearnsClickedObjectsAndWithoutATableClickedColours)
{
    ASSERT_TRUE(m_engine.m_Classes.AddClass("Brown"));
    m_engine.m_Classes.ElementAt(0).AddFeature("Area", 1, 0.0, 0.0);
    m_engine.m_Classes.ElementAt(0).AddFeature("Color Green", 64, 0.0, 0.0);

    // Without a table: a click gives the colour under it.
    EXPECT_TRUE(IsEnabled(ID_TOOL_CLASS_DEFINITION));
    Command(ID_TOOL_CLASS_DEFINITION);
    ASSERT_NE(m_view->m_pLearnClassDlg, nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawClassDefinition);
    CInfoLearnClass* dialog = m_view->m_pLearnClassDlg.get();
    Command(ID_TOOL_CLASS_DEFINITION);
    EXPECT_EQ(m_view->m_pLearnClassDlg.get(), dialog);
    Press(*dialog, kestrun::analysisui::IDC_CLASS_LEARN);
    const kestrun::testing::sColony& colony = m_colonies.front();
    const COLORREF colour = m_doc->GetActiveDIB()->GetPixel(colony.centre.x, colony.centre.y);
    ClickAt(colony.centre);
    EXPECT_DOUBLE_EQ(m_engine.m_Classes[0].GetFeatureStat(1, CVectorNormal::statMax), GetGValue(colour));
    // Escape ends the tool and closes the window.
    Command(ID_CANCEL_TOOL);
    EXPECT_EQ(m_view->m_pLearnClassDlg, nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawNone);

    // With a table: the clicked object is assigned and learned.
    CObjDataDoc* table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    m_doc->m_nDrawMode = CDIBView::kDrawNone;
    Command(ID_TOOL_CLASS_DEFINITION);
    ASSERT_NE(m_view->m_pLearnClassDlg, nullptr);
    dialog = m_view->m_pLearnClassDlg.get();
    Press(*dialog, kestrun::analysisui::IDC_CLASS_LEARN);
    dialog->GetFeatureList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    const int hit = table->HitTestObject(colony.centre);
    ASSERT_GE(hit, 0);
    ClickAt(colony.centre);
    const CObjData& object = Record(table, hit);
    EXPECT_EQ(object.m_strClassName, "Brown");
    EXPECT_EQ(object.m_dClass, m_engine.m_Classes[0].m_nClass);
    EXPECT_NEAR(m_engine.m_Classes[0].GetFeatureStat(0, CVectorNormal::statMax), object.GetArea(), 1e-9);
    EXPECT_FALSE(TableViewOf(table)->m_hits.empty());
}

TEST_F(ViewInfoTest, AddObjectInATableOfEllipsesEditsTheContourAtTheClick)
{
    CObjDataDoc* table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(IsEnabled(ID_OBJECT_ADD)); // nothing excluded
    table->m_nFirstType = CGridDoc2::kTypeContourSegment;
    const kestrun::testing::sColony& colony = m_colonies.front();
    const int hit = table->HitTestObject(colony.centre);
    ASSERT_GE(hit, 0);
    table->SetCurrentIndex(hit);

    EXPECT_TRUE(IsEnabled(ID_OBJECT_ADD));
    Command(ID_OBJECT_ADD);
    ASSERT_NE(m_view->m_pLearnThresDlg, nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawLearnThresholds);
    CInfoLearnThres* dialog = m_view->m_pLearnThresDlg.get();
    Command(ID_OBJECT_ADD); // a beep, no second window
    EXPECT_EQ(m_view->m_pLearnThresDlg.get(), dialog);

    const double before = Record(table, hit).GetArea();
    TableViewOf(table)->m_hits.clear();
    ClickAt(CPoint(colony.centre.x + colony.radius + 6, colony.centre.y));
    EXPECT_GT(Record(table, hit).GetArea(), before);
    ASSERT_EQ(TableViewOf(table)->m_hits.size(), 1U);
    EXPECT_EQ(TableViewOf(table)->m_hits[0].first, static_cast<WPARAM>(hit));

    // OK ends the editing as finished.
    Press(*dialog, IDOK);
    EXPECT_EQ(m_view->m_pLearnThresDlg, nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawFinished);
}

TEST_F(ViewInfoTest, AColourPickedForTheThresholdShowsRed)
{
    Command(ID_TOOL_THRESHOLDS);
    ASSERT_NE(m_view->m_pThresDlg, nullptr);
    Press(*m_view->m_pThresDlg, kestrun::analysisui::IDC_THRES_LEARN_OBJECT);
    ASSERT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawPickColour);
    const CPoint image(50, 50);
    ClickAt(image);
    const CPoint at = m_view->ImageToClient(image);
    const QImage& overlay = CWidgetOverlay::Of(*m_view->GetClientWidget()).Image();
    ASSERT_TRUE(overlay.valid(at.x, at.y));
    EXPECT_EQ(QColor(overlay.pixel(at.x, at.y)), QColor(255, 0, 0));
}

} // namespace
