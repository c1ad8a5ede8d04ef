// Windows and the message queue under the Qt event loop: registered
// messages from other threads, timers, key messages before they reach the
// focus, and destruction order.

#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/messagepump.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/wnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

const UINT kProbeMessage = RegisterWindowMessage("UI_TEST_PROBE");
const UINT kThrowMessage = RegisterWindowMessage("UI_TEST_THROW");

class CProbeWnd : public CWnd
{
    DECLARE_MESSAGE_MAP()

public:
    CProbeWnd() { BuildMessageMap(); }

    LRESULT OnProbe(WPARAM wParam, LPARAM lParam)
    {
        m_received.push_back({wParam, lParam});
        m_thread = std::this_thread::get_id();
        return static_cast<LRESULT>(wParam * 10);
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    void OnTimer(UINT_PTR nIDEvent) override { m_ticks.push_back(nIDEvent); }
    void OnDestroy() override { m_log.push_back("destroy " + m_name); }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == m_eatKey) {
            m_log.push_back("ate key " + m_name);
            return TRUE;
        }
        return FALSE;
    }

    std::vector<std::pair<WPARAM, LPARAM>> m_received;
    std::thread::id m_thread;
    std::vector<UINT_PTR> m_ticks;
    std::string m_name = "probe";
    UINT m_eatKey = 0;
    static std::vector<std::string> m_log;
};
std::vector<std::string> CProbeWnd::m_log;

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_REGISTERED_MESSAGE(kProbeMessage, OnProbe)
    ON_REGISTERED_MESSAGE(kThrowMessage, OnThrow)
END_MESSAGE_MAP()

class WindowMessagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CProbeWnd::m_log.clear();
        ASSERT_TRUE(m_wnd.CreateEx(0, nullptr, "probe", WS_OVERLAPPED, CRect(0, 0, 200, 100), nullptr, 0));
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    kestrun::CQtMessagePump m_pump;
    CProbeWnd m_wnd;
};

TEST_F(WindowMessagesTest, PostFromWorkerThreadArrivesThroughTheEventLoop)
{
    const HWND hwnd = m_wnd.m_hWnd;
    std::thread worker([hwnd] {
        for (WPARAM i = 1; i <= 3; ++i)
            ::PostMessage(hwnd, kProbeMessage, i, static_cast<LPARAM>(100 + i));
    });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_wnd.m_received.size() == 3; }, 5000));
    EXPECT_EQ(m_wnd.m_received[0], (std::pair<WPARAM, LPARAM>{1, 101}));
    EXPECT_EQ(m_wnd.m_received[2], (std::pair<WPARAM, LPARAM>{3, 103}));
    EXPECT_EQ(m_wnd.m_thread, std::this_thread::get_id());
}

TEST_F(WindowMessagesTest, SendFromWorkerThreadWaitsForTheAnswer)
{
    const HWND hwnd = m_wnd.m_hWnd;
    std::atomic<LRESULT> answer{-1};
    std::thread worker([&] { answer = ::SendMessage(hwnd, kProbeMessage, 4, 0); });
    const bool answered = QTest::qWaitFor([&] { return answer.load() != -1; }, 5000);
    worker.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.load(), 40);
    EXPECT_EQ(m_wnd.m_thread, std::this_thread::get_id());
}

TEST_F(WindowMessagesTest, DescendantsGetTheMessageByHandle)
{
    CProbeWnd child;
    CProbeWnd grandChild;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &m_wnd, 1));
    ASSERT_TRUE(grandChild.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 5, 5), &child, 2));
    m_wnd.SendMessageToDescendants(kProbeMessage, 5, 6);
    EXPECT_TRUE(m_wnd.m_received.empty());
    EXPECT_EQ(child.m_received.size(), 1u);
    EXPECT_EQ(grandChild.m_received.size(), 1u);
    EXPECT_EQ(CWnd::FromHandle(grandChild.m_hWnd), &grandChild);
    EXPECT_EQ(grandChild.GetParent(), &child);
    EXPECT_EQ(m_wnd.GetDlgItem(1), &child);
    EXPECT_EQ(m_wnd.GetDlgItem(2), nullptr);
}

TEST_F(WindowMessagesTest, AHandlerErrorIsReportedAndDoesNotReachQt)
{
    m_wnd.PostMessage(kThrowMessage);
    m_wnd.PostMessage(kProbeMessage, 8, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_wnd.m_received.empty(); }, 5000));
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], "handler failed");
}

TEST_F(WindowMessagesTest, TimersDeliverWmTimerUntilKilled)
{
    EXPECT_EQ(m_wnd.SetTimer(3, 5), 3u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_wnd.m_ticks.size() >= 2; }, 5000));
    EXPECT_EQ(m_wnd.m_ticks[0], 3u);
    EXPECT_TRUE(m_wnd.KillTimer(3));
    EXPECT_FALSE(m_wnd.KillTimer(3));
    EXPECT_EQ(m_wnd.SetTimer(0, 5), 0u);

    // A timer procedure gets the ticks instead of the window.
    static std::atomic<int> procTicks{0};
    procTicks = 0;
    m_wnd.m_ticks.clear();
    m_wnd.SetTimer(4, 5, [](HWND, UINT message, UINT_PTR id, DWORD) {
        if (message == WM_TIMER && id == 4)
            ++procTicks;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return procTicks.load() >= 1; }, 5000));
    m_wnd.KillTimer(4);
    EXPECT_TRUE(m_wnd.m_ticks.empty());
}

TEST_F(WindowMessagesTest, KeyMessagesPassPreTranslateMessageFromTheFocusUp)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &m_wnd, 5));
    m_wnd.m_eatKey = VK_DELETE;
    m_wnd.ShowWindow(SW_SHOW);
    edit.SetWindowText("abc");
    edit.SetSel(0, 1);

    QTest::keyClick(edit.GetWidget(), Qt::Key_Delete);
    EXPECT_EQ(CProbeWnd::m_log, std::vector<std::string>{"ate key probe"});
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "abc");

    QTest::keyClick(edit.GetWidget(), Qt::Key_Backspace);
    edit.GetWindowText(text);
    EXPECT_EQ(text, "bc");
}

TEST_F(WindowMessagesTest, DestroyingAWindowDestroysItsChildrenAfterIt)
{
    auto child = std::make_unique<CProbeWnd>();
    child->m_name = "child";
    ASSERT_TRUE(child->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &m_wnd, 1));
    const HWND childHandle = child->m_hWnd;
    m_wnd.DestroyWindow();
    EXPECT_EQ(CProbeWnd::m_log, (std::vector<std::string>{"destroy probe", "destroy child"}));
    EXPECT_FALSE(IsWindow(childHandle));
    EXPECT_EQ(child->m_hWnd, nullptr);
    EXPECT_EQ(child->GetWidget(), nullptr);
    // A message to a destroyed window goes nowhere.
    EXPECT_FALSE(::PostMessage(childHandle, kProbeMessage, 1, 1));
}

TEST_F(WindowMessagesTest, AnOwnedPopUpThatDeletesItselfGoesWithItsControls)
{
    // As a modeless dialog: its controls are members, so they go with it.
    class CSelfDeletingPopUp : public CProbeWnd
    {
    public:
        std::vector<std::unique_ptr<CStatic>> m_controls;

    protected:
        void PostNcDestroy() override { delete this; }
    };
    auto popUp = std::make_unique<CSelfDeletingPopUp>();
    popUp->m_name = "pop-up";
    ASSERT_TRUE(popUp->CreateEx(0, nullptr, "pop-up", WS_POPUP, CRect(0, 0, 50, 50), &m_wnd, 0));
    for (UINT id = 1; id <= 3; ++id) {
        auto control = std::make_unique<CStatic>();
        ASSERT_TRUE(control->Create("text", WS_CHILD, CRect(0, 0, 10, 10), popUp.get(), id));
        popUp->m_controls.push_back(std::move(control));
    }
    const HWND handle = popUp->m_hWnd;
    popUp.release(); // its window owns it now
    m_wnd.DestroyWindow();
    EXPECT_EQ(CProbeWnd::m_log, (std::vector<std::string>{"destroy probe", "destroy pop-up"}));
    EXPECT_FALSE(IsWindow(handle));
}

} // namespace
