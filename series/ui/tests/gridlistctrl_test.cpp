// The grid list: its cell cursor, the requests to edit a cell and the
// placing of an editor over a cell.

#include "series/ui/gridlistctrl.h"

#include "platform/ui/inplaceedit.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/systemlook.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct EditRequest
{
    UINT_PTR from;
    int item;
    int subItem;
    std::string text;
};

// Hears the list's requests to edit a cell.
class CGridOwner : public CWnd
{
public:
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) override
    {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != LVN_BEGINLABELEDIT)
            return FALSE;
        const auto* info = reinterpret_cast<NMLVDISPINFO*>(lParam);
        m_requests.push_back({header->idFrom, info->iItem, info->iSubItem,
                              std::string(info->pszText, static_cast<size_t>(info->cchTextMax))});
        *pResult = 0;
        return TRUE;
    }

    std::vector<EditRequest> m_requests;
};

class GridListCtrlTest : public ::testing::Test
{
protected:
    static constexpr UINT kListId = 2209;

    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "steps", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS, CRect(0, 0, 400, 250), &m_owner,
                                  kListId));
        ASSERT_TRUE(m_list.SetGridStyle(7));
        const int widths[] = {60, 80, 4, 100};
        const char* titles[] = {"Step", "Factor", "Tiny", "Volume"};
        for (int c = 0; c < 4; ++c)
            m_list.InsertColumn(c, titles[c], LVCFMT_LEFT, widths[c]);
        for (int r = 0; r < 3; ++r) {
            m_list.InsertItem(r, std::to_string(r + 1).c_str());
            m_list.SetItemText(r, 1, std::to_string(10 * (r + 1)).c_str());
            m_list.SetItemText(r, 3, "0.5");
        }
        m_owner.ShowWindow(SW_SHOW);
        QApplication::setActiveWindow(m_owner.GetWidget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_owner.GetWidget()));
        m_list.SetFocus();
        m_list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
    }

    BOOL Key(UINT key)
    {
        MSG msg{};
        msg.hwnd = m_list.m_hWnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        return m_list.PreTranslateMessage(&msg);
    }

    QPoint CellCentre(int item, int column)
    {
        CRect cell;
        m_list.GetSubItemRect(item, column, 0, cell);
        return QPoint(cell.CenterPoint().x, cell.CenterPoint().y);
    }

    CGridOwner m_owner;
    CGridListCtrl m_list;
};

TEST_F(GridListCtrlTest, GridStyleMakesAReportWithDraggableHeadingsAndFullRows)
{
    EXPECT_EQ(m_list.GetGridStyle(), 7);
    EXPECT_EQ(m_list.GetStyle() & (LVS_TYPEMASK | LVS_EDITLABELS), LVS_REPORT);
    EXPECT_EQ(m_list.GetExtendedStyle() & 0x30u, 0x30u);
}

TEST_F(GridListCtrlTest, ArrowKeysMoveTheCurrentColumnWithinTheColumns)
{
    ASSERT_EQ(CWnd::GetFocus(), &m_list);
    EXPECT_EQ(m_list.GetCurrentColumn(), -1);
    const std::vector<std::pair<UINT, int>> steps = {
        {VK_RIGHT, 0}, {VK_RIGHT, 1}, {VK_LEFT, 0}, {VK_LEFT, -1}, {VK_LEFT, -1},
        {VK_RIGHT, 0}, {VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 3}, {VK_RIGHT, 3},
    };
    for (const auto& [key, column] : steps) {
        EXPECT_TRUE(Key(key));
        EXPECT_EQ(m_list.GetCurrentColumn(), column);
    }
    // Moved headings: positions follow the display order.
    auto* view = qobject_cast<QTreeView*>(m_list.GetWidget());
    view->header()->moveSection(3, 0);
    EXPECT_EQ(m_list.GetColumnOrderPosition(3), 0);
    EXPECT_EQ(m_list.GetColumnAtPosition(1), 0);
}

TEST_F(GridListCtrlTest, F2AsksToEditTheCurrentCellOfTheFocusedRow)
{
    EXPECT_FALSE(Key(VK_F2)); // no current column: nothing asked
    EXPECT_TRUE(m_owner.m_requests.empty());
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_FALSE(Key(VK_F2)); // passed on
    ASSERT_EQ(m_owner.m_requests.size(), 1u);
    const EditRequest& request = m_owner.m_requests[0];
    EXPECT_EQ(request.from, kListId);
    EXPECT_EQ(request.item, 1);
    EXPECT_EQ(request.subItem, 1);
    EXPECT_EQ(request.text, "20");
}

TEST_F(GridListCtrlTest, ASecondClickOnTheCurrentCellAsksToEditIt)
{
    QWidget* rows = m_list.GetClientWidget();
    QTest::mouseClick(rows, Qt::LeftButton, {}, CellCentre(2, 3));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_list.GetCurrentColumn(), 3);
    EXPECT_TRUE(m_owner.m_requests.empty()); // the row had no focus yet

    QTest::mouseClick(rows, Qt::LeftButton, {}, CellCentre(2, 3));
    QCoreApplication::processEvents();
    ASSERT_EQ(m_owner.m_requests.size(), 1u);
    EXPECT_EQ(m_owner.m_requests[0].item, 2);
    EXPECT_EQ(m_owner.m_requests[0].subItem, 3);

    // Another column of the focused row only moves the cursor.
    QTest::mouseClick(rows, Qt::LeftButton, {}, CellCentre(2, 1));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_list.GetCurrentColumn(), 1);
    EXPECT_EQ(m_owner.m_requests.size(), 1u);
}

TEST_F(GridListCtrlTest, TheEditorCoversTheCellOfAWideEnoughColumn)
{
    CEdit editor;
    ASSERT_TRUE(editor.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(1, 1, 11, 11), &m_list, 5));
    CRect row;
    m_list.GetItemRect(2, &row, 0);

    EXPECT_FALSE(m_list.EditSubItem(&editor, 2, 2)); // 4 pixels wide
    EXPECT_FALSE(m_list.EditSubItem(&editor, 2, 4)); // no such position
    EXPECT_FALSE(m_list.EditSubItem(&editor, 7, 1)); // no such row
    CRect placed;
    editor.GetWindowRect(&placed);
    m_list.ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(1, 1, 11, 11));

    ASSERT_TRUE(m_list.EditSubItem(&editor, 2, 3));
    editor.GetWindowRect(&placed);
    m_list.ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(60 + 80 + 4 + 4, row.top, 60 + 80 + 4 + 4 + 97, row.bottom));
}

TEST_F(GridListCtrlTest, TheCurrentCellOfTheFocusedRowIsDrawnSunken)
{
    Key(VK_RIGHT);
    Key(VK_RIGHT); // "Factor"
    QCoreApplication::processEvents();
    const QImage shot = m_list.GetClientWidget()->grab().toImage();
    CRect cell;
    m_list.GetSubItemRect(1, 1, 0, cell);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const QColor inside = shot.pixelColor(cell.right - 4, cell.CenterPoint().y);
    EXPECT_EQ(inside, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    EXPECT_EQ(shot.pixelColor(cell.left, cell.CenterPoint().y),
              QColor(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow)));
    // Another row's cell in that column is not.
    CRect other;
    m_list.GetSubItemRect(0, 1, 0, other);
    EXPECT_NE(shot.pixelColor(other.right - 4, other.CenterPoint().y), inside);
}

} // namespace
