// The object table: XML files, draw settings, objects under a point and the
// contour edits.

#include "series/objdatadoc.h"
#include "series/tablecommands.h"
#include "series/tests/seriestesting.h"

#include "analysis/objdataii.h"
#include "analysis/ui/watersheddlg.h"
#include "platform/core/profile.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <fstream>

namespace {

using kestrun::testing::CSeriesTest;
using kestrun::testing::CTextRecord;
using kestrun::testing::MakeOutlinedObject;

constexpr DWORD kShownColumns = CObjData::colPosX | CObjData::colPosY | CObjData::colArea | CObjData::colClass;

class ObjDataDocTest : public CSeriesTest
{
protected:
    void SetUp() override
    {
        CSeriesTest::SetUp();
        m_doc = std::make_unique<CObjDataDoc>();
    }

    void TearDown() override
    {
        m_doc.reset();
        CSeriesTest::TearDown();
    }

    void WriteText(const char* name, const std::string& text) const
    {
        std::ofstream(PathOf(name).GetString(), std::ios::binary) << text;
    }

    // A 41 x 21 rectangle traced around (10, 10) - (50, 30), classified.
    CObjData* AddRectangle()
    {
        auto object = MakeOutlinedObject({{10, 10}, {50, 10}, {50, 30}, {10, 30}});
        object->m_dClass = 2;
        object->m_strClassName = "Cell";
        object->m_ClassColor = 0x00FF00;
        CObjData* added = object.get();
        m_doc->AddObject(object.release());
        m_doc->SetCurrentIndex(m_doc->GetCount() - 1);
        return added;
    }

    CObjData& ObjectAt(int index) { return dynamic_cast<CObjData&>(*m_doc->GetAt(index)); }

    LPARAM DocParam() const { return reinterpret_cast<LPARAM>(static_cast<CDocument*>(m_doc.get())); }

    std::unique_ptr<CObjDataDoc> m_doc;
};

// ---- files ---------------------------------------------------------------------------------

TEST_F(ObjDataDocTest, TheTableRoundTripsThroughItsXmlFile)
{
    auto first = MakeObject(kShownColumns, {12, 30}, {5, 20, 19, 40}, 100);
    first->m_Index = 3;
    first->m_FF = 1.25f;
    first->m_MeanColor = 0x102030;
    first->m_bHitBoundary = 1;
    first->m_dClass = 2;
    first->m_strClassName = "Big cell ";
    first->m_ClassColor = 0xFF00FF;
    auto second = std::make_unique<CObjDataII>();
    second->m_Type = kShownColumns;
    second->m_lArea = 55;
    second->m_strClassName = "Nucleated";
    m_doc->AddObject(first.release());
    m_doc->AddObject(second.release());
    m_doc->BuildTitles();
    m_doc->m_nWhatToDraw = 5;
    m_doc->SetModifiedFlag();
    ASSERT_TRUE(m_doc->OnSaveDocument(PathOf("table.xml")));
    EXPECT_FALSE(m_doc->IsModified());

    CObjDataDoc loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(PathOf("table.xml")));
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_EQ(loaded.m_nWhatToDraw, 5);
    EXPECT_EQ(loaded.m_nFirstType, 5);
    ASSERT_EQ(loaded.GetColumnCount(), m_doc->GetColumnCount());
    for (int c = 0; c < loaded.GetColumnCount(); ++c)
        EXPECT_EQ(loaded.m_Titles[c], m_doc->m_Titles[c]);
    // Loading puts the column configuration in step with the titles.
    EXPECT_EQ(loaded.m_nVisibleColumns, loaded.GetColumnCount());

    const auto& a = dynamic_cast<const CObjData&>(*loaded.GetAt(0));
    EXPECT_EQ(a.m_Rect, CRect(5, 20, 19, 40));
    EXPECT_EQ(a.m_ptCentroid, CPoint(12, 30));
    EXPECT_EQ(a.m_Index, 3);
    EXPECT_EQ(a.m_lArea, 100);
    EXPECT_FLOAT_EQ(a.m_FF, 1.25f);
    EXPECT_EQ(a.m_MeanColor, 0x102030u);
    EXPECT_EQ(a.m_bHitBoundary, 1);
    EXPECT_EQ(a.m_dClass, 2);
    EXPECT_EQ(a.m_strClassName, "Big cell ");
    EXPECT_EQ(a.m_ClassColor, 0xFF00FFu);
    EXPECT_EQ(a.m_Type, kShownColumns);
    EXPECT_TRUE(loaded.GetAt(1)->IsKindOf(RUNTIME_CLASS(CObjDataII)));
    EXPECT_EQ(loaded.GetAt(1)->m_strClassName, "Nucleated");

    // Stored again, the file is the same.
    ASSERT_TRUE(loaded.OnSaveDocument(PathOf("again.xml")));
    EXPECT_EQ(ReadFile("again.xml"), ReadFile("table.xml"));
}

TEST_F(ObjDataDocTest, LoadingSkipsCommentsAndElementsThatAreNoRecords)
{
    WriteText("mixed.xml", "<CObjDataDoc><WhatToDraw>3</WhatToDraw><CGridDoc2><m_Titles><CString>Index</CString>"
                           "</m_Titles><CDataDoc><m_arrayObjects><!-- a note --><CNoSuchRecord/>"
                           "<CObjData><m_lArea>42</m_lArea><CBaseObj><m_ID>5</m_ID>"
                           "<m_strClassName>A</m_strClassName></CBaseObj></CObjData><CCalibration/>"
                           "</m_arrayObjects></CDataDoc></CGridDoc2></CObjDataDoc>");
    ASSERT_TRUE(m_doc->OnOpenDocument(PathOf("mixed.xml")));
    ASSERT_EQ(m_doc->GetCount(), 1);
    EXPECT_EQ(ObjectAt(0).m_lArea, 42);
    EXPECT_EQ(ObjectAt(0).m_strClassName, "A");
    EXPECT_EQ(m_doc->m_nWhatToDraw, 3);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ObjDataDocTest, DocumentsAndWindowsNamedInTheRecordListAreNeverMade)
{
    // A table made and dropped on the way would tell the main window of its end.
    WriteText("foreign.xml", "<CObjDataDoc><CGridDoc2><CDataDoc><m_arrayObjects><CObjDataDoc/><CGridDoc2/>"
                             "<CFrameWnd/><CObjData><m_lArea>7</m_lArea></CObjData></m_arrayObjects></CDataDoc>"
                             "</CGridDoc2></CObjDataDoc>");
    ASSERT_TRUE(m_doc->OnOpenDocument(PathOf("foreign.xml")));
    ASSERT_EQ(m_doc->GetCount(), 1);
    EXPECT_EQ(ObjectAt(0).m_lArea, 7);
    EXPECT_TRUE(m_main->m_log.Of("DELETE_DOCUMENT").empty());
}

TEST_F(ObjDataDocTest, AHitOnObjectsReadWithExtremeCoordinatesStaysInRange)
{
    WriteText("extreme.xml", "<CObjDataDoc><CGridDoc2><CDataDoc><m_arrayObjects><CObjData>"
                             "<m_Rect.left>-2147483648</m_Rect.left><m_Rect.right>2147483647</m_Rect.right>"
                             "<m_Rect.top>-2147483648</m_Rect.top><m_Rect.bottom>2147483647</m_Rect.bottom>"
                             "<m_ptCentroid.x>-2147483648</m_ptCentroid.x><m_ptCentroid.y>-2147483648</m_ptCentroid.y>"
                             "</CObjData><CObjData><m_Rect.right>2147483647</m_Rect.right>"
                             "<m_Rect.bottom>2147483647</m_Rect.bottom><m_ptCentroid.x>2147483647</m_ptCentroid.x>"
                             "<m_ptCentroid.y>2147483647</m_ptCentroid.y></CObjData></m_arrayObjects></CDataDoc>"
                             "</CGridDoc2></CObjDataDoc>");
    ASSERT_TRUE(m_doc->OnOpenDocument(PathOf("extreme.xml")));
    ASSERT_EQ(m_doc->GetCount(), 2);
    const std::pair<CPoint, int> hits[] = {{{-10, -10}, 0}, {{10, 10}, 1}, {{2147483647, -2147483648}, 0}};
    for (const auto& [point, index] : hits)
        EXPECT_EQ(m_doc->HitTestObject(point), index) << point.x << "," << point.y;
}

TEST_F(ObjDataDocTest, AFileThatCannotBeReadChangesNothingAndOneThatIsNoTableLeavesItEmpty)
{
    AddRectangle();
    WriteText("broken.xml", "<CObjDataDoc><WhatToDraw>3</WhatT");
    EXPECT_FALSE(m_doc->OnOpenDocument(PathOf("broken.xml")));
    EXPECT_FALSE(m_doc->OnOpenDocument(PathOf("missing.xml")));
    EXPECT_EQ(m_doc->GetCount(), 1);
    EXPECT_EQ(m_boxes->Texts().size(), 2u);

    WriteText("other.xml", "<CDIBDoc><Pages>1</Pages></CDIBDoc>");
    EXPECT_FALSE(m_doc->OnOpenDocument(PathOf("other.xml")));
    EXPECT_EQ(m_doc->GetCount(), 0);
    EXPECT_EQ(m_boxes->Texts().size(), 3u);
}

TEST_F(ObjDataDocTest, AFailedSaveIsReportedAndKeepsTheTableModified)
{
    AddRectangle();
    m_doc->SetModifiedFlag();
    EXPECT_FALSE(m_doc->OnSaveDocument(PathOf("missing/table.xml")));
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
}

TEST_F(ObjDataDocTest, DrawFlagsAndColoursStartFromTheirDefaultsAndTheIni)
{
    EXPECT_EQ(m_doc->m_nWhatToDraw, 71);
    ASSERT_EQ(m_doc->m_arrDrawColors.GetSize(), CObjDataDoc::kDrawColorCount);
    const COLORREF expected[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00, 0xFF00FF};
    for (int i = 0; i < CObjDataDoc::kDrawColorCount; ++i)
        EXPECT_EQ(m_doc->m_arrDrawColors[i], expected[i]);

    m_doc->m_nWhatToDraw = 6;
    m_doc->SaveDrawFlags();
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "ObjDraw", 0, ConfigPath()), 6u);
    EXPECT_EQ(CObjDataDoc().m_nWhatToDraw, 6);
}

// ---- objects under a point ---------------------------------------------------------------------

TEST_F(ObjDataDocTest, AHitFindsTheObjectWithTheNearestCentroidAmongThoseUnderThePoint)
{
    m_doc->AddObject(MakeObject(kShownColumns, {5, 5}, {0, 0, 20, 20}, 1).release());
    m_doc->AddObject(MakeObject(kShownColumns, {25, 25}, {10, 10, 30, 30}, 1).release());
    auto segment = MakeObject(kShownColumns, {55, 55}, {50, 50, 60, 60}, 1);
    segment->m_ID = CGridDoc2::kTypeContourSegment;
    m_doc->AddObject(segment.release());
    m_doc->SelectObject(1); // hidden objects can be found, so that they can be shown again

    const std::pair<CPoint, int> hits[] = {
        {{12, 12}, 0}, {{19, 19}, 1}, {{20, 20}, 1}, {{0, 0}, 0}, {{55, 60}, 2}, {{40, 40}, -1}, {{61, 55}, -1}};
    for (const auto& [point, index] : hits)
        EXPECT_EQ(m_doc->HitTestObject(point), index) << point.x << "," << point.y;
}

TEST_F(ObjDataDocTest, TheSelectionFollowsTheContourAndIsAnnouncedWhenItChanges)
{
    AddRectangle();
    m_doc->AddObject(MakeObject(kShownColumns, {5, 5}, {0, 0, 20, 20}, 1).release()); // no contour
    EXPECT_EQ(m_doc->SetSelectedObject({20, 20}, 0), 0);
    EXPECT_EQ(m_doc->SetSelectedObject({50, 30}, 0), 0);
    auto selected = m_child.m_log.Of("GridSelected");
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].wParam, 0u);
    EXPECT_EQ(selected[0].lParam, DocParam());

    EXPECT_EQ(m_doc->SetSelectedObject({51, 20}, 0), -1);
    EXPECT_EQ(m_doc->SetSelectedObject({5, 5}, 1), -1);
    EXPECT_EQ(m_doc->SetSelectedObject({20, 20}, 7), -1);
    selected = m_child.m_log.Of("GridSelected");
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[1].wParam, static_cast<WPARAM>(-1));
}

// ---- edits ---------------------------------------------------------------------------------------

TEST_F(ObjDataDocTest, ALineThroughAnObjectSplitsItAndTheSharedCutJoinsItAgain)
{
    CObjData* object = AddRectangle();
    const LONG area = object->m_lArea;
    ASSERT_GT(area, 0);

    CRPointArray line;
    line.Add(30, 0);
    line.Add(30, 40);
    ASSERT_EQ(m_doc->SplitObjectAt(line), 1);
    ASSERT_EQ(m_doc->GetCount(), 2);
    EXPECT_EQ(m_doc->GetAt(0), object);
    CObjData& kept = ObjectAt(0);
    CObjData& piece = ObjectAt(1);
    EXPECT_TRUE(piece.IsKindOf(RUNTIME_CLASS(CObjDataII)));
    EXPECT_EQ(piece.m_strClassName, "Cell");
    EXPECT_EQ(piece.m_dClass, 2);
    EXPECT_EQ(piece.m_ClassColor, 0x00FF00u);
    EXPECT_EQ(piece.m_Type, kept.m_Type);
    EXPECT_GT(kept.m_lArea, 0);
    EXPECT_GT(piece.m_lArea, 0);
    EXPECT_EQ(kept.m_lArea + piece.m_lArea, area);
    CRect both = kept.m_Rect;
    both.UnionRect(both, piece.m_Rect);
    EXPECT_EQ(both, CRect(10, 10, 50, 30));
    EXPECT_EQ(std::min(kept.m_Rect.right, piece.m_Rect.right), 30);
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(m_child.m_log.Of("DataChanged").size(), 1u);

    ASSERT_EQ(m_doc->JoinObjects(1, 0), 1);
    ASSERT_EQ(m_doc->GetCount(), 1);
    EXPECT_EQ(m_doc->GetCurrentIndex(), 0);
    EXPECT_EQ(ObjectAt(0).m_lArea, area);
    EXPECT_EQ(ObjectAt(0).m_Rect, CRect(10, 10, 50, 30));
    EXPECT_EQ(m_child.m_log.Of("DataChanged").size(), 2u);
}

TEST_F(ObjDataDocTest, TheSelectedObjectJoinsTheCurrentOne)
{
    AddRectangle();
    CRPointArray line;
    line.Add(0, 20);
    line.Add(60, 20);
    ASSERT_EQ(m_doc->SplitObjectAt(line), 1);
    EXPECT_EQ(m_doc->JoinObjects(), 0); // nothing selected
    ASSERT_EQ(m_doc->SetSelectedObject(ObjectAt(1).m_ptCentroid, 1), 1);
    m_doc->SetCurrentIndex(0);
    EXPECT_EQ(m_doc->JoinObjects(), 1);
    EXPECT_EQ(m_doc->GetCount(), 1);
    EXPECT_EQ(m_doc->GetSelectedObject(), -1);
}

TEST_F(ObjDataDocTest, EditsThatFindNothingToDoChangeNothing)
{
    CObjData* object = AddRectangle();
    const LONG area = object->m_lArea;
    CRPointArray missing;
    missing.Add(0, 0);
    missing.Add(5, 40);
    EXPECT_EQ(m_doc->SplitObjectAt(missing), 0);
    CRPointArray touching; // ends on the border
    touching.Add(30, 0);
    touching.Add(30, 10);
    EXPECT_EQ(m_doc->SplitObjectAt(touching), 0);

    // Two objects that share no cut are not joined.
    auto other = MakeOutlinedObject({{60, 10}, {70, 10}, {70, 20}, {60, 20}});
    m_doc->AddObject(other.release());
    EXPECT_EQ(m_doc->JoinObjects(0, 1), 0);
    // A point on the contour does not move it.
    m_doc->SetCurrentIndex(0);
    EXPECT_EQ(m_doc->EditContour({30, 10}), 0);

    EXPECT_EQ(m_doc->GetCount(), 2);
    EXPECT_EQ(object->m_lArea, area);
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_TRUE(m_child.m_log.Of("DataChanged").empty());

    // A table of other records is not split.
    CObjDataDoc rows;
    rows.AddObject(new CTextRecord(16, {"A"}, {"1"}));
    rows.AddObject(MakeOutlinedObject({{10, 10}, {50, 10}, {50, 30}, {10, 30}}).release());
    rows.SetCurrentIndex(1);
    EXPECT_EQ(rows.SplitObjectAt(missing), 0);
    EXPECT_EQ(rows.GetCount(), 2);
}

TEST_F(ObjDataDocTest, EditingAContourMovesItsNearestPointOntoThePoint)
{
    CObjData* object = AddRectangle();
    const LONG area = object->m_lArea;
    EXPECT_EQ(m_doc->EditContour({20, 5}), 1);
    EXPECT_EQ(object->m_Rect.top, 5);
    EXPECT_GT(object->m_lArea, area);
    EXPECT_EQ(m_child.m_log.Of("DataChanged").size(), 1u);
}

TEST_F(ObjDataDocTest, WindowsOfLaterBuildsAreOffAndSaySo)
{
    for (const UINT id : {ID_TABLE_SHOW_HISTOGRAM, ID_TABLE_SHOW_CHART}) {
        CCmdUI state;
        state.m_nID = id;
        m_doc->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
        EXPECT_FALSE(state.m_bEnabled) << id;
    }
    m_doc->AddObject(MakeObject(kShownColumns, {5, 5}, {0, 0, 20, 20}, 1).release());
    m_doc->SetCurrentIndex(0);
    m_doc->OnShowWatershed();
    m_doc->OnShowHistogram(); // no chart template: nothing
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"No Konturinformation"});
}

TEST_F(ObjDataDocTest, ShowWatershedStepsTheCurrentObjectsMask)
{
    AddRectangle(); // 10..50 x 10..30
    CCmdUI state;
    state.m_nID = ID_TABLE_SHOW_WATERSHED;
    m_doc->OnCmdMsg(ID_TABLE_SHOW_WATERSHED, CN_UPDATE_COMMAND_UI, &state, nullptr);
    EXPECT_TRUE(state.m_bEnabled);
    CSize size;
    BYTE corner = 0;
    BYTE centre = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = kestrun::WindowOf<CWatershedDlg>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const CDIB& image = dialog->GetImage();
        size = CSize(image.GetWidth(), image.GetHeight());
        corner = image.GetPixelIndex(0, 0);
        centre = image.GetPixelIndex(3 + 20, 3 + 10);
        dialog->SendMessage(WM_COMMAND, IDOK);
    });
    m_doc->OnCmdMsg(ID_TABLE_SHOW_WATERSHED, CN_COMMAND, nullptr, nullptr);
    // The bounding rectangle and a margin of 3 pixels each way.
    EXPECT_EQ(size, CSize(41 + 6, 21 + 6));
    EXPECT_EQ(corner, 254); // background, as the flooding shows it
    EXPECT_NE(centre, 254); // inside the object: a label or a seed
    EXPECT_NE(centre, 0);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

} // namespace
