#include "StartCoordinator.h"

#include <algorithm>

StartCoordinator::StartCoordinator(std::chrono::milliseconds patience, TurnClock* clock)
    : m_ownClock(clock ? nullptr : makeQtTurnClock()),
      m_clock(clock ? *clock : *m_ownClock),
      m_group(
          m_clock, patience, [this] { startIfReady(false); }, [this] { startIfReady(true); }),
      m_pictures(std::chrono::milliseconds{500}, std::chrono::milliseconds{15}, &m_clock) {}

void StartCoordinator::requestStart(Member* member) {
    m_group.join(member);
}

void StartCoordinator::withdraw(Member* member) {
    m_group.remove(member);
    startIfReady(false);
}

void StartCoordinator::memberReady() {
    startIfReady(false);
}

void StartCoordinator::startIfReady(bool force) {
    const std::vector<Member*>& waiting = m_group.waiting();
    if (waiting.empty()) {
        m_group.take();  // nothing to wait for
        return;
    }
    const bool ready = std::all_of(waiting.begin(), waiting.end(),
                                   [](const Member* m) { return m->readyToStart(); });
    if (!ready && !force) {
        m_group.keepWaiting();
        return;
    }
    for (Member* member : m_group.take()) {
        member->startNow();
    }
}
