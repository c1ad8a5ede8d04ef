#pragma once
// Window messages: registered message ids, window handles, and the
// per-thread message queue behind PostMessage and SendMessage.
//
// Every window belongs to the thread that created its handle. A message
// posted or sent from another thread waits in the owner's queue until the
// owner pumps it; the mutex of the queue orders the data written before a
// post before whatever the handler reads. In the program the event loop
// pumps (scheduled through the wake handler); tests pump by hand.

#include "platform/core/cstring.h"
#include "platform/core/types.h"

#include <functional>
#include <vector>

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// What a window handle delivers its messages to.
class CMessageTarget
{
public:
    virtual ~CMessageTarget();
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// One id per name for the whole process, from 0xC000 upward; names that
// differ only in ASCII case give the same id. 0 for a null or empty name, or when
// the range of ids is used up.
UINT RegisterWindowMessage(LPCTSTR name);

BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
// Returns the previous parent; null (and no change) when either handle is
// not a window or the new parent lies inside the child's own tree.
HWND SetParent(HWND child, HWND parent);

// From any thread; FALSE for a handle that is not a window.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// On the owning thread a direct call. From another thread the caller blocks
// until the owner has handled the message; while it blocks, messages sent
// to its own windows are handled, so two threads sending to each other do
// not dead-lock. 0 for a handle that is not a window or that is destroyed
// before the message is handled, and when the handler throws (the error is
// reported as PumpMessages reports it).
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Sends to every child (with deep, to every descendant: depth first, in
// creation order), not to the window itself.
void SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE);

namespace kestrun {

// The name a registered id was first registered with; empty when unknown.
CString RegisteredMessageName(UINT id);

// A new handle for target, owned by the calling thread; handles are never
// reused within a run. The target must outlive the handle. Throws
// CInvalidArgException for a null target or a parent that is not a window.
HWND CreateWindowHandle(CMessageTarget* target, HWND parent = nullptr);
// Call on the owning thread. Messages still queued to the window are
// dropped (a blocked sender gets 0); its children lose their parent.
void DestroyWindowHandle(HWND hwnd);
// The window's children in creation order.
std::vector<HWND> ChildWindows(HWND hwnd);

// Delivers the messages that were queued for the calling thread's windows
// when the call started (sent ones first, then posted ones in posting
// order) and returns how many were delivered. A message queued meanwhile -
// a handler that posts again - waits for the next call. An exception from a
// handler is reported through the message-box service and delivery goes on.
int PumpMessages();
// Blocks until a message is pending for the calling thread or the time is
// over (INFINITE waits for ever). Returns whether a message is pending.
bool WaitForMessages(DWORD timeoutMs);
// The same, also ending when stop() returns true: for waits on more than
// messages. stop runs under the queue's lock, so it must be cheap and take
// no lock; whoever makes it true calls a waker of the waiting thread
// afterwards.
bool WaitForMessages(DWORD timeoutMs, const std::function<bool()>& stop);
// A callable, usable from any thread, that makes the calling thread's
// current wait in WaitForMessages check its stop condition again.
std::function<void()> CurrentThreadWaker();
// Called on the posting thread after every message is queued, so that an
// event loop can schedule a pump on the owning thread. An empty function
// removes the handler.
void SetMessageWakeHandler(std::function<void()> handler);

} // namespace kestrun
