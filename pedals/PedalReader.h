#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "IPedalDiscovery.h"
#include "IPedalLog.h"
#include "PedalModels.h"
#include "PedalRole.h"

// One open node of a pedal: reads what the node has delivered and turns it into the roles held.
class PedalReader {
public:
    enum class Status { Open, Gone };

    PedalReader(PedalNode node, const PedalModel& model, int fd, IPedalLog& log);

    // Reads what has come, a bounded amount per call so that a flooding device leaves the event
    // loop its turn (the watcher calls again while more is there). Appends the roles held after
    // each report that changed them. Gone once the node has ended or failed.
    Status read(std::vector<RoleMask>& held);

    RoleMask held() const { return m_held; }
    const PedalNode& node() const { return m_node; }
    const PedalModel& model() const { return m_model; }
    int fd() const { return m_fd; }
    // "VEC/Infinity IN-USB-1/2/3 (05f3:00ff) at /dev/hidraw3"
    std::string description() const;

private:
    Status readReports(std::vector<RoleMask>& held);
    Status readEvents(std::vector<RoleMask>& held);
    Status ended(long result, int error);
    void take(RoleMask now, std::vector<RoleMask>& held);
    void unknown(const std::string& what);

    PedalNode m_node;
    const PedalModel& m_model;
    int m_fd;
    IPedalLog& m_log;
    RoleMask m_held = 0;
    bool m_unknownSaid = false;
    // The start of an input event whose rest has not come yet.
    std::vector<std::uint8_t> m_partial;
};
