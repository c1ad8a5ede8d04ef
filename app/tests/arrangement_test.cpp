// The program's windows as a user arranges them in a small main window:
// images and the result tables of their counts open, cascade and tile
// inside the client area, none smaller than it can be, the active one on top.

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "analysis/bv.h"
#include "analysis/segthres.h"
#include "imaging/dibdoc.h"
#include "platform/core/messages.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi.h"
#include "platform/ui/view.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace kestrun::testing {
namespace {

class ArrangementTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        Start(m_app);
        CMainFrame& frame = MainFrame(m_app);
        frame.ShowWindow(SW_SHOWNORMAL);
        frame.MoveWindow(0, 0, 720, 560);
        m_app.GetEngine()->GetSettings().m_SegThres =
            CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
    }
    void TearDown() override
    {
        Stop(m_app);
        CAppTest::TearDown();
    }

    // An image of discs, opened and counted: its window and its table's.
    void OpenAndCount(const char* name, int nDiscs)
    {
        cv::Mat page(480, 640, CV_8UC3, cv::Scalar(240, 240, 240));
        for (int i = 0; i < nDiscs; ++i)
            cv::circle(page, cv::Point(60 + 80 * i, 200), 25, cv::Scalar(60, 60, 60), cv::FILLED);
        const std::filesystem::path file = m_folder / name;
        ASSERT_TRUE(cv::imwrite(file.string(), page));
        ASSERT_NE(m_app.OpenDocumentFile(file.c_str()), nullptr);
        MainFrame(m_app).SendMessage(WM_COMMAND, ID_SEARCH_OBJECTS);
        PumpMessages();
    }

    QRect Area()
    {
        CRect area;
        MainFrame(m_app).GetMDIClientRect(&area);
        return QRect(area.left, area.top, area.Width(), area.Height());
    }

    std::vector<QMdiSubWindow*> Windows()
    {
        std::vector<QMdiSubWindow*> windows;
        for (CMDIChildWnd* child : MainFrame(m_app).MDIChildren())
            windows.push_back(qobject_cast<QMdiSubWindow*>(child->GetWidget()));
        return windows;
    }

    void ExpectAllInsideAndFull()
    {
        for (QMdiSubWindow* sub : Windows()) {
            ASSERT_NE(sub, nullptr);
            SCOPED_TRACE(sub->windowTitle().toStdString());
            EXPECT_TRUE(Area().contains(sub->geometry()));
            const QSize least = sub->minimumSize().expandedTo(sub->minimumSizeHint());
            EXPECT_GE(sub->width(), least.width());
            EXPECT_GE(sub->height(), least.height());
        }
    }

    CKestrunApp m_app;
};

TEST_F(ArrangementTest, ImagesAndTheirTablesStayInsideAndUsable)
{
    OpenAndCount("four.png", 4);
    OpenAndCount("none.png", 0);
    ASSERT_EQ(Windows().size(), 4u);
    ExpectAllInsideAndFull();

    CMainFrame& frame = MainFrame(m_app);
    CMDIChildWnd* first = frame.MDIChildren().front();
    frame.MDIActivate(first);
    frame.SendMessage(WM_COMMAND, ID_WINDOW_CASCADE);
    ExpectAllInsideAndFull();
    const QSize threeQuarters(Area().width() * 3 / 4, Area().height() * 3 / 4);
    for (QMdiSubWindow* sub : Windows())
        EXPECT_EQ(sub->size(), threeQuarters.expandedTo(sub->minimumSize().expandedTo(sub->minimumSizeHint())));
    EXPECT_EQ(frame.MdiArea()->subWindowList(QMdiArea::StackingOrder).back(), first->GetWidget());
    EXPECT_EQ(frame.MDIGetActive(), first);

    for (const UINT command : {ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT}) {
        frame.SendMessage(WM_COMMAND, command);
        ExpectAllInsideAndFull();
        EXPECT_EQ(frame.MDIGetActive(), first);
    }
}

} // namespace
} // namespace kestrun::testing
