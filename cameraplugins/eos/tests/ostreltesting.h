#pragma once
// Shared by the plug-in's tests: clocks that never make a test wait, and a
// wait for the command thread to reach a point.

#include "cameraplugins/eos/command.h"
#include "cameraplugins/eos/processor.h"

#include "platform/core/clock.h"

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace kestrun::ostrel::testing {

// Time stands still; a sleep only lets other threads run. Waits that end
// on an event end when it comes, never on time.
class CStillClock : public IClock
{
public:
    ULONGLONG NowMs() const override { return 0; }
    void SleepMs(DWORD) override { std::this_thread::yield(); }
};

// Time that passes only while a test lets it: sleeps yield and, when
// running, advance it.
class CGateClock : public IClock
{
public:
    ULONGLONG NowMs() const override { return m_nowMs; }
    void SleepMs(DWORD ms) override
    {
        std::this_thread::yield();
        if (m_bRunning)
            m_nowMs += ms;
    }
    void SetRunning(bool bRunning) { m_bRunning = bRunning; }

private:
    std::atomic<ULONGLONG> m_nowMs = 0;
    std::atomic<bool> m_bRunning = false;
};

// Hand-driven time whose 500 ms retry sleep runs a hook first.
class CRetryHookClock : public ManualClock
{
public:
    void SleepMs(DWORD ms) override
    {
        std::this_thread::yield();
        if (ms == Processor::kRetryMs && onRetry)
            onRetry();
        Advance(ms);
    }
    std::function<void()> onRetry;
};

// A command that runs a function; finished unless it says otherwise.
class CFunctionCommand : public Command
{
public:
    CFunctionCommand(CameraModel* model, std::function<bool()> body) : Command(model), m_body(std::move(body)) {}
    bool execute() override { return m_body(); }

private:
    std::function<bool()> m_body;
};

// Returns when every command queued before it has run.
inline void Drain(Processor& processor, CameraModel* model)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> reached = done->get_future();
    processor.enqueue(std::make_unique<CFunctionCommand>(model, [done] {
        done->set_value();
        return true;
    }));
    reached.wait();
}

} // namespace kestrun::ostrel::testing
