#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

// Where a player's sound is now, from libmpv's last reports of its position. Playing sound
// alone, libmpv reports the position each time it hands the sound server more sound, tens of
// milliseconds apart, and the sound moves on until the next report. Taken as it stands, a
// report read later is behind by a different amount for each player, and two players heard
// together would read as apart. Each report is right as it comes, or (through PipeWire) now
// and then up to a graph cycle behind, never ahead. So every report is carried forward by the
// time since it came, and the one furthest on counts.
// With moving pictures libmpv's position is the picture on screen, drawn a few milliseconds early
// or late; its reports of the sound heard (audio-pts) make a clock of their own.
class SoundClock {
public:
    using Clock = std::chrono::steady_clock;

    // Reports that came within this time count. They come more often while the sound plays; a
    // newest one older than this means that the sound stands (it ran dry, or the machine held
    // libmpv back), and it is carried forward no further.
    static constexpr std::chrono::milliseconds kReportsCount{200};

    // A report of the position. playedOn: it went on from the one before about as far as the
    // clock did, while playing; otherwise (a start, a seek's jump, a pause) the reports before
    // it no longer count and none is carried forward until the sound moves on again.
    void report(double seconds, bool playedOn, Clock::time_point at);
    // A report as libmpv sends it, empty while it has no position: it played on from the last
    // one if the player is not paused and it went on about as far as the clock did.
    void reported(std::optional<double> seconds, bool paused, Clock::time_point at);
    // Nothing counts any more (a stop, a pause).
    void forget() { m_count = 0; }
    // Nor does the last report (a new file).
    void clear() {
        m_count = 0;
        m_last.reset();
    }

    // Where the sound is at `now`, playing at `speed`; nothing while no moving report counts.
    std::optional<double> position(Clock::time_point now, double speed) const;

private:
    struct Report {
        double seconds;
        Clock::time_point at;
    };
    static constexpr std::size_t kKept = 8;
    std::array<Report, kKept> m_reports{};
    std::size_t m_next = 0;
    std::size_t m_count = 0;
    std::optional<Report> m_last;
};
