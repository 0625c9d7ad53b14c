#include "PlayerPosition.h"

#include <algorithm>

void PlayerPosition::fileOpening() {
    m_seek.clear();
    m_last = 0.0;
    m_sent.reset();
    m_shortSince.reset();
    m_awaitingSettle = true;
}

std::uint64_t PlayerPosition::seekBegins(double seconds, Clock::time_point now) {
    m_seekId = m_seek.begin(seconds, now);
    m_last = seconds;
    m_sent = seconds;
    m_shortSince.reset();
    m_awaitingSettle = true;
    return m_seekId;
}

void PlayerPosition::seekReplied(std::uint64_t id, bool failed, std::uint64_t serial,
                                 Clock::time_point now) {
    giveUpIfSilent(now);
    m_seek.replied(id, failed);
    if (failed) {
        m_sent.reset();
        m_awaitingSettle = false;
        m_settledSerial = 0;
    } else if (id == m_seekId) {
        m_takenSerial = serial;
    }
}

void PlayerPosition::restarted(bool fileLoaded, Clock::time_point now) {
    giveUpIfSilent(now);
    m_seek.restarted();
    if (fileLoaded && m_awaitingSettle && !m_seek.target(now)) {
        m_awaitingSettle = false;
        m_settledSerial = m_takenSerial;
    }
}

void PlayerPosition::reported(const Report& report, Clock::time_point now) {
    giveUpIfSilent(now);
    if (report.seconds && isCurrent(report.serial, now)) {
        m_last = std::max(*report.seconds, 0.0);
    }
}

bool PlayerPosition::isCurrent(std::uint64_t serial, Clock::time_point now) const {
    return !seeking(now) && !settling(now) && serial > settledSerial(now);
}

double PlayerPosition::position(const Report& report, Clock::time_point now) const {
    if (const auto written = target(now)) {
        return *written;
    }
    if (report.seconds && isCurrent(report.serial, now)) {
        return std::max(*report.seconds, 0.0);
    }
    return m_last;
}

bool PlayerPosition::settling(Clock::time_point now) const {
    return m_awaitingSettle && !m_seek.gaveUp(now);
}

std::uint64_t PlayerPosition::settledSerial(Clock::time_point now) const {
    return m_awaitingSettle && m_seek.gaveUp(now) ? 0 : m_settledSerial;
}

void PlayerPosition::giveUpIfSilent(Clock::time_point now) {
    if (m_awaitingSettle && m_seek.gaveUp(now)) {
        m_seek.clear();  // no news of that seek will come
        m_sent.reset();
        m_awaitingSettle = false;
        m_settledSerial = 0;
    }
}

namespace {

double earlyEndMargin(double length) {
    return std::max(PlayerPosition::kEarlyEndSeconds, PlayerPosition::kEarlyEndShare * length);
}

}  // namespace

bool PlayerPosition::landedShort(double sent, double at, std::optional<double> length) {
    return length && at < sent - earlyEndMargin(*length);
}

bool PlayerPosition::endedEarly(std::optional<double> at, std::optional<double> length) {
    if (!at || !length) {
        return false;
    }
    return *at < *length - earlyEndMargin(*length);
}

bool PlayerPosition::standsShort(std::optional<double> at, std::optional<double> length,
                                 Clock::time_point now) {
    if (!at || !m_sent || !landedShort(*m_sent, *at, length)) {
        m_shortSince.reset();
        return false;
    }
    if (!m_shortSince) {
        m_shortSince = now;
    }
    return now - *m_shortSince >= kStandsShortFor;
}
