#include "CommandQueue.h"

#include <QLoggingCategory>
#include <exception>
#include <utility>

#include "IRemoteTimer.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

void CommandQueue::submit(std::string name, std::function<void()> command) {
    {
        std::lock_guard lock(m_mutex);
        if (m_waiting)
            ++m_replaced;
        m_waitingName = std::move(name);
        m_waiting = std::move(command);
        if (m_phase != Phase::Idle)
            return;  // runs when the one in progress and its rest are over
        m_phase = Phase::Posted;
    }
    m_timer.after(std::chrono::milliseconds(0), [this] { runNext(); });
}

void CommandQueue::runNext() {
    std::function<void()> command;
    std::string name;
    int replaced = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_waiting) {
            m_phase = Phase::Idle;
            return;
        }
        command = std::exchange(m_waiting, nullptr);
        name = std::exchange(m_waitingName, {});
        replaced = std::exchange(m_replaced, 0);
        m_phase = Phase::Running;
    }
    if (replaced > 0)
        qCInfo(lcRemote).nospace() << "dropped " << replaced
                                   << " remote command(s) that a later one replaced before they "
                                      "ran; running "
                                   << QString::fromStdString(name);
    try {
        // May show a message and wait for it; commands coming meanwhile wait as one.
        command();
    } catch (const std::exception& e) {
        qCWarning(lcRemote) << "remote command" << QString::fromStdString(name)
                            << "failed:" << e.what();
    }
    {
        std::lock_guard lock(m_mutex);
        m_phase = Phase::Resting;
    }
    m_timer.after(kRest, [this] { runNext(); });
}
