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
    if (m_broughtTogether) {
        return false;
    }
    const auto pictured = std::find_if(members.begin(), members.end(),
                                       [](const auto* p) { return p->startsWherePictureLands(); });
    if (pictured == members.end()) {
        return false;
    }
    // Where it landed is read after the landing; the group hears again when it is known.
    const std::optional<double> off = (*pictured)->landedOffBy();
    if (!off) {
        return true;
    }
    if (std::abs(*off) < kLandedWithin) {
        return false;
    }
    for (IListenedPlayer* member : members) {
        if (!member->startsWherePictureLands()) {
            member->moveStartBy(*off);
            m_broughtTogether = true;
        }
    }
    return m_broughtTogether;
}
