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

constexpr PlayerGroups::Timing kTiming{.picturePatience = 300ms, .pictureMargin = 20ms};

// The releases of one group are bracketed, so a test sees which went out together.
class PlayerGroupsPictureTest : public testing::Test {
protected:
    PlayerGroupsPictureTest() {
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

struct Release {
    const char* name;
    bool p2InALaterTurn;  // else in player 1's turn
    std::chrono::milliseconds p2Delay;
    std::optional<std::chrono::milliseconds> p2Lands;  // after player 1; nothing: never
    std::chrono::milliseconds released;                // after player 1 landed
};

class PicturesReleased : public PlayerGroupsPictureTest,
                         public testing::WithParamInterface<Release> {};

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

TEST_F(PlayerGroupsPictureTest, ASecondSeekWhileTheGroupWaitsIsWaitedForToo) {
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

TEST_F(PlayerGroupsPictureTest, EachCommandOfAHeldKeyShowsWhatTheLastOneLandedOn) {
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

TEST_F(PlayerGroupsPictureTest, AnEmptiedPlayerIsReleasedAtOnceAndHoldsNoOneBack) {
    groups.seekBegan(p1);
    groups.seekBegan(p2);
    nextTurn();
    land(p1);
    groups.emptied(p2);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p2", "]"}));
    clock.advance(20ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p2", "]", "[", "release p1", "]"}));
}

TEST_F(PlayerGroupsPictureTest, NoPictureStaysHeldWhenTheGroupsGo) {
    {
        PlayerGroups shortLived{kTiming, &clock};
        shortLived.seekBegan(p1);
        nextTurn();
    }
    EXPECT_EQ(log, (Log{"hold p1", "release p1"}));
}

}  // namespace
