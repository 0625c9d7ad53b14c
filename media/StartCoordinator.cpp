#include "StartCoordinator.h"

#include <algorithm>

namespace {

void addOnce(std::vector<StartCoordinator::Member*>& list, StartCoordinator::Member* member) {
    if (std::find(list.begin(), list.end(), member) == list.end()) {
        list.push_back(member);
    }
}

void remove(std::vector<StartCoordinator::Member*>& list, StartCoordinator::Member* member) {
    list.erase(std::remove(list.begin(), list.end(), member), list.end());
}

}  // namespace

StartCoordinator::StartCoordinator(std::chrono::milliseconds patience, QObject* parent)
    : QObject(parent) {
    m_patience.setSingleShot(true);
    m_patience.setInterval(patience);
    connect(&m_patience, &QTimer::timeout, this, [this] { startIfReady(true); });
}

void StartCoordinator::requestStart(Member* member) {
    addOnce(m_turn, member);
    if (!m_turnScheduled) {
        m_turnScheduled = true;
        QMetaObject::invokeMethod(this, &StartCoordinator::closeTurn, Qt::QueuedConnection);
    }
}

void StartCoordinator::withdraw(Member* member) {
    remove(m_turn, member);
    remove(m_waiting, member);
    startIfReady(false);
}

void StartCoordinator::memberReady() {
    startIfReady(false);
}

void StartCoordinator::closeTurn() {
    m_turnScheduled = false;
    // A group still waiting absorbs the new one: all of them start together.
    for (Member* member : m_turn) {
        addOnce(m_waiting, member);
    }
    m_turn.clear();
    startIfReady(false);
}

void StartCoordinator::startIfReady(bool force) {
    if (m_waiting.empty()) {
        m_patience.stop();
        return;
    }
    const bool ready = std::all_of(m_waiting.begin(), m_waiting.end(),
                                   [](const Member* m) { return m->readyToStart(); });
    if (!ready && !force) {
        if (!m_patience.isActive()) {
            m_patience.start();
        }
        return;
    }
    m_patience.stop();
    const std::vector<Member*> group = std::move(m_waiting);
    m_waiting.clear();
    for (Member* member : group) {
        member->startNow();
    }
}
