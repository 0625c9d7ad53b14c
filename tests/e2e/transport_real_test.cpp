// The window's commands on real players: the faults that only show with real, asynchronous
// seeks and real playback.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cmath>

#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

constexpr double kFrame = 1.0 / 25.0;
// Loose enough for a busy machine; the benchmark measures the real offset.
constexpr double kTogether = 2 * kFrame;

class WindowOnRealPlayers : public testing::Test {
protected:
    void SetUp() override {
        w.open(1, TestMedia::video());
        w.open(2, TestMedia::video());
        ASSERT_TRUE(w.messages.shown.empty());
        ASSERT_TRUE(w.window->geladen1 && w.window->geladen2);
    }
    double pos(int side) { return w.player(side).currentPosition(); }
    bool playing(int side) { return w.player(side).playState() == IMediaPlayer::kPlaying; }

    RealWindow w;
};

TEST_F(WindowOnRealPlayers, TwoShortFastForwardsWhilePausedMoveBothByFourSeconds) {
    w.window->ffw_Click();
    w.window->ffw_Click();
    EXPECT_DOUBLE_EQ(pos(1), 4.0);
    EXPECT_DOUBLE_EQ(pos(2), 4.0);
    runEventsFor(300);
    EXPECT_NEAR(pos(1), 4.0, kFrame);
    EXPECT_NEAR(pos(2), 4.0, kFrame);
    EXPECT_FALSE(playing(1) || playing(2));
    EXPECT_EQ(w.window->Timer1.interval(), 0);
}

TEST_F(WindowOnRealPlayers, PlayBothThenBackBothKeepThePlayersTogether) {
    w.player(1).setCurrentPosition(3.0);
    w.player(2).setCurrentPosition(9.0);
    w.window->play_both();
    ASSERT_TRUE(playing(1) && playing(2));
    runEventsFor(1200);
    EXPECT_NEAR(pos(1), pos(2), kTogether);
    EXPECT_GT(pos(1), 3.5) << "player 1 does not play in real time";
    // The display shows player 1's whole second as of the last tick, at most 200 ms ago.
    const int shown = w.ui().time->text().toInt();
    EXPECT_LE(shown, std::floor(pos(1)));
    EXPECT_GE(shown, std::floor(pos(1) - 0.5));

    const double before = pos(1);
    w.window->back_both();
    EXPECT_TRUE(playing(1) && playing(2));
    EXPECT_EQ(w.window->Timer1.interval(), 200);
    runEventsFor(1000);
    EXPECT_NEAR(pos(1), pos(2), kTogether);
    // One second back, then a second of playing less the time both seeks took before the start.
    EXPECT_GT(pos(1), before - 0.7);
    EXPECT_LT(pos(1), before + 0.2);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST_F(WindowOnRealPlayers, GoToWhilePlayingLandsBothOnTheTargetAndPlaysOn) {
    w.window->play_both();
    runEventsFor(300);
    w.ui().time_goto->setText("12");
    w.window->com_goto_Click();
    EXPECT_TRUE(playing(1) && playing(2));
    runEventsFor(1000);
    // A second after the jump, less the time both seeks took before the start.
    EXPECT_GT(pos(1), 12.3);
    EXPECT_LT(pos(1), 13.2);
    EXPECT_NEAR(pos(1), pos(2), kTogether);
    EXPECT_EQ(w.window->Timer1.interval(), 200);
}

TEST_F(WindowOnRealPlayers, PlayingToTheEndStopsAndTheNextPlayStartsBothFromZero) {
    w.player(1).setCurrentPosition(TestMedia::kDuration - 0.5);
    w.window->play_both();
    runEventsFor(1500);
    EXPECT_FALSE(playing(1));
    w.window->play_both();
    runEventsFor(500);
    EXPECT_TRUE(playing(1) && playing(2));
    EXPECT_LT(pos(1), 1.0);
    EXPECT_NEAR(pos(1), pos(2), kTogether);
}

// Audio-only files have no frames to hold on to: the position is the sound's, and a pause must
// not move it, or aligning the players at a pause leaves them apart.
TEST(AudioOnRealPlayers, PauseHoldsAndPlayBothKeepsTwoAudioFilesTogether) {
    RealWindow w;
    w.open(1, TestMedia::audio());
    w.open(2, TestMedia::audio());
    for (int round = 0; round < 3; ++round) {
        w.window->ffw_Click();
        w.window->ffw_Click();
        runEventsFor(300);
        const double from = w.player(1).currentPosition();
        w.window->play_both();
        runEventsFor(1000);
        const double played = w.player(1).currentPosition();
        EXPECT_NEAR(played, w.player(2).currentPosition(), kTogether) << "round " << round;
        // Starting waits for both seeks, so a little less than a second has played; more than
        // a second means the position runs ahead of the sound.
        EXPECT_GT(played - from, 0.7) << "round " << round;
        EXPECT_LT(played - from, 1.04) << "round " << round;

        w.window->pause_both();
        runEventsFor(300);
        EXPECT_NEAR(w.player(1).currentPosition(), played, 0.05) << "round " << round;
    }
}

TEST(RealWindowFocus, EachPlayerIsOneTabStop) {
    RealWindow w;
    w.window->activateWindow();
    ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == w.ui().wmp1; }));
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(seen, (QStringList{"wmp2", "h1plus", "h1minus"}));
}

}  // namespace
