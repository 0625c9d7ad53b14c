#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "TurnClock.h"
#include "TurnGroup.h"

// Shows the pictures of players that seek together at the same moment. A player's picture is
// held (the screen keeps what it showed) from its seek until it has landed; players that seek
// in the same turn of the event loop form one group, and the group's pictures are released
// together a moment after every member has landed (or after a bounded wait). Without this, the
// player that lands first shows its new picture while the other still shows the old one.
// The moment: a player reports its landing before its picture is on screen; libmpv shows the
// picture a paused player landed on one frame's time after reporting the landing.
class PictureGate {
public:
    class Member {
    public:
        virtual ~Member() = default;
        // A seek asked for has not landed yet.
        virtual bool seeking() const = 0;
        // How long after its landing its picture reaches the screen, at most.
        virtual std::chrono::milliseconds pictureDelay() const = 0;
        virtual void holdPicture() = 0;
        virtual void releasePicture() = 0;
    };
    // Runs the releases of one group so that they reach the screen at the same moment.
    using Together = std::function<void(const std::function<void()>& releases)>;

    // Without a clock, on the Qt event loop of the thread that makes it.
    explicit PictureGate(std::chrono::milliseconds patience = std::chrono::milliseconds{500},
                         std::chrono::milliseconds margin = std::chrono::milliseconds{15},
                         TurnClock* clock = nullptr);
    ~PictureGate();
    PictureGate(const PictureGate&) = delete;
    PictureGate& operator=(const PictureGate&) = delete;

    void setTogether(Together together);
    // The member begins a seek: its picture is held from now on.
    void seekBegins(Member* member);
    // A member's seek landed or was given up: the group may be complete now.
    void memberLanded();
    // The member has no picture to hold any more (emptied, gone): released at once.
    void withdraw(Member* member);

private:
    void check();
    bool allLanded() const;
    void releaseGroup();
    void release(const std::vector<Member*>& members);

    std::unique_ptr<TurnClock> m_ownClock;
    TurnClock& m_clock;
    TurnGroup<Member> m_group;
    std::unique_ptr<TurnClock::Timer> m_settle;
    std::chrono::milliseconds m_margin;
    Together m_together;
};
