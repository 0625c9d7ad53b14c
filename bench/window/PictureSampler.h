#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ScreenGrab.h"

// Captures the screen on a thread of its own at a steady pace and reads a frame number from
// each given region of every capture, while the window's thread goes on with its work.
class PictureSampler {
public:
    using Clock = std::chrono::steady_clock;
    struct Sample {
        Clock::time_point at;
        std::vector<std::optional<long>> frames;  // one per region
    };

    // regions in root coordinates; every capture covers all of them at once.
    explicit PictureSampler(std::vector<ScreenRect> regions);
    ~PictureSampler();
    PictureSampler(const PictureSampler&) = delete;
    PictureSampler& operator=(const PictureSampler&) = delete;

    // Starts capturing every `period`, until `count` samples are taken (0: until stop()).
    void start(std::chrono::milliseconds period, std::size_t count = 0);
    void stop();
    bool finished() const { return m_finished; }
    std::vector<Sample> samples() const;
    // Why capturing failed (no display, an unusual screen); empty while all is well.
    std::string error() const;

private:
    void run(std::chrono::milliseconds period, std::size_t count);

    std::vector<ScreenRect> m_regions;
    ScreenRect m_bounds;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    mutable std::mutex m_mutex;
    std::vector<Sample> m_samples;
    std::string m_error;
};
