// The measured objects in the image view: every counted object marked at
// its centre, a table row showing its object, a click picking an object
// for the table, the object commands and the end of the table.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/aoi.h"
#include "analysis/objdata.h"

#include "platform/core/messages.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using kestrun::testing::CImageViewTest;

class ViewObjectsTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        if (HasFatalFailure())
            return;
        m_table = CountPlate(m_doc);
        ASSERT_NE(m_table, nullptr);
        ASSERT_EQ(m_table->GetCount(), kColonies);
    }

    CObjData& Record(int i) const { return dynamic_cast<CObjData&>(*m_table->GetAt(i)); }

    // The index of the record whose centroid is nearest the point.
    int RecordNear(CPoint point) const
    {
        int best = -1;
        long long bestDistance = 0;
        for (int i = 0; i < m_table->GetCount(); ++i) {
            const CPoint c = Record(i).m_ptCentroid;
            const long long d = 1LL * (c.x - point.x) * (c.x - point.x) + 1LL * (c.y - point.y) * (c.y - point.y);
            if (best < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return best;
    }

    // The horizontal arm of a marker cross in the colour through the window point.
    static bool HasCrossAt(const CRecordingDC& dc, CPoint at, COLORREF colour)
    {
        return std::any_of(dc.Records().begin(), dc.Records().end(), [&](const CDCRecord& r) {
            return r.op == "LineTo" && r.pen.lopnColor == colour && r.points.size() == 2 && r.points[0].y == at.y &&
                   r.points[1].y == at.y && r.points[0].x < at.x && r.points[1].x > at.x;
        });
    }

    static std::vector<CString> Texts(const CRecordingDC& dc)
    {
        std::vector<CString> texts;
        for (const CDCRecord& r : dc.Records())
            if (r.op == "TextOut")
                texts.push_back(r.text);
        return texts;
    }

    void Click(CPoint window, UINT flags = 0)
    {
        m_view->SendMessage(WM_LBUTTONDOWN, flags | MK_LBUTTON, MAKELPARAM(window.x, window.y));
        m_view->SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(window.x, window.y));
    }

    CObjDataDoc* m_table = nullptr;
};

TEST_F(ViewObjectsTest, EveryCountedColonyIsMarkedAtItsCentreWithItsNumber)
{
    const COLORREF crossColour = m_table->m_arrDrawColors[2];
    for (const BOOL shrink : {FALSE, TRUE}) {
        m_view->m_bShrinkToFit = shrink;
        m_doc->UpdateAllViews(nullptr);
        CRecordingDC dc;
        Render(m_view, dc);
        for (const auto& colony : m_colonies) {
            const int i = RecordNear(colony.centre);
            ASSERT_LE(std::abs(Record(i).m_ptCentroid.x - colony.centre.x), 1);
            ASSERT_LE(std::abs(Record(i).m_ptCentroid.y - colony.centre.y), 1);
            EXPECT_TRUE(HasCrossAt(dc, m_view->ImageToClient(Record(i).m_ptCentroid), crossColour))
                << "colony at " << colony.centre.x << "," << colony.centre.y << (shrink ? " shrunk" : " 1:1");
        }
        const std::vector<CString> texts = Texts(dc);
        for (int n = 1; n <= kColonies; ++n) {
            CString number;
            number.Format("%d", n);
            EXPECT_EQ(std::count(texts.begin(), texts.end(), number), 1) << number;
        }
    }

    // On the screen: the cross's colour at each centre, the plate around it.
    m_view->m_bShrinkToFit = FALSE;
    m_doc->UpdateAllViews(nullptr);
    const QImage shot = Shot(m_view);
    const QColor cross(GetRValue(crossColour), GetGValue(crossColour), GetBValue(crossColour));
    for (int i = 0; i < m_table->GetCount(); ++i) {
        const CPoint at = m_view->ImageToClient(Record(i).m_ptCentroid);
        EXPECT_EQ(shot.pixelColor(at.x, at.y), cross) << "record " << i;
    }
    EXPECT_EQ(shot.pixelColor(m_view->ImageToClient(CPoint(1, 1)).x, m_view->ImageToClient(CPoint(1, 1)).y),
              QColor(200, 215, 205));
}

TEST_F(ViewObjectsTest, HiddenObjectsShowWithoutShowObjects)
{
    Command(ID_OBJECT_SHOW);
    EXPECT_FALSE(m_view->m_bShowObjects);
    CRecordingDC dc;
    Render(m_view, dc);
    EXPECT_TRUE(Texts(dc).empty());
    Command(ID_OBJECT_SHOW);
    EXPECT_TRUE(m_view->m_bShowObjects);
}

TEST_F(ViewObjectsTest, ATableRowShowsItsObject)
{
    m_view->m_nMarkRectColor = RGB(0, 255, 0);
    const UINT gridSelected = RegisterWindowMessage("GridSelected");
    const auto tableParam = reinterpret_cast<LPARAM>(static_cast<CDocument*>(m_table));
    m_main->SendMessageToDescendants(gridSelected, 3, tableParam);
    EXPECT_EQ(m_table->GetCurrentIndex(), 3);
    EXPECT_EQ(m_view->m_rectMark, Record(3).m_Rect);

    // The mark is drawn around the object.
    CRecordingDC dc;
    Render(m_view, dc);
    const CRect device = m_view->ImageToClient(Record(3).m_Rect);
    const bool framed = std::any_of(dc.Records().begin(), dc.Records().end(), [&](const CDCRecord& r) {
        return r.op == "LineTo" && r.pen.lopnColor == RGB(0, 255, 0) && r.points[0] == device.TopLeft() &&
               r.points[1] == CPoint(device.right, device.top);
    });
    EXPECT_TRUE(framed);

    // Rows count only the shown records.
    m_table->SelectObject(1);
    m_main->SendMessageToDescendants(gridSelected, 3, tableParam);
    EXPECT_EQ(m_view->m_rectMark, Record(4).m_Rect);

    // Rows past the table, "no row" and other documents change nothing.
    m_main->SendMessageToDescendants(gridSelected, kColonies, tableParam);
    m_main->SendMessageToDescendants(gridSelected, static_cast<WPARAM>(-1), tableParam);
    m_main->SendMessageToDescendants(gridSelected, 0, 12345);
    EXPECT_EQ(m_view->m_rectMark, Record(4).m_Rect);
    EXPECT_EQ(m_table->GetCurrentIndex(), 4);
}

TEST_F(ViewObjectsTest, ClickingAnObjectPicksItForTheTable)
{
    auto* table = TableViewOf(m_table);
    ASSERT_NE(table, nullptr);
    const int k = 5;
    Click(m_view->ImageToClient(Record(k).m_ptCentroid));
    ASSERT_EQ(table->m_hits.size(), 1u);
    EXPECT_EQ(table->m_hits[0].first, static_cast<WPARAM>(k));
    EXPECT_EQ(table->m_hits[0].second, reinterpret_cast<LPARAM>(static_cast<CDocument*>(m_table)));
    EXPECT_EQ(m_table->GetSelectedObject(), k);
    // The selection comes back as the table's row and marks the object.
    EXPECT_EQ(m_view->m_rectMark, Record(k).m_Rect);
    EXPECT_EQ(m_table->GetCurrentIndex(), k);

    // The plate between the colonies picks nothing.
    Click(m_view->ImageToClient(CPoint(1, 1)));
    EXPECT_EQ(table->m_hits.size(), 1u);

    // An excluded object is only shown.
    m_table->SelectObject(2);
    Click(m_view->ImageToClient(Record(2).m_ptCentroid));
    EXPECT_EQ(table->m_hits.size(), 1u);
    EXPECT_EQ(m_view->m_rectMark, Record(2).m_Rect);

    // Without a finished tool or a class definition a click picks nothing.
    m_doc->m_nDrawMode = 0;
    Click(m_view->ImageToClient(Record(k).m_ptCentroid));
    EXPECT_EQ(table->m_hits.size(), 1u);
}

TEST_F(ViewObjectsTest, RoughnessNeedsAnAreaOfInterest)
{
    Click(m_view->ImageToClient(Record(0).m_ptCentroid), MK_CONTROL);
    EXPECT_EQ(m_boxes->Beeps(), std::vector<UINT>{MB_ICONASTERISK});
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ViewObjectsTest, RoughnessOfTheStretchInsideTheArea)
{
    // An area whose left border runs through a large colony's centre: the
    // contour's stretch is half a circle over its diameter, about pi / 2.
    const int k = RecordNear(m_colonies[0].centre);
    const CPoint c = Record(k).m_ptCentroid;
    m_engine.m_AOIDoc.SetImageSize(kPlateWidth, kPlateHeight, true);
    auto area = std::unique_ptr<CAOI>(std::make_unique<CAOI2>(CRect(c.x, 0, kPlateWidth, kPlateHeight)));
    ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
    Click(m_view->ImageToClient(CPoint(c.x + 2, c.y)), MK_CONTROL);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    const CString text = m_boxes->Texts()[0];
    ASSERT_EQ(text.Find("Roughness = "), 0) << text.GetString();
    const double roughness = std::atof(text.GetString() + 12);
    EXPECT_GT(roughness, 1.3);
    EXPECT_LT(roughness, 1.9);
    // The arrow between the stretch's ends is drawn.
    ASSERT_EQ(m_doc->m_arrPoints1.GetSize(), 2);
    EXPECT_GE(std::abs(m_doc->m_arrPoints1[0].y - m_doc->m_arrPoints1[1].y), 12);
}

TEST_F(ViewObjectsTest, ExcludedObjectsKeepOnlyATealOutline)
{
    m_table->SetCurrentIndex(2);
    EXPECT_TRUE(IsEnabled(ID_OBJECT_EXCLUDE));
    EXPECT_TRUE(IsEnabled(ID_OBJECT_DELETE));
    EXPECT_FALSE(IsEnabled(ID_OBJECT_INCLUDE));
    EXPECT_FALSE(IsEnabled(ID_OBJECT_ADD));
    Command(ID_OBJECT_EXCLUDE);
    EXPECT_TRUE(m_table->IsSelected(2));

    CRecordingDC dc;
    Render(m_view, dc);
    EXPECT_FALSE(HasCrossAt(dc, m_view->ImageToClient(Record(2).m_ptCentroid), m_table->m_arrDrawColors[2]));
    const bool teal = std::any_of(dc.Records().begin(), dc.Records().end(), [](const CDCRecord& r) {
        return r.pen.lopnColor == CDIBVwEx::kExcludedColour && (r.op == "SetPixel" || r.op == "LineTo");
    });
    EXPECT_TRUE(teal);
    // The numbers close up: the objects after it count one less.
    const std::vector<CString> texts = Texts(dc);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), CString("11")), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), CString("12")), 0);

    EXPECT_TRUE(IsEnabled(ID_OBJECT_INCLUDE));
    EXPECT_TRUE(IsEnabled(ID_OBJECT_ADD));
    Command(ID_OBJECT_ADD);
    EXPECT_FALSE(m_table->IsSelected(2));
}

TEST_F(ViewObjectsTest, ACutLineSplitsTheCurrentObject)
{
    // The first colony is a large one: cut it through its centre.
    const int k = RecordNear(m_colonies[0].centre);
    m_table->SetCurrentIndex(k);
    EXPECT_TRUE(IsEnabled(ID_OBJECT_ADD_CUT));
    const CPoint c = Record(k).m_ptCentroid;
    const CPoint from = m_view->ImageToClient(CPoint(c.x - 14, c.y));
    const CPoint to = m_view->ImageToClient(CPoint(c.x + 14, c.y));
    // The mouse as the user moves it while the tool's loop runs.
    m_view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    m_view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    m_view->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    Command(ID_OBJECT_ADD_CUT);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawFinished);
    EXPECT_EQ(m_table->GetCount(), kColonies + 1);
    EXPECT_LT(Record(k).m_lArea, 9 * 9 * 3);
}

TEST_F(ViewObjectsTest, TheEndOfTheTableUnbindsIt)
{
    m_view->ShowObject(1);
    ASSERT_FALSE(m_view->m_rectMark.IsRectNull());
    m_table->OnCloseDocument();
    EXPECT_EQ(m_doc->GetResultDoc(), nullptr);
    EXPECT_EQ(m_doc->m_nDrawMode, 0);
    EXPECT_TRUE(m_view->m_rectMark.IsRectNull());
    // Nothing of the table is drawn any more, and no command reaches it.
    CRecordingDC dc;
    Render(m_view, dc);
    EXPECT_TRUE(Texts(dc).empty());
    EXPECT_FALSE(IsEnabled(ID_OBJECT_DELETE));
}

} // namespace
