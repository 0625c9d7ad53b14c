#include <gtest/gtest.h>

#include <cmath>

#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

constexpr double kFrame = 1.0 / TestMedia::kFrameRate;

// Player 2 starts behind or ahead of player 1; the window's play sequence must leave them
// on the same frame while they run.
class SynchronisedStartTest : public testing::TestWithParam<double> {
protected:
    void SetUp() override { harness.openPaused(TestMedia::video()); }
    PlayerHarness harness{2};
};

TEST_P(SynchronisedStartTest, PlayersStartedTogetherAfterASeekRunOnTheSameFrame) {
    MpvPlayer& p1 = harness.player(0);
    MpvPlayer& p2 = harness.player(1);
    p1.setCurrentPosition(6.0);
    p2.setCurrentPosition(GetParam());
    PlayerHarness::wait(300);

    p1.pause();
    p2.pause();
    p2.setCurrentPosition(p1.currentPosition());
    p1.play();
    p2.play();
    EXPECT_EQ(p2.playState(), IMediaPlayer::kPlaying);

    PlayerHarness::wait(1000);
    const double first = p1.currentPosition();
    const double second = p2.currentPosition();
    EXPECT_NEAR(first, 7.0, 0.3);
    EXPECT_LE(std::fabs(first - second), kFrame + 0.001);
}

INSTANTIATE_TEST_SUITE_P(Player2At, SynchronisedStartTest, testing::Values(1.0, 14.0));

}  // namespace
