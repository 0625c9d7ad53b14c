#include "PedalControl.h"

PedalControl::PedalControl(IPedalTransport& transport, IRepeatTimer& leftTimer,
                           IRepeatTimer& rightTimer, MiddleMode middle)
    : m_transport(transport), m_leftTimer(leftTimer), m_rightTimer(rightTimer), m_middle(middle) {}

void PedalControl::handle(std::span<const PedalChange> changes) {
    for (const PedalChange& c : changes) {
        switch (c.role) {
            case PedalRole::Left:
                step(c.pressed, m_leftTimer, &IPedalTransport::back);
                break;
            case PedalRole::Middle:
                middle(c.pressed);
                break;
            case PedalRole::Right:
                step(c.pressed, m_rightTimer, &IPedalTransport::forward);
                break;
        }
    }
}

// Toggling asks the players, so that F2 and F3 pressed in between count.
void PedalControl::middle(bool pressed) {
    if (m_middle == MiddleMode::Hold) {
        pressed ? m_transport.play() : m_transport.pause();
        return;
    }
    if (!pressed)
        return;
    m_transport.playing() ? m_transport.pause() : m_transport.play();
}

void PedalControl::step(bool pressed, IRepeatTimer& timer, void (IPedalTransport::*move)()) {
    if (!pressed) {
        timer.stop();
        return;
    }
    (m_transport.*move)();
    timer.start(kRepeat, [this, move] { (m_transport.*move)(); });
}
