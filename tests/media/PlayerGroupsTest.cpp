#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "FakeListenedPlayer.h"
#include "FakeTurnClock.h"
#include "NamedCases.h"
#include "PlayerGroups.h"

namespace {

using namespace std::chrono_literals;
using Log = FakeListenedPlayer::Log;

constexpr PlayerGroups::Timing kTiming{
    .startPatience = 200ms, .picturePatience = 300ms, .pictureMargin = 20ms};

// Two players in one window's groups. The releases of one group are bracketed, so a test sees
// which went out together.
class PlayerGroupsTest : public testing::Test {
protected:
    PlayerGroupsTest() {
        groups.setTogether([this](const std::function<void()>& releases) {
            log.push_back("[");
            releases();
            log.push_back("]");
        });
    }
    void nextTurn() { clock.nextTurn(); }
    void land(FakeListenedPlayer& p) {
        p.seekingNow = false;
        groups.seekLanded(p);
    }

    FakeTurnClock clock;
    Log log;
    FakeListenedPlayer p1{"p1", log};
    FakeListenedPlayer p2{"p2", log};
    PlayerGroups groups{kTiming, &clock};  // goes first: it releases whoever it still holds
};

// ---- Starting together.

struct Start {
    const char* name;
    bool p2InALaterTurn;                // else in player 1's turn
    bool p1Seeks;                       // not ready when the turn is over
    bool p1Lands;                       // at `started`; else never
    std::chrono::milliseconds started;  // after the turn is over
};

class GroupStarted : public PlayerGroupsTest, public testing::WithParamInterface<Start> {};

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

TEST_F(PlayerGroupsTest, AWithdrawnMemberNeitherStartsNorHoldsOthersBack) {
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
TEST_F(PlayerGroupsTest, BothWithdrawnInOneTurnWhileWaitingStartNeither) {
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
TEST_F(PlayerGroupsTest, ALandingStartsThePlayerAndShowsItsPicture) {
    p1.ready = false;
    groups.seekBegan(p1);
    groups.startRequested(p1);
    nextTurn();
    p1.ready = true;
    land(p1);
    EXPECT_EQ(log, (Log{"hold p1", "start p1"}));
    clock.advance(20ms);
    EXPECT_EQ(log, (Log{"hold p1", "start p1", "[", "release p1", "]"}));
}

// ---- Showing the pictures of a seek together.

struct Release {
    const char* name;
    bool p2InALaterTurn;  // else in player 1's turn
    std::chrono::milliseconds p2Delay;
    std::optional<std::chrono::milliseconds> p2Lands;  // after player 1; nothing: never
    std::chrono::milliseconds released;                // after player 1 landed
};

class PicturesReleased : public PlayerGroupsTest, public testing::WithParamInterface<Release> {};

TEST_P(PicturesReleased, TogetherOnceTheLastLandedAndItsPictureIsOnScreen) {
    const Release& r = GetParam();
    p2.delay = r.p2Delay;
    groups.seekBegan(p1);
    if (r.p2InALaterTurn)
        nextTurn();
    groups.seekBegan(p2);
    groups.seekBegan(p1);  // pinned, aligned, moved: held once
    nextTurn();
    land(p1);
    if (r.p2Lands) {
        clock.advance(*r.p2Lands);
        land(p2);
    }
    clock.advance(r.released - r.p2Lands.value_or(0ms) - 1ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2"}));
    clock.advance(1ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p1", "release p2", "]"}));
}

INSTANTIATE_TEST_SUITE_P(
    , PicturesReleased,
    testing::Values(Release{"SeekingInOneTurn", false, 0ms, 60ms, 80ms},
                    Release{"ALaterTurnJoinsTheGroupStillWaiting", true, 0ms, 60ms, 80ms},
                    Release{"WhenTheSlowestPictureIsOnScreen", false, 150ms, 0ms, 170ms},
                    Release{"AnywayWhenASeekNeverLands", false, 0ms, std::nullopt, 300ms}),
    byName);

TEST_F(PlayerGroupsTest, ASecondSeekWhileTheGroupWaitsIsWaitedForToo) {
    groups.seekBegan(p1);
    groups.seekBegan(p2);
    nextTurn();
    land(p2);
    groups.seekBegan(p2);
    p2.seekingNow = true;
    land(p1);
    clock.advance(60ms);
    EXPECT_EQ(log.size(), 2u);
    land(p2);
    clock.advance(20ms);
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(PlayerGroupsTest, EachCommandOfAHeldKeyShowsWhatTheLastOneLandedOn) {
    p1.delay = 200ms;
    groups.seekBegan(p1);
    groups.seekBegan(p2);
    nextTurn();
    land(p1);
    land(p2);
    for (FakeListenedPlayer* p : {&p1, &p2}) {  // a player announces a seek before it seeks
        groups.seekBegan(*p);
        p->seekingNow = true;
    }
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p1", "release p2", "]", "hold p1",
                        "hold p2"}));
}

TEST_F(PlayerGroupsTest, AnEmptiedPlayerIsReleasedAtOnceAndHoldsNoOneBack) {
    groups.seekBegan(p1);
    groups.seekBegan(p2);
    nextTurn();
    land(p1);
    groups.emptied(p2);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p2", "]"}));
    clock.advance(20ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p2", "]", "[", "release p1", "]"}));
}

TEST_F(PlayerGroupsTest, NoPictureStaysHeldWhenTheGroupsGo) {
    {
        PlayerGroups shortLived{kTiming, &clock};
        shortLived.seekBegan(p1);
        nextTurn();
    }
    EXPECT_EQ(log, (Log{"hold p1", "release p1"}));
}

}  // namespace
