// The owner-drawn result list: its rows, its sort, its painting and the
// notice of a newly selected row.

#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/mylistctrl.h"
#include "platform/ui/systemlook.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <QPalette>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Hears "GridClicked".
class CGridParent : public CWnd
{
    DECLARE_MESSAGE_MAP()

public:
    CGridParent() { BuildMessageMap(); }

    LRESULT OnGridClicked(WPARAM wParam, LPARAM lParam)
    {
        m_clicks.push_back(static_cast<int>(wParam));
        m_lParams.push_back(lParam);
        return 0;
    }

    std::vector<int> m_clicks;
    std::vector<LPARAM> m_lParams;
};

const UINT WM_GRIDCLICKED = RegisterWindowMessage("GridClicked");

BEGIN_MESSAGE_MAP(CGridParent, CWnd)
    ON_REGISTERED_MESSAGE(WM_GRIDCLICKED, OnGridClicked)
END_MESSAGE_MAP()

class MyListCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMyListCtrl::ResetSortState();
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "table", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(m_list.Create(0x50001405, CRect(0, 0, 400, 300), &m_parent, 1));
        m_parent.ShowWindow(SW_SHOW);
        m_list.SetColumnCount(3);
        for (const char* title : {"Index", "Area", "Class"})
            m_list.InsertColumn(m_list.GetColumnCount(), title, LVCFMT_LEFT, 100);
    }

    void Fill(const std::vector<std::vector<const char*>>& rows)
    {
        m_list.ResetRows();
        m_list.GrowRows(static_cast<int>(rows.size()));
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c)
                m_list.SetCellText(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
        }
    }

    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> cells;
        for (int r = 0; r < m_list.GetRowCount(); ++r)
            cells.emplace_back(m_list.GetCellText(r, column).GetString());
        return cells;
    }

    void ClickHeader(int column)
    {
        auto* view = qobject_cast<QTreeView*>(m_list.GetWidget());
        emit view->header()->sectionClicked(column);
    }

    QImage Shot()
    {
        return m_list.GetClientWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QRect RowRect(int row) const
    {
        CRect r;
        m_list.GetItemRect(row, &r, 0);
        return QRect(r.left, r.top, r.Width(), r.Height());
    }

    CGridParent m_parent;
    CMyListCtrl m_list;
};

TEST_F(MyListCtrlTest, CellsKeepAtMost31BytesAndIgnoreMissingRows)
{
    Fill({{"1", "2.5"}});
    const std::string longText(40, 'x');
    m_list.SetCellText(0, 2, longText.c_str());
    EXPECT_EQ(m_list.GetCellText(0, 2), CString(std::string(31, 'x')));
    m_list.SetCellText(5, 0, "ignored");
    m_list.SetCellText(0, 25, "ignored");
    EXPECT_EQ(m_list.GetRowCount(), 1);
    EXPECT_EQ(m_list.GetItemCount(), 1);
    EXPECT_EQ(m_list.GetItemText(0, 1), "2.5"); // the view asks the rows

    m_list.SetCursor(0, 1);
    EXPECT_EQ(m_list.GetCursorText(), "2.5");
    for (const auto& [row, column] : {std::pair{1, 0}, {0, 25}, {-1, 0}}) {
        m_list.SetCursor(row, column);
        EXPECT_EQ(m_list.GetCursorText(), "NULL") << row << "," << column;
    }
    EXPECT_FALSE(m_list.SelectItem(1));
}

TEST_F(MyListCtrlTest, SortsNumbersByValueAndTextsByBytes)
{
    Fill({{"1", "12", "b"}, {"2", "9", "a10"}, {"3", "100", "B"}, {"4", "9.5", "a9"}});
    ClickHeader(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9", "9.5", "12", "100"}));
    ClickHeader(2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"B", "a10", "a9", "b"}));
    EXPECT_EQ(CMyListCtrl::GetSortColumn(), 2);
    EXPECT_TRUE(CMyListCtrl::IsSortAscending());
    // The same column again reverses the order.
    ClickHeader(2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"b", "a9", "a10", "B"}));
    EXPECT_FALSE(CMyListCtrl::IsSortAscending());
    // Rows move whole.
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "4", "2", "3"}));
}

TEST_F(MyListCtrlTest, MixedColumnSortsNumbersBeforeTextsInEveryOrderOfRows)
{
    // The cells of one column are compared by one rule, so the sort is
    // consistent whichever row comes first.
    const std::vector<std::vector<const char*>> orders = {
        {{"x"}, {"10"}, {"Sum"}, {"9"}, {""}},
        {{"9"}, {""}, {"x"}, {"Sum"}, {"10"}},
        {{"Sum"}, {"10"}, {"9"}, {"x"}, {""}},
    };
    for (const auto& order : orders) {
        std::vector<std::vector<const char*>> rows;
        for (const char* cell : order)
            rows.push_back({cell});
        Fill(rows);
        CMyListCtrl::ResetSortState();
        m_list.SortByColumn(0);
        EXPECT_EQ(Column(0), (std::vector<std::string>{"9", "10", "", "Sum", "x"}));
    }
}

TEST_F(MyListCtrlTest, FixedLastRowStaysLast)
{
    Fill({{"3", "30"}, {"1", "10"}, {"2", "20"}, {"Sum", "60"}});
    m_list.SetFixedLastRow(TRUE);
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3", "Sum"}));
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"3", "2", "1", "Sum"}));
    // Another column sorts ascending again.
    ClickHeader(0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3", "Sum"}));
}

TEST_F(MyListCtrlTest, PaintsOddRowsShadedSelectionHighlightedAndTheColourColumn)
{
    QPalette palette = QApplication::palette();
    const QPalette saved = palette;
    palette.setColor(QPalette::Base, Qt::white);
    QApplication::setPalette(palette);

    Fill({{"1", "a", "c"}, {"2", "b", "c"}, {"3", "c", ""}, {"4", "d", "c"}});
    m_list.SetColorColumn(2);
    m_list.SetRowData(3, RGB(0, 0, 200));
    m_list.SetRowData(2, RGB(0, 200, 0)); // no text in its colour cell: no colour
    m_list.SelectItem(1);
    const QImage shot = Shot();
    QApplication::setPalette(saved);

    // The end of the second column, right of its short text.
    const auto background = [&](int row) { return shot.pixelColor(190, RowRect(row).center().y()); };
    EXPECT_EQ(background(0), QColor(255, 255, 255));
    EXPECT_EQ(background(2), QColor(255, 255, 255));
    EXPECT_EQ(background(3), QColor(240, 240, 240));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(background(1), QColor(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)));
    // The colour cell (200 to 300) narrowed by 6 pixels, filled only where
    // there is text.
    EXPECT_EQ(shot.pixelColor(290, RowRect(3).center().y()), QColor(0, 0, 200));
    EXPECT_EQ(shot.pixelColor(297, RowRect(3).center().y()), QColor(240, 240, 240));
    EXPECT_EQ(shot.pixelColor(290, RowRect(2).center().y()), QColor(255, 255, 255));
}

TEST_F(MyListCtrlTest, ColumnsOfNumbersFitTheirFirstValuesAndCutTextsShowWholeInTheirTip)
{
    // The widest numbers sit among the first 100 rows, in the totals row
    // and past the rows measured.
    std::vector<std::vector<const char*>> rows(150, {"7", "1.00", "Cell with a long class name"});
    rows[40] = {"12345", "123456.78", "x"};
    rows[120] = {"8", "99999999999999.99", "x"};
    rows.back() = {"Sum", "9876543.21", "Cell"};
    Fill(rows);
    for (int column = 0; column < 3; ++column)
        m_list.SetColumnWidth(column, 20);
    const int textWidth = m_list.GetColumnWidth(2);

    EXPECT_TRUE(m_list.FitNumericColumn(0));
    EXPECT_TRUE(m_list.FitNumericColumn(1));
    EXPECT_FALSE(m_list.FitNumericColumn(2));
    const QFontMetrics metrics(m_list.GetWidget()->font());
    EXPECT_GE(m_list.GetColumnWidth(0), metrics.horizontalAdvance("12345") + 2 * 2);
    EXPECT_GE(m_list.GetColumnWidth(1), metrics.horizontalAdvance("9876543.21") + 2 * 6);
    EXPECT_LT(m_list.GetColumnWidth(1), metrics.horizontalAdvance("99999999999999.99") + 2 * 6);
    EXPECT_EQ(m_list.GetColumnWidth(2), textWidth);

    const QAbstractItemModel* model = qobject_cast<QTreeView*>(m_list.GetWidget())->model();
    EXPECT_EQ(model->index(0, 2).data(Qt::ToolTipRole).toString(), "Cell with a long class name");
    EXPECT_FALSE(model->index(0, 1).data(Qt::ToolTipRole).isValid());

    // A heading wider than the numbers sets the width.
    Fill({{"1", "2", "x"}});
    m_list.SetColumnWidth(1, 5);
    EXPECT_TRUE(m_list.FitNumericColumn(1));
    EXPECT_GE(m_list.GetColumnWidth(1), metrics.horizontalAdvance("Area"));
}

TEST_F(MyListCtrlTest, NewlySelectedRowReachesTheParentAsGridClicked)
{
    Fill({{"7", "a"}, {"8", "b"}, {"Sum", "c"}});
    auto* viewport = m_list.GetClientWidget();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowRect(1).center());
    EXPECT_EQ(m_parent.m_clicks, std::vector<int>{7});
    EXPECT_EQ(m_parent.m_lParams.back(), reinterpret_cast<LPARAM>(&m_parent));
    EXPECT_EQ(m_list.GetSelectedRow(), 1);

    // A click on the selected row changes nothing; another row is new.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowRect(1).center());
    EXPECT_TRUE(m_list.SelectItem(2));
    EXPECT_EQ(m_parent.m_clicks, (std::vector<int>{7, -1}));
    EXPECT_EQ(m_list.GetSelectedRow(), 2);

    // Growing the table keeps the selection without a notice.
    m_list.GrowRows(5);
    EXPECT_EQ(m_list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(m_parent.m_clicks.size(), 2u);
}

TEST_F(MyListCtrlTest, ASortTakesTheSelectionAlongAndTheHeadingShowsTheDirection)
{
    Fill({{"1", "30"}, {"2", "10"}, {"3", "20"}, {"Sum", "60"}});
    m_list.SetFixedLastRow(TRUE);
    ASSERT_TRUE(m_list.SelectItem(0));
    ASSERT_EQ(m_parent.m_clicks, std::vector<int>{0});
    const QHeaderView* header = qobject_cast<QTreeView*>(m_list.GetWidget())->header();

    struct Step
    {
        Qt::SortOrder order;
        std::vector<std::string> areas;
        int selectedRow; // where row "1" went
    };
    const Step steps[] = {
        {Qt::AscendingOrder, {"10", "20", "30", "60"}, 2},
        {Qt::DescendingOrder, {"30", "20", "10", "60"}, 0},
    };
    for (const Step& step : steps) {
        ClickHeader(1);
        EXPECT_EQ(Column(1), step.areas);
        EXPECT_EQ(m_list.GetSelectedRow(), step.selectedRow);
        EXPECT_EQ(m_list.GetItemState(step.selectedRow, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ(m_list.GetSelectedCount(), 1u);
        EXPECT_TRUE(header->isSortIndicatorShown());
        EXPECT_EQ(header->sortIndicatorSection(), 1);
        EXPECT_EQ(header->sortIndicatorOrder(), step.order);
    }
    // The object stayed the same: nobody is told of a new one.
    EXPECT_EQ(m_parent.m_clicks, std::vector<int>{0});

    // Rows filled anew come in their own order: no direction to show.
    Fill({{"1", "30"}, {"2", "10"}});
    EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST_F(MyListCtrlTest, KeysMoveTheCurrentRowAsInAListView)
{
    std::vector<std::vector<const char*>> rows;
    std::vector<std::string> numbers;
    for (int r = 0; r < 40; ++r)
        numbers.push_back(std::to_string(r + 1));
    for (const std::string& number : numbers)
        rows.push_back({number.c_str(), "x"});
    Fill(rows);
    auto* view = qobject_cast<QTreeView*>(m_list.GetWidget());
    const int page = m_list.GetCountPerPage();
    ASSERT_GT(page, 2);
    ASSERT_LT(page, 39);
    QTest::mouseClick(m_list.GetClientWidget(), Qt::LeftButton, {}, RowRect(0).center());
    ASSERT_EQ(m_list.GetSelectedRow(), 0);

    struct Key
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int row;
    };
    const Key keys[] = {
        {Qt::Key_Down, {}, 1},
        {Qt::Key_Down, {}, 2},
        {Qt::Key_Up, {}, 1},
        {Qt::Key_End, {}, 39},
        {Qt::Key_Home, {}, 0},
        {Qt::Key_PageDown, {}, -1}, // a page further on
        {Qt::Key_End, Qt::ControlModifier, 39},
        {Qt::Key_PageUp, {}, -1},
        {Qt::Key_Home, Qt::ControlModifier, 0},
    };
    int previous = 0;
    for (const Key& key : keys) {
        QTest::keyClick(view, key.key, key.modifiers);
        const int row = m_list.GetSelectedRow();
        if (key.row >= 0)
            EXPECT_EQ(row, key.row) << key.key;
        else
            EXPECT_NE(row, previous) << key.key;
        EXPECT_EQ(m_list.GetSelectedCount(), 1u);
        // Each new row is told as a click on it is.
        EXPECT_EQ(m_parent.m_clicks.back(), row) << key.key;
        previous = row;
    }
    EXPECT_EQ(m_parent.m_clicks.size(), std::size(keys) + 1);

    // A row selected by the program is where the keys go on from.
    ASSERT_TRUE(m_list.SelectItem(20));
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(m_list.GetSelectedRow(), 21);
}

} // namespace
