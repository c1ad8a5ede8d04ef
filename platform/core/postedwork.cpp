#include "platform/core/postedwork.h"

namespace kestrun {

namespace {
constexpr UINT kRunPostedWork = WM_APP + 0x3F00;
}

CPostedWork::CPostedWork() : m_hwnd(CreateWindowHandle(this)) {}

CPostedWork::~CPostedWork() { DestroyWindowHandle(m_hwnd); }

void CPostedWork::Post(std::function<void()> work)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_work.push_back(std::move(work));
    }
    ::PostMessage(m_hwnd, kRunPostedWork);
}

LRESULT CPostedWork::OnWindowMessage(UINT message, WPARAM, LPARAM)
{
    if (message != kRunPostedWork)
        return 0;
    std::function<void()> work;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_work.empty())
            return 0;
        work = std::move(m_work.front());
        m_work.pop_front();
    }
    // Runs without the lock: the work may post again.
    work();
    return 0;
}

} // namespace kestrun
