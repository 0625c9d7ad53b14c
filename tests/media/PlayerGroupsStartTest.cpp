#include <gtest/gtest.h>

#include "FakeListenedPlayer.h"
#include "FakeTurnClock.h"
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

TEST_F(PlayerGroupsStartTest, StartsAGroupInTheNextTurnInRequestOrder) {
    groups.startRequested(p1);
    groups.startRequested(p2);
    groups.startRequested(p1);
    EXPECT_TRUE(log.empty());
    nextTurn();
    EXPECT_EQ(log, (Log{"start p1", "start p2"}));
}

TEST_F(PlayerGroupsStartTest, WaitsForTheLastSeekingMember) {
    p2.ready = false;
    groups.startRequested(p1);
    groups.startRequested(p2);
    nextTurn();
    groups.seekLanded(p1);
    EXPECT_TRUE(log.empty());
    p2.ready = true;
    groups.seekLanded(p2);
    EXPECT_EQ(log, (Log{"start p1", "start p2"}));
}

TEST_F(PlayerGroupsStartTest, StartsAnywayWhenASeekNeverFinishes) {
    p2.ready = false;
    groups.startRequested(p1);
    groups.startRequested(p2);
    nextTurn();
    clock.advance(199ms);
    EXPECT_TRUE(log.empty());
    clock.advance(1ms);
    EXPECT_EQ(log, (Log{"start p1", "start p2"}));
}

TEST_F(PlayerGroupsStartTest, ALaterTurnJoinsTheWaitingGroup) {
    p1.ready = false;
    groups.startRequested(p1);
    nextTurn();
    groups.startRequested(p2);
    nextTurn();
    EXPECT_TRUE(log.empty());
    p1.ready = true;
    groups.seekLanded(p1);
    EXPECT_EQ(log, (Log{"start p1", "start p2"}));
}

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
