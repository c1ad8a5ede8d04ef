// The in-place cell editor: the end notice the list's parent receives.

#include "platform/ui/inplaceedit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

struct EndNotice
{
    UINT_PTR from;
    int item;
    int subItem;
    std::optional<std::string> text;
    int length;
};

// Owns the editor as a dialog does and drops it when the edit ends.
class CEditingParent : public CWnd
{
public:
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) override
    {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != LVN_ENDLABELEDIT)
            return FALSE;
        const auto* info = reinterpret_cast<NMLVDISPINFO*>(lParam);
        m_notices.push_back({header->idFrom, info->iItem, info->iSubItem,
                             info->pszText ? std::optional<std::string>(info->pszText) : std::nullopt,
                             info->cchTextMax});
        m_edit.reset();
        *pResult = 0;
        return TRUE;
    }

    std::unique_ptr<CInPlaceEdit> m_edit;
    std::vector<EndNotice> m_notices;
};

class InPlaceEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "steps", WS_OVERLAPPED, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 400, 250), &m_parent, 2209));
        ASSERT_TRUE(m_other.Create(WS_CHILD | WS_VISIBLE, CRect(0, 260, 100, 280), &m_parent, 5));
        m_list.InsertColumn(0, "Step", LVCFMT_LEFT, 80);
        m_list.InsertColumn(1, "Factor", LVCFMT_LEFT, 80);
        m_list.InsertItem(0, "1");
        m_list.SetItemText(0, 1, "10");
        m_parent.ShowWindow(SW_SHOW);
        QApplication::setActiveWindow(m_parent.GetWidget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_parent.GetWidget()));
    }

    CInPlaceEdit& StartEdit()
    {
        CRect cell;
        m_list.GetSubItemRect(0, 1, 0, cell);
        m_parent.m_edit = std::make_unique<CInPlaceEdit>(0, 1, m_list.GetItemText(0, 1));
        EXPECT_TRUE(m_parent.m_edit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell, &m_list, 103));
        return *m_parent.m_edit;
    }

    CEditingParent m_parent;
    CListCtrl m_list;
    CEdit m_other;
};

TEST_F(InPlaceEditTest, StartsOnTheCellTextSelectedAndWidensWithTheText)
{
    CInPlaceEdit& edit = StartEdit();
    auto* line = qobject_cast<QLineEdit*>(edit.GetWidget());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->selectedText(), "10");
    EXPECT_EQ(CWnd::GetFocus(), &edit);
    const int width = line->width();
    QTest::keyClicks(line, "a long text that needs more room");
    EXPECT_GT(line->width(), width);
    CRect client;
    m_list.GetClientRect(&client);
    EXPECT_LE(line->geometry().right(), client.right - 2);
}

TEST_F(InPlaceEditTest, EscapeEndsWithANullText)
{
    CInPlaceEdit& edit = StartEdit();
    QTest::keyClicks(edit.GetWidget(), "99");
    QTest::keyClick(edit.GetWidget(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    ASSERT_EQ(m_parent.m_notices.size(), 1u);
    const EndNotice& notice = m_parent.m_notices[0];
    EXPECT_EQ(notice.from, 2209u);
    EXPECT_EQ(notice.item, 0);
    EXPECT_EQ(notice.subItem, 1);
    EXPECT_FALSE(notice.text.has_value());
    EXPECT_EQ(notice.length, 0);
    EXPECT_EQ(m_parent.m_edit, nullptr); // the owner dropped it in its handler
}

TEST_F(InPlaceEditTest, FocusElsewhereOrEnterEndsWithTheTypedText)
{
    for (const bool byEnter : {false, true}) {
        m_parent.m_notices.clear();
        CInPlaceEdit& edit = StartEdit();
        QTest::keyClicks(edit.GetWidget(), "2.5");
        if (byEnter)
            QTest::keyClick(edit.GetWidget(), Qt::Key_Return);
        else
            m_other.SetFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(m_parent.m_notices.size(), 1u) << byEnter;
        EXPECT_EQ(m_parent.m_notices[0].text, std::optional<std::string>("2.5"));
        EXPECT_EQ(m_parent.m_notices[0].length, 3);
    }
}

} // namespace
