#include "SoundClock.h"

#include <algorithm>

namespace {

// A position that went on from the one before about as far as the clock did (at up to twice
// the speed), not a seek's jump.
bool playedOn(double before, double after, SoundClock::Clock::duration between) {
    const double seconds = std::chrono::duration<double>(between).count();
    return after > before && after - before <= 2.0 * seconds + 0.01;
}

}  // namespace

void SoundClock::report(double seconds, bool playedOn, Clock::time_point at) {
    if (!playedOn) {
        m_count = 0;
        return;
    }
    m_reports[m_next] = {seconds, at};
    m_next = (m_next + 1) % kKept;
    m_count = std::min(m_count + 1, kKept);
}

void SoundClock::reported(std::optional<double> seconds, bool paused, Clock::time_point at) {
    if (!seconds) {
        clear();
        return;
    }
    report(*seconds, !paused && m_last && playedOn(m_last->seconds, *seconds, at - m_last->at), at);
    m_last = Report{*seconds, at};
}

std::optional<double> SoundClock::position(Clock::time_point now, double speed) const {
    std::optional<double> furthest;
    for (std::size_t i = 0; i < m_count; ++i) {
        const Report& r = m_reports[(m_next + kKept - 1 - i) % kKept];  // newest first
        const auto age = now - r.at;
        if (age > kReportsCount || age < Clock::duration::zero())
            break;
        const double carried = r.seconds + std::chrono::duration<double>(age).count() * speed;
        furthest = std::max(furthest.value_or(carried), carried);
    }
    return furthest;
}
