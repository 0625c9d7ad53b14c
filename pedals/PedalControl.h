#pragma once

#include <chrono>
#include <span>

#include "IPedalTransport.h"
#include "IRepeatTimer.h"
#include "PedalRole.h"

// What the pedals mean: the middle pedal plays while held (or, as set, toggles on each press);
// the left one goes one second back and the right one two seconds forward, again every half
// second while held.
class PedalControl {
public:
    enum class MiddleMode { Hold, Toggle };

    static constexpr std::chrono::milliseconds kRepeat{500};

    PedalControl(IPedalTransport& transport, IRepeatTimer& leftTimer, IRepeatTimer& rightTimer,
                 MiddleMode middle);

    void handle(std::span<const PedalChange> changes);

private:
    void middle(bool pressed);
    void step(bool pressed, IRepeatTimer& timer, void (IPedalTransport::*move)());

    IPedalTransport& m_transport;
    IRepeatTimer& m_leftTimer;
    IRepeatTimer& m_rightTimer;
    MiddleMode m_middle;
};
