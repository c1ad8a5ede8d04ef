// Image and window coordinates of the view: 1:1 with scrolling, shrunk to
// the window, with and without rulers, centred in a form, zoomed into an
// area; the rulers' calibrated axes; scrolling to a shown object.

#include "imaging/ui/tests/viewtesting.h"

#include "analysis/aoi.h"
#include "analysis/objdata.h"

#include <algorithm>
#include <memory>

namespace {

using kestrun::testing::CImageViewTest;

class ViewMappingTest : public CImageViewTest
{
protected:
    void Show(BOOL bShrink, BOOL bRulers)
    {
        m_view->m_bShrinkToFit = bShrink;
        m_view->m_bDrawRulers = bRulers;
        m_doc->UpdateAllViews(nullptr);
    }

    CRect Client() const
    {
        CRect client;
        m_view->GetClientRect(&client);
        return client;
    }
};

TEST_F(ViewMappingTest, OneToOneShiftsByTheRulersAndTheScrollPosition)
{
    Show(FALSE, TRUE);
    // Rulers: 35 + 15 more wide, 30 + 10 more high.
    EXPECT_EQ(m_view->GetTotalSize(), CSize(kPlateWidth + 50, kPlateHeight + 40));
    EXPECT_EQ(m_view->ImageToClient(CPoint(0, 0)), CPoint(35, 30));
    EXPECT_EQ(m_view->ImageToClient(CPoint(10, 20)), CPoint(45, 50));
    EXPECT_EQ(m_view->ClientToImage(CPoint(45, 50)), CPoint(10, 20));
    CRect display;
    m_view->GetDisplayRect(display);
    EXPECT_EQ(display, CRect(35, 30, 35 + kPlateWidth, 30 + kPlateHeight));

    SetFrameSize(m_view, CSize(220, 180));
    m_view->ScrollToPosition(CPoint(30, 20));
    EXPECT_EQ(m_view->ImageToClient(CPoint(0, 0)), CPoint(5, 10));
    EXPECT_EQ(m_view->ClientToImage(CPoint(5, 10)), CPoint(0, 0));
    EXPECT_EQ(m_view->ClientToImage(CPoint(100, 100)), CPoint(95, 90));

    Show(FALSE, FALSE);
    m_view->ScrollToPosition(CPoint(0, 0));
    EXPECT_EQ(m_view->GetTotalSize(), CSize(kPlateWidth, kPlateHeight));
    EXPECT_EQ(m_view->ImageToClient(CPoint(7, 9)), CPoint(7, 9));
}

TEST_F(ViewMappingTest, ShrunkTheImageFillsTheSpaceBetweenTheRulers)
{
    Show(TRUE, TRUE);
    const CRect client = Client();
    ASSERT_GT(client.Width(), 100);
    EXPECT_EQ(m_view->ImageToClient(CPoint(0, 0)), CPoint(35, 30));
    EXPECT_EQ(m_view->ImageToClient(CPoint(kPlateWidth, kPlateHeight)), CPoint(client.right - 15, client.bottom - 10));
    // Back and forth within a pixel.
    for (const CPoint p : {CPoint(1, 1), CPoint(160, 120), CPoint(300, 17)}) {
        const CPoint back = m_view->ClientToImage(m_view->ImageToClient(p));
        EXPECT_LE(std::abs(back.x - p.x), 1) << p.x << "," << p.y;
        EXPECT_LE(std::abs(back.y - p.y), 1) << p.x << "," << p.y;
    }
    CRect display;
    m_view->GetDisplayRect(display);
    EXPECT_EQ(display, CRect(36, 31, client.right - 16, client.bottom - 11));

    Show(TRUE, FALSE);
    EXPECT_EQ(m_view->ImageToClient(CPoint(kPlateWidth, kPlateHeight)), client.BottomRight());
    EXPECT_EQ(m_view->ClientToImage(client.BottomRight()), CPoint(kPlateWidth, kPlateHeight));
}

TEST_F(ViewMappingTest, AFormsViewCentresASmallerImage)
{
    m_view->m_bEmbedded = TRUE;
    Show(FALSE, FALSE);
    CRect window;
    m_view->GetWindowRect(&window);
    ASSERT_GT(window.Width(), kPlateWidth + 1);
    EXPECT_EQ(m_view->m_nMarginLeft, (window.Width() - kPlateWidth) / 2);
    EXPECT_EQ(m_view->m_nMarginRight, m_view->m_nMarginLeft);
    EXPECT_EQ(m_view->m_nMarginTop, (window.Height() - kPlateHeight) / 2);
    EXPECT_EQ(m_view->ImageToClient(CPoint(0, 0)), CPoint(m_view->m_nMarginLeft, m_view->m_nMarginTop));
}

TEST_F(ViewMappingTest, RulersShowTheCalibratedImage)
{
    m_calibration.m_dFactor = 0.5;
    m_calibration.m_nUnit = 1; // mm
    Show(FALSE, TRUE);
    const CAxis& x = m_view->m_Chart.GetXAxis();
    const CAxis& y = m_view->m_Chart.GetLeftAxis();
    EXPECT_DOUBLE_EQ(x.m_dMin, 0.0);
    EXPECT_DOUBLE_EQ(x.m_dMax, kPlateWidth * 0.5);
    EXPECT_DOUBLE_EQ(y.m_dMax, kPlateHeight * 0.5);
    EXPECT_EQ(x.m_strTitle, "[mm]");

    CRecordingDC dc;
    Render(m_view, dc);
    std::vector<CString> texts;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "TextOut")
            texts.push_back(r.text);
    for (const char* label : {"[mm]", "0", "160", "120"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), CString(label)), texts.end()) << label;
    // The x labels above the image, the y labels left of it.
    for (const CDCRecord& r : dc.Records()) {
        if (r.op != "TextOut" || r.text == "[mm]")
            continue;
        EXPECT_TRUE(r.points[0].y < 30 || r.points[0].x < 35) << r;
    }
}

// The text drawn, or null.
const CDCRecord* TextRecord(const CRecordingDC& dc, const CString& text)
{
    for (const CDCRecord& r : dc.Records())
        if (r.op == "TextOut" && r.text == text)
            return &r;
    return nullptr;
}

TEST_F(ViewMappingTest, TheRulersUnitFitsTheirCorner)
{
    struct Case
    {
        int unit;
        double factor;
        BOOL shrink;
        const char* text;
    };
    for (const Case c : {Case{0, 1.0, FALSE, "[µm]"}, Case{1, 0.5, TRUE, "[mm]"}, Case{2, 25.0, FALSE, "[cm]"}}) {
        SCOPED_TRACE(c.text);
        m_calibration.m_nUnit = c.unit;
        m_calibration.m_dFactor = c.factor;
        Show(c.shrink, TRUE);
        CRecordingDC dc;
        Render(m_view, dc);
        const CDCRecord* unit = TextRecord(dc, c.text);
        const CDCRecord* zero = TextRecord(dc, "0");
        ASSERT_NE(unit, nullptr);
        ASSERT_NE(zero, nullptr);
        CFont font;
        font.CreateFontIndirect(&m_view->m_Chart.m_lfAxis);
        dc.SelectObject(&font);
        const CPoint at = unit->points[0];
        // Whole, inside the window, and clear of the first label and the y ruler.
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.x + dc.GetTextExtent(c.text).cx, zero->points[0].x);
        EXPECT_LT(at.x + dc.GetTextExtent(c.text).cx, m_view->ImageToClient(CPoint(0, 0)).x);
        EXPECT_LT(at.y + dc.GetTextExtent(c.text).cy, m_view->ImageToClient(CPoint(0, 0)).y);
    }
}

TEST_F(ViewMappingTest, ScrolledRulersStayWithTheImage)
{
    Show(FALSE, TRUE);
    SetFrameSize(m_view, CSize(220, 180));
    int unitFromImage = 0;
    for (const CPoint scroll : {CPoint(0, 0), CPoint(30, 20), CPoint(60, 45)}) {
        m_view->ScrollToPosition(scroll);
        ASSERT_EQ(m_view->GetScrollPosition(), scroll);
        CRecordingDC dc;
        Render(m_view, dc);
        // The rulers' corner lies one pixel above and left of the image's first pixel.
        const CPoint corner = m_view->ImageToClient(CPoint(0, 0)) + CPoint(-1, -1);
        const bool drawn = std::any_of(dc.Records().begin(), dc.Records().end(), [&](const CDCRecord& r) {
            return r.op == "MoveTo" && !r.points.empty() && r.points[0] == corner;
        });
        EXPECT_TRUE(drawn) << scroll.x << "," << scroll.y;
        const CDCRecord* unit = TextRecord(dc, "[µm]");
        ASSERT_NE(unit, nullptr);
        if (scroll == CPoint(0, 0))
            unitFromImage = unit->points[0].x - corner.x;
        EXPECT_EQ(unit->points[0].x - corner.x, unitFromImage);
    }
}

TEST_F(ViewMappingTest, ZoomShowsTheActiveAreaBetweenTheRulers)
{
    m_engine.m_AOIDoc.SetImageSize(kPlateWidth, kPlateHeight, true);
    auto area = std::unique_ptr<CAOI>(std::make_unique<CAOI2>(CRect(80, 60, 240, 180)));
    ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
    m_view->m_bZoom = TRUE;
    Show(TRUE, TRUE);
    const CRect client = Client();
    EXPECT_EQ(m_view->ImageToClient(CPoint(80, 60)), CPoint(35, 30));
    EXPECT_EQ(m_view->ImageToClient(CPoint(240, 180)), CPoint(client.right - 15, client.bottom - 10));
    EXPECT_DOUBLE_EQ(m_view->m_Chart.GetXAxis().m_dMin, 80.0);
    EXPECT_DOUBLE_EQ(m_view->m_Chart.GetXAxis().m_dMax, 240.0);
    EXPECT_DOUBLE_EQ(m_view->m_Chart.GetLeftAxis().m_dMin, 60.0);

    // 1:1 does not zoom.
    Show(FALSE, TRUE);
    EXPECT_EQ(m_view->ImageToClient(CPoint(80, 60)), CPoint(35 + 80, 30 + 60));
}

TEST_F(ViewMappingTest, ZoomWithoutAreasLeavesTheDisplayAsItIs)
{
    m_view->m_bZoom = TRUE;
    Show(TRUE, FALSE);
    EXPECT_EQ(m_view->ImageToClient(CPoint(kPlateWidth, kPlateHeight)), Client().BottomRight());
}

TEST_F(ViewMappingTest, ShowingAnObjectScrollsOnlyWhenItIsOutOfSight)
{
    CObjDataDoc* table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    Show(FALSE, FALSE);
    SetFrameSize(m_view, CSize(240, 200));
    m_view->ScrollToPosition(CPoint(0, 0));
    // One object in sight, and the one farthest from the top-left corner out of it.
    const CRect client = Client();
    auto rectOf = [&](int i) { return dynamic_cast<CObjData&>(*table->GetAt(i)).m_Rect; };
    int far = 0;
    int near = -1;
    for (int i = 0; i < table->GetCount(); ++i) {
        const CRect r = rectOf(i);
        if (r.right + r.bottom > rectOf(far).right + rectOf(far).bottom)
            far = i;
        if (near < 0 && r.right < client.right && r.bottom < client.bottom)
            near = i;
    }
    ASSERT_GE(near, 0);
    ASSERT_FALSE(rectOf(far).right < client.right && rectOf(far).bottom < client.bottom);
    m_view->ShowObject(near);
    EXPECT_EQ(m_view->GetScrollPosition(), CPoint(0, 0));

    m_view->ShowObject(far);
    const CPoint scrolled = m_view->GetScrollPosition();
    EXPECT_GT(scrolled.x + scrolled.y, 0);
    EXPECT_TRUE(client.PtInRect(m_view->ImageToClient(m_view->m_rectMark).CenterPoint()));

    // -1 takes the mark away and leaves the scroll position.
    m_view->ShowObject(-1);
    EXPECT_TRUE(m_view->m_rectMark.IsRectNull());
    EXPECT_EQ(table->GetCurrentIndex(), -1);
    EXPECT_EQ(m_view->GetScrollPosition(), scrolled);
}

} // namespace
