#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

// Where a player's sound is now, from libmpv's last reports of its position. Playing sound
// alone, libmpv reports the position each time it hands the sound server more sound, 50 to
// 80 ms apart, and the sound moves on until the next report. Taken as it stood, a report read
// later was up to 80 ms behind, by a different amount for each player: the follower saw
// player 2 up to 60 ms from player 1 where both were heard within a millisecond, and set about
// correcting it. Through PulseAudio each report is right as it comes; through PipeWire one in
// four or so is up to a graph cycle (10.7 ms) behind, never ahead. So every report is carried
// forward by the time since it came, and the one furthest on counts.
// (With moving pictures the position is the picture on screen; the players read it as it is.)
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
    // Nothing counts any more (a new file, a stop).
    void forget() { m_count = 0; }

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
};
