#pragma once
// Helpers of the board tests: a window on the test thread that records what
// it is sent, waits for the board's thread without timing, scratch folders.

#include "outside/grabwell/fgboard.h"

#include "platform/core/messages.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrun::testing {

struct CReceived
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CRecordingWindow final : public CMessageTarget
{
public:
    CRecordingWindow() : m_hwnd(CreateWindowHandle(this)) {}
    ~CRecordingWindow() override { DestroyWindowHandle(m_hwnd); }
    CRecordingWindow(const CRecordingWindow&) = delete;
    CRecordingWindow& operator=(const CRecordingWindow&) = delete;

    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        std::lock_guard lock(m_mutex);
        m_received.push_back({message, wParam, lParam});
        return 0;
    }

    HWND Handle() const { return m_hwnd; }
    std::vector<CReceived> Received(const char* name) const
    {
        const UINT id = RegisterWindowMessage(name);
        std::lock_guard lock(m_mutex);
        std::vector<CReceived> matching;
        for (const CReceived& r : m_received) {
            if (r.message == id)
                matching.push_back(r);
        }
        return matching;
    }
    std::vector<WPARAM> Events(const char* name) const
    {
        std::vector<WPARAM> events;
        for (const CReceived& r : Received(name))
            events.push_back(r.wParam);
        return events;
    }

private:
    HWND m_hwnd;
    mutable std::mutex m_mutex;
    std::vector<CReceived> m_received;
};

// Waits for the board's thread to make the condition true. The deadline
// only keeps a broken board from hanging the run; no result depends on it.
inline bool WaitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

// A fresh folder below the test program's data root.
inline std::filesystem::path ScratchFolder(const char* name)
{
    const std::filesystem::path folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace kestrun::testing
