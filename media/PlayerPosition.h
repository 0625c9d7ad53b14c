#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "PendingSeek.h"

// Where a player stands, from libmpv's position reports and the seeks written to it. While a
// seek is unfinished the position reads back as written (PendingSeek). Reports made before
// libmpv took the last seek, or the file, are stale: until that seek has settled and a newer
// report arrived, the position stays where the seek went. A seek that never reports back is
// given up, and reports count again from then on. Reading changes nothing: every change comes
// with an event (a seek written, libmpv's reply, a restart, a report).
class PlayerPosition {
public:
    using Clock = PendingSeek::Clock;
    // libmpv's last position report: empty while it has none; reports are numbered.
    struct Report {
        std::optional<double> seconds;
        std::uint64_t serial = 0;
    };

    // A file is being opened: it stands at its start until reports of it come.
    void fileOpening();
    // libmpv took the file when its reports were numbered up to `serial`.
    void fileTaken(std::uint64_t serial) { m_takenSerial = serial; }
    // Nothing written is pending any more (a new file, the player emptied).
    void dropSeek() {
        m_seek.clear();
        m_sent.reset();
    }

    // A seek to `seconds` is written; returns the id to send it with.
    std::uint64_t seekBegins(double seconds, Clock::time_point now);
    // The seek could not be sent.
    void seekNotSent() {
        m_seek.clear();
        m_sent.reset();
    }
    // libmpv replied to seek `id` when its reports were numbered up to `serial`. A refused seek
    // leaves the player where it was, which only libmpv's reports can tell.
    void seekReplied(std::uint64_t id, bool failed, std::uint64_t serial, Clock::time_point now);
    // libmpv's playback restarted; a seek acknowledged before has landed. Only the file's own
    // restarts (once it is loaded) settle a seek.
    void restarted(bool fileLoaded, Clock::time_point now);
    // A report arrived.
    void reported(const Report& report, Clock::time_point now);

    // A paused player stands `at` (empty while playing or while the report is not current). A
    // seek lands where it is sent and a paused position does not move: one standing well short
    // of where its last seek went for kStandsShortFor stands where its data ends. A report that
    // is stale for a moment does not stand that long. True once it has.
    bool standsShort(std::optional<double> at, std::optional<double> length, Clock::time_point now);
    static constexpr std::chrono::milliseconds kStandsShortFor{1000};
    // Where the last seek went: empty before the first of a file, and after one that libmpv
    // refused or never answered.
    std::optional<double> sentTo() const { return m_sent; }
    // libmpv tells of the end while the player stands `at`: the end is where its data ends if
    // that is well short of where the last seek went (a seek past it lands there). The news
    // of an end that a rewind has left behind may still come, the player at where it was sent.
    bool endedShortOfSeek(std::optional<double> at, std::optional<double> length) const {
        return at && m_sent && landedShort(*m_sent, *at, length);
    }

    // The written position while the seek is unfinished.
    std::optional<double> target(Clock::time_point now) const { return m_seek.target(now); }
    bool seeking(Clock::time_point now) const { return target(now).has_value(); }
    // A report numbered `serial` tells where the player stands: no seek is pending or settling,
    // and it is newer than the reports of the last seek settled.
    bool isCurrent(std::uint64_t serial, Clock::time_point now) const;
    // The report, if it counts; else where the last seek went or the last report that counted.
    double position(const Report& report, Clock::time_point now) const;

    // Whether a file of `length` seconds whose data ended `at` ended well before its length, by
    // more than an estimated length is off: then its data ran out there (a failing share, a file
    // cut short, garbage), and it did not end.
    static bool endedEarly(std::optional<double> at, std::optional<double> length);
    static constexpr double kEarlyEndSeconds = 1.0;
    static constexpr double kEarlyEndShare = 0.05;

private:
    // Short of where it was sent by more than a length is off.
    static bool landedShort(double sent, double at, std::optional<double> length);
    bool settling(Clock::time_point now) const;
    std::uint64_t settledSerial(Clock::time_point now) const;
    // A seek given up counts as settled, with every report after it.
    void giveUpIfSilent(Clock::time_point now);

    PendingSeek m_seek;
    std::uint64_t m_seekId = 0;
    bool m_awaitingSettle = false;
    std::uint64_t m_takenSerial = 0;
    std::uint64_t m_settledSerial = 0;
    double m_last = 0.0;
    std::optional<double> m_sent;
    std::optional<Clock::time_point> m_shortSince;
};
