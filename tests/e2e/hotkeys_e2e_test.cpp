// Hot keys pressed in another program steer both real players of the window.
#include <gtest/gtest.h>

#include <algorithm>

#include "OtherClient.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

class HotKeysFromAnotherProgram : public testing::Test {
protected:
    void SetUp() override {
        w.window->Form_Load();
        w.open(1, TestMedia::video());
        w.open(2, TestMedia::video());
        ASSERT_TRUE(w.messages.shown.empty());
        other.takeFocus();
    }
    bool bothPlaying() {
        return w.player(1).playState() == IMediaPlayer::kPlaying &&
               w.player(2).playState() == IMediaPlayer::kPlaying;
    }
    bool neitherPlaying() {
        return w.player(1).playState() != IMediaPlayer::kPlaying &&
               w.player(2).playState() != IMediaPlayer::kPlaying;
    }

    RealWindow w;
    OtherClient other;
};

TEST_F(HotKeysFromAnotherProgram, F3PlaysF2PausesF1GoesBackOneSecond) {
    w.player(2).setCurrentPosition(8.0);
    ASSERT_TRUE(pressKeys({"F3"}));
    ASSERT_TRUE(waitFor([&] { return bothPlaying(); }));
    runEventsFor(1500);

    ASSERT_TRUE(pressKeys({"F2"}));
    ASSERT_TRUE(waitFor([&] { return neitherPlaying(); }));
    const double paused = w.player(1).currentPosition();
    EXPECT_GT(paused, 0.5);
    EXPECT_DOUBLE_EQ(w.player(2).currentPosition(), paused);

    ASSERT_TRUE(pressKeys({"F1"}));
    ASSERT_TRUE(waitFor([&] { return w.player(1).currentPosition() < paused - 0.5; }));
    const double back = std::max(paused - 1.0, 0.0);
    EXPECT_NEAR(w.player(1).currentPosition(), back, 1e-6);
    EXPECT_NEAR(w.player(2).currentPosition(), back, 1e-6);
    EXPECT_TRUE(neitherPlaying());
}

TEST_F(HotKeysFromAnotherProgram, F2BringsTheMinimisedWindowBackAndPausesBoth) {
    if (!other.windowManagerRunning()) GTEST_SKIP() << "minimising needs a window manager";
    w.window->play_both();
    const HWND hwnd = static_cast<HWND>(w.window->winId());
    w.window->showMinimized();
    ASSERT_TRUE(waitFor([&] { return w.platform.IsIconic(hwnd); }));
    runEventsFor(200);

    ASSERT_TRUE(pressKeys({"F2"}));
    ASSERT_TRUE(waitFor([&] { return neitherPlaying(); }));
    EXPECT_FALSE(w.platform.IsIconic(hwnd));
}

}  // namespace
