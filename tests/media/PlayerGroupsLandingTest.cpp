#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "FakeListenedPlayer.h"
#include "FakeTurnClock.h"
#include "NamedCases.h"
#include "PlayerGroups.h"

// Players started together that landed apart: a video's sound starts at the picture it landed on,
// sound alone sent before its file's first sound starts at that sound. The other players go to
// that moment before anyone starts.

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

// How a member landed: with moving pictures or as sound alone, and how far off where it was
// sent (empty: not known yet; it then turns out to be `known`).
struct Landed {
    bool pictured = false;
    std::optional<double> off = 0.0;
    double known = 0.0;
};

struct Landing {
    const char* name;
    Landed p1, p2;
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

TEST_P(StartAfterLanding, TheOthersGoToTheMomentTheyAreToStartAtOnce) {
    const Landing& c = GetParam();
    p1.pictured = c.p1.pictured;
    p1.off = c.p1.off;
    p2.pictured = c.p2.pictured;
    p2.off = c.p2.off;
    groups.startRequested(p1);
    groups.startRequested(p2);
    clock.nextTurn();
    for (const auto& [player, landed] : {std::pair{&p1, c.p1}, std::pair{&p2, c.p2}}) {
        if (!landed.off) {
            EXPECT_TRUE(log.empty()) << "started before " << player->name << "'s landing was known";
            player->off = landed.known;
            groups.seekLanded(*player);
        }
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

constexpr Landed kSound{};
constexpr Landed kSoundNotKnown{.off = std::nullopt};
constexpr Landed kSoundAtItsFirstSound{.off = 0.092};
constexpr Landed kVideoOffBy26{.pictured = true, .off = 0.026};
constexpr Landed kVideoNotKnown{.pictured = true, .off = std::nullopt, .known = 0.026};

INSTANTIATE_TEST_SUITE_P(
    , StartAfterLanding,
    testing::Values(
        Landing{"SoundAloneFollowsTheVideoOfPlayer1", kVideoOffBy26, kSound, {"move p2 by 26"}},
        Landing{"Player1FollowsTheVideoOfPlayer2",
                kSound,
                {.pictured = true, .off = -0.004},
                {"move p1 by -4"}},
        Landing{
            "TheStartWaitsUntilTheVideosLandingIsKnown", kVideoNotKnown, kSound, {"move p2 by 26"}},
        Landing{"ALandingWhereSentMovesNobody", {.pictured = true, .off = 0.0004}, kSound, {}},
        Landing{"TwoVideosAreNotMoved", kVideoOffBy26, kVideoOffBy26, {}},
        Landing{"SoundSentBeforeItsFirstSoundTakesPlayer2There",
                kSoundAtItsFirstSound,
                kSound,
                {"move p2 by 92"}},
        Landing{"SoundSentBeforeItsFirstSoundTakesPlayer1There",
                kSound,
                kSoundAtItsFirstSound,
                {"move p1 by 92"}},
        Landing{"TheStartWaitsUntilTheSoundsLandingIsKnown",
                kSound,
                {.off = std::nullopt, .known = 0.092},
                {"move p1 by 92"}},
        Landing{
            "TwoSoundsLandedAlikeAreNotMoved", kSoundAtItsFirstSound, kSoundAtItsFirstSound, {}},
        Landing{"SoundWhereSentStartsAsSent", kSound, kSoundNotKnown, {}}),
    byName);

}  // namespace
