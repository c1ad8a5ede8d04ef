#include "platform/core/exceptions.h"
#include "platform/core/messages.h"
#include "platform/core/sync.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <thread>
#include <vector>

namespace {

// Whether another thread can take the object right now (and gives it back).
bool lockableElsewhere(CSyncObject& object)
{
    return std::async(std::launch::async, [&object] {
               const BOOL locked = object.Lock(0);
               if (locked)
                   object.Unlock();
               return locked != FALSE;
           }).get();
}

// ---- CEvent ----------------------------------------------------------------

TEST(CEventTest, SignalStateOnOneThread)
{
    struct Case
    {
        const char* name;
        BOOL manualReset;
        BOOL initiallyOwn;
        std::function<void(CEvent&)> act;
        std::vector<BOOL> locks; // successive Lock(0) results
    };
    const Case cases[] = {
        {"auto: set", FALSE, FALSE, [](CEvent& e) { e.SetEvent(); }, {TRUE, FALSE}},
        {"auto: set twice is one signal", FALSE, FALSE, [](CEvent& e) { e.SetEvent(), e.SetEvent(); }, {TRUE, FALSE}},
        {"auto: initially signalled", FALSE, TRUE, [](CEvent&) {}, {TRUE, FALSE}},
        {"auto: nothing", FALSE, FALSE, [](CEvent&) {}, {FALSE}},
        {"manual: set", TRUE, FALSE, [](CEvent& e) { e.SetEvent(); }, {TRUE, TRUE, TRUE}},
        {"manual: set then reset", TRUE, FALSE, [](CEvent& e) { e.SetEvent(), e.ResetEvent(); }, {FALSE}},
        {"manual: initially signalled", TRUE, TRUE, [](CEvent&) {}, {TRUE, TRUE}},
        {"auto: pulse leaves it reset", FALSE, TRUE, [](CEvent& e) { e.PulseEvent(); }, {FALSE}},
        {"manual: pulse leaves it reset", TRUE, TRUE, [](CEvent& e) { e.PulseEvent(); }, {FALSE}},
    };
    for (const Case& c : cases) {
        CEvent event(c.initiallyOwn, c.manualReset);
        c.act(event);
        std::vector<BOOL> got;
        for (std::size_t i = 0; i < c.locks.size(); ++i)
            got.push_back(event.Lock(0));
        EXPECT_EQ(got, c.locks) << c.name;
    }
}

TEST(CEventTest, AutoResetReleasesOneWaiterPerSignal)
{
    CEvent event;
    CEvent passed;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i) {
        waiters.emplace_back([&] {
            EXPECT_TRUE(event.Lock());
            passed.SetEvent();
        });
    }
    for (int i = 0; i < 2; ++i) {
        event.SetEvent();
        EXPECT_TRUE(passed.Lock());
    }
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_FALSE(event.Lock(0)) << "each waiter took a signal; none is left";
}

TEST(CEventTest, ManualResetReleasesEveryWaiterAndStaysSignalled)
{
    CEvent event(FALSE, TRUE);
    std::vector<std::future<BOOL>> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.push_back(std::async(std::launch::async, [&event] { return event.Lock(); }));
    event.SetEvent();
    for (std::future<BOOL>& waiter : waiters)
        EXPECT_TRUE(waiter.get());
    EXPECT_TRUE(event.Lock(0));
}

TEST(CEventTest, LockTimesOut)
{
    for (BOOL manualReset : {FALSE, TRUE}) {
        CEvent event(FALSE, manualReset);
        EXPECT_FALSE(event.Lock(20));
    }
}

// ---- CCriticalSection and CSingleLock ----------------------------------------

TEST(CCriticalSectionTest, IsRecursiveAndOwnedByOneThread)
{
    CCriticalSection section;
    EXPECT_FALSE(section.Unlock()) << "not held";
    ASSERT_TRUE(section.Lock());
    ASSERT_TRUE(section.Lock(0));
    EXPECT_FALSE(lockableElsewhere(section));
    EXPECT_FALSE(std::async(std::launch::async, [&section] { return section.Unlock(); }).get()) << "not the owner";

    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(lockableElsewhere(section)) << "still held once";
    EXPECT_TRUE(section.Unlock());
    EXPECT_TRUE(lockableElsewhere(section));
    EXPECT_FALSE(section.Unlock());
}

TEST(CCriticalSectionTest, ExcludesOtherThreads)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    CCriticalSection section;
    long long counter = 0; // plain on purpose: only the section protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                CSingleLock lock(&section, TRUE);
                ++counter;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, static_cast<long long>(kThreads) * kRounds);
}

TEST(CSingleLockTest, HoldsForItsScope)
{
    CCriticalSection section;
    {
        CSingleLock lock(&section, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock()) << "already held";
        EXPECT_FALSE(lockableElsewhere(section));
        EXPECT_TRUE(lock.Unlock());
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lockableElsewhere(section)) << "one Unlock undoes the one Lock";
        EXPECT_TRUE(lock.Lock());
    }
    EXPECT_TRUE(lockableElsewhere(section));

    CEvent event;
    CSingleLock onEvent(&event);
    EXPECT_FALSE(onEvent.Lock(20));
    EXPECT_FALSE(onEvent.IsLocked());
    event.SetEvent();
    EXPECT_TRUE(onEvent.Lock(0));

    EXPECT_THROW(CSingleLock(nullptr), CInvalidArgException);
}

// ---- waiting while pumping ---------------------------------------------------

class CCallbackTarget : public CMessageTarget
{
public:
    explicit CCallbackTarget(std::function<LRESULT(UINT, WPARAM, LPARAM)> handler) : m_handler(std::move(handler)) {}
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override { return m_handler(message, wParam, lParam); }

private:
    std::function<LRESULT(UINT, WPARAM, LPARAM)> m_handler;
};

class CScopedWindow
{
public:
    explicit CScopedWindow(CMessageTarget& target) : m_hwnd(kestrun::CreateWindowHandle(&target)) {}
    ~CScopedWindow() { kestrun::DestroyWindowHandle(m_hwnd); }
    CScopedWindow(const CScopedWindow&) = delete;
    CScopedWindow& operator=(const CScopedWindow&) = delete;
    HWND Hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

TEST(WaitPumpingTest, ServesMessagesUntilAnotherThreadSignals)
{
    CEvent delivered;
    std::vector<std::pair<UINT, std::thread::id>> seen;
    CCallbackTarget target([&](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        seen.emplace_back(message, std::this_thread::get_id());
        if (message == WM_USER + 1)
            delivered.SetEvent();
        return static_cast<LRESULT>(wParam) * 2;
    });
    const CScopedWindow window(target);
    CEvent done;
    LRESULT sent = 0;
    std::thread worker([&] {
        PostMessage(window.Hwnd(), WM_USER + 1);
        delivered.Lock(); // only the waiting main thread can deliver it
        sent = SendMessage(window.Hwnd(), WM_USER + 2, 21);
        done.SetEvent();
    });
    EXPECT_EQ(kestrun::WaitPumping(done, INFINITE), WAIT_OBJECT_0);
    worker.join();

    EXPECT_EQ(sent, 42);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, WM_USER + 1);
    EXPECT_EQ(seen[1].first, WM_USER + 2);
    for (const auto& [message, thread] : seen)
        EXPECT_EQ(thread, std::this_thread::get_id());
    EXPECT_FALSE(done.Lock(0)) << "the wait took the auto-reset signal";
}

TEST(WaitPumpingTest, ReturnsWhenAHandlerSignals)
{
    CEvent event;
    CCallbackTarget target([&](UINT, WPARAM, LPARAM) -> LRESULT { return event.SetEvent(); });
    const CScopedWindow window(target);
    PostMessage(window.Hwnd(), WM_USER);
    EXPECT_EQ(kestrun::WaitPumping(event, INFINITE), WAIT_OBJECT_0);
    EXPECT_FALSE(event.Lock(0));
}

TEST(WaitPumpingTest, SignalledBeforehandOrTimedOut)
{
    int delivered = 0;
    CCallbackTarget target([&](UINT, WPARAM, LPARAM) -> LRESULT { return ++delivered; });
    const CScopedWindow window(target);

    for (BOOL manualReset : {FALSE, TRUE}) {
        CEvent event(TRUE, manualReset);
        EXPECT_EQ(kestrun::WaitPumping(event, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(event.Lock(0), manualReset) << "manualReset=" << manualReset;
    }

    CEvent never;
    PostMessage(window.Hwnd(), WM_USER);
    EXPECT_EQ(kestrun::WaitPumping(never, 20), WAIT_TIMEOUT);
    EXPECT_EQ(delivered, 1) << "messages are served while the wait times out";
    EXPECT_EQ(kestrun::WaitPumping(never, 0), WAIT_TIMEOUT);
}

} // namespace
