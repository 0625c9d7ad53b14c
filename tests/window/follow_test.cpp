#include "PlayerFollower.h"
#include "WindowFixture.h"

// Player 2 keeps with player 1 while both play from an aligned start: by speed, never by seeking.

namespace {

struct Drift {
    const char* name;
    std::vector<double> gaps;  // player 1's position minus player 2's, one per reading
    double rateAfter;
    double speed = 1.0;
    // What player 1's readings come from.
    IMediaPlayer::Reading from = IMediaPlayer::Reading::Sound;
};

constexpr auto kPictures = IMediaPlayer::Reading::Pictures;
constexpr auto kBesidePictures = IMediaPlayer::Reading::SoundBesidePictures;
constexpr auto kConverted = IMediaPlayer::Reading::ConvertedSound;

std::vector<double> readings(int count, double gap) {
    return std::vector<double>(count, gap);
}

// Eight readings make one decision.
std::vector<double> times8(double gap) {
    return readings(8, gap);
}

std::vector<double> then(std::vector<double> first, const std::vector<double>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const Drift kDrifts[] = {
    {"BehindCatchesUp", times8(0.040), 1.01},
    {"AheadWaits", times8(-0.040), 0.99},
    {"ReadingsOffBothWaysPlayOn",
     {0.005, -0.005, 0.005, -0.005, 0.005, -0.005, 0.005, -0.005},
     1.0},
    // 40 ms at one percent take 4 s, 16 readings; what they read does not count.
    {"KeepsCatchingUpForTheTimeTheGapTakes", then(times8(0.040), readings(15, -0.5)), 1.01},
    {"NormalSpeedOnceTheGapIsMadeUp", then(times8(0.040), readings(16, 0.040)), 1.0},
    {"NormalSpeedOnceTheGapAheadIsMadeUp", then(times8(-0.040), readings(16, 0.0)), 1.0},
    {"GapLeftAfterwardsIsMadeUpAgain", then(times8(0.040), then(readings(16, 0.0), times8(0.020))),
     1.01},
    {"SmallGapLeftAfterwardsIsLeftAlone",
     then(times8(0.040), then(readings(16, 0.0), times8(0.0015))), 1.0},
    // A few milliseconds read once may be the readings' own error for a moment.
    {"ASmallGapReadOnceIsLeftAlone", times8(0.003), 1.0},
    {"ASmallGapReadAgainIsMadeUp", then(times8(0.003), times8(0.003)), 1.006},
    {"ASmallGapOnEitherSideIsLeftAlone", then(times8(0.003), times8(-0.003)), 1.0},
    {"ASmallGapAfterAJumpIsReadAgain", then(times8(0.003), then({0.030}, times8(0.003))), 1.0},
    // 11 ms, one PipeWire cycle, made up in five readings: slower than one percent, not 2.5 ms
    // past it.
    {"AGapOfACycleIsMadeUpExactly", times8(0.011), 1.0088},
    // An echo a busy machine made: 100 ms made up in 4 s, not 10 s at one percent.
    {"FarBehindCatchesUpFaster", times8(0.100), 1.025},
    {"AsFastAsFourPercent", times8(0.900), 1.04},
    // Readings from before the jump would halve the average, and so the speed.
    {"AJumpInTheGapIsMeasuredAfresh", then(readings(4, 0.0), times8(0.100)), 1.025},
    // PipeWire moved player 2 by a graph cycle while both played: made up whole, at once.
    {"ACycleStepWhilePlayingIsMeasuredAfresh", then(readings(4, 0.0), times8(0.0107)),
     1.0 + 0.0107 / 1.25},
    {"TooFarApartToBeDriftIsLeftAlone", then({1.5}, times8(0.040)), 1.01},
    {"SeekOnOwnBarWhileCatchingUpStopsIt", then(times8(0.040), {-3.0}), 1.0},
    {"ReadingsBeforeASeekOnOwnBarDoNotCount", then(times8(0.040), then({2.0}, times8(0.001))), 1.0},
    // Readings of pictures are this far off: only a gap of drift is made up.
    {"MovingPictureLeavesASmallGapAlone", times8(0.010), 1.0, 1.0, kPictures},
    {"MovingPictureReadingsAverageASmallStep", then(readings(4, 0.012), readings(4, 0.024)), 1.009,
     1.0, kPictures},
    {"MovingPictureMakesUpAGapOfDrift", then(times8(0.010), times8(0.020)), 1.01, 1.0, kPictures},
    // Sound read beside moving pictures is a few milliseconds off, a graph cycle is not.
    {"BesidePicturesAFewMillisecondsAreLeftAlone", times8(0.003), 1.0, 1.0, kBesidePictures},
    {"BesidePicturesACycleIsMadeUp", times8(0.011), 1.0088, 1.0, kBesidePictures},
    // Sound PipeWire converts reads up to 10 ms behind what is heard from the start on: only what
    // changes from there is made up.
    {"ConvertedSoundTakesTheFirstGapForTheReadingsOwn", then(times8(0.009), times8(0.009)), 1.0,
     1.0, kConverted},
    {"ConvertedSoundMakesUpACycleStepFromThere", then(times8(0.009), times8(0.020)), 1.0088, 1.0,
     kConverted},
    {"ConvertedSoundLeavesAFewMillisecondsAlone", then(times8(0.009), times8(0.012)), 1.0, 1.0,
     kConverted},
    // A percent of the speed is as little heard at any speed; at half speed 40 ms of the
    // recording take 8 s.
    {"AtHalfSpeedAPercentOfTheSpeed", readings(39, 0.040), 0.505, 0.5},
    {"AtHalfSpeedTheGapTakesTwiceAsLong", readings(40, 0.040), 0.5, 0.5},
    // Away from the normal speed readings are as rough as those of pictures: a small gap leaves
    // player 2's speed untouched.
    {"AwayFromTheNormalSpeedASmallGapIsLeftAlone", times8(0.008), 1.0, 0.75},
    {"AwayFromTheNormalSpeedAGapOfDriftIsMadeUp", times8(0.020),
     0.75 * (1.0 + 0.020 / (11 * 0.1875)), 0.75},
};

class Following : public ::testing::TestWithParam<Drift> {
protected:
    PlayerCallLog log;
    FakePlayer player1{"wmp1", log};
    FakePlayer player2{"wmp2", log};
    PlayerFollower follower;

    void SetUp() override {
        player1.playing = player2.playing = true;
        follower.engage();
    }
    void read(double gap) {
        player1.position = 100.0 + gap;
        player2.position = 100.0;
        follower.sample(player1, player2);
    }
    // Eight readings 40 ms behind: player 2 catches up at one percent.
    void fallBehind() {
        for (const double gap : times8(0.040))
            read(gap);
        ASSERT_NEAR(player2.rate, 1.01, 1e-9);
    }
};

TEST_P(Following, SetsPlayer2sSpeedFromTheAverageGap) {
    player1.from = GetParam().from;
    if (GetParam().speed != 1.0)
        follower.setSpeed(GetParam().speed);
    for (const double gap : GetParam().gaps)
        read(gap);
    EXPECT_NEAR(player2.rate, GetParam().rateAfter, 1e-9);
    EXPECT_TRUE(follower.engaged());
    EXPECT_DOUBLE_EQ(player1.rate, 1.0) << "player 1 is the reference";
    EXPECT_EQ(player2.position, 100.0) << "no seek";
}

INSTANTIATE_TEST_SUITE_P(Gaps, Following, ::testing::ValuesIn(kDrifts), byName);

TEST_F(Following, EitherPlayerStoppingOnItsOwnEndsItAtNormalSpeed) {
    for (FakePlayer* stopping : {&player1, &player2}) {
        SetUp();
        fallBehind();
        stopping->playing = false;
        read(0.040);
        EXPECT_NEAR(player2.rate, 1.0, 1e-9);
        EXPECT_FALSE(follower.engaged());
    }
}

TEST_F(Following, APlayerThatFailsEndsItAndASpeedNotSetIsTriedAgain) {
    fallBehind();
    log.failOn("wmp2.currentPosition");
    read(0.040);
    EXPECT_FALSE(follower.engaged());
    EXPECT_NEAR(player2.rate, 1.0, 1e-9);

    follower.engage();
    fallBehind();
    log.failOn("wmp2.setRate");
    follower.disengage(player2);
    follower.disengage(player2);
    EXPECT_NEAR(player2.rate, 1.0, 1e-9);
}

// At an offset and a drift, player 2 keeps to its own moment of player 1's second, at the
// drift's speed.
TEST_F(Following, AtAnOffsetPlayer2KeepsToTheSameMomentAtTheDriftsSpeed) {
    constexpr double kRate = 1.0 + 200e-6;
    follower.setOffset({5.0, 200.0});
    follower.keepToBaseRate(player2);
    EXPECT_NEAR(player2.rate, kRate, 1e-12);
    player1.position = 100.0;
    player2.position = 5.0 + 100.0 * kRate - 0.040;  // 40 ms behind its moment
    for (int i = 0; i < 8; ++i)
        follower.sample(player1, player2);
    EXPECT_NEAR(player2.rate, kRate + 0.01, 1e-9) << "40 ms made up in 4 s";
    follower.disengage(player2);
    EXPECT_NEAR(player2.rate, 1.0, 1e-12);
}

// Through the window: F3 starts the following, every command that stops or moves the players
// ends it, and player 2 is back at normal speed before that command goes on.
TEST_F(WindowFixture, PlayBothLetsPlayer2FollowUntilTheNextCommand) {
    window->geladen1 = window->geladen2 = true;
    stand(10.0, false, 10.0, false);
    window->play_both();
    ASSERT_TRUE(window->following());
    p1->position = 10.05;
    for (int reading = 0; reading < 8; ++reading)
        window->follow_player1();
    ASSERT_GT(p2->rate, 1.0);
    players.clear();
    window->pause_both();
    EXPECT_FALSE(window->following());
    ASSERT_FALSE(players.calls.empty());
    EXPECT_EQ(players.calls.front(), "wmp2.setRate(1)");
    EXPECT_DOUBLE_EQ(p2->rate, 1.0);
    EXPECT_EQ(p2->position, 10.05) << "aligned by the pause, not by the follower";
}

// A sound server that comes back while both play: each player's sound starts again when its
// output happens to open; the window starts both again from player 1's second, as F3 does.
TEST_F(WindowFixture, SoundBackWithItsServerStartsBothAgainTogether) {
    window->geladen1 = window->geladen2 = true;
    stand(10.0, false, 10.0, false);
    window->play_both();
    p1->position = 12.5;
    p2->position = 12.47;
    players.clear();
    p2->returns = 1;
    window->follow_player1();
    const std::vector<std::string> restart{
        "wmp1.pause", "wmp2.pause", "wmp1.currentPosition", "wmp2.setCurrentPosition(12.5)",
        "wmp1.play",  "wmp2.play"};
    EXPECT_NE(
        std::search(players.calls.begin(), players.calls.end(), restart.begin(), restart.end()),
        players.calls.end())
        << testing::PrintToString(players.calls);
    // Once only: the follower then reads on, as after F3.
    players.clear();
    window->follow_player1();
    EXPECT_TRUE(called("wmp2.currentPosition"));
    EXPECT_FALSE(called("wmp1.pause"));
}

}  // namespace
