#include "PictureGate.h"

#include <algorithm>

namespace {

bool contains(const std::vector<PictureGate::Member*>& list, PictureGate::Member* member) {
    return std::find(list.begin(), list.end(), member) != list.end();
}

}  // namespace

PictureGate::PictureGate(std::chrono::milliseconds patience, std::chrono::milliseconds margin,
                         QObject* parent)
    : QObject(parent),
      m_margin(margin),
      m_together([](const std::function<void()>& releases) { releases(); }) {
    m_patience.setSingleShot(true);
    m_patience.setInterval(patience);
    connect(&m_patience, &QTimer::timeout, this, &PictureGate::releaseGroup);
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        if (allLanded()) {
            releaseGroup();
        } else {
            check();
        }
    });
}

PictureGate::~PictureGate() {
    // Members outlive a gate only while a window is torn down; none may stay held.
    std::vector<Member*> held = std::move(m_waiting);
    held.insert(held.end(), m_turn.begin(), m_turn.end());
    release(held);
}

void PictureGate::setTogether(Together together) {
    m_together = std::move(together);
}

void PictureGate::seekBegins(Member* member) {
    if (contains(m_turn, member)) {
        return;  // held already in this turn
    }
    if (contains(m_waiting, member)) {
        if (!allLanded()) {
            // The group waits for this seek too.
            m_settle.stop();
            return;
        }
        // A new command after the group landed (a key held down): the pictures landed on are
        // shown now, so that they follow each command, and held again for this one.
        releaseGroup();
    }
    member->holdPicture();
    m_turn.push_back(member);
    if (!m_turnScheduled) {
        m_turnScheduled = true;
        QMetaObject::invokeMethod(this, &PictureGate::closeTurn, Qt::QueuedConnection);
    }
}

void PictureGate::memberLanded() {
    check();
}

void PictureGate::withdraw(Member* member) {
    const bool held = contains(m_turn, member) || contains(m_waiting, member);
    std::erase(m_turn, member);
    std::erase(m_waiting, member);
    if (held) {
        release({member});
    }
    check();
}

void PictureGate::closeTurn() {
    m_turnScheduled = false;
    // A group still waiting absorbs the new one: all their pictures change together.
    m_waiting.insert(m_waiting.end(), m_turn.begin(), m_turn.end());
    m_turn.clear();
    check();
}

void PictureGate::check() {
    if (m_waiting.empty()) {
        if (m_turn.empty()) {
            m_patience.stop();
            m_settle.stop();
        }
        return;
    }
    if (!allLanded()) {
        m_settle.stop();
        if (!m_patience.isActive()) {
            m_patience.start();
        }
    } else if (!m_settle.isActive()) {
        std::chrono::milliseconds delay{0};
        for (const Member* member : m_waiting) {
            delay = std::max(delay, member->pictureDelay());
        }
        m_settle.start(delay + m_margin);
    }
}

bool PictureGate::allLanded() const {
    return std::none_of(m_waiting.begin(), m_waiting.end(),
                        [](const Member* m) { return m->seeking(); });
}

void PictureGate::releaseGroup() {
    m_patience.stop();
    m_settle.stop();
    const std::vector<Member*> group = std::move(m_waiting);
    m_waiting.clear();
    release(group);
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
