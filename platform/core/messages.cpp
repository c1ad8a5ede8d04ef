#include "platform/core/messages.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

// Lock order: the window registry before a thread queue, a CEvent before a
// thread queue; never two thread queues at once. Handlers run with no lock
// held.

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

struct ThreadQueue;

// A message sent across threads: the sender waits on its own queue's
// condition until the owner marks it done.
struct SentMessage
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<ThreadQueue> sender;
    std::uint64_t seq = 0;
    bool done = false; // guarded by sender->mutex
    LRESULT result = 0;
};

struct PostedMessage
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::uint64_t seq = 0;
};

struct ThreadQueue
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<PostedMessage> posted;
    std::uint64_t nextSeq = 0;

    bool Pending() const { return !sent.empty() || !posted.empty(); }
};

std::shared_ptr<ThreadQueue> currentQueue()
{
    thread_local const std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
    return queue;
}

// ---- registered message names ------------------------------------------

std::string foldAsciiCase(std::string_view name)
{
    std::string folded(name);
    for (char& ch : folded) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return folded;
}

struct MessageNames
{
    std::mutex mutex;
    std::unordered_map<std::string, UINT> ids; // by folded name
    std::vector<CString> names;                // by id - kFirstRegisteredMessage
};

MessageNames& messageNames()
{
    static MessageNames instance;
    return instance;
}

// ---- window registry ---------------------------------------------------

struct Window
{
    CMessageTarget* target = nullptr;
    HWND parent = nullptr;
    std::shared_ptr<ThreadQueue> owner;
};

struct Registry
{
    std::mutex mutex;
    std::map<std::uintptr_t, Window> windows; // ordered by handle = creation order
    std::uintptr_t nextHandle = 0x10000;
    std::shared_ptr<const std::function<void()>> wakeHandler;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::uintptr_t handleKey(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }
HWND handleOf(std::uintptr_t key) { return reinterpret_cast<HWND>(key); }

// Caller holds the registry mutex.
Window* findWindow(Registry& r, HWND hwnd)
{
    const auto it = r.windows.find(handleKey(hwnd));
    return it == r.windows.end() ? nullptr : &it->second;
}

CMessageTarget* targetOf(HWND hwnd)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const Window* window = findWindow(r, hwnd);
    return window ? window->target : nullptr;
}

void callWakeHandler()
{
    Registry& r = registry();
    std::shared_ptr<const std::function<void()>> handler;
    {
        std::lock_guard lock(r.mutex);
        handler = r.wakeHandler;
    }
    if (handler)
        (*handler)();
}

// ---- delivery ----------------------------------------------------------

// No exception leaves a handler: the user sees it and the program goes on.
LRESULT dispatch(CMessageTarget& target, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return target.OnWindowMessage(message, wParam, lParam);
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONERROR);
    }
    return 0;
}

void completeSent(SentMessage& sent, LRESULT result)
{
    ThreadQueue& sender = *sent.sender;
    {
        std::lock_guard lock(sender.mutex);
        sent.done = true;
        sent.result = result;
    }
    sender.changed.notify_all();
}

// Releases the sender even when reporting a handler's error throws.
class CSentCompletion
{
public:
    explicit CSentCompletion(SentMessage& sent) : m_sent(sent) {}
    ~CSentCompletion() { completeSent(m_sent, m_result); }
    CSentCompletion(const CSentCompletion&) = delete;
    CSentCompletion& operator=(const CSentCompletion&) = delete;
    void SetResult(LRESULT result) { m_result = result; }

private:
    SentMessage& m_sent;
    LRESULT m_result = 0;
};

bool deliverSent(SentMessage& sent)
{
    CSentCompletion completion(sent);
    CMessageTarget* target = targetOf(sent.hwnd);
    if (!target)
        return false;
    completion.SetResult(dispatch(*target, sent.message, sent.wParam, sent.lParam));
    return true;
}

bool deliverPosted(const PostedMessage& posted)
{
    CMessageTarget* target = targetOf(posted.hwnd);
    if (!target)
        return false;
    dispatch(*target, posted.message, posted.wParam, posted.lParam);
    return true;
}

// Blocks in a cross-thread send, handling messages sent to this thread's
// own windows meanwhile.
LRESULT awaitSent(const std::shared_ptr<SentMessage>& sent)
{
    ThreadQueue& queue = *sent->sender;
    std::unique_lock lock(queue.mutex);
    while (!sent->done) {
        if (!queue.sent.empty()) {
            const std::shared_ptr<SentMessage> incoming = std::move(queue.sent.front());
            queue.sent.pop_front();
            lock.unlock();
            deliverSent(*incoming);
            lock.lock();
            continue;
        }
        queue.changed.wait(lock);
    }
    return sent->result;
}

void collectDescendants(const std::multimap<std::uintptr_t, std::uintptr_t>& children, std::uintptr_t parent, bool deep,
                        std::vector<HWND>& out)
{
    const auto [first, last] = children.equal_range(parent);
    for (auto it = first; it != last; ++it) {
        out.push_back(handleOf(it->second));
        if (deep)
            collectDescendants(children, it->second, deep, out);
    }
}

} // namespace

CMessageTarget::~CMessageTarget() = default;

UINT RegisterWindowMessage(LPCTSTR name)
{
    if (name == nullptr || *name == '\0')
        return 0;
    MessageNames& table = messageNames();
    std::string key = foldAsciiCase(name);
    std::lock_guard lock(table.mutex);
    if (const auto it = table.ids.find(key); it != table.ids.end())
        return it->second;
    const std::size_t next = kFirstRegisteredMessage + table.names.size();
    if (next > kLastRegisteredMessage)
        return 0;
    const UINT id = static_cast<UINT>(next);
    table.names.emplace_back(name);
    table.ids.emplace(std::move(key), id);
    return id;
}

BOOL IsWindow(HWND hwnd)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return findWindow(r, hwnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const Window* window = findWindow(r, hwnd);
    return window ? window->parent : nullptr;
}

HWND SetParent(HWND child, HWND parent)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    Window* window = findWindow(r, child);
    if (!window)
        return nullptr;
    // Walking up from the new parent must not meet the child: a cycle would
    // send SendMessageToDescendants round for ever.
    for (HWND up = parent; up != nullptr;) {
        const Window* ancestor = findWindow(r, up);
        if (!ancestor || up == child)
            return nullptr;
        up = ancestor->parent;
    }
    return std::exchange(window->parent, parent);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        const Window* window = findWindow(r, hwnd);
        if (!window)
            return FALSE;
        ThreadQueue& owner = *window->owner;
        {
            std::lock_guard queueLock(owner.mutex);
            owner.posted.push_back({hwnd, message, wParam, lParam, owner.nextSeq++});
        }
        owner.changed.notify_all();
    }
    callWakeHandler();
    return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::shared_ptr<ThreadQueue> self = currentQueue();
    std::shared_ptr<SentMessage> sent;
    CMessageTarget* direct = nullptr;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        const Window* window = findWindow(r, hwnd);
        if (!window)
            return 0;
        if (window->owner == self) {
            direct = window->target;
        } else {
            sent = std::make_shared<SentMessage>(SentMessage{hwnd, message, wParam, lParam, self});
            ThreadQueue& owner = *window->owner;
            {
                std::lock_guard queueLock(owner.mutex);
                sent->seq = owner.nextSeq++;
                owner.sent.push_back(sent);
            }
            owner.changed.notify_all();
        }
    }
    if (direct)
        return dispatch(*direct, message, wParam, lParam);
    callWakeHandler();
    return awaitSent(sent);
}

void SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL deep)
{
    // The tree is taken once: handlers may create or destroy windows.
    std::vector<HWND> targets;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        std::multimap<std::uintptr_t, std::uintptr_t> children;
        for (const auto& [key, window] : r.windows) {
            if (window.parent)
                children.emplace(handleKey(window.parent), key); // equal keys keep insertion order
        }
        collectDescendants(children, handleKey(hwnd), deep != FALSE, targets);
    }
    for (HWND target : targets)
        SendMessage(target, message, wParam, lParam);
}

namespace kestrun {

CString RegisteredMessageName(UINT id)
{
    MessageNames& table = messageNames();
    std::lock_guard lock(table.mutex);
    if (id < kFirstRegisteredMessage || id - kFirstRegisteredMessage >= table.names.size())
        return {};
    return table.names[id - kFirstRegisteredMessage];
}

HWND CreateWindowHandle(CMessageTarget* target, HWND parent)
{
    if (!target)
        AfxThrowInvalidArgException();
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (parent && !findWindow(r, parent))
        AfxThrowInvalidArgException();
    const std::uintptr_t key = r.nextHandle++;
    r.windows.emplace(key, Window{target, parent, currentQueue()});
    return handleOf(key);
}

void DestroyWindowHandle(HWND hwnd)
{
    std::vector<std::shared_ptr<SentMessage>> abandoned;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        const auto it = r.windows.find(handleKey(hwnd));
        if (it == r.windows.end())
            return;
        const std::shared_ptr<ThreadQueue> owner = it->second.owner;
        r.windows.erase(it);
        for (auto& [key, window] : r.windows) {
            if (window.parent == hwnd)
                window.parent = nullptr;
        }
        std::lock_guard queueLock(owner->mutex);
        std::erase_if(owner->posted, [hwnd](const PostedMessage& m) { return m.hwnd == hwnd; });
        std::erase_if(owner->sent, [hwnd, &abandoned](const std::shared_ptr<SentMessage>& m) {
            if (m->hwnd != hwnd)
                return false;
            abandoned.push_back(m);
            return true;
        });
    }
    for (const auto& sent : abandoned)
        completeSent(*sent, 0);
}

std::vector<HWND> ChildWindows(HWND hwnd)
{
    std::vector<HWND> children;
    if (!hwnd)
        return children;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& [key, window] : r.windows) {
        if (window.parent == hwnd)
            children.push_back(handleOf(key));
    }
    return children;
}

int PumpMessages()
{
    const std::shared_ptr<ThreadQueue> queue = currentQueue();
    std::unique_lock lock(queue->mutex);
    // Sequence numbers rather than a swapped-out batch: a pump nested in a
    // handler then goes on where this one stands, and order is kept.
    const std::uint64_t limit = queue->nextSeq;
    int delivered = 0;
    for (;;) {
        if (!queue->sent.empty() && queue->sent.front()->seq < limit) {
            const std::shared_ptr<SentMessage> sent = std::move(queue->sent.front());
            queue->sent.pop_front();
            lock.unlock();
            delivered += deliverSent(*sent) ? 1 : 0;
        } else if (!queue->posted.empty() && queue->posted.front().seq < limit) {
            const PostedMessage posted = queue->posted.front();
            queue->posted.pop_front();
            lock.unlock();
            delivered += deliverPosted(posted) ? 1 : 0;
        } else {
            break;
        }
        lock.lock();
    }
    return delivered;
}

bool WaitForMessages(DWORD timeoutMs)
{
    return WaitForMessages(timeoutMs, {});
}

bool WaitForMessages(DWORD timeoutMs, const std::function<bool()>& stop)
{
    const std::shared_ptr<ThreadQueue> queue = currentQueue();
    std::unique_lock lock(queue->mutex);
    const auto ready = [&] { return queue->Pending() || (stop && stop()); };
    if (timeoutMs == INFINITE)
        queue->changed.wait(lock, ready);
    else
        queue->changed.wait_until(lock, std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs), ready);
    return queue->Pending();
}

std::function<void()> CurrentThreadWaker()
{
    return [queue = currentQueue()] {
        // Taking the lock orders the waker after a waiter that is between
        // checking its condition and blocking.
        { std::lock_guard lock(queue->mutex); }
        queue->changed.notify_all();
    };
}

void SetMessageWakeHandler(std::function<void()> handler)
{
    auto shared = handler ? std::make_shared<const std::function<void()>>(std::move(handler)) : nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.wakeHandler = std::move(shared);
}

} // namespace kestrun
