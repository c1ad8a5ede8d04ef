#pragma once
// Processor: the command thread. It takes commands from a queue guarded by
// Synchronized; a command that finds the camera busy goes back to the end
// of the queue after 500 ms. When the run flag is cleared the queued
// commands are dropped and the close command, if any, runs last.
// Waits go through an injected clock, so tests drive time by hand.

#include "cameraplugins/eos/command.h"

#include "platform/core/clock.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// The queue's lock. wait() gives the lock up until notify() or the time
// has passed; notify() wakes the waiter at once.
class Synchronized
{
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    // Called with the lock held.
    void wait(DWORD ms) { m_changed.wait_for(m_mutex, std::chrono::milliseconds(ms)); }
    void notify() { m_changed.notify_all(); }

private:
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
};

class Processor
{
public:
    // The retry delay of a busy camera.
    static constexpr DWORD kRetryMs = 500;

    explicit Processor(kestrun::IClock& clock) : m_clock(clock) {}
    ~Processor();
    Processor(const Processor&) = delete;
    Processor& operator=(const Processor&) = delete;

    void start();
    // Appends at the end of the queue.
    void enqueue(std::unique_ptr<Command> command);
    // Runs after the loop ends.
    void setCloseCommand(std::unique_ptr<Command> command);
    // Clears the run flag: the thread ends after its current command.
    void stop();
    // Waits for the thread to end.
    void join();
    bool isRunning() const;
    kestrun::IClock& clock() { return m_clock; }

private:
    void run();
    std::unique_ptr<Command> take();

    kestrun::IClock& m_clock;
    mutable Synchronized m_sync;
    std::deque<std::unique_ptr<Command>> m_queue;
    std::unique_ptr<Command> m_closeCommand;
    bool m_bRunning = false;
    std::thread m_thread;
};
