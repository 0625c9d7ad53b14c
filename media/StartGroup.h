#pragma once

#include <chrono>
#include <vector>

#include "IListenedPlayer.h"
#include "TurnClock.h"
#include "TurnGroup.h"

// Starts players together. Players told to play in the same turn of the event loop form one
// group; the group is unpaused, back to back, once every member has finished its pending seek
// (or after a bounded wait). Without this, a player still seeking starts a frame or two late.
// Members that landed off where they were sent are brought to one moment first: a video's sound
// starts at the picture it landed on, up to a picture's time from where it was sent, and sound
// alone sent before its file's first sound starts at that sound. The others go to that moment.
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
    // True while the members are being brought to the moment they are to start at, or a
    // member's landing is not known yet.
    bool bringingTogether(const std::vector<IListenedPlayer*>& members);

    TurnClock& m_clock;
    TurnGroup<IListenedPlayer> m_group;
    bool m_checkQueued = false;
    // The waiting group has been brought to one moment once; it is not moved again.
    bool m_broughtTogether = false;
};
