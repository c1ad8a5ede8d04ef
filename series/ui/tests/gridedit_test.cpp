// The cell editor of a grid control: what it writes into the grid, when it
// announces a change, and its keys.

#include "series/ui/gridedit.h"

#include "platform/automation/dispatchmap.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A grid control as its host hands it out: properties 1 (the current
// cell's text), 12 (the current row) and 25 (the edit state) among others.
class CFakeGrid : public kestrun::CDispatchable
{
public:
    CFakeGrid() : m_map("Grid", "{00000000-0000-0000-0000-000000000001}")
    {
        for (int id = 1; id <= 25; ++id) {
            kestrun::CDispatchMember member;
            member.m_strName = FormatString("P%d", id);
            member.m_wKinds = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;
            member.m_vtResult = VT_VARIANT;
            member.m_read = [this, id](kestrun::CDispatchable&, std::span<const COleVariant>) { return Get(id); };
            member.m_write = [this, id](kestrun::CDispatchable&, std::span<const COleVariant>,
                                        const COleVariant& value) { Set(id, value); };
            m_map.Add(std::move(member));
        }
    }

    const kestrun::CDispatchMap& GetDispatchMap() const override { return m_map; }

    COleVariant Get(int id) const
    {
        switch (id) {
        case CGridEdit::kCellTextProperty:
            return COleVariant(m_text);
        case CGridEdit::kRowProperty:
            return COleVariant(m_row);
        case CGridEdit::kEditStateProperty:
            return COleVariant(static_cast<short>(m_editing ? 1 : 0), VT_BOOL);
        default:
            return {};
        }
    }

    void Set(int id, COleVariant value)
    {
        switch (id) {
        case CGridEdit::kCellTextProperty:
            m_text = value.ToString();
            ++m_writes;
            break;
        case CGridEdit::kRowProperty:
            value.ChangeType(VT_I2);
            m_row = value.iVal;
            break;
        case CGridEdit::kEditStateProperty:
            value.ChangeType(VT_BOOL);
            m_editing = value.boolVal != VARIANT_FALSE;
            break;
        default:
            break;
        }
    }

    CString m_text = "old";
    short m_row = 4;
    bool m_editing = true;
    int m_writes = 0;

private:
    kestrun::CDispatchMap m_map;
};

// The grid's parent: hears "GridDataChanged".
class CGridHost : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == RegisterWindowMessage("GridDataChanged"))
            ++m_changes;
        return CWnd::WindowProc(message, wParam, lParam);
    }

    int m_changes = 0;
};

class GridEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "host", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
        ASSERT_TRUE(m_gridWnd.Create(nullptr, "grid", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 150), &m_host, 1));
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 30), &m_host, 2));
        m_edit.SetMask("*#"); // digits only
        m_edit.AttachGrid(&m_gridWnd, &m_grid);
        m_host.ShowWindow(SW_SHOW);
    }

    BOOL Key(UINT key)
    {
        MSG msg{};
        msg.hwnd = m_edit.m_hWnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        return m_edit.PreTranslateMessage(&msg);
    }

    void LoseFocus() { m_edit.SendMessage(WM_KILLFOCUS); }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CFakeGrid m_grid;
    CGridHost m_host;
    CWnd m_gridWnd;
    CGridEdit m_edit;
};

TEST_F(GridEditTest, LosingTheFocusWritesTheCellAndTellsTheGridsParent)
{
    struct Case
    {
        const char* text;
        bool fits;
    };
    // An empty text needs no mask check.
    for (const Case& c : {Case{"123", true}, Case{"", true}, Case{"12a", false}}) {
        SCOPED_TRACE(c.text);
        m_grid.m_text = "old";
        m_host.m_changes = 0;
        m_boxes->Clear();
        m_edit.SetWindowText(c.text);
        m_edit.ShowWindow(SW_SHOW);
        LoseFocus();
        EXPECT_EQ(m_grid.m_text, c.fits ? c.text : "old");
        EXPECT_EQ(m_host.m_changes, c.fits ? 1 : 0);
        EXPECT_EQ(m_edit.IsWindowVisible(), c.fits ? FALSE : TRUE);
        EXPECT_EQ(m_boxes->Beeps().size(), c.fits ? 0u : 1u);
    }
}

TEST_F(GridEditTest, TabChecksTheMaskBeforeTheEditEnds)
{
    m_edit.SetWindowText("1x");
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_FALSE(m_edit.Validate());
    EXPECT_TRUE(m_grid.m_editing);
    EXPECT_EQ(m_boxes->Beeps().size(), 2u);

    m_edit.SetWindowText("42");
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_FALSE(m_grid.m_editing);
}

TEST_F(GridEditTest, EscapePutsTheCellTextBackAndEnterKeepsTheNewOne)
{
    m_edit.SetWindowText("77");
    EXPECT_TRUE(Key(VK_ESCAPE));
    CString text;
    m_edit.GetWindowText(text);
    EXPECT_EQ(text, "old");
    EXPECT_FALSE(m_edit.IsWindowVisible());
    EXPECT_FALSE(m_grid.m_editing);

    m_grid.m_editing = true;
    m_edit.SetWindowText("55");
    m_edit.ShowWindow(SW_SHOW);
    EXPECT_TRUE(Key(VK_RETURN));
    m_edit.GetWindowText(text);
    EXPECT_EQ(text, "55");
    EXPECT_FALSE(m_edit.IsWindowVisible());
    EXPECT_FALSE(m_grid.m_editing);
    EXPECT_FALSE(Key('A')); // other keys are the field's
}

TEST_F(GridEditTest, UpAndDownMoveToTheNeighbouringRow)
{
    m_edit.SetWindowText("5");
    m_edit.SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(m_grid.m_row, 5);
    EXPECT_FALSE(m_grid.m_editing);
    m_edit.SendMessage(WM_KEYDOWN, VK_UP);
    m_edit.SendMessage(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(m_grid.m_row, 3);

    // A text that does not fit stays where it is.
    m_edit.SetWindowText("x");
    m_edit.SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(m_grid.m_row, 3);

    // Without a grid the field is a plain masked edit.
    m_edit.AttachGrid(nullptr, nullptr);
    m_edit.SetWindowText("9");
    m_edit.SendMessage(WM_KEYDOWN, VK_DOWN);
    LoseFocus();
    EXPECT_EQ(m_grid.m_row, 3);
    EXPECT_EQ(m_host.m_changes, 0);
}

} // namespace
