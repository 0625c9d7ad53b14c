#include <gtest/gtest.h>

#include <chrono>

#include "FakeListenedPlayer.h"
#include "FakeTurnClock.h"
#include "NamedCases.h"
#include "PlayerGroups.h"

namespace {

using namespace std::chrono_literals;
using Log = FakeListenedPlayer::Log;

class PlayerGroupsStartTest : public testing::Test {
protected:
    void nextTurn() { clock.nextTurn(); }

    FakeTurnClock clock;
    Log log;
    FakeListenedPlayer p1{"p1", log};
    FakeListenedPlayer p2{"p2", log};
    PlayerGroups groups{{.startPatience = 200ms}, &clock};  // goes before the players
};

struct Start {
    const char* name;
    bool p2InALaterTurn;                // else in player 1's turn
    bool p1Seeks;                       // not ready when the turn is over
    bool p1Lands;                       // at `started`; else never
    std::chrono::milliseconds started;  // after the turn is over
};

class GroupStarted : public PlayerGroupsStartTest, public testing::WithParamInterface<Start> {};

TEST_P(GroupStarted, InRequestOrderOnceTheLastIsReady) {
    const Start& s = GetParam();
    p1.ready = !s.p1Seeks;
    groups.startRequested(p1);
    if (s.p2InALaterTurn)
        nextTurn();
    groups.startRequested(p2);
    groups.startRequested(p1);  // asked twice: started once
    EXPECT_TRUE(log.empty());
    nextTurn();
    if (s.started > 0ms) {
        clock.advance(s.started - 1ms);
        groups.seekLanded(p2);  // another member's landing does not complete the group
        EXPECT_TRUE(log.empty());
        clock.advance(1ms);
        if (s.p1Lands) {
            p1.ready = true;
            groups.seekLanded(p1);
        }
    }
    EXPECT_EQ(log, (Log{"start p1", "start p2"}));
}

INSTANTIATE_TEST_SUITE_P(
    , GroupStarted,
    testing::Values(Start{"InTheNextTurnWhenAllAreReady", false, false, false, 0ms},
                    Start{"WhenTheLastSeekingMemberLands", false, true, true, 50ms},
                    Start{"ALaterTurnJoinsTheGroupStillWaiting", true, true, true, 50ms},
                    Start{"AnywayWhenASeekNeverFinishes", false, true, false, 200ms}),
    byName);

TEST_F(PlayerGroupsStartTest, AWithdrawnMemberNeitherStartsNorHoldsOthersBack) {
    FakeListenedPlayer p3{"p3", log};
    groups.startRequested(p3);
    groups.startWithdrawn(p3);  // in the same turn
    p1.ready = false;
    groups.startRequested(p1);
    groups.startRequested(p2);
    nextTurn();
    groups.startWithdrawn(p1);  // while the group waits
    EXPECT_TRUE(log.empty());   // the rest is looked at once the turn is over
    nextTurn();
    EXPECT_EQ(log, (Log{"start p2"}));
}

// pause_both pauses one player after the other: pausing the first must not start the second.
TEST_F(PlayerGroupsStartTest, BothWithdrawnInOneTurnWhileWaitingStartNeither) {
    p1.ready = false;
    groups.startRequested(p1);
    groups.startRequested(p2);
    nextTurn();
    groups.startWithdrawn(p1);
    groups.startWithdrawn(p2);
    nextTurn();
    clock.advance(200ms);
    EXPECT_TRUE(log.empty());
}

// One landing can complete both groups: the player starts at once, its picture shows a
// moment later.
TEST_F(PlayerGroupsStartTest, ALandingStartsThePlayerAndShowsItsPicture) {
    p1.ready = false;
    groups.seekBegan(p1);
    groups.startRequested(p1);
    nextTurn();
    p1.ready = true;
    p1.seekingNow = false;
    groups.seekLanded(p1);
    EXPECT_EQ(log, (Log{"hold p1", "start p1"}));
    clock.advance(15ms);
    EXPECT_EQ(log, (Log{"hold p1", "start p1", "release p1"}));
}

}  // namespace
