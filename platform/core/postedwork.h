#pragma once
// CPostedWork: work that a worker thread hands to the thread that made the
// object, to run there when that thread pumps its messages (a status text,
// a message box: windows belong to their thread). Post never waits, so a
// thread that joins the worker cannot dead-lock with it. Work still queued
// when the object goes is dropped.

#include "platform/core/messages.h"

#include <deque>
#include <functional>
#include <mutex>

namespace kestrun {

class CPostedWork : private CMessageTarget
{
public:
    // On the thread that is to run the work.
    CPostedWork();
    // On the same thread.
    ~CPostedWork() override;
    CPostedWork(const CPostedWork&) = delete;
    CPostedWork& operator=(const CPostedWork&) = delete;

    // Any thread.
    void Post(std::function<void()> work);

private:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND m_hwnd = nullptr;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_work;
};

} // namespace kestrun
