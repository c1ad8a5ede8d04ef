#include "platform/core/exceptions.h"
#include "platform/core/messages.h"
#include "platform/core/sync.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// ---- registered messages -----------------------------------------------

class CLoadedModule
{
public:
    explicit CLoadedModule(const std::filesystem::path& path) : m_handle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~CLoadedModule()
    {
        if (m_handle)
            ::dlclose(m_handle);
    }
    CLoadedModule(const CLoadedModule&) = delete;
    CLoadedModule& operator=(const CLoadedModule&) = delete;

    void* Handle() const { return m_handle; }

private:
    void* m_handle;
};

using RegisterFn = UINT (*)(const char*);

RegisterFn registerFunction(const CLoadedModule& module)
{
    return reinterpret_cast<RegisterFn>(::dlsym(module.Handle(), "kestrun_test_register_message"));
}

TEST(RegisteredMessageTest, OneIdPerNameInEveryModule)
{
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const CLoadedModule a(folder / "libkestrun_test_msglib_a.so");
    const CLoadedModule b(folder / "libkestrun_test_msglib_b.so");
    ASSERT_NE(a.Handle(), nullptr) << ::dlerror();
    ASSERT_NE(b.Handle(), nullptr) << ::dlerror();
    const RegisterFn registerInA = registerFunction(a);
    const RegisterFn registerInB = registerFunction(b);
    ASSERT_NE(registerInA, nullptr);
    ASSERT_NE(registerInB, nullptr);
    ASSERT_NE(registerInA, registerInB);

    // First registration in a module, then here, then in the other one.
    const UINT fromA = registerInA("ModuleTest MSG_PROFILE_CHANGED");
    EXPECT_GE(fromA, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("ModuleTest MSG_PROFILE_CHANGED"), fromA);
    EXPECT_EQ(registerInB("ModuleTest MSG_PROFILE_CHANGED"), fromA);

    const UINT fromB = registerInB("ModuleTest GridSelected");
    EXPECT_NE(fromB, fromA);
    EXPECT_EQ(registerInA("moduletest gridselected"), fromB);
}

TEST(RegisteredMessageTest, NamesAndIds)
{
    const UINT grid = RegisterWindowMessage("NamesTest GridSelected");
    const UINT macro = RegisterWindowMessage("NamesTest Message RunMacro ");
    EXPECT_GE(grid, 0xC000u);
    EXPECT_GE(macro, 0xC000u);
    EXPECT_LE(macro, 0xFFFFu);
    EXPECT_NE(grid, macro);

    struct Case
    {
        const char* name;
        UINT want;
    };
    const Case cases[] = {
        {"NamesTest GridSelected", grid},
        {"namestest gridselected", grid},
        {"NAMESTEST GRIDSELECTED", grid},
        {"NamesTest Message RunMacro ", macro},
        {"namestest message runmacro ", macro},
        {nullptr, 0},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegisterWindowMessage(c.name), c.want) << (c.name ? c.name : "(null)");

    // The trailing blank is part of the name; case folds only in ASCII.
    const UINT macroNoBlank = RegisterWindowMessage("NamesTest Message RunMacro");
    EXPECT_NE(macroNoBlank, 0u);
    EXPECT_NE(macroNoBlank, macro);
    EXPECT_NE(RegisterWindowMessage("NamesTest \xC3\x84"), RegisterWindowMessage("NamesTest \xC3\xA4"));

    EXPECT_EQ(kestrun::RegisteredMessageName(grid), "NamesTest GridSelected");
    EXPECT_EQ(kestrun::RegisteredMessageName(macro), "NamesTest Message RunMacro ");
    EXPECT_EQ(kestrun::RegisteredMessageName(WM_USER), "");
    EXPECT_EQ(kestrun::RegisteredMessageName(0xFFFF), "");
}

TEST(RegisteredMessageTest, ConcurrentRegistrationGivesOneIdPerName)
{
    constexpr int kThreads = 8;
    constexpr int kNames = 64;
    std::vector<std::vector<UINT>> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &ids] {
            for (int n = 0; n < kNames; ++n)
                ids[t].push_back(RegisterWindowMessage(FormatString("ConcurrentTest %d", n)));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 1; t < kThreads; ++t)
        EXPECT_EQ(ids[t], ids[0]);
    std::vector<UINT> sorted = ids[0];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
}

// ---- windows -------------------------------------------------------------

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::thread::id thread;
};

class CRecordingTarget : public CMessageTarget
{
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_received.push_back({message, wParam, lParam, std::this_thread::get_id()});
        return m_handler ? m_handler(message, wParam, lParam) : 0;
    }

    std::function<LRESULT(UINT, WPARAM, LPARAM)> m_handler;
    std::vector<Received> m_received;

    std::vector<UINT> Messages() const
    {
        std::vector<UINT> messages;
        for (const Received& r : m_received)
            messages.push_back(r.message);
        return messages;
    }
};

// A handle with its target, destroyed with the object.
class CTestWindow
{
public:
    explicit CTestWindow(HWND parent = nullptr) : m_hwnd(kestrun::CreateWindowHandle(&m_target, parent)) {}
    ~CTestWindow() { kestrun::DestroyWindowHandle(m_hwnd); }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    CRecordingTarget& Target() { return m_target; }

private:
    CRecordingTarget m_target;
    HWND m_hwnd;
};

TEST(WindowTreeTest, ParentsChildrenAndDestruction)
{
    CTestWindow root;
    CTestWindow a(root.Hwnd());
    CTestWindow b(root.Hwnd());
    auto a1 = std::make_unique<CTestWindow>(a.Hwnd());

    EXPECT_TRUE(IsWindow(root.Hwnd()));
    EXPECT_FALSE(IsWindow(nullptr));
    EXPECT_EQ(GetParent(a.Hwnd()), root.Hwnd());
    EXPECT_EQ(GetParent(root.Hwnd()), nullptr);
    EXPECT_EQ(kestrun::ChildWindows(root.Hwnd()), (std::vector<HWND>{a.Hwnd(), b.Hwnd()}));

    // A moved child keeps its place by creation order.
    EXPECT_EQ(SetParent(b.Hwnd(), a.Hwnd()), root.Hwnd());
    EXPECT_EQ(kestrun::ChildWindows(a.Hwnd()), (std::vector<HWND>{b.Hwnd(), a1->Hwnd()}));
    EXPECT_EQ(kestrun::ChildWindows(root.Hwnd()), (std::vector<HWND>{a.Hwnd()}));

    // Cycles and unknown handles change nothing.
    EXPECT_EQ(SetParent(a.Hwnd(), a1->Hwnd()), nullptr);
    EXPECT_EQ(SetParent(a.Hwnd(), a.Hwnd()), nullptr);
    EXPECT_EQ(SetParent(a.Hwnd(), reinterpret_cast<HWND>(0x1)), nullptr);
    EXPECT_EQ(GetParent(a.Hwnd()), root.Hwnd());

    const HWND gone = a1->Hwnd();
    a1.reset();
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(kestrun::ChildWindows(a.Hwnd()), (std::vector<HWND>{b.Hwnd()}));

    kestrun::DestroyWindowHandle(a.Hwnd());
    EXPECT_EQ(GetParent(b.Hwnd()), nullptr);
    EXPECT_TRUE(kestrun::ChildWindows(root.Hwnd()).empty());

    const CTestWindow later;
    EXPECT_NE(later.Hwnd(), gone);
    EXPECT_NE(later.Hwnd(), a.Hwnd());
}

TEST(WindowTreeTest, CreateRejectsBadArguments)
{
    EXPECT_THROW(kestrun::CreateWindowHandle(nullptr), CInvalidArgException);
    CRecordingTarget target;
    EXPECT_THROW(kestrun::CreateWindowHandle(&target, reinterpret_cast<HWND>(0x1)), CInvalidArgException);
}

TEST(WindowTreeTest, SendToDescendantsDepthFirstInCreationOrder)
{
    std::vector<HWND> order;
    auto windows = std::vector<std::unique_ptr<CTestWindow>>();
    const auto make = [&](HWND parent) {
        windows.push_back(std::make_unique<CTestWindow>(parent));
        CTestWindow& w = *windows.back();
        w.Target().m_handler = [&order, hwnd = w.Hwnd()](UINT message, WPARAM, LPARAM) {
            if (message == WM_APP + 7)
                order.push_back(hwnd);
            return 0;
        };
        return w.Hwnd();
    };
    const HWND root = make(nullptr);
    const HWND a = make(root);
    const HWND b = make(root);
    const HWND a1 = make(a);
    const HWND b1 = make(b);
    const HWND a2 = make(a);

    struct Case
    {
        BOOL deep;
        std::vector<HWND> want;
    };
    const Case cases[] = {
        {TRUE, {a, a1, a2, b, b1}},
        {FALSE, {a, b}},
    };
    for (const Case& c : cases) {
        order.clear();
        SendMessageToDescendants(root, WM_APP + 7, 1, 2, c.deep);
        EXPECT_EQ(order, c.want) << "deep=" << c.deep;
    }
    order.clear();
    SendMessageToDescendants(b1, WM_APP + 7);
    EXPECT_TRUE(order.empty());
}

// ---- the queue -------------------------------------------------------------

// Pumps until the window has received count messages.
void pumpUntil(CRecordingTarget& target, std::size_t count)
{
    while (target.m_received.size() < count) {
        kestrun::WaitForMessages(INFINITE);
        kestrun::PumpMessages();
    }
}

TEST(MessageQueueTest, PostsFromWorkerArriveInOrderOnTheOwningThread)
{
    constexpr int kCount = 500;
    CTestWindow window;
    std::thread worker([hwnd = window.Hwnd()] {
        for (int i = 0; i < kCount; ++i)
            ASSERT_TRUE(PostMessage(hwnd, WM_USER + 1, static_cast<WPARAM>(i), -i));
    });
    pumpUntil(window.Target(), kCount);
    worker.join();

    const std::vector<Received>& received = window.Target().m_received;
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kCount));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(received[i].wParam, static_cast<WPARAM>(i));
        EXPECT_EQ(received[i].lParam, -i);
        EXPECT_EQ(received[i].thread, std::this_thread::get_id());
    }
    EXPECT_EQ(kestrun::PumpMessages(), 0);
}

TEST(MessageQueueTest, NonWindowsAreRefused)
{
    HWND gone = nullptr;
    {
        const CTestWindow window;
        gone = window.Hwnd();
    }
    for (HWND hwnd : {static_cast<HWND>(nullptr), gone}) {
        EXPECT_FALSE(PostMessage(hwnd, WM_USER));
        EXPECT_EQ(SendMessage(hwnd, WM_USER), 0);
    }
}

TEST(MessageQueueTest, MessagesToADestroyedWindowAreDropped)
{
    CTestWindow keep;
    auto doomed = std::make_unique<CTestWindow>();
    CRecordingTarget& doomedTarget = doomed->Target();
    for (int i = 0; i < 3; ++i)
        PostMessage(doomed->Hwnd(), WM_USER);
    PostMessage(keep.Hwnd(), WM_USER);
    kestrun::DestroyWindowHandle(doomed->Hwnd());

    EXPECT_EQ(kestrun::PumpMessages(), 1);
    EXPECT_TRUE(doomedTarget.m_received.empty());
    EXPECT_EQ(keep.Target().m_received.size(), 1u);
}

TEST(MessageQueueTest, AHandlerThatPostsAgainIsServedByTheNextPump)
{
    CTestWindow window;
    window.Target().m_handler = [hwnd = window.Hwnd()](UINT message, WPARAM wParam, LPARAM) {
        if (wParam < 3)
            PostMessage(hwnd, message, wParam + 1);
        return 0;
    };
    PostMessage(window.Hwnd(), WM_USER, 0);
    for (int pump = 0; pump < 4; ++pump)
        EXPECT_EQ(kestrun::PumpMessages(), 1) << "pump " << pump;
    EXPECT_EQ(kestrun::PumpMessages(), 0);
    EXPECT_EQ(window.Target().m_received.size(), 4u);
}

TEST(MessageQueueTest, ANestedPumpKeepsPostingOrder)
{
    CTestWindow window;
    window.Target().m_handler = [](UINT message, WPARAM, LPARAM) {
        if (message == WM_USER + 1)
            kestrun::PumpMessages();
        return 0;
    };
    for (UINT m = 1; m <= 4; ++m)
        PostMessage(window.Hwnd(), WM_USER + m);
    kestrun::PumpMessages();
    EXPECT_EQ(window.Target().Messages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}));
}

TEST(MessageQueueTest, AThrowingHandlerIsReportedOnceAndDeliveryGoesOn)
{
    struct Case
    {
        std::function<void()> raise;
        const char* text;
    };
    const Case cases[] = {
        {[] { AfxThrowInvalidArgException(); }, "Invalid argument."},
        {[] { throw std::runtime_error("lamp failure"); }, "lamp failure"},
    };
    for (const Case& c : cases) {
        kestrun::testing::ScopedMessageBoxes boxes;
        CTestWindow window;
        window.Target().m_handler = [&c](UINT message, WPARAM, LPARAM) -> LRESULT {
            if (message == WM_USER + 1)
                c.raise();
            return 5;
        };
        PostMessage(window.Hwnd(), WM_USER + 1);
        PostMessage(window.Hwnd(), WM_USER + 2);
        EXPECT_EQ(kestrun::PumpMessages(), 2);
        EXPECT_EQ(window.Target().Messages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
        EXPECT_EQ(boxes->Texts(), (std::vector<CString>{c.text}));

        // A direct send reports the same way and returns 0.
        EXPECT_EQ(SendMessage(window.Hwnd(), WM_USER + 1), 0);
        EXPECT_EQ(boxes->Texts().size(), 2u);
    }
}

TEST(MessageQueueTest, SendOnTheOwningThreadIsADirectCall)
{
    CTestWindow window;
    window.Target().m_handler = [](UINT, WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) * lParam; };
    EXPECT_EQ(SendMessage(window.Hwnd(), WM_USER, 6, 7), 42);
    EXPECT_EQ(window.Target().m_received.size(), 1u);
    EXPECT_EQ(kestrun::PumpMessages(), 0);
}

TEST(MessageQueueTest, SendFromAWorkerWaitsForThePumpAndPrecedesLaterPosts)
{
    CTestWindow window;
    window.Target().m_handler = [](UINT message, WPARAM wParam, LPARAM) {
        return message == WM_USER + 1 ? static_cast<LRESULT>(wParam) + 100 : 0;
    };
    std::atomic<bool> returned = false;
    LRESULT result = 0;
    std::thread worker([&, hwnd = window.Hwnd()] {
        result = SendMessage(hwnd, WM_USER + 1, 5);
        returned = true;
    });
    ASSERT_TRUE(kestrun::WaitForMessages(INFINITE));
    EXPECT_FALSE(returned) << "the sender did not wait for the pump";
    PostMessage(window.Hwnd(), WM_USER + 2);

    EXPECT_EQ(kestrun::PumpMessages(), 2);
    worker.join();
    EXPECT_EQ(result, 105);
    EXPECT_EQ(window.Target().Messages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(window.Target().m_received[0].thread, std::this_thread::get_id());
}

TEST(MessageQueueTest, SendToADestroyedWindowReturnsZeroWithoutBlocking)
{
    auto window = std::make_unique<CTestWindow>();
    const HWND hwnd = window->Hwnd();
    CRecordingTarget& target = window->Target();
    target.m_handler = [](UINT, WPARAM, LPARAM) { return 1; };

    // Destroyed while the message waits in the queue.
    LRESULT pending = -1;
    std::thread worker([&] { pending = SendMessage(hwnd, WM_USER); });
    ASSERT_TRUE(kestrun::WaitForMessages(INFINITE));
    EXPECT_TRUE(target.m_received.empty());
    window.reset();
    worker.join();
    EXPECT_EQ(pending, 0);

    // Destroyed before the send.
    LRESULT late = -1;
    std::thread(([&] { late = SendMessage(hwnd, WM_USER); })).join();
    EXPECT_EQ(late, 0);
    EXPECT_EQ(kestrun::PumpMessages(), 0);
}

TEST(MessageQueueTest, WindowsOfAWorkerAreServedByTheWorker)
{
    CTestWindow window;
    std::promise<HWND> workerWindow;
    CEvent posted;
    int workerDelivered = -1;
    std::vector<Received> workerReceived;
    LRESULT sendResult = 0;

    std::thread worker([&] {
        CTestWindow own;
        own.Target().m_handler = [](UINT message, WPARAM, LPARAM) { return message == WM_USER + 3 ? 7 : 0; };
        workerWindow.set_value(own.Hwnd());
        posted.Lock();
        workerDelivered = kestrun::PumpMessages();
        // Blocked here, the worker must still serve the main thread's send
        // back to its own window.
        sendResult = SendMessage(window.Hwnd(), WM_USER + 2);
        workerReceived = own.Target().m_received;
    });
    const HWND other = workerWindow.get_future().get();
    window.Target().m_handler = [other](UINT, WPARAM, LPARAM) { return SendMessage(other, WM_USER + 3) + 1; };

    EXPECT_TRUE(PostMessage(other, WM_USER + 1));
    EXPECT_EQ(kestrun::PumpMessages(), 0);
    posted.SetEvent();
    pumpUntil(window.Target(), 1);
    worker.join();

    EXPECT_EQ(workerDelivered, 1);
    EXPECT_EQ(sendResult, 8);
    ASSERT_EQ(workerReceived.size(), 2u);
    EXPECT_EQ(workerReceived[0].message, WM_USER + 1);
    EXPECT_EQ(workerReceived[1].message, WM_USER + 3);
    EXPECT_NE(workerReceived[1].thread, std::this_thread::get_id());
}

TEST(MessageQueueTest, WakeHandlerRunsOnThePostingThreadForEveryPost)
{
    std::mutex mutex;
    std::vector<std::thread::id> calls;
    kestrun::SetMessageWakeHandler([&] {
        std::lock_guard lock(mutex);
        calls.push_back(std::this_thread::get_id());
    });
    CTestWindow window;
    std::thread::id workerId;
    std::thread worker([&] {
        workerId = std::this_thread::get_id();
        for (int i = 0; i < 5; ++i)
            PostMessage(window.Hwnd(), WM_USER);
        PostMessage(nullptr, WM_USER);
    });
    worker.join();
    kestrun::SetMessageWakeHandler({});
    PostMessage(window.Hwnd(), WM_USER);

    EXPECT_EQ(calls, std::vector<std::thread::id>(5, workerId));
    EXPECT_EQ(kestrun::PumpMessages(), 6);
}

} // namespace
