#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Plays the window manager's part of _NET_WM_PING from a connection of its own: pings the
// window at a fixed interval and times each answer. A window answers from its event loop, so a
// late answer is a window that was not reacting.
class PingProbe {
public:
    struct Figures {
        int sent = 0;
        int answered = 0;
        double longestMs = 0;  // of the answered ones, or the wait of the oldest unanswered
    };

    PingProbe(std::uint32_t window, std::chrono::milliseconds interval);
    ~PingProbe();
    PingProbe(const PingProbe&) = delete;
    PingProbe& operator=(const PingProbe&) = delete;

    // Stops sending; answers still count. True once every ping sent has been answered.
    void stopSending() { m_sending = false; }
    bool allAnswered();
    Figures figures();

private:
    using Clock = std::chrono::steady_clock;
    void run();
    void ping(std::uint32_t stamp);
    xcb_atom_t atom(const char* name);

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_window_t m_window;
    xcb_atom_t m_protocols;
    xcb_atom_t m_ping;
    std::chrono::milliseconds m_interval;
    std::atomic<bool> m_sending{true};
    std::atomic<bool> m_quit{false};
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_sentAt;  // index: stamp - 1
    std::vector<double> m_latencyMs;          // index: stamp - 1, negative while unanswered
    std::thread m_thread;
};
