// Where windows go: the children of an MDI main window when they open and
// when they are cascaded, tiled or minimised; and the main window's
// placement kept in the profile from one run to the next.

#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi.h"
#include "platform/ui/persistentframe.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr UINT IDR_ARRANGE_MAIN = 7460;
constexpr UINT IDR_ARRANGE_DOC = 7461;
constexpr UINT IDR_ARRANGE_WIDE = 7462;

class CArrangedView : public CView
{
    DECLARE_DYNCREATE(CArrangedView)

public:
    void OnDraw(CDC*) override {}
};

// A view that places and shows its frame far larger than the main window
// in its first update, as a table with many columns or a kept placement may.
class CWideView : public CArrangedView
{
    DECLARE_DYNCREATE(CWideView)

public:
    void OnInitialUpdate() override
    {
        CArrangedView::OnInitialUpdate();
        GetParentFrame()->MoveWindow(200, 150, 3000, 2000);
        GetParentFrame()->ShowWindow(SW_SHOWNORMAL);
    }
};

class CArrangedDoc : public CDocument
{
    DECLARE_DYNCREATE(CArrangedDoc)
};

IMPLEMENT_DYNCREATE(CArrangedDoc, CDocument)
IMPLEMENT_DYNCREATE(CArrangedView, CView)
IMPLEMENT_DYNCREATE(CWideView, CArrangedView)

// The client area on the screen: what the main window's placement keeps.
QRect clientOnScreen(const CWnd& wnd)
{
    CRect rect;
    wnd.GetClientRect(&rect);
    wnd.ClientToScreen(&rect);
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

CString placementText(const QRect& rect)
{
    return FormatString("%04d %04d %04d %04d", rect.left(), rect.top(), rect.left() + rect.width(),
                        rect.top() + rect.height());
}

class WindowArrangementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        kestrun::SetApplicationProfile(kestrun::DataFolder() + "/arrangement.ini");
        AfxRegisterString(IDR_ARRANGE_MAIN, "Arrangement");
        AfxRegisterString(IDR_ARRANGE_DOC, "\nPlate\nPlate\n\n\n\n");
        AfxRegisterString(IDR_ARRANGE_WIDE, "\nTable\nTable\n\n\n\n");
        m_main = new CMDIFrameWnd;
        ASSERT_TRUE(m_main->LoadFrame(IDR_ARRANGE_MAIN));
        m_app.m_pMainWnd = m_main;
        m_main->MoveWindow(0, 0, 900, 700);
        m_main->ShowWindow(SW_SHOW);
        m_plates = new CMultiDocTemplate(IDR_ARRANGE_DOC, RUNTIME_CLASS(CArrangedDoc), RUNTIME_CLASS(CMDIChildWnd),
                                         RUNTIME_CLASS(CArrangedView));
        m_tables = new CMultiDocTemplate(IDR_ARRANGE_WIDE, RUNTIME_CLASS(CArrangedDoc), RUNTIME_CLASS(CMDIChildWnd),
                                         RUNTIME_CLASS(CWideView));
        m_app.AddDocTemplate(m_plates);
        m_app.AddDocTemplate(m_tables);
    }

    void TearDown() override
    {
        if (m_app.m_pMainWnd)
            m_app.m_pMainWnd->DestroyWindow();
    }

    // A new child window; minimum, when given, is the least size it takes.
    QMdiSubWindow* Open(CDocTemplate* pTemplate = nullptr, QSize minimum = QSize())
    {
        CDocument* doc = (pTemplate ? pTemplate : m_plates)->OpenDocumentFile(nullptr);
        if (doc == nullptr || doc->Views().empty())
            return nullptr;
        auto* sub = qobject_cast<QMdiSubWindow*>(doc->Views().front()->GetParentFrame()->GetWidget());
        if (sub && minimum.isValid())
            sub->setMinimumSize(minimum);
        return sub;
    }

    CMDIChildWnd* ChildOf(QMdiSubWindow* sub) const
    {
        for (CMDIChildWnd* child : m_main->MDIChildren())
            if (child->GetWidget() == sub)
                return child;
        return nullptr;
    }

    QRect Area() const
    {
        CRect area;
        m_main->GetMDIClientRect(&area);
        return QRect(area.left, area.top, area.Width(), area.Height());
    }

    // Inside the area and not below the least size the window takes.
    void ExpectInsideAndFull(QMdiSubWindow* sub) const
    {
        const QRect placed = sub->geometry();
        EXPECT_TRUE(Area().contains(placed)) << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                             << placed.height();
        EXPECT_GE(placed.width(), sub->minimumSizeHint().expandedTo(sub->minimumSize()).width());
        EXPECT_GE(placed.height(), sub->minimumSizeHint().expandedTo(sub->minimumSize()).height());
    }

    CWinApp m_app{"Arrangement"};
    CMDIFrameWnd* m_main = nullptr;
    CMultiDocTemplate* m_plates = nullptr;
    CMultiDocTemplate* m_tables = nullptr;
};

TEST_F(WindowArrangementTest, CascadeGivesEachChildThreeQuartersOfTheAreaWithTheActiveOnTop)
{
    std::vector<QMdiSubWindow*> subs;
    for (int i = 0; i < 4; ++i)
        subs.push_back(Open());
    // A window whose minimum is more than a cascade's three quarters.
    const QSize large(Area().width() * 7 / 8, Area().height() * 7 / 8);
    subs.push_back(Open(m_plates, large));
    for (QMdiSubWindow* sub : subs)
        ASSERT_NE(sub, nullptr);
    subs[0]->resize(120, 40);
    subs[2]->showMaximized();
    m_main->MDIActivate(ChildOf(subs[1]));

    m_main->MDICascade();

    const QList<QMdiSubWindow*> stacked = m_main->MdiArea()->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(static_cast<size_t>(stacked.size()), subs.size());
    EXPECT_EQ(stacked.back(), subs[1]);
    EXPECT_EQ(m_main->MDIGetActive(), ChildOf(subs[1]));
    const QSize threeQuarters(Area().width() * 3 / 4, Area().height() * 3 / 4);
    int step = 0;
    for (qsizetype i = 0; i < stacked.size(); ++i) {
        QMdiSubWindow* sub = stacked[i];
        EXPECT_FALSE(sub->isMaximized());
        ExpectInsideAndFull(sub);
        EXPECT_EQ(sub->size(), sub == subs[4] ? large : threeQuarters);
        // Down the diagonal, a title bar's height at a time.
        const QPoint at = sub->pos();
        EXPECT_EQ(at.x(), at.y());
        if (i > 0 && sub != subs[4] && stacked[i - 1] != subs[4]) {
            const int offset = at.x() - stacked[i - 1]->pos().x();
            EXPECT_GT(offset, 0) << i;
            if (step == 0)
                step = offset;
            EXPECT_EQ(offset, step) << i;
        }
    }
}

TEST_F(WindowArrangementTest, TilingSharesTheAreaOutAndKeepsMinimums)
{
    struct Case
    {
        int type;
        int count;
        bool largeFirst;
    };
    for (const Case c : {Case{MDITILE_HORIZONTAL, 2, false}, Case{MDITILE_VERTICAL, 2, false},
                         Case{MDITILE_HORIZONTAL, 5, false}, Case{MDITILE_VERTICAL, 3, true}}) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.count << " windows");
        for (CMDIChildWnd* child : m_main->MDIChildren())
            child->MDIDestroy();
        std::vector<QMdiSubWindow*> subs;
        const QSize large(Area().width() * 2 / 3, Area().height() * 2 / 3);
        for (int i = 0; i < c.count; ++i) {
            subs.push_back(Open(m_plates, c.largeFirst && i == 0 ? large : QSize()));
            ASSERT_NE(subs.back(), nullptr);
        }
        m_main->MDIActivate(ChildOf(subs.back()));

        m_main->MDITile(c.type);

        long long covered = 0;
        for (QMdiSubWindow* sub : subs) {
            ExpectInsideAndFull(sub);
            covered += static_cast<long long>(sub->width()) * sub->height();
        }
        EXPECT_EQ(m_main->MdiArea()->subWindowList(QMdiArea::StackingOrder).back(), subs.back());
        // The active window takes the first cell.
        EXPECT_EQ(subs.back()->pos(), Area().topLeft());
        if (c.largeFirst) {
            // Its cell is a third of the width, all of the height.
            EXPECT_EQ(subs[0]->size(), QSize(large.width(), Area().height()));
            continue;
        }
        // Without minimums in the way the cells fill the area exactly.
        EXPECT_EQ(covered, static_cast<long long>(Area().width()) * Area().height());
        for (size_t i = 0; i < subs.size(); ++i)
            for (size_t j = i + 1; j < subs.size(); ++j)
                EXPECT_FALSE(subs[i]->geometry().intersects(subs[j]->geometry())) << i << " " << j;
        if (c.count == 2) {
            // Horizontal tiling: wide windows one above the other.
            const bool wide = c.type == MDITILE_HORIZONTAL;
            EXPECT_EQ(subs[0]->width(), wide ? Area().width() : Area().width() / 2);
            EXPECT_EQ(subs[0]->height(), wide ? Area().height() / 2 : Area().height());
        }
    }
}

TEST_F(WindowArrangementTest, MinimisedChildrenLineUpAtTheBottomAndTheRestStayAboveThem)
{
    std::vector<QMdiSubWindow*> subs;
    for (int i = 0; i < 4; ++i) {
        subs.push_back(Open());
        ASSERT_NE(subs.back(), nullptr);
    }
    subs[0]->showMinimized();
    subs[2]->showMinimized();

    m_main->MDICascade();

    const QRect area = Area();
    EXPECT_EQ(subs[0]->geometry().bottom(), area.bottom());
    EXPECT_EQ(subs[2]->geometry().bottom(), area.bottom());
    EXPECT_EQ(subs[0]->x(), area.left());
    EXPECT_EQ(subs[2]->x(), subs[0]->geometry().right() + 1);
    for (QMdiSubWindow* sub : {subs[1], subs[3]}) {
        ExpectInsideAndFull(sub);
        EXPECT_LT(sub->geometry().bottom(), subs[0]->y());
    }
}

TEST_F(WindowArrangementTest, NewChildrenOpenInsideASmallMainWindow)
{
    m_main->MoveWindow(0, 0, 520, 420);
    std::vector<QMdiSubWindow*> subs;
    for (int i = 0; i < 6; ++i)
        subs.push_back(Open(i == 3 ? m_tables : m_plates));
    std::vector<QPoint> places;
    for (QMdiSubWindow* sub : subs) {
        ASSERT_NE(sub, nullptr);
        ExpectInsideAndFull(sub);
        places.push_back(sub->pos());
    }
    // Each new plate where a cascade would put it, not on the one before.
    EXPECT_NE(places[1], places[0]);
    EXPECT_NE(places[2], places[1]);
    EXPECT_EQ(m_main->MdiArea()->subWindowList(QMdiArea::StackingOrder).back(), subs.back());
}

// ---- the main window's placement -----------------------------------------------------------------

class FramePlacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        kestrun::SetApplicationProfile(kestrun::DataFolder() + "/placement.ini");
        AfxRegisterString(IDR_ARRANGE_MAIN, "Placement");
        m_frame = new CFrameWnd;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_ARRANGE_MAIN));
    }

    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
    }

    void Store(const char* rect, int max)
    {
        WriteProfileString("MainFrame", "Rect", rect);
        WriteProfileInt("MainFrame", "max", max);
    }

    BOOL Load()
    {
        CPersistentFrame placement;
        placement.Attach(m_frame, "MainFrame");
        return placement.LoadWindowPlacement(TRUE);
    }

    CString Save()
    {
        CPersistentFrame placement;
        placement.Attach(m_frame, "MainFrame");
        placement.SaveWindowPlacement();
        return GetProfileString("MainFrame", "Rect", "");
    }

    CFrameWnd* m_frame = nullptr;
};

TEST_F(FramePlacementTest, RestoringFromMaximisedBringsBackTheStoredRectangle)
{
    for (const QRect stored : {QRect(40, 50, 600, 480), QRect(10, 10, 490, 390)}) {
        SCOPED_TRACE(placementText(stored).GetString());
        Store(placementText(stored), 1);
        ASSERT_TRUE(Load());
        EXPECT_TRUE(m_frame->IsZoomed());
        // Saved while maximised: the rectangle it will come back to.
        EXPECT_EQ(Save(), placementText(stored));
        EXPECT_EQ(GetProfileInt("MainFrame", "max", 0), 1u);

        m_frame->ShowWindow(SW_RESTORE);
        EXPECT_EQ(clientOnScreen(*m_frame), stored);
        EXPECT_EQ(Save(), placementText(stored));
        EXPECT_EQ(GetProfileInt("MainFrame", "max", 9), 0u);
    }
}

TEST_F(FramePlacementTest, AFirstStartKeepsTheTitleBarBelowTheScreensEdge)
{
    Store("", 1);
    ASSERT_TRUE(Load());
    m_frame->ShowWindow(SW_RESTORE);
    // The default's corner is the outer one: the window system's frame lies inside it.
    CRect outer;
    m_frame->GetWindowRect(&outer);
    EXPECT_EQ(outer.TopLeft(), CPoint(10, 10));
    EXPECT_EQ(clientOnScreen(*m_frame).size(), QSize(490, 390));
    // From then on the client rectangle is kept and comes back.
    const QRect client = clientOnScreen(*m_frame);
    EXPECT_EQ(Save(), placementText(client));
    WriteProfileInt("MainFrame", "max", 1);
    ASSERT_TRUE(Load());
    m_frame->ShowWindow(SW_RESTORE);
    EXPECT_EQ(clientOnScreen(*m_frame), client);
}

TEST_F(FramePlacementTest, ANormalWindowKeepsItsSizeAndComesBackWhereItWasSaved)
{
    Store("0040 0050 0640 0530", 0);
    ASSERT_TRUE(Load());
    EXPECT_FALSE(m_frame->IsZoomed());
    const QRect first = clientOnScreen(*m_frame);
    EXPECT_EQ(first.size(), QSize(600, 480));
    // Centred when shown normal; saved and loaded again it stays put.
    EXPECT_EQ(Save(), placementText(first));
    ASSERT_TRUE(Load());
    EXPECT_EQ(clientOnScreen(*m_frame), first);
    EXPECT_EQ(Save(), placementText(first));
}

TEST_F(FramePlacementTest, NoNegativeCoordinateReachesTheProfile)
{
    m_frame->ShowWindow(SW_SHOWNORMAL);
    m_frame->MoveWindow(-30, -9, 500, 400);
    const QRect moved = clientOnScreen(*m_frame);
    ASSERT_LT(moved.top(), 0);
    EXPECT_EQ(Save(), placementText(moved.translated(-moved.left(), -moved.top())));

    // An older file's negative corner is taken as the screen's edge.
    Store("0020 -009 0510 0391", 1);
    ASSERT_TRUE(Load());
    m_frame->ShowWindow(SW_RESTORE);
    EXPECT_EQ(clientOnScreen(*m_frame), QRect(20, 0, 490, 400));
    EXPECT_EQ(Save(), "0020 0000 0510 0400");
}

} // namespace
