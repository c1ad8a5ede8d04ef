// The parameter list with editing controls in its active row.

#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/neulistctrl.h"
#include "platform/ui/staticedit.h"

#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class NeuListCtrlTest : public ::testing::Test
{
protected:
    enum
    {
        ColumnName,
        ColumnValue,
        ColumnUnit,
        ColumnAction,
    };

    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "form", WS_OVERLAPPED, CRect(0, 0, 500, 300), nullptr, 0));
        ASSERT_TRUE(
            m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, CRect(0, 0, 500, 300), &m_parent, 7));
        m_list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        for (const char* title : {"Name", "Value", "Unit", "Action"})
            m_list.InsertColumn(m_list.GetColumnCount(), title, LVCFMT_LEFT, 100);
        for (int row = 0; row < 3; ++row) {
            m_list.InsertItem(row, FormatString("param %d", row));
            m_list.SetItemText(row, ColumnValue, FormatString("%d", 10 * row));
            m_list.SetItemText(row, ColumnUnit, "mm");
            m_list.SetItemText(row, ColumnAction, row == 1 ? "+" : "-");
        }
        m_list.SetCheck(1, TRUE);
        ASSERT_TRUE(m_list.AddColumnControl(CNeuListCtrl::ControlEdit, ColumnValue));
        ASSERT_TRUE(m_list.AddColumnControl(CNeuListCtrl::ControlComboBox, ColumnUnit));
        ASSERT_TRUE(m_list.AddColumnControl(CNeuListCtrl::ControlCheckBox, ColumnAction));
        auto* units = static_cast<CComboBox*>(m_list.GetColumnControl(1));
        for (const char* unit : {"mm", "px"})
            units->AddString(unit);
        m_parent.ShowWindow(SW_SHOW);
    }

    QPoint RowPoint(int row, int x) const
    {
        CRect r;
        m_list.GetItemRect(row, &r, 0);
        return QPoint(r.left + x, (r.top + r.bottom) / 2);
    }

    // Whether the control covers its cell of the active row.
    bool Placed(int index) const
    {
        CWnd* control = m_list.GetColumnControl(index);
        CRect cell;
        m_list.GetSubItemRect(m_list.GetActiveRow(), index + 1, 0, cell);
        const QRect g = control->GetWidget()->geometry();
        return control->IsWindowVisible() && g.left() == cell.left && g.top() == cell.top;
    }

    CWnd m_parent;
    CNeuListCtrl m_list;
};

TEST_F(NeuListCtrlTest, RowsShowTheirTexts)
{
    const QImage image = m_list.GetClientWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // A cell of a row without controls, drawn in the text's dark colour.
    CRect cell;
    ASSERT_TRUE(m_list.GetSubItemRect(2, ColumnUnit, 0, cell));
    int dark = 0;
    for (int y = cell.top; y < cell.bottom; ++y) {
        for (int x = cell.left; x < cell.right; ++x)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    }
    EXPECT_GT(dark, 0);
}

TEST_F(NeuListCtrlTest, ControlsGetConsecutiveIdsAndReplaceTheirColumnsControl)
{
    EXPECT_EQ(m_list.GetColumnControl(0)->GetDlgCtrlID(), 786);
    EXPECT_EQ(m_list.GetColumnControl(1)->GetDlgCtrlID(), 790);
    EXPECT_EQ(m_list.GetColumnControl(2)->GetDlgCtrlID(), 794);
    EXPECT_EQ(m_list.GetActiveRow(), 0);
    ASSERT_TRUE(m_list.AddColumnControl(CNeuListCtrl::ControlButton, ColumnValue));
    EXPECT_EQ(m_list.GetColumnControlCount(), 3);
    EXPECT_EQ(m_list.GetColumnControl(m_list.FindColumnControl(ColumnValue))->GetDlgCtrlID(), 798);
    EXPECT_EQ(m_list.FindColumnControl(ColumnName), -1);
    EXPECT_FALSE(m_list.AddColumnControl(9, ColumnName));
}

TEST_F(NeuListCtrlTest, ClickOnAnUntickedRowsCheckBoxShowsItsControlsAtOnce)
{
    auto* viewport = m_list.GetClientWidget();
    // A click on the text of an unticked row leaves the controls hidden.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(2, 150));
    EXPECT_EQ(m_list.GetActiveRow(), 2);
    EXPECT_EQ(m_list.GetActiveColumn(), ColumnValue);
    EXPECT_FALSE(m_list.GetColumnControl(0)->IsWindowVisible());

    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(2, 8));
    for (int index = 0; index < 3; ++index)
        EXPECT_TRUE(Placed(index)) << index;
    EXPECT_TRUE(m_list.GetColumnControl(0)->IsWindowEnabled());
    CString text;
    m_list.GetColumnControl(0)->GetWindowText(text);
    EXPECT_EQ(text, "20");
    EXPECT_EQ(static_cast<CComboBox*>(m_list.GetColumnControl(1))->GetCurSel(), 0);
    EXPECT_EQ(m_list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
}

TEST_F(NeuListCtrlTest, TextsGoBackIntoTheRowTheControlsWereFilledFrom)
{
    // Nothing is written back before the controls hold a row.
    m_list.RefreshTexts();
    EXPECT_EQ(m_list.GetItemText(0, ColumnValue), "0");

    auto* viewport = m_list.GetClientWidget();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(1, 150)); // ticked row
    ASSERT_TRUE(Placed(0));
    m_list.GetColumnControl(0)->SetWindowText("12.5");
    static_cast<CComboBox*>(m_list.GetColumnControl(1))->SetCurSel(1);
    static_cast<CButton*>(m_list.GetColumnControl(2))->SetCheck(BST_UNCHECKED);
    // Clicking another row takes the texts back first.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(0, 150));
    EXPECT_EQ(m_list.GetItemText(1, ColumnValue), "12.5");
    EXPECT_EQ(m_list.GetItemText(1, ColumnUnit), "px");
    EXPECT_EQ(m_list.GetItemText(1, ColumnAction), "-");
    EXPECT_EQ(m_list.GetItemText(0, ColumnValue), "0");
}

TEST_F(NeuListCtrlTest, RulesHideOrDisableARowsControlsAndHandlersHearTheirColumn)
{
    m_list.SetCellRule(1, 2, CNeuListCtrl::RuleHidden);
    m_list.SetCellRule(1, 0, CNeuListCtrl::RuleDisabled);
    std::vector<std::pair<int, int>> heard;
    m_list.SetCellMessage(ColumnAction, BN_CLICKED, [&](int row, int column) { heard.emplace_back(row, column); });

    m_list.SetActiveRow(1);
    m_list.LayoutControls(TRUE);
    m_list.ShowControls(TRUE);
    m_list.EnableControls(TRUE);
    EXPECT_FALSE(m_list.GetColumnControl(2)->IsWindowVisible());
    EXPECT_FALSE(m_list.GetColumnControl(0)->IsWindowEnabled());
    EXPECT_TRUE(m_list.GetColumnControl(1)->IsWindowEnabled());

    m_list.SetActiveRow(0);
    m_list.InsertRowControls();
    ASSERT_TRUE(m_list.GetColumnControl(2)->IsWindowVisible());
    // A just filled row takes the check box's state.
    EXPECT_EQ(m_list.GetItemText(0, ColumnAction), "-");
    static_cast<CButton*>(m_list.GetColumnControl(2))->Click();
    EXPECT_EQ(heard, (std::vector<std::pair<int, int>>{{0, ColumnAction}}));
}

} // namespace
