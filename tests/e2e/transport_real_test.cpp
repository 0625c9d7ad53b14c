// The window's commands on real players: the faults that only show with real, asynchronous
// seeks and real playback. How each player seeks and ends on its own is the media tests' part.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

// Loose enough for a busy machine; the benchmark measures the real offset.
constexpr double kTogether = 2.0 / 25.0;

class WindowOnRealPlayers : public testing::Test {
protected:
    void openBoth(const std::string& path) {
        w.open(1, path);
        w.open(2, path);
        ASSERT_TRUE(w.messages.shown.empty());
    }
    double pos(int side) { return w.player(side).currentPosition(); }
    bool playing(int side) { return w.player(side).playState() == IMediaPlayer::kPlaying; }
    // Waits until player 1 has played past the position; then both must be on the same frame.
    void expectTogetherPast(double position) {
        ASSERT_TRUE(waitFor([&] { return pos(1) > position; })) << position;
        EXPECT_NEAR(pos(1), pos(2), kTogether) << position;
    }

    RealWindow w;
};

TEST_F(WindowOnRealPlayers, PlayBackAndGoToKeepThePlayersTogether) {
    openBoth(TestMedia::video());
    w.player(1).setCurrentPosition(3.0);
    w.player(2).setCurrentPosition(9.0);
    w.window->play_both();
    expectTogetherPast(4.0);

    const double before = pos(1);
    w.window->back_both();
    EXPECT_TRUE(playing(1) && playing(2));
    EXPECT_LT(pos(1), before - 0.5);
    expectTogetherPast(before + 0.3);

    w.ui().time_goto->setText("12");
    w.window->com_goto_Click();
    EXPECT_TRUE(playing(1) && playing(2));
    expectTogetherPast(12.3);
    EXPECT_LT(pos(1), 14.0);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST_F(WindowOnRealPlayers, PlayingToTheEndStopsAndTheNextPlayStartsBothFromZero) {
    openBoth(TestMedia::video());
    w.player(1).setCurrentPosition(TestMedia::kDuration - 0.5);
    w.window->play_both();
    ASSERT_TRUE(waitFor([&] { return !playing(1); }));
    w.window->play_both();
    EXPECT_TRUE(playing(1) && playing(2));
    expectTogetherPast(0.3);
    EXPECT_LT(pos(1), 2.0);
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
