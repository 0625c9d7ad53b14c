#pragma once

#include <QObject>
#include <chrono>
#include <memory>
#include <vector>

#include "PictureGate.h"
#include "TurnClock.h"
#include "TurnGroup.h"

// Starts players together. Players told to play in the same turn of the event loop form one
// group; the group is unpaused, back to back, once every member has finished its pending seek
// (or after a bounded wait). Without this, a player still seeking starts a frame or two late.
// Shared by the players of one window; whoever creates the players owns it. It also keeps
// their pictures changing together after a seek (pictures()).
class StartCoordinator : public QObject {
    Q_OBJECT
public:
    class Member {
    public:
        virtual ~Member() = default;
        virtual bool readyToStart() const = 0;
        virtual void startNow() = 0;
    };

    // Without a clock, on the Qt event loop of the thread that makes it.
    explicit StartCoordinator(std::chrono::milliseconds patience = std::chrono::milliseconds{1500},
                              TurnClock* clock = nullptr);

    void requestStart(Member* member);
    // The member no longer wants to start (paused, stopped, gone).
    void withdraw(Member* member);
    // A member's seek finished: the group may be complete now.
    void memberReady();

    PictureGate& pictures() { return m_pictures; }

private:
    void startIfReady(bool force);

    std::unique_ptr<TurnClock> m_ownClock;
    TurnClock& m_clock;
    TurnGroup<Member> m_group;
    PictureGate m_pictures;
};
