#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Tracks the last seek written to a player until libmpv has finished it, so that the position
// reads back as written meanwhile. A seek counts as finished at the first playback restart
// after libmpv acknowledged the seek command; restarts of earlier seeks that were still queued
// do not count. A seek that never reports back is given up after a while.
class PendingSeek {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kGiveUpAfter{2000};

    // Returns the id to send the seek command with.
    std::uint64_t begin(double target, Clock::time_point now);
    void replied(std::uint64_t id, bool failed);
    void restarted();
    void clear() { m_target.reset(); }

    // The written position while the seek is unfinished.
    std::optional<double> target(Clock::time_point now) const;
    // The seek never reported back in time; it is taken as lost.
    bool gaveUp(Clock::time_point now) const { return m_target && now - m_since > kGiveUpAfter; }

private:
    std::optional<double> m_target;
    std::uint64_t m_lastId = 0;
    bool m_acknowledged = false;
    Clock::time_point m_since;
};
