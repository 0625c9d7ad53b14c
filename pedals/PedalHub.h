#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "IFdWatcher.h"
#include "IPedalDiscovery.h"
#include "IPedalLog.h"
#include "IPedalNodes.h"
#include "PedalModels.h"
#include "PedalReader.h"
#include "PedalRole.h"

// All pedals present: found at start and when plugged in, forgotten when pulled out or broken.
// Tells its listener each role going down or up across all of them: a role is down while any
// pedal holds it.
class PedalHub {
public:
    using Listener = std::function<void(std::span<const PedalChange>)>;

    // A node of a known pedal and whether it could be read.
    struct Found {
        PedalNode node;
        const PedalModel* model = nullptr;
        bool readable = false;
        std::string problem;  // why not, when not
    };

    PedalHub(IPedalDiscovery& discovery, IPedalNodes& nodes, IFdWatcher& watcher, IPedalLog& log);
    ~PedalHub();
    PedalHub(const PedalHub&) = delete;
    PedalHub& operator=(const PedalHub&) = delete;

    // Opens the pedals present and watches for others; changes go to the listener, called on
    // the watcher's loop once per batch of reports.
    void start(Listener listener);

    // The nodes of known pedals found so far (those pulled out are dropped).
    const std::vector<Found>& found() const { return m_found; }

    // The access rule that the package installs.
    static constexpr const char* kRuleFile = "/usr/lib/udev/rules.d/70-pellucor-pedals.rules";

private:
    void add(const PedalNode& node);
    void remove(const std::string& syspath);
    void readable(int fd);
    void changed();
    void forget(int fd, std::vector<PedalChange>& changes);
    void apply(RoleMask before, RoleMask after, std::vector<PedalChange>& changes);
    void tell(const std::vector<PedalChange>& changes);
    bool wanted(const PedalNode& node, const PedalModel*& model) const;

    IPedalDiscovery& m_discovery;
    IPedalNodes& m_nodes;
    IFdWatcher& m_watcher;
    IPedalLog& m_log;
    Listener m_listener;
    std::map<int, std::unique_ptr<PedalReader>> m_readers;
    std::vector<Found> m_found;
    // How many open nodes hold each role down.
    std::array<int, kPedalRoleCount> m_holders{};
    int m_changesFd = -1;
};
