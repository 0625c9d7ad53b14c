// The window's commands on real players: the faults that only show with real, asynchronous
// seeks and real playback. How each player seeks and ends on its own is the media tests' part.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cmath>

#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

// Loose enough for a busy machine; the benchmark measures the real offset.
constexpr double kTogether = 2.0 / 25.0;

class WindowOnRealPlayers : public testing::Test {
protected:
    // Waits until player 1 has played past the position; then both must be on the same frame.
    void expectTogetherPast(double position) {
        ASSERT_TRUE(waitFor([&] { return w.position(1) > position; })) << position;
        EXPECT_NEAR(w.position(1), w.position(2), kTogether) << position;
    }

    RealWindow w;
};

TEST_F(WindowOnRealPlayers, PlayBackAndGoToKeepThePlayersTogether) {
    ASSERT_TRUE(w.openBoth(TestMedia::video(), TestMedia::video()));
    w.player(1).setCurrentPosition(3.0);
    w.player(2).setCurrentPosition(9.0);
    w.window->play_both();
    expectTogetherPast(4.0);

    const double before = w.position(1);
    w.window->back_both();
    EXPECT_TRUE(w.playing(1) && w.playing(2));
    EXPECT_LT(w.position(1), before - 0.5);
    expectTogetherPast(before + 0.3);

    w.ui().time_goto->setText("12");
    w.window->com_goto_Click();
    EXPECT_TRUE(w.playing(1) && w.playing(2));
    expectTogetherPast(12.3);
    EXPECT_LT(w.position(1), 14.0);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST_F(WindowOnRealPlayers, PlayingToTheEndStopsAndTheNextPlayStartsBothFromZero) {
    ASSERT_TRUE(w.openBoth(TestMedia::video(), TestMedia::video()));
    w.player(1).setCurrentPosition(TestMedia::kDuration - 0.5);
    w.window->play_both();
    ASSERT_TRUE(waitFor([&] { return !w.playing(1); }));
    w.window->play_both();
    EXPECT_TRUE(w.playing(1) && w.playing(2));
    expectTogetherPast(0.3);
    EXPECT_LT(w.position(1), 2.0);
}

// Player 2 runs on its own clock; here it stops for a tenth of a second, as it does when the
// machine is too busy to feed its sound, and must come back to player 1 by its speed alone.
// Without the window's help the gap stays.
TEST_F(WindowOnRealPlayers, Player2ThatFallsBehindComesBackWhilePlaying) {
    ASSERT_TRUE(w.openBoth(TestMedia::video(), TestMedia::video()));
    w.window->play_both();
    ASSERT_TRUE(waitFor([&] { return w.position(1) > 0.5 && w.position(2) > 0.5; }));
    // Back a little on player 2's own bar: it lands a frame or two behind. A pause there would
    // end the following whenever a reading fell into it, as a stop on a player's own bar does.
    w.player(2).setCurrentPosition(w.position(2) - 0.1);
    // Positions move frame by frame, each player's with its own pictures: average over a second.
    const auto meanGap = [&] {
        double sum = 0;
        for (int i = 0; i < 20; ++i) {
            sum += w.position(1) - w.position(2);
            runEventsFor(50);
        }
        return sum / 20;
    };
    EXPECT_GT(meanGap(), 0.03) << "player 2 fell behind";
    double gap = 1.0;
    while (std::fabs(gap) > 0.02 && w.position(1) < TestMedia::kDuration - 2.0)
        gap = meanGap();
    EXPECT_LE(std::fabs(gap), 0.02) << "still apart at " << w.position(1) << " s";
    EXPECT_TRUE(w.playing(1) && w.playing(2));
}

TEST_F(WindowOnRealPlayers, EachPlayerIsOneTabStop) {
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
