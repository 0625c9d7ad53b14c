#include <gtest/gtest.h>

#include <QTest>

#include <cmath>

#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

constexpr double kFrame = 1.0 / TestMedia::kFrameRate;

// Player 2 plays behind or ahead of player 1; the window's play sequence must leave them on
// the same frame while they run.
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
    p2.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p2.currentPosition() > GetParam() + 0.2; }, 5000));

    p1.pause();
    p2.pause();
    p2.setCurrentPosition(p1.currentPosition());
    p1.play();
    p2.play();
    EXPECT_EQ(p2.playState(), IMediaPlayer::kPlaying);

    ASSERT_TRUE(QTest::qWaitFor([&] { return p1.currentPosition() > 7.0; }, 5000));
    EXPECT_LE(std::fabs(p1.currentPosition() - p2.currentPosition()), kFrame + 0.001);
}

INSTANTIATE_TEST_SUITE_P(Player2At, SynchronisedStartTest, testing::Values(1.0, 14.0));

}  // namespace
