#pragma once

#include <chrono>

#include "IListenedPlayer.h"
#include "TurnClock.h"
#include "TurnGroup.h"

// Starts players together. Players told to play in the same turn of the event loop form one
// group; the group is unpaused, back to back, once every member has finished its pending seek
// (or after a bounded wait). Without this, a player still seeking starts a frame or two late.
class StartGroup {
public:
    StartGroup(TurnClock& clock, std::chrono::milliseconds patience);

    void request(IListenedPlayer& player);
    // The player no longer wants to start. What is left of its group is looked at once the
    // turn is over: a pause of both players must not start the second before it is paused.
    void withdraw(IListenedPlayer& player);
    // A member may be ready now: the group may be complete.
    void check();

private:
    void startIfReady(bool force);

    TurnClock& m_clock;
    TurnGroup<IListenedPlayer> m_group;
    bool m_checkQueued = false;
};
