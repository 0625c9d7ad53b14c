#pragma once

#include <QProcess>
#include <optional>
#include <string>

// An mpv program playing a file on its own, as a user could run two of instead of this one;
// asked for its position through its JSON socket.
class StandaloneMpv {
public:
    explicit StandaloneMpv(const std::string& video);
    ~StandaloneMpv();
    StandaloneMpv(const StandaloneMpv&) = delete;
    StandaloneMpv& operator=(const StandaloneMpv&) = delete;

    // Blocks for at most a second; nothing if mpv is not answering (yet).
    std::optional<double> timePos();
    // User and system time of the process so far.
    double cpuSeconds() const;
    // Resident memory of the process now, in KiB; -1 if unknown.
    long rssKiB() const;

private:
    std::string m_socket;
    QProcess m_process;
};
