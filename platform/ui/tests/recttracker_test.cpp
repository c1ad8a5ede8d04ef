// The rectangle tracker: what a point hits, and a drag of the middle or a
// handle by the window's own mouse messages.

#include "platform/core/messages.h"
#include "platform/ui/recttracker.h"
#include "platform/ui/wnd.h"

#include <gtest/gtest.h>

namespace {

class RectTrackerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.CreateEx(0, nullptr, "tracker", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0));
        m_window.ShowWindow(SW_SHOW);
    }
    void Post(UINT message, CPoint at) { m_window.PostMessage(message, 0, MAKELPARAM(at.x, at.y)); }

    CWnd m_window;
    const CRect m_start{100, 80, 200, 160};
    CRectTracker m_tracker{&m_start, CRectTracker::dottedLine | CRectTracker::resizeOutside};
};

TEST_F(RectTrackerTest, HandlesLieOutsideTheFrameAndTheMiddleInside)
{
    const struct
    {
        CPoint at;
        int hit;
    } cases[] = {
        {{150, 120}, CRectTracker::hitMiddle},     {{96, 76}, CRectTracker::hitTopLeft},
        {{204, 164}, CRectTracker::hitBottomRight}, {{204, 120}, CRectTracker::hitRight},
        {{150, 76}, CRectTracker::hitTop},          {{50, 50}, CRectTracker::hitNothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_tracker.HitTest(c.at), c.hit) << c.at.x << "," << c.at.y;
}

TEST_F(RectTrackerTest, ADragMovesOrResizesAndEscapeOrAnEmptyDragKeepsIt)
{
    const struct
    {
        const char* name;
        CPoint from, to;
        bool escape;
        BOOL changed;
        CRect rect;
    } cases[] = {
        {"middle", {150, 120}, {170, 100}, false, TRUE, {120, 60, 220, 140}},
        {"handle", {224, 144}, {234, 164}, false, TRUE, {120, 60, 230, 160}},
        {"escape", {170, 100}, {10, 10}, true, FALSE, {120, 60, 230, 160}},
        {"not moved", {170, 100}, {170, 100}, false, FALSE, {120, 60, 230, 160}},
        {"nothing hit", {5, 5}, {50, 50}, false, FALSE, {120, 60, 230, 160}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Post(WM_MOUSEMOVE, c.to);
        if (c.escape)
            m_window.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        Post(WM_LBUTTONUP, c.to);
        EXPECT_EQ(m_tracker.Track(&m_window, c.from), c.changed);
        kestrun::PumpMessages(); // what a drag that never started leaves
        EXPECT_EQ(m_tracker.m_rect, c.rect);
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
    }
}

} // namespace
