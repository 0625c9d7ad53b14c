#include "PictureGroup.h"

#include <algorithm>

PictureGroup::PictureGroup(TurnClock& clock, std::chrono::milliseconds patience,
                           std::chrono::milliseconds margin)
    : m_group(
          clock, patience, [this] { check(); }, [this] { releaseGroup(); }),
      m_settle(clock.timer([this] {
          if (allLanded()) {
              releaseGroup();
          } else {
              check();
          }
      })),
      m_margin(margin),
      m_together([](const std::function<void()>& releases) { releases(); }) {}

PictureGroup::~PictureGroup() {
    // Players outlive their group only while a window is torn down; none may stay held.
    release(m_group.takeAll());
}

void PictureGroup::setTogether(Together together) {
    m_together = std::move(together);
}

void PictureGroup::seekBegins(IListenedPlayer& player) {
    if (m_group.inTurn(&player)) {
        return;  // held already in this turn
    }
    if (m_group.isWaiting(&player)) {
        if (!allLanded()) {
            // The group waits for this seek too.
            m_settle->stop();
            return;
        }
        // A new command after the group landed (a key held down): the pictures landed on are
        // shown now, so that they follow each command, and held again for this one.
        releaseGroup();
    }
    player.holdPicture();
    m_group.join(&player);
}

void PictureGroup::withdraw(IListenedPlayer& player) {
    if (m_group.remove(&player)) {
        release({&player});
    }
    check();
}

void PictureGroup::check() {
    const std::vector<IListenedPlayer*>& waiting = m_group.waiting();
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
        for (const IListenedPlayer* player : waiting) {
            delay = std::max(delay, player->pictureDelay());
        }
        m_settle->start(delay + m_margin);
    }
}

bool PictureGroup::allLanded() const {
    const std::vector<IListenedPlayer*>& waiting = m_group.waiting();
    return std::none_of(waiting.begin(), waiting.end(),
                        [](const IListenedPlayer* p) { return p->seeking(); });
}

void PictureGroup::releaseGroup() {
    m_settle->stop();
    release(m_group.take());
}

void PictureGroup::release(const std::vector<IListenedPlayer*>& players) {
    if (players.empty()) {
        return;
    }
    m_together([&players] {
        for (IListenedPlayer* player : players) {
            player->releasePicture();
        }
    });
}
