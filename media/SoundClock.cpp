#include "SoundClock.h"

#include <algorithm>

void SoundClock::report(double seconds, bool playedOn, Clock::time_point at) {
    if (!playedOn) {
        m_count = 0;
        return;
    }
    m_reports[m_next] = {seconds, at};
    m_next = (m_next + 1) % kKept;
    m_count = std::min(m_count + 1, kKept);
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
