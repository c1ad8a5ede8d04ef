// The controls: what they hold, what they report to their parent and
// what they keep quiet about.

#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/staticedit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QImage>
#include <QListWidget>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A parent that writes down every notification.
class CRecorder : public CWnd
{
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_log.push_back("cmd " + std::to_string(LOWORD(wParam)) + "/" + std::to_string(HIWORD(wParam)));
        return CWnd::OnCommand(wParam, lParam);
    }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) override
    {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == UDN_DELTAPOS) {
            auto* updown = reinterpret_cast<NMUPDOWN*>(lParam);
            m_log.push_back("delta " + std::to_string(updown->iPos) + "+" + std::to_string(updown->iDelta));
            *pResult = m_refuseDelta ? 1 : 0;
        } else if (header->code == LVN_ITEMCHANGED) {
            auto* item = reinterpret_cast<NMLISTVIEW*>(lParam);
            m_log.push_back("item " + std::to_string(item->iItem) + " " + std::to_string(item->uOldState) + ">" +
                            std::to_string(item->uNewState));
        } else if (header->code == LVN_GETDISPINFO) {
            auto* info = reinterpret_cast<NMLVDISPINFO*>(lParam);
            snprintf(info->pszText, static_cast<size_t>(info->cchTextMax), "r%dc%d", info->iItem, info->iSubItem);
        }
        return TRUE;
    }
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override
    {
        m_log.push_back("hscroll " + std::to_string(nSBCode) + " " + std::to_string(nPos) + " from " +
                        std::to_string(pScrollBar ? pScrollBar->GetDlgCtrlID() : 0));
    }
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd*) override
    {
        m_log.push_back("vscroll " + std::to_string(nSBCode) + " " + std::to_string(nPos));
    }

    std::vector<std::string> m_log;
    bool m_refuseDelta = false;
};

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0)); }
    CRecorder m_parent;
};

TEST_F(ControlsTest, ComboBoxKeepsSortedEntriesAndReportsOnlyTheUsersChoice)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 0, 100, 20), &m_parent, 10));
    EXPECT_EQ(combo.AddString("delta"), 0);
    EXPECT_EQ(combo.AddString("Alpha"), 0);
    EXPECT_EQ(combo.AddString("charlie"), 1);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    combo.SetItemData(1, 77);

    struct Find
    {
        int after;
        const char* text;
        bool exact;
        int expected;
    };
    const Find finds[] = {
        {-1, "ch", false, 1}, {-1, "CHARLIE", true, 1}, {-1, "char", true, CB_ERR},
        {1, "a", false, 0},   {2, "", false, 0},       {-1, "zulu", false, CB_ERR},
    };
    for (const Find& f : finds) {
        const int found = f.exact ? combo.FindStringExact(f.after, f.text) : combo.FindString(f.after, f.text);
        EXPECT_EQ(found, f.expected) << f.text << " after " << f.after;
    }

    EXPECT_EQ(combo.SelectString(-1, "cha"), 1);
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 77u);
    EXPECT_TRUE(m_parent.m_log.empty());

    qobject_cast<QComboBox*>(combo.GetWidget())->setCurrentIndex(2);
    EXPECT_EQ(m_parent.m_log, std::vector<std::string>{"cmd 10/" + std::to_string(CBN_SELCHANGE)});
    CString text;
    combo.GetWindowText(text);
    EXPECT_EQ(text, "delta");

    EXPECT_EQ(combo.DeleteString(2), 2);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ControlsTest, EditableComboKeepsItsTextWhileEntriesComeAndGo)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_SIMPLE, CRect(0, 0, 100, 80), &m_parent, 12));
    combo.SetWindowText("4711");
    for (const char* entry : {"4711", "4712"})
        combo.AddString(entry);
    combo.InsertString(0, "4710");
    CString text;
    combo.GetWindowText(text);
    EXPECT_EQ(text, "4711");
    EXPECT_TRUE(combo.SetEditSel(0, -1));
    EXPECT_EQ(qobject_cast<QComboBox*>(combo.GetWidget())->lineEdit()->selectedText().toStdString(), "4711");
    combo.SetWindowText("99");
    EXPECT_EQ(combo.DeleteString(0), 2);
    combo.GetWindowText(text);
    EXPECT_EQ(text, "99");
    EXPECT_TRUE(m_parent.m_log.empty());
}

TEST_F(ControlsTest, ListBoxSelectsSeveralEntriesWhenAskedTo)
{
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | LBS_EXTENDEDSEL | LBS_NOTIFY, CRect(0, 0, 100, 80), &m_parent, 11));
    for (const char* name : {"one", "two", "three"})
        list.AddString(name);
    list.SetSel(0);
    list.SetSel(2);
    int selected[3] = {};
    EXPECT_EQ(list.GetSelCount(), 2);
    EXPECT_EQ(list.GetSelItems(3, selected), 2);
    EXPECT_EQ(selected[1], 2);
    EXPECT_TRUE(m_parent.m_log.empty());
    qobject_cast<QListWidget*>(list.GetWidget())->item(1)->setSelected(true);
    EXPECT_EQ(m_parent.m_log.size(), 1u);
    CString text;
    EXPECT_EQ(list.GetText(2, text), 5);
    EXPECT_EQ(text, "three");
}

TEST_F(ControlsTest, RadioButtonsExcludeEachOtherOnlyInsideTheirGroup)
{
    CButton a, b, c, d;
    ASSERT_TRUE(a.Create("a", WS_CHILD | BS_AUTORADIOBUTTON | WS_GROUP, CRect(0, 0, 50, 20), &m_parent, 21));
    ASSERT_TRUE(b.Create("b", WS_CHILD | BS_AUTORADIOBUTTON, CRect(0, 20, 50, 40), &m_parent, 22));
    ASSERT_TRUE(c.Create("c", WS_CHILD | BS_AUTORADIOBUTTON | WS_GROUP, CRect(0, 40, 50, 60), &m_parent, 23));
    ASSERT_TRUE(d.Create("d", WS_CHILD | BS_AUTORADIOBUTTON, CRect(0, 60, 50, 80), &m_parent, 24));
    a.Click();
    c.Click();
    b.Click();
    EXPECT_EQ(a.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(b.GetCheck(), BST_CHECKED);
    EXPECT_EQ(c.GetCheck(), BST_CHECKED);
    EXPECT_EQ(m_parent.GetCheckedRadioButton(21, 22), 22);
    EXPECT_EQ(m_parent.m_log.back(), "cmd 22/0");
    m_parent.CheckRadioButton(23, 24, 24);
    EXPECT_EQ(m_parent.IsDlgButtonChecked(23), 0u);
    EXPECT_EQ(m_parent.IsDlgButtonChecked(24), 1u);
}

TEST_F(ControlsTest, ListControlReportsSelectionChangesPerRow)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 300, 200), &m_parent, 30));
    list.InsertColumn(0, "Index", LVCFMT_LEFT, 50);
    list.InsertColumn(1, "Area", LVCFMT_RIGHT, 80);
    for (int i = 0; i < 3; ++i) {
        const int row = list.InsertItem(i, FormatString("%d", i + 1));
        list.SetItemText(row, 1, FormatString("%.1f", 2.5 * i));
        list.SetItemData(row, static_cast<DWORD_PTR>(100 + i));
    }
    EXPECT_EQ(list.InsertItem(99, "4"), 3);
    EXPECT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(2, 1), "5.0");
    EXPECT_EQ(list.GetItemText(2, 5), "");
    EXPECT_EQ(list.GetColumnWidth(1), 80);

    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    POSITION pos = list.GetFirstSelectedItemPosition();
    std::vector<int> rows;
    while (pos)
        rows.push_back(list.GetNextSelectedItem(pos));
    EXPECT_EQ(rows, (std::vector<int>{1, 2}));
    EXPECT_EQ(m_parent.m_log, (std::vector<std::string>{"item 1 0>2", "item 2 0>2"}));

    // Deleting a column moves the later cells left.
    list.DeleteColumn(0);
    EXPECT_EQ(list.GetItemText(1, 0), "2.5");
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}

// A list that colours its second row.
class CColouredRowList : public CListCtrl
{
public:
    COLORREF GetRowColor(int nItem) override { return nItem == 1 ? RGB(255, 0, 0) : CLR_INVALID; }
};

TEST_F(ControlsTest, ListControlPaintsItsRows)
{
    CColouredRowList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &m_parent, 32));
    list.InsertColumn(0, "Index", LVCFMT_LEFT, 120);
    for (int i = 0; i < 3; ++i)
        list.InsertItem(i, FormatString("%d", i + 1));

    const QImage image = list.GetClientWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto redIn = [&](int row) {
        CRect r;
        list.GetItemRect(row, &r, 0);
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x)
                count += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(redIn(1), 0);
    EXPECT_EQ(redIn(0), 0);
    EXPECT_EQ(redIn(2), 0);
}

TEST_F(ControlsTest, OwnerDataListAsksItsParentForEachCell)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT | LVS_OWNERDATA, CRect(0, 0, 300, 200), &m_parent, 31));
    list.InsertColumn(0, "A");
    list.InsertColumn(1, "B");
    list.SetItemCount(1000);
    EXPECT_EQ(list.GetItemCount(), 1000);
    EXPECT_EQ(list.GetItemText(999, 1), "r999c1");
    EXPECT_EQ(list.InsertItem(0, "x"), -1);
}

TEST_F(ControlsTest, SliderReportsUserMovesToItsParent)
{
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | TBS_HORZ, CRect(0, 0, 200, 20), &m_parent, 40));
    slider.SetRange(0, 20);
    slider.SetPos(30);
    EXPECT_EQ(slider.GetPos(), 20);
    EXPECT_TRUE(m_parent.m_log.empty());
    qobject_cast<QSlider*>(slider.GetWidget())->setValue(5);
    EXPECT_EQ(m_parent.m_log, std::vector<std::string>{"hscroll " + std::to_string(TB_THUMBPOSITION) + " 5 from 40"});
}

TEST_F(ControlsTest, SpinButtonStepsItsBuddyWithinTheRange)
{
    CEdit buddy;
    CSpinButtonCtrl spin;
    ASSERT_TRUE(buddy.Create(WS_CHILD, CRect(0, 0, 60, 20), &m_parent, 50));
    ASSERT_TRUE(spin.Create(WS_CHILD | UDS_SETBUDDYINT | UDS_AUTOBUDDY, CRect(60, 0, 76, 20), &m_parent, 51));
    EXPECT_EQ(spin.GetBuddy(), &buddy);
    spin.SetRange32(0, 3);
    spin.SetPos(2);
    CString text;
    buddy.GetWindowText(text);
    EXPECT_EQ(text, "2");

    m_parent.m_log.clear();
    spin.Step(+1);
    spin.Step(+1); // stops at the top
    EXPECT_EQ(spin.GetPos(), 3);
    EXPECT_EQ(m_parent.m_log[0], "delta 2+1");

    // The buddy's own text counts, and the parent may refuse a step.
    buddy.SetWindowText("1");
    m_parent.m_refuseDelta = true;
    spin.Step(-1);
    EXPECT_EQ(spin.GetPos(), 1);
    m_parent.m_refuseDelta = false;
    spin.Step(-1);
    buddy.GetWindowText(text);
    EXPECT_EQ(text, "0");
}

TEST_F(ControlsTest, ProgressBarAnswersThePositionBefore)
{
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD, CRect(0, 0, 100, 10), &m_parent, 60));
    progress.SetRange32(0, 100);
    EXPECT_EQ(progress.SetPos(30), 0);
    EXPECT_EQ(progress.OffsetPos(200), 30);
    EXPECT_EQ(progress.GetPos(), 100);
    progress.SetStep(40);
    progress.SetPos(80);
    EXPECT_EQ(progress.StepIt(), 80);
    EXPECT_EQ(progress.GetPos(), 20); // past the end starts again
}

TEST_F(ControlsTest, EditReportsChangesAndKeepsItsLimit)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | ES_MULTILINE, CRect(0, 0, 100, 60), &m_parent, 70));
    // The limit holds for typing; the program may set longer text.
    edit.SetLimitText(5);
    edit.SetWindowText("line1\nline2");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "line1\nline2");
    edit.SetWindowText("abc");
    edit.SetSel(3, 3);
    QTest::keyClicks(edit.GetWidget(), "defg");
    edit.GetWindowText(text);
    EXPECT_EQ(text, "abcde");

    CEdit number;
    ASSERT_TRUE(number.Create(WS_CHILD | ES_NUMBER, CRect(0, 60, 100, 80), &m_parent, 71));
    number.SetLimitText(3);
    QTest::keyClicks(number.GetWidget(), "1a2345");
    number.GetWindowText(text);
    EXPECT_EQ(text, "123");
    edit.SetLimitText(0);
    edit.SetWindowText("a\nbb\nccc");
    EXPECT_EQ(edit.GetLineCount(), 3);
    EXPECT_EQ(edit.GetLineText(2), "ccc");
    EXPECT_FALSE(m_parent.m_log.empty());
    EXPECT_EQ(m_parent.m_log.back(), "cmd 70/" + std::to_string(EN_CHANGE));
}

} // namespace
