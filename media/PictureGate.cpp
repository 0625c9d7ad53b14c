#include "PictureGate.h"

#include <algorithm>

PictureGate::PictureGate(std::chrono::milliseconds patience, std::chrono::milliseconds margin,
                         TurnClock* clock)
    : m_ownClock(clock ? nullptr : makeQtTurnClock()),
      m_clock(clock ? *clock : *m_ownClock),
      m_group(
          m_clock, patience, [this] { check(); }, [this] { releaseGroup(); }),
      m_settle(m_clock.timer([this] {
          if (allLanded()) {
              releaseGroup();
          } else {
              check();
          }
      })),
      m_margin(margin),
      m_together([](const std::function<void()>& releases) { releases(); }) {}

PictureGate::~PictureGate() {
    // Members outlive a gate only while a window is torn down; none may stay held.
    release(m_group.takeAll());
}

void PictureGate::setTogether(Together together) {
    m_together = std::move(together);
}

void PictureGate::seekBegins(Member* member) {
    if (m_group.inTurn(member)) {
        return;  // held already in this turn
    }
    if (m_group.isWaiting(member)) {
        if (!allLanded()) {
            // The group waits for this seek too.
            m_settle->stop();
            return;
        }
        // A new command after the group landed (a key held down): the pictures landed on are
        // shown now, so that they follow each command, and held again for this one.
        releaseGroup();
    }
    member->holdPicture();
    m_group.join(member);
}

void PictureGate::memberLanded() {
    check();
}

void PictureGate::withdraw(Member* member) {
    if (m_group.remove(member)) {
        release({member});
    }
    check();
}

void PictureGate::check() {
    const std::vector<Member*>& waiting = m_group.waiting();
    if (waiting.empty()) {
        if (m_group.turnEmpty()) {
            m_group.take();  // nothing to wait for
            m_settle->stop();
        }
        return;
    }
    if (!allLanded()) {
        m_settle->stop();
        m_group.keepWaiting();
    } else if (!m_settle->isActive()) {
        std::chrono::milliseconds delay{0};
        for (const Member* member : waiting) {
            delay = std::max(delay, member->pictureDelay());
        }
        m_settle->start(delay + m_margin);
    }
}

bool PictureGate::allLanded() const {
    const std::vector<Member*>& waiting = m_group.waiting();
    return std::none_of(waiting.begin(), waiting.end(),
                        [](const Member* m) { return m->seeking(); });
}

void PictureGate::releaseGroup() {
    m_settle->stop();
    release(m_group.take());
}

void PictureGate::release(const std::vector<Member*>& members) {
    if (members.empty()) {
        return;
    }
    m_together([&members] {
        for (Member* member : members) {
            member->releasePicture();
        }
    });
}
