#pragma once

#include <QProcess>
#include <string>

// An mpv program playing a file on its own, as a user could run two of instead of this one.
class StandaloneMpv {
public:
    explicit StandaloneMpv(const std::string& video);
    ~StandaloneMpv();
    StandaloneMpv(const StandaloneMpv&) = delete;
    StandaloneMpv& operator=(const StandaloneMpv&) = delete;

    // Resident memory of the process now, in KiB; -1 if unknown.
    long rssKiB() const;

private:
    QProcess m_process;
};
