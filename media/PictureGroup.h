#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "IListenedPlayer.h"
#include "TurnClock.h"
#include "TurnGroup.h"

// Shows the pictures of players that seek together at the same moment. A player's picture is
// held (the screen keeps what it showed) from its seek until it has landed; players that seek
// in the same turn of the event loop form one group, and the group's pictures are released
// together a moment after every member has landed (or after a bounded wait). Without this, the
// player that lands first shows its new picture while the other still shows the old one.
// The moment: a player reports its landing before its picture is on screen; libmpv shows the
// picture a paused player landed on one frame's time after reporting the landing.
class PictureGroup {
public:
    // Runs the releases of one group so that they reach the screen at the same moment.
    using Together = std::function<void(const std::function<void()>& releases)>;

    // margin: how long after the slowest picture's delay the group is released.
    PictureGroup(TurnClock& clock, std::chrono::milliseconds patience,
                 std::chrono::milliseconds margin);
    ~PictureGroup();
    PictureGroup(const PictureGroup&) = delete;
    PictureGroup& operator=(const PictureGroup&) = delete;

    void setTogether(Together together);
    // The player begins a seek: its picture is held from now on.
    void seekBegins(IListenedPlayer& player);
    // A member's seek landed or was given up: the group may be complete now.
    void check();
    // The player has no picture to hold any more: released at once.
    void withdraw(IListenedPlayer& player);

private:
    bool allLanded() const;
    void releaseGroup();
    void release(const std::vector<IListenedPlayer*>& players);

    TurnGroup<IListenedPlayer> m_group;
    std::unique_ptr<TurnClock::Timer> m_settle;
    std::chrono::milliseconds m_margin;
    Together m_together;
};
