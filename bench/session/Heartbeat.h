#pragma once

#include <QTimer>
#include <algorithm>
#include <chrono>

// A 5 ms timer on the UI thread: the longest gap between two ticks is the longest time the
// window could not react to anything.
class Heartbeat {
public:
    using Clock = std::chrono::steady_clock;

    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { beat(); });
        m_timer.start();
        reset();
    }

    void reset() {
        m_last = Clock::now();
        m_longest = {};
    }

    // The longest gap since reset(), the one still open included.
    double longestGapMs() const {
        const auto open = Clock::now() - m_last;
        return std::chrono::duration<double, std::milli>(std::max(m_longest, open)).count();
    }

private:
    void beat() {
        const auto now = Clock::now();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    Clock::time_point m_last;
    Clock::duration m_longest{};
};
