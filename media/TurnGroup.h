#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "TurnClock.h"

// Members that act in the same turn of the event loop form one group. The group waits, once
// its turn is over, until its owner finds it complete or the patience runs out; a group still
// waiting when a later turn closes takes that turn's members in, so that all of them go
// together. The owner decides what complete means and what going together does.
template <class Member>
class TurnGroup {
public:
    // turnClosed: a turn's members have joined the waiting group. outOfPatience: the group
    // waited too long; its owner lets it go as it is.
    TurnGroup(TurnClock& clock, std::chrono::milliseconds patience,
              std::function<void()> turnClosed, std::function<void()> outOfPatience)
        : m_clock(clock),
          m_patienceTime(patience),
          m_patience(clock.timer(std::move(outOfPatience))),
          m_turnClosed(std::move(turnClosed)) {}

    // False when the member is in this turn already.
    bool join(Member* member) {
        if (inTurn(member))
            return false;
        m_turn.push_back(member);
        if (!m_turnScheduled) {
            m_turnScheduled = true;
            m_clock.afterTurn([this] { closeTurn(); });
        }
        return true;
    }
    // True when it was in the turn or the waiting group.
    bool remove(Member* member) {
        const bool was = inTurn(member) || isWaiting(member);
        std::erase(m_turn, member);
        std::erase(m_waiting, member);
        return was;
    }

    bool inTurn(const Member* member) const { return contains(m_turn, member); }
    bool isWaiting(const Member* member) const { return contains(m_waiting, member); }
    const std::vector<Member*>& waiting() const { return m_waiting; }
    bool turnEmpty() const { return m_turn.empty(); }

    // The group is not complete: the patience starts unless it runs already.
    void keepWaiting() {
        if (!m_patience->isActive())
            m_patience->start(m_patienceTime);
    }
    // The wait is over: the waiting group, in the order its members joined.
    std::vector<Member*> take() {
        m_patience->stop();
        std::vector<Member*> group = std::move(m_waiting);
        m_waiting.clear();
        return group;
    }
    // Everyone, waiting or still in this turn.
    std::vector<Member*> takeAll() {
        std::vector<Member*> all = take();
        all.insert(all.end(), m_turn.begin(), m_turn.end());
        m_turn.clear();
        return all;
    }

private:
    static bool contains(const std::vector<Member*>& list, const Member* member) {
        return std::find(list.begin(), list.end(), member) != list.end();
    }
    void closeTurn() {
        m_turnScheduled = false;
        for (Member* member : m_turn) {
            if (!isWaiting(member))
                m_waiting.push_back(member);
        }
        m_turn.clear();
        m_turnClosed();
    }

    TurnClock& m_clock;
    std::chrono::milliseconds m_patienceTime;
    std::unique_ptr<TurnClock::Timer> m_patience;
    std::function<void()> m_turnClosed;
    std::vector<Member*> m_turn;
    std::vector<Member*> m_waiting;
    bool m_turnScheduled = false;
};
