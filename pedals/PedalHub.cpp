#include "PedalHub.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

PedalHub::PedalHub(IPedalDiscovery& discovery, IPedalNodes& nodes, IFdWatcher& watcher,
                   IPedalLog& log)
    : m_discovery(discovery), m_nodes(nodes), m_watcher(watcher), m_log(log) {}

PedalHub::~PedalHub() {
    if (m_changesFd >= 0)
        m_watcher.unwatch(m_changesFd);
    for (const auto& [fd, reader] : m_readers) {
        m_watcher.unwatch(fd);
        m_nodes.close(fd);
    }
}

void PedalHub::start(Listener listener) {
    m_listener = std::move(listener);
    m_changesFd = m_discovery.changesFd();
    if (m_changesFd >= 0)
        m_watcher.watch(m_changesFd, [this] { changed(); });
    for (const PedalNode& node : m_discovery.present())
        add(node);
}

bool PedalHub::wanted(const PedalNode& node, const PedalModel*& model) const {
    model = findPedalModel(node.vendor, node.product);
    if (!model)
        return false;
    const bool hidraw = node.kind == PedalNode::Kind::Hidraw;
    if (hidraw != readsHidraw(model->family))
        return false;
    return std::none_of(m_found.begin(), m_found.end(),
                        [&node](const Found& f) { return f.node.syspath == node.syspath; });
}

void PedalHub::add(const PedalNode& node) {
    const PedalModel* model = nullptr;
    if (!wanted(node, model))
        return;
    Found found{node, model, false, {}};
    const std::string what = std::string(model->name) + " (" +
                             usbIdText(node.vendor, node.product) + ") at " + node.devnode;
    int error = 0;
    const int fd = m_nodes.open(node, error);
    if (fd < 0) {
        found.problem = std::strerror(error);
        if (error == EACCES || error == EPERM) {
            found.problem += "; the udev rule " + std::string(kRuleFile) +
                             " gives the logged-in user access (install the package, then plug "
                             "the pedal in again)";
        }
        m_log.warning("cannot read pedal " + what + ": " + found.problem);
        m_found.push_back(std::move(found));
        return;
    }
    if (node.kind == PedalNode::Kind::Event) {
        // Its keys must not reach the program in front.
        if (const int refused = m_nodes.grab(fd); refused != 0) {
            m_nodes.close(fd);
            found.problem = std::string("cannot take it for this program alone: ") +
                            std::strerror(refused) +
                            (refused == EBUSY ? " (another program has taken it)" : "");
            m_log.warning("cannot read pedal " + what + ": " + found.problem);
            m_found.push_back(std::move(found));
            return;
        }
    }
    found.readable = true;
    m_found.push_back(std::move(found));
    m_readers[fd] = std::make_unique<PedalReader>(node, *model, fd, m_log);
    m_watcher.watch(fd, [this, fd] { readable(fd); });
    m_log.info("reading pedal " + what);
}

void PedalHub::remove(const std::string& syspath) {
    std::erase_if(m_found, [&syspath](const Found& f) { return f.node.syspath == syspath; });
    std::vector<PedalChange> changes;
    for (const auto& [fd, reader] : m_readers) {
        if (reader->node().syspath == syspath) {
            m_log.info("pedal " + reader->description() + " was pulled out");
            forget(fd, changes);
            break;
        }
    }
    tell(changes);
}

void PedalHub::readable(int fd) {
    const auto it = m_readers.find(fd);
    if (it == m_readers.end())
        return;
    PedalReader& reader = *it->second;
    std::vector<RoleMask> held;
    const RoleMask before = reader.held();
    const PedalReader::Status status = reader.read(held);
    std::vector<PedalChange> changes;
    RoleMask last = before;
    for (const RoleMask now : held) {
        apply(last, now, changes);
        last = now;
    }
    if (status == PedalReader::Status::Gone) {
        const std::string syspath = reader.node().syspath;
        forget(fd, changes);
        std::erase_if(m_found, [&syspath](const Found& f) { return f.node.syspath == syspath; });
    }
    tell(changes);
}

void PedalHub::changed() {
    for (const PedalNodeChange& change : m_discovery.changes()) {
        if (change.added)
            add(change.node);
        else
            remove(change.node.syspath);
    }
}

// A node that goes lets go of what it held.
void PedalHub::forget(int fd, std::vector<PedalChange>& changes) {
    const auto it = m_readers.find(fd);
    apply(it->second->held(), 0, changes);
    m_watcher.unwatch(fd);
    m_nodes.close(fd);
    m_readers.erase(it);
}

void PedalHub::apply(RoleMask before, RoleMask after, std::vector<PedalChange>& changes) {
    for (int r = 0; r < kPedalRoleCount; ++r) {
        const auto role = static_cast<PedalRole>(r);
        const bool was = before & maskOf(role);
        const bool is = after & maskOf(role);
        if (was == is)
            continue;
        int& holders = m_holders[static_cast<std::size_t>(r)];
        holders += is ? 1 : -1;
        if ((is && holders == 1) || (!is && holders == 0))
            changes.push_back({role, is});
    }
}

void PedalHub::tell(const std::vector<PedalChange>& changes) {
    if (!changes.empty() && m_listener)
        m_listener(changes);
}
