#include <gtest/gtest.h>

#include <QTest>

#include <cmath>
#include <string>

#include "MpvLibrary.h"
#include "NamedCases.h"
#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

constexpr double kFrame = 1.0 / TestMedia::kFrameRate;
using Reading = IMediaPlayer::Reading;

// ---- Opening and transport, for a file with and without a picture.

struct File {
    const char* name;
    std::string (*path)();
    IMediaPlayer::Reading from;  // what the position to compare two players by moves with
};

std::string silentVideo() {
    return TestMedia::generated("silent-video.mkv", "matroska",
                                {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=10"},
                                {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
}

class TransportTest : public testing::TestWithParam<File> {
protected:
    void SetUp() override { harness.openPaused(GetParam().path()); }
    MpvPlayer& player() { return harness.player(0); }
    PlayerHarness harness{1};
};

TEST_P(TransportTest, OpensPausedAtTheStartPlaysAndPauseHolds) {
    EXPECT_NE(player().playState(), IMediaPlayer::kPlaying);
    EXPECT_EQ(player().currentPosition(), 0.0);

    player().play();
    EXPECT_EQ(player().playState(), IMediaPlayer::kPlaying);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player().currentPosition() > 1.0; }, 5000));
    EXPECT_EQ(player().positionNowFrom(), GetParam().from);

    player().pause();
    EXPECT_NE(player().playState(), IMediaPlayer::kPlaying);
    // Sound still in the output when pausing may move it by a few milliseconds, not more.
    const double held = player().currentPosition();
    EXPECT_FALSE(
        QTest::qWaitFor([&] { return std::abs(player().currentPosition() - held) > 0.01; }, 500));
}

INSTANTIATE_TEST_SUITE_P(Files, TransportTest,
                         testing::Values(File{"Video", &TestMedia::video,
                                              Reading::SoundBesidePictures},
                                         File{"SilentVideo", &silentVideo, Reading::Pictures},
                                         File{"Audio", &TestMedia::audio, Reading::Sound}),
                         byName);

// libmpv loads on a thread of its own once the window's first events run; a file opened before
// it is there waits for it, the window does not.
TEST(PlayerBeforeLibmpv, OpensTheFileOnceLibmpvIsThereWithoutWaitingForIt) {
    const std::string video = TestMedia::video();
    PlayerHarness harness{1, false};
    ASSERT_FALSE(mpvLoadEnded()) << "libmpv was there before the test";
    harness.player(0).setAutoStart(false);
    harness.player(0).setURL(video);
    EXPECT_FALSE(mpvLoadEnded()) << "the open waited for libmpv to load";
    harness.awaitOpen(0);
    // libmpv reports the start as a few units of rounding off 0.
    EXPECT_NEAR(harness.player(0).currentPosition(), 0.0, 1e-9);
}

// ---- Writing the position.

// One player with the test video open, paused at its start.
class VideoPlayer : public testing::Test {
protected:
    void SetUp() override { harness.openPaused(TestMedia::video()); }
    MpvPlayer& player() { return harness.player(0); }
    PlayerHarness harness{1};
};

class PositionWriteTest : public VideoPlayer {
protected:
    bool landsOn(double target) {
        return QTest::qWaitFor(
            [&] {
                const double landed = player().currentPosition();
                return landed >= target - 0.001 && landed < target + kFrame;
            },
            5000);
    }
};

TEST_F(PositionWriteTest, ReadsBackEachWriteAtOnceSoStepsAddUp) {
    player().setCurrentPosition(5.0);
    player().setCurrentPosition(player().currentPosition() + 2.0);
    player().setCurrentPosition(player().currentPosition() + 2.0);
    EXPECT_DOUBLE_EQ(player().currentPosition(), 9.0);
    EXPECT_TRUE(landsOn(9.0));
}

TEST_F(PositionWriteTest, LandsWithinOneFrameStaysPausedAndNegativeMeansTheStart) {
    for (const double target : {7.33, 2.01, 15.5}) {
        player().setCurrentPosition(target);
        EXPECT_TRUE(landsOn(target)) << target;
    }
    player().setCurrentPosition(-3.0);
    EXPECT_TRUE(landsOn(0.0));
    EXPECT_NE(player().playState(), IMediaPlayer::kPlaying);
}

// ---- The end of a file: stop and rewind.

// Playing into the end is the window's real-player test.
struct EndCase {
    const char* name;
    bool playBefore;  // playing when the position is written
    double position;
};

class EndTest : public VideoPlayer, public testing::WithParamInterface<EndCase> {};

TEST_P(EndTest, StopsRewoundAndPlaysAgainFromTheStart) {
    if (GetParam().playBefore) {
        player().play();
        ASSERT_TRUE(QTest::qWaitFor([&] { return player().currentPosition() > 0.2; }, 5000));
    }
    player().setCurrentPosition(GetParam().position);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return player().playState() != IMediaPlayer::kPlaying &&
                   player().currentPosition() == 0.0;
        },
        5000));

    player().play();
    EXPECT_EQ(player().playState(), IMediaPlayer::kPlaying);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const double position = player().currentPosition();
            return position > 0.5 && position < 5.0;
        },
        5000));
}

INSTANTIATE_TEST_SUITE_P(Ways, EndTest,
                         testing::Values(EndCase{"WrittenPastTheEnd", false, 25.0},
                                         EndCase{"WrittenPastTheEndWhilePlaying", true, 30.0},
                                         EndCase{"WrittenAfterTheLastFrame", false, 19.99}),
                         byName);

}  // namespace
