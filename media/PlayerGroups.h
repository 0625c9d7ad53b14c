#pragma once

#include <chrono>
#include <memory>

#include "IPlayerListener.h"
#include "PictureGroup.h"
#include "StartGroup.h"
#include "TurnClock.h"

// The one place that knows the players of a window together: it hears what each player
// announces and keeps their start group (players told to play together start together) and
// their picture group (players seeking together show their new pictures together). Whoever
// makes the players makes this first and keeps it until the players are gone; players that
// are to start on their own get one each.
class PlayerGroups : public IPlayerListener {
public:
    struct Timing {
        // How long a start waits for a member still seeking.
        std::chrono::milliseconds startPatience{1500};
        // How long pictures stay held for a member that does not land.
        std::chrono::milliseconds picturePatience{500};
        // Added to the slowest picture's delay before a landed group is shown.
        std::chrono::milliseconds pictureMargin{15};
    };

    // On the Qt event loop of the thread that makes it.
    PlayerGroups();
    // On the clock given, which outlives this object; on the Qt event loop when null.
    PlayerGroups(Timing timing, TurnClock* clock);
    PlayerGroups(const PlayerGroups&) = delete;
    PlayerGroups& operator=(const PlayerGroups&) = delete;

    // How a group's pictures are released in one step; by default one after the other.
    void setTogether(PictureGroup::Together together);

    void startRequested(IListenedPlayer& player) override;
    void startWithdrawn(IListenedPlayer& player) override;
    void seekBegan(IListenedPlayer& player) override;
    void seekLanded(IListenedPlayer& player) override;
    void emptied(IListenedPlayer& player) override;

private:
    std::unique_ptr<TurnClock> m_ownClock;
    TurnClock& m_clock;
    StartGroup m_starts;
    PictureGroup m_pictures;
};
