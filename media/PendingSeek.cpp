#include "PendingSeek.h"

std::uint64_t PendingSeek::begin(double target, Clock::time_point now) {
    m_target = target;
    m_acknowledged = false;
    m_since = now;
    return ++m_lastId;
}

void PendingSeek::replied(std::uint64_t id, bool failed) {
    if (id != m_lastId || !m_target) {
        return;
    }
    if (failed) {
        m_target.reset();
    } else {
        m_acknowledged = true;
    }
}

void PendingSeek::restarted() {
    if (m_acknowledged) {
        m_target.reset();
    }
}

std::optional<double> PendingSeek::target(Clock::time_point now) const {
    if (m_target && now - m_since > kGiveUpAfter) {
        return std::nullopt;
    }
    return m_target;
}
