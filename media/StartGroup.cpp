#include "StartGroup.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {
// Landings closer than this to where they were sent count as there.
constexpr double kLandedWithin = 0.001;
}  // namespace

StartGroup::StartGroup(TurnClock& clock, std::chrono::milliseconds patience)
    : m_clock(clock),
      m_group(
          clock, patience, [this] { startIfReady(false); }, [this] { startIfReady(true); }) {}

void StartGroup::request(IListenedPlayer& player) {
    if (m_group.waiting().empty() && m_group.turnEmpty()) {
        m_broughtTogether = false;
    }
    m_group.join(&player);
}

void StartGroup::withdraw(IListenedPlayer& player) {
    m_group.remove(&player);
    if (std::exchange(m_checkQueued, true)) {
        return;
    }
    m_clock.afterTurn([this] {
        m_checkQueued = false;
        startIfReady(false);
    });
}

void StartGroup::check() {
    startIfReady(false);
}

void StartGroup::startIfReady(bool force) {
    const std::vector<IListenedPlayer*>& waiting = m_group.waiting();
    if (waiting.empty()) {
        m_group.take();  // nothing to wait for
        return;
    }
    const bool ready = std::all_of(waiting.begin(), waiting.end(),
                                   [](const IListenedPlayer* p) { return p->readyToStart(); });
    if (!force && (!ready || bringingTogether(waiting))) {
        m_group.keepWaiting();
        return;
    }
    m_broughtTogether = false;
    for (IListenedPlayer* player : m_group.take()) {
        player->startNow();
    }
}

bool StartGroup::bringingTogether(const std::vector<IListenedPlayer*>& members) {
    if (m_broughtTogether || members.size() < 2) {
        return false;
    }
    // Where a member landed may be known only once libmpv answers a read; the group hears
    // again then.
    std::vector<double> offs;
    for (const IListenedPlayer* member : members) {
        const std::optional<double> off = member->landedOffBy();
        if (!off) {
            return true;
        }
        offs.push_back(*off);
    }
    // The moment all start at: where the first video landed, as a picture cannot be moved to
    // a moment between two; without one, the latest landing, since sound alone sent before
    // its file's first sound starts at that sound and cannot be moved earlier.
    const auto pictured = std::find_if(members.begin(), members.end(),
                                       [](const auto* p) { return p->startsWherePictureLands(); });
    const double to = pictured != members.end() ? offs[pictured - members.begin()]
                                                : *std::max_element(offs.begin(), offs.end());
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (!members[i]->startsWherePictureLands() && std::abs(offs[i] - to) >= kLandedWithin) {
            members[i]->moveStartBy(to);
            m_broughtTogether = true;
        }
    }
    return m_broughtTogether;
}
