// The whole window on two real files: "align" listens to both and "apply" takes what it found.
// Where player 1 stands before file 2 begins, player 2 waits at its start and joins in time.
// (The commands at an offset are heard in tests/sound and pinned against fakes in tests/window.)
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AlignMedia.h"
#include "RealWindow.h"
#include "RunEvents.h"

namespace {

// The same talk, taken 7.25 s later by the second recorder, through another microphone.
constexpr double kOffset = -7.25;

TEST(AligningInTheWindow, TwoRealFilesAreAlignedAndPlayer2JoinsWhereItsFileBegins) {
    const std::string file1 = AlignMedia::made("align-window-1.wav", "wav", 3, 40, "lowpass=f=2500",
                                               {"-ar", "16000", "-ac", "2"});
    const std::string file2 =
        AlignMedia::made("align-window-2.mp3", "mp3", 10.25, 45, "highpass=f=300,volume=-12dB",
                         {"-ar", "44100", "-c:a", "libmp3lame", "-b:a", "64k"});
    RealWindow real;
    frm1& w = *real.window;
    real.open(1, file1);
    real.open(2, file2);
    ASSERT_TRUE(real.messages.shown.empty());

    real.ui().align->click();
    ASSERT_TRUE(runEventsUntil([&] { return !real.ui().align_apply->isHidden(); }, 60000))
        << real.ui().align_result->text().toStdString();
    real.ui().align_apply->click();
    EXPECT_NEAR(w.player2Offset().offset, kOffset, 0.002);
    EXPECT_NEAR(w.player2Offset().driftPpm, 0.0, 2.0);

    // Player 1's moment before file 2 begins: player 2 waits at its start, then joins.
    real.ui().time_goto->setText("6");
    w.com_goto_Click();
    w.play_both();
    EXPECT_EQ(real.player(2).playState(), 2) << "waits, paused";
    ASSERT_TRUE(
        runEventsUntil([&] { return real.player(2).playState() == IMediaPlayer::kPlaying; }, 3000));
    EXPECT_GE(real.player(1).currentPosition(), -kOffset - 0.1);
    w.pause_both();
    EXPECT_TRUE(real.messages.shown.empty());
}

}  // namespace
