#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "FakeListenedPlayer.h"
#include "FakeTurnClock.h"
#include "NamedCases.h"
#include "PlayerGroups.h"

// Players started together whose files are a video and sound alone: the video's sound starts
// at the picture it landed on, and the other players go to that moment before anyone starts.

namespace {

using namespace std::chrono_literals;
using Log = FakeListenedPlayer::Log;

struct LandingPlayer : FakeListenedPlayer {
    using FakeListenedPlayer::FakeListenedPlayer;
    bool startsWherePictureLands() const override { return pictured; }
    std::optional<double> landedOffBy() const override { return off; }
    void moveStartBy(double seconds) override {
        log.push_back("move " + name + " by " + std::to_string(std::lround(seconds * 1000)));
        ready = false;
    }
    bool pictured = false;
    std::optional<double> off = 0.0;
};

struct Landing {
    const char* name;
    bool p1Pictured, p2Pictured;
    std::optional<double> off;  // of the first member with pictures
    Log beforeStarting;
};

class StartAfterLanding : public testing::TestWithParam<Landing> {
protected:
    FakeTurnClock clock;
    Log log;
    LandingPlayer p1{"p1", log};
    LandingPlayer p2{"p2", log};
    PlayerGroups groups{{.startPatience = 200ms}, &clock};
};

TEST_P(StartAfterLanding, TheOthersGoToTheMomentThePictureLandedOnOnce) {
    const Landing& c = GetParam();
    p1.pictured = c.p1Pictured;
    p2.pictured = c.p2Pictured;
    (c.p1Pictured ? p1 : p2).off = c.off;
    groups.startRequested(p1);
    groups.startRequested(p2);
    clock.nextTurn();
    if (!c.off) {
        EXPECT_TRUE(log.empty()) << "started before the landing was known";
        (c.p1Pictured ? p1 : p2).off = 0.026;
        groups.seekLanded(c.p1Pictured ? p1 : p2);
    }
    if (!c.beforeStarting.empty()) {
        EXPECT_EQ(log, c.beforeStarting) << "started before the moved player landed";
    }
    for (LandingPlayer* moved : {&p1, &p2}) {
        if (!moved->ready) {
            moved->ready = true;
            groups.seekLanded(*moved);
        }
    }
    Log expected = c.beforeStarting;
    expected.insert(expected.end(), {"start p1", "start p2"});
    EXPECT_EQ(log, expected);
}

INSTANTIATE_TEST_SUITE_P(
    , StartAfterLanding,
    testing::Values(
        Landing{"SoundAloneFollowsTheVideoOfPlayer1", true, false, 0.026, {"move p2 by 26"}},
        Landing{"Player1FollowsTheVideoOfPlayer2", false, true, -0.004, {"move p1 by -4"}},
        Landing{
            "TheStartWaitsUntilTheLandingIsKnown", true, false, std::nullopt, {"move p2 by 26"}},
        Landing{"ALandingWhereSentMovesNobody", true, false, 0.0004, {}},
        Landing{"TwoVideosAreNotMoved", true, true, 0.026, {}},
        Landing{"SoundAloneIsNeverMoved", false, false, 0.0, {}}),
    byName);

}  // namespace
