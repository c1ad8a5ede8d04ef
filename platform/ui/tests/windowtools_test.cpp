// The wait cursor with the mouse captured, and a rectangle scaled into a
// window.

#include "platform/ui/windowtools.h"
#include "platform/ui/wnd.h"

#include <QApplication>
#include <QCursor>

#include <gtest/gtest.h>

namespace {

class WindowToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.CreateEx(0, nullptr, "tools", WS_OVERLAPPED, CRect(100, 50, 500, 350), nullptr, 0));
        m_window.GetWindowRect(&m_rect);
    }

    CWnd m_window;
    CRect m_rect; // 400 x 300 at its place
};

TEST_F(WindowToolsTest, TheWaitCursorAndTheCaptureLastAsLongAsTheGuard)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        CWaitCursorCapture guard(&m_window);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_EQ(CWnd::GetCapture(), &m_window);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    {
        CWaitCursorCapture guard(nullptr);
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowToolsTest, ARectangleIsScaledFromTheReferenceIntoTheWindow)
{
    const CRect ref(0, 0, m_rect.Width() / 2, m_rect.Height() * 2);
    const struct
    {
        CRect in;
        CRect out;
    } cases[] = {
        // relative to the window's corner, x doubled, y halved
        {CRect(m_rect.left, m_rect.top, m_rect.left + 10, m_rect.top + 20), CRect(0, 0, 20, 10)},
        {CRect(m_rect.left + 5, m_rect.top + 7, m_rect.left + 8, m_rect.top + 10), CRect(10, 3, 16, 4)},
        // left of the window: truncated toward zero
        {CRect(m_rect.left - 3, m_rect.top - 3, m_rect.left, m_rect.top), CRect(-6, -1, 0, 0)},
    };
    for (const auto& c : cases) {
        CRect rect = c.in;
        ScaleRectToWindow(rect, &m_window, ref);
        EXPECT_EQ(rect, c.out) << c.in.left - m_rect.left << "," << c.in.top - m_rect.top;
    }
}

} // namespace
