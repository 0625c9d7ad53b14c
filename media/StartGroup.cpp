#include "StartGroup.h"

#include <algorithm>
#include <utility>
#include <vector>

StartGroup::StartGroup(TurnClock& clock, std::chrono::milliseconds patience)
    : m_clock(clock),
      m_group(
          clock, patience, [this] { startIfReady(false); }, [this] { startIfReady(true); }) {}

void StartGroup::request(IListenedPlayer& player) {
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
    if (!ready && !force) {
        m_group.keepWaiting();
        return;
    }
    for (IListenedPlayer* player : m_group.take()) {
        player->startNow();
    }
}
