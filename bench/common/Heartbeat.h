#pragma once

#include <sys/resource.h>

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <ctime>

// A 5 ms timer on the UI thread: the longest gap between two ticks is the longest time the
// window could not react to anything. For that gap it also keeps what the thread did meanwhile:
// CPU time it used (its own work), and how often it gave the CPU up (waiting on a lock, the X
// server, a pipe) or had it taken away (other processes wanting the cores). A gap with little
// CPU and many forced switches is the machine's load, not the window's work.
class Heartbeat {
public:
    using Clock = std::chrono::steady_clock;

    struct Gap {
        double wallMs = 0;
        double cpuMs = 0;
        long waits = 0;      // voluntary context switches
        long preempted = 0;  // involuntary ones
    };

    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { beat(); });
        m_timer.start();
        reset();
    }

    void reset() {
        m_last = sample();
        m_longest = {};
        m_startCpu = m_last.cpuMs;
    }

    // The longest gap since reset(), the one still open included.
    double longestGapMs() const {
        const auto open = Clock::now() - m_last.at;
        return std::max(m_longest.wallMs, std::chrono::duration<double, std::milli>(open).count());
    }
    Gap longestGap() const { return m_longest; }
    // CPU time the UI thread used since reset().
    double cpuMsSinceReset() const { return sample().cpuMs - m_startCpu; }

private:
    struct Sample {
        Clock::time_point at;
        double cpuMs;
        long waits;
        long preempted;
    };

    static Sample sample() {
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return {Clock::now(),
                static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6,
                usage.ru_nvcsw, usage.ru_nivcsw};
    }

    void beat() {
        const Sample now = sample();
        const double wall = std::chrono::duration<double, std::milli>(now.at - m_last.at).count();
        if (wall > m_longest.wallMs) {
            m_longest = {wall, now.cpuMs - m_last.cpuMs, now.waits - m_last.waits,
                         now.preempted - m_last.preempted};
        }
        m_last = now;
    }

    QTimer m_timer;
    Sample m_last{};
    Gap m_longest;
    double m_startCpu = 0;
};
