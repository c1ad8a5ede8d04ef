#include "cameraplugins/eos/processor.h"

namespace {

// The idle wait for the next command.
constexpr DWORD kIdleWaitMs = 10;
// The pause between two commands.
constexpr DWORD kCommandGapMs = 1;

} // namespace

Processor::~Processor()
{
    stop();
    join();
}

void Processor::start()
{
    if (m_thread.joinable())
        return;
    m_sync.lock();
    m_bRunning = true;
    m_sync.unlock();
    m_thread = std::thread([this] { run(); });
}

void Processor::enqueue(std::unique_ptr<Command> command)
{
    m_sync.lock();
    m_queue.push_back(std::move(command));
    m_sync.notify();
    m_sync.unlock();
}

void Processor::setCloseCommand(std::unique_ptr<Command> command)
{
    m_sync.lock();
    m_closeCommand = std::move(command);
    m_sync.unlock();
}

void Processor::stop()
{
    m_sync.lock();
    m_bRunning = false;
    m_sync.notify();
    m_sync.unlock();
}

void Processor::join()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

bool Processor::isRunning() const
{
    m_sync.lock();
    const bool running = m_bRunning;
    m_sync.unlock();
    return running;
}

std::unique_ptr<Command> Processor::take()
{
    m_sync.lock();
    while (m_queue.empty() && m_bRunning)
        m_sync.wait(kIdleWaitMs);
    std::unique_ptr<Command> command;
    if (m_bRunning) {
        command = std::move(m_queue.front());
        m_queue.pop_front();
    }
    m_sync.unlock();
    return command;
}

void Processor::run()
{
    for (;;) {
        m_clock.SleepMs(kCommandGapMs);
        std::unique_ptr<Command> command = take();
        if (!command)
            break;
        if (command->run())
            continue;
        m_clock.SleepMs(kRetryMs);
        enqueue(std::move(command));
    }
    m_sync.lock();
    const std::deque<std::unique_ptr<Command>> dropped = std::move(m_queue);
    m_queue.clear();
    std::unique_ptr<Command> close = std::move(m_closeCommand);
    m_sync.unlock();
    if (close)
        close->run();
}
