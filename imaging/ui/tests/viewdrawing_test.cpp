// The view's drawing tools with the mouse as a user moves it: the area
// tools and their tool loop, the tracker of the active area, the zoom onto
// it, the parting line, and closing the view or the result table while
// they run.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "platform/core/messages.h"
#include "platform/ui/messagepump.h"
#include "platform/ui/recttracker.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <opencv2/imgproc.hpp>

#include <memory>

namespace viewdrawingtest {

using kestrun::testing::CImageViewTest;

class ViewDrawingTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        Areas().ClearAOIs();
        Areas().SetImageSize(kPlateWidth, kPlateHeight, true);
        if (m_view->m_bShrinkToFit)
            Command(ID_VIEW_DIRECT);
        ASSERT_FALSE(m_view->m_bShrinkToFit);
    }

    CAOIDoc& Areas() { return m_engine.m_AOIDoc; }
    CPoint At(CPoint image) { return m_view->ImageToClient(image); }
    void Post(UINT message, UINT flags, CPoint client)
    {
        m_view->PostMessage(message, flags, MAKELPARAM(client.x, client.y));
    }
    // The mouse of a drag from one image pixel to another, queued for the
    // tool loop to take.
    void QueueDrag(CPoint from, CPoint to)
    {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, At(from));
        Post(WM_MOUSEMOVE, MK_LBUTTON, At(to));
        Post(WM_LBUTTONUP, 0, At(to));
    }
    void QueueClick(CPoint at) { QueueDrag(at, at); }
    // Runs a tool on a drag and checks that the loop let go of the mouse
    // and put the drawing mode back.
    void DrawWith(UINT tool, CPoint from, CPoint to)
    {
        QueueDrag(from, to);
        RunTool(tool);
    }
    void RunTool(UINT tool)
    {
        m_doc->m_nDrawMode = CDIBView::kDrawFinished;
        Command(tool);
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
        EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawFinished);
        EXPECT_FALSE(m_view->IsToolLoopRunning());
        EXPECT_NE(m_view->GetClientWidget()->cursor().shape(), Qt::CrossCursor);
    }
    void AddRectangle(const CRect& rect)
    {
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(rect);
        ASSERT_EQ(Areas().AddAOI(area), 1);
    }
    // A drag of the tracker, by the mouse, from one window pixel to another.
    void DragTracker(CPoint from, CPoint to, bool cancel = false)
    {
        Post(WM_MOUSEMOVE, MK_LBUTTON, to);
        if (cancel)
            m_view->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        Post(WM_LBUTTONUP, 0, to);
        m_view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
    }
    CRect ActiveRect() { return Areas().GetActiveAOI(false) ? Areas().GetActiveAOI(false)->GetRect() : CRect(); }
};

TEST_F(ViewDrawingTest, EachAreaToolAddsItsShapeWithTheDraggedRectangle)
{
    const struct
    {
        const char* name;
        UINT tool;
        CPoint from, to;
        int type;
        CRect rect;
        int counted;
    } cases[] = {
        {"rectangle", ID_VIEW_AOI_RECTANGLE, {20, 30}, {120, 90}, CAOI::typeRectangle, {20, 30, 120, 90}, 1},
        {"rectangle backwards", ID_VIEW_AOI_RECTANGLE, {120, 90}, {20, 30}, CAOI::typeRectangle, {20, 30, 120, 90}, 1},
        {"ellipse", ID_VIEW_AOI_ELLIPSE, {200, 40}, {150, 140}, CAOI::typeEllipse, {150, 40, 200, 140}, 1},
        {"ring", ID_VIEW_AOI_RING, {40, 120}, {100, 200}, CAOI::typeRing, {40, 120, 100, 200}, 1},
        {"extra area", ID_VIEW_AOI_EXTRA, {10, 10}, {60, 50}, CAOI::typeEllipse, {10, 10, 60, 50}, 0},
        {"rectangle out of the page", ID_VIEW_AOI_RECTANGLE, {300, 200}, {400, 300}, CAOI::typeRectangle,
         {300, 200, kPlateWidth - 1, kPlateHeight - 1}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Areas().ClearAOIs();
        m_services.m_nSettingsChanged = 0;
        DrawWith(c.tool, c.from, c.to);
        ASSERT_EQ(Areas().GetAOICount(), 1);
        const CAOI* area = Areas().GetAOI(0);
        EXPECT_EQ(area->GetType(), c.type);
        EXPECT_EQ(area->GetRect(), c.rect);
        EXPECT_EQ(area->m_nFlag, c.counted);
        EXPECT_EQ(m_services.m_nSettingsChanged, c.tool == ID_VIEW_AOI_RECTANGLE ? 1 : 0);
        EXPECT_EQ(m_doc->m_Points.GetSize(), 0) << "the collector is cleared";
    }
}

TEST_F(ViewDrawingTest, FiguresWithoutAreaAddNothing)
{
    const struct
    {
        const char* name;
        UINT tool;
        CPoint from, to;
    } cases[] = {
        {"ellipse drawn as a line", ID_VIEW_AOI_ELLIPSE, {20, 30}, {120, 30}},
        {"ring drawn as a line", ID_VIEW_AOI_RING, {50, 20}, {50, 120}},
        {"rectangle of one column", ID_VIEW_AOI_RECTANGLE, {70, 20}, {70, 90}},
        {"extra area of one point", ID_VIEW_AOI_EXTRA, {70, 20}, {70, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DrawWith(c.tool, c.from, c.to);
        EXPECT_EQ(Areas().GetAOICount(), 0);
    }
}

TEST_F(ViewDrawingTest, AParallelogramTakesThreeClicksAndFreeHandARightClick)
{
    QueueClick({40, 40});
    QueueClick({140, 60});
    QueueClick({160, 140});
    RunTool(ID_VIEW_AOI_PARALLELOGRAM);
    ASSERT_EQ(Areas().GetAOICount(), 1);
    const auto* parallelogram = dynamic_cast<const CAOI3*>(Areas().GetAOI(0));
    ASSERT_NE(parallelogram, nullptr);
    std::vector<CPoint> corners;
    for (int i = 0; i < 4; ++i)
        corners.push_back(parallelogram->GetCorner(i));
    for (const CPoint expected : {CPoint(40, 40), CPoint(140, 60), CPoint(160, 140), CPoint(60, 120)})
        EXPECT_NE(std::find(corners.begin(), corners.end(), expected), corners.end()) << expected.x << "," << expected.y;

    // Free hand: a stroke, then a right click closes it.
    Post(WM_LBUTTONDOWN, MK_LBUTTON, At({200, 40}));
    Post(WM_MOUSEMOVE, MK_LBUTTON, At({280, 60}));
    Post(WM_MOUSEMOVE, MK_LBUTTON, At({260, 150}));
    Post(WM_LBUTTONUP, 0, At({260, 150}));
    Post(WM_RBUTTONDOWN, MK_RBUTTON, At({210, 130}));
    RunTool(ID_VIEW_AOI_FREEHAND);
    ASSERT_EQ(Areas().GetAOICount(), 2);
    const CAOI* polygon = Areas().GetAOI(1);
    EXPECT_EQ(polygon->GetType(), CAOI::typePolygon);
    EXPECT_TRUE(polygon->Contains(240, 100));
    EXPECT_FALSE(polygon->Contains(275, 140));
    EXPECT_EQ(polygon->GetRect().left, 200);

    // Two points make no area.
    Post(WM_LBUTTONDOWN, MK_LBUTTON, At({20, 200}));
    Post(WM_LBUTTONUP, 0, At({20, 200}));
    Post(WM_RBUTTONDOWN, MK_RBUTTON, At({21, 201}));
    RunTool(ID_VIEW_AOI_FREEHAND);
    EXPECT_EQ(Areas().GetAOICount(), 2);
}

TEST_F(ViewDrawingTest, EscapeOrASecondToolEndsTheLoopWithoutResult)
{
    // The Escape key, as the user presses it over the view, through the
    // program's pump.
    const kestrun::CQtMessagePump pump;
    Post(WM_LBUTTONDOWN, MK_LBUTTON, At({20, 30}));
    QCoreApplication::postEvent(m_view->GetClientWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    RunTool(ID_VIEW_AOI_RECTANGLE);
    EXPECT_EQ(Areas().GetAOICount(), 0);

    // The ellipse chosen while the rectangle is drawn wins; the rectangle
    // ends without an area.
    Post(WM_LBUTTONDOWN, MK_LBUTTON, At({20, 30}));
    m_view->PostMessage(WM_COMMAND, ID_VIEW_AOI_ELLIPSE, 0);
    QueueDrag({100, 100}, {160, 140});
    RunTool(ID_VIEW_AOI_RECTANGLE);
    ASSERT_EQ(Areas().GetAOICount(), 1);
    EXPECT_EQ(Areas().GetAOI(0)->GetType(), CAOI::typeEllipse);
    EXPECT_EQ(Areas().GetAOI(0)->GetRect(), CRect(100, 100, 160, 140));
}

TEST_F(ViewDrawingTest, TheTrackerMovesOrResizesTheActiveAreaInsideTheImage)
{
    AddRectangle(CRect(50, 40, 150, 100));
    const CRect frame = m_view->ImageToClient(CRect(50, 40, 150, 100));
    m_view->m_rectTracker = frame;
    const CRectTracker tracker = m_view->MakeTracker();
    const CPoint middle = frame.CenterPoint();
    const CPoint corner = tracker.GetHandleRect(CRectTracker::hitBottomRight).CenterPoint();

    // The cursor tells what a drag would do.
    m_view->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(corner.x, corner.y));
    EXPECT_EQ(m_view->GetClientWidget()->cursor().shape(), Qt::SizeFDiagCursor);
    m_view->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(middle.x, middle.y));
    EXPECT_EQ(m_view->GetClientWidget()->cursor().shape(), Qt::SizeAllCursor);

    const struct
    {
        const char* name;
        CPoint from;
        CSize by;
        bool cancel;
        CRect expected;
    } steps[] = {
        {"the middle moves", middle, {30, 20}, false, {80, 60, 180, 120}},
        {"a handle resizes", {}, {10, 15}, false, {80, 60, 190, 135}},
        {"Escape keeps it", middle, {-40, 0}, true, {80, 60, 190, 135}},
        {"past the edge it stays inside", middle, {400, 0}, false, {kPlateWidth - 111, 60, kPlateWidth - 1, 135}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        m_services.m_nSettingsChanged = 0;
        const CRect before = ActiveRect();
        m_view->m_rectTracker = m_view->ImageToClient(before);
        const CPoint from = step.from == CPoint() ? m_view->MakeTracker()
                                                        .GetHandleRect(CRectTracker::hitBottomRight)
                                                        .CenterPoint()
                                                  : m_view->m_rectTracker.CenterPoint();
        DragTracker(from, from + step.by, step.cancel);
        EXPECT_EQ(ActiveRect(), step.expected);
        EXPECT_EQ(m_services.m_nSettingsChanged, step.cancel ? 0 : 1);
        EXPECT_EQ(m_view->m_rectTracker, m_view->ImageToClient(ActiveRect()));
    }

    // A handle dragged onto the opposite edge would leave nothing.
    const CRect before = ActiveRect();
    m_view->m_rectTracker = m_view->ImageToClient(before);
    const CPoint right = m_view->MakeTracker().GetHandleRect(CRectTracker::hitRight).CenterPoint();
    DragTracker(right, right - CSize(m_view->m_rectTracker.Width(), 0));
    EXPECT_EQ(ActiveRect(), before);
}

TEST_F(ViewDrawingTest, ZoomFillsTheWindowWithTheActiveAreaAndNeedsOne)
{
    EXPECT_FALSE(IsEnabled(ID_VIEW_ZOOM)) << "only in the shrunk view";
    Command(ID_VIEW_DIRECT);
    ASSERT_TRUE(m_view->m_bShrinkToFit);
    ASSERT_TRUE(IsEnabled(ID_VIEW_ZOOM));
    Command(ID_VIEW_ZOOM);
    ASSERT_TRUE(m_view->m_bZoom);
    CRect client;
    m_view->GetClientRect(&client);

    // Without an area the page fills the window as before.
    EXPECT_EQ(m_view->ImageToClient(CPoint(kPlateWidth, kPlateHeight)), client.BottomRight());

    AddRectangle(CRect(40, 30, 120, 90));
    EXPECT_EQ(m_view->ImageToClient(CPoint(40, 30)), client.TopLeft());
    EXPECT_EQ(m_view->ImageToClient(CPoint(120, 90)), client.BottomRight());
    Command(ID_VIEW_ZOOM);
    EXPECT_EQ(m_view->ImageToClient(CPoint(kPlateWidth, kPlateHeight)), client.BottomRight());
}

TEST_F(ViewDrawingTest, APartingLineSnapsToTheEdgesOfTheBandItCrosses)
{
    cv::Mat page = m_doc->GetActiveDIB()->GetMat();
    page.setTo(cv::Scalar(40, 40, 40));
    cv::rectangle(page, cv::Rect(100, 0, 40, kPlateHeight), cv::Scalar(210, 210, 210), cv::FILLED);
    DrawWith(ID_TOOL_DRAW_LINE, {60, 50}, {180, 70});
    ASSERT_EQ(m_doc->m_arrPoints3.GetSize(), 2);
    const CPoint first = m_doc->m_arrPoints3[0];
    const CPoint second = m_doc->m_arrPoints3[1];
    EXPECT_NEAR(std::min(first.x, second.x), 100, 1);
    EXPECT_NEAR(std::max(first.x, second.x), 139, 1);
    EXPECT_EQ(Areas().GetAOICount(), 0);
}

TEST_F(ViewDrawingTest, ClosingTheViewEndsALoopOrADragThatRuns)
{
    AddRectangle(CRect(50, 40, 150, 100));
    m_view->m_rectTracker = m_view->ImageToClient(CRect(50, 40, 150, 100));
    const CPoint middle = m_view->m_rectTracker.CenterPoint();
    // The frame closes while the tracker is dragged.
    Post(WM_MOUSEMOVE, MK_LBUTTON, middle + CSize(5, 5));
    m_view->GetParentFrame()->PostMessage(WM_CLOSE);
    m_view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_TRUE(m_imageTemplate->Documents().empty());

    // And while an area is drawn.
    m_doc = OpenPlate();
    m_view = ViewOf(m_doc);
    ASSERT_NE(m_view, nullptr);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, At({20, 30}));
    m_view->GetParentFrame()->PostMessage(WM_CLOSE);
    m_view->SendMessage(WM_COMMAND, ID_VIEW_AOI_RECTANGLE, 0);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_TRUE(m_imageTemplate->Documents().empty());
    EXPECT_EQ(Areas().GetAOICount(), 1);
    m_doc = nullptr;
    m_view = nullptr;
}

TEST_F(ViewDrawingTest, ClosingTheTableKeepsTheUsersEdit)
{
    cv::Mat page = m_doc->GetActiveDIB()->GetMat();
    m_doc->PushUndo(FALSE);
    page.setTo(cv::Scalar(1, 2, 3)); // the user's edit
    CObjDataDoc* table = CountPlate(m_doc);
    ASSERT_NE(table, nullptr);
    table->OnCloseDocument();
    EXPECT_EQ(m_doc->GetResultDoc(), nullptr);
    EXPECT_EQ(m_doc->GetUndoCount(), 1);
    EXPECT_EQ(page.at<cv::Vec3b>(5, 5), cv::Vec3b(1, 2, 3));
}

} // namespace viewdrawingtest
