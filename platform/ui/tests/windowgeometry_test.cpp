// The rectangle of a top-level window: what GetWindowRect reports is what
// MoveWindow, SetWindowPos and the placement take, frame included, before
// and after the window shows; and when a child window shows.

#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/resizingdialog.h"
#include "platform/ui/wnd.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT IDD_GEOMETRY_RESIZING = 0x7a20;

CRect windowRect(const CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect;
}

CSize clientSize(const CWnd& wnd)
{
    CRect rect;
    wnd.GetClientRect(&rect);
    return rect.Size();
}

class WindowGeometryTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.CreateEx(0, nullptr, "placed", WS_OVERLAPPED, CRect(20, 30, 320, 230), nullptr, 0));
        if (GetParam())
            m_window.ShowWindow(SW_SHOW);
    }

    CWnd m_window;
};

TEST_P(WindowGeometryTest, AWindowMovedToItsOwnRectangleStaysThere)
{
    const CRect before = windowRect(m_window);
    m_window.MoveWindow(&before);
    EXPECT_EQ(windowRect(m_window), before);
    m_window.SetWindowPos(nullptr, before.left, before.top, before.Width(), before.Height(), SWP_NOZORDER);
    EXPECT_EQ(windowRect(m_window), before);

    WINDOWPLACEMENT placement{};
    ASSERT_TRUE(m_window.GetWindowPlacement(&placement));
    EXPECT_EQ(CRect(placement.rcNormalPosition), before);
    ASSERT_TRUE(m_window.SetWindowPlacement(&placement));
    EXPECT_EQ(windowRect(m_window), before);
}

TEST_P(WindowGeometryTest, TheRectangleGivenIsTheOneReported)
{
    m_window.MoveWindow(40, 50, 300, 200);
    EXPECT_EQ(windowRect(m_window), CRect(40, 50, 340, 250));
    m_window.SetWindowPos(nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(windowRect(m_window), CRect(40, 50, 300, 230));
    m_window.SetWindowPos(nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(windowRect(m_window), CRect(10, 20, 270, 200));

    // The client is what the frame leaves of it.
    const CSize client = clientSize(m_window);
    EXPECT_LE(client.cx, 260);
    EXPECT_LE(client.cy, 180);

    // A window placed before it shows keeps that place when it shows.
    m_window.ShowWindow(SW_SHOW);
    EXPECT_EQ(windowRect(m_window), CRect(10, 20, 270, 200));
    EXPECT_EQ(clientSize(m_window), client);
}

INSTANTIATE_TEST_SUITE_P(HiddenAndShown, WindowGeometryTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Shown" : "Hidden"; });

// The resizing dialog remembers its client's size and opens at it again,
// whatever frame the window system adds.
TEST(ResizingDialogGeometryTest, ReopensAtTheSizeTheUserGaveIt)
{
    kestrun::SetApplicationProfile(kestrun::DataFolder() + "/geometry.ini");
    kestrun::RegisterDialogTemplate(IDD_GEOMETRY_RESIZING, {"Resizing", {0, 0, 200, 120}, {}});
    CRect resized;
    {
        CResizingDialog dialog(IDD_GEOMETRY_RESIZING);
        ASSERT_TRUE(dialog.Create(IDD_GEOMETRY_RESIZING));
        dialog.ShowWindow(SW_SHOW);
        dialog.SetWindowPos(nullptr, 0, 0, 420, 300, SWP_NOMOVE | SWP_NOZORDER);
        resized = windowRect(dialog);
        EXPECT_EQ(resized.Size(), CSize(420, 300));
        dialog.DestroyWindow();
    }
    CResizingDialog again(IDD_GEOMETRY_RESIZING);
    ASSERT_TRUE(again.Create(IDD_GEOMETRY_RESIZING));
    again.ShowWindow(SW_SHOW);
    EXPECT_EQ(windowRect(again).Size(), resized.Size());
    again.DestroyWindow();
}

} // namespace

TEST(ChildVisibilityTest, AChildShowsOnlyWhenItsStyleOrShowWindowSaysSo)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPED, CRect(0, 0, 200, 100), nullptr, 0));
    CWnd hidden;
    CWnd shown;
    ASSERT_TRUE(hidden.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 50, 20), &parent, 1));
    ASSERT_TRUE(shown.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 30, 50, 50), &parent, 2));

    parent.ShowWindow(SW_SHOW);
    EXPECT_FALSE(hidden.IsWindowVisible());
    EXPECT_EQ(hidden.GetStyle() & WS_VISIBLE, 0u);
    EXPECT_TRUE(shown.IsWindowVisible());

    hidden.ShowWindow(SW_SHOW);
    EXPECT_TRUE(hidden.IsWindowVisible());
}
