#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

class IRemoteTimer;

// The remote's commands on their way to the window's thread. A client may send thousands in a
// moment; the window runs one at a time and rests a little after each, and whatever comes
// meanwhile is kept as one command, the latest, which replaces the one waiting (logged). So a
// burst costs the window one command per rest, never a command or a message box per call, and
// libmpv is never sent more requests than the window reads back in time. A command on its own
// runs at once, as before.
class CommandQueue {
public:
    static constexpr std::chrono::milliseconds kRest{50};

    explicit CommandQueue(IRemoteTimer& timer) : m_timer(timer) {}
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    // From any thread; the command runs later on the window's thread. The name is for the log.
    void submit(std::string name, std::function<void()> command);

private:
    enum class Phase { Idle, Posted, Running, Resting };

    void runNext();

    IRemoteTimer& m_timer;
    std::mutex m_mutex;
    Phase m_phase = Phase::Idle;
    std::string m_waitingName;
    std::function<void()> m_waiting;
    int m_replaced = 0;
};
