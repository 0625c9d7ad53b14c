// Hot keys pressed in another program steer both real players of the window.
#include <gtest/gtest.h>

#include <QProcess>
#include <string>

#include "NamedCases.h"
#include "OtherClient.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

class HotKeysFromAnotherProgram : public testing::Test {
protected:
    void SetUp() override {
        w.window->Form_Load();
        ASSERT_TRUE(w.openBoth(TestMedia::video(), TestMedia::video()));
        other.takeFocus();
    }

    RealWindow w;
    OtherClient other;
};

struct Storm {
    const char* name;
    QStringList xdotool;  // what the other program sends while both play
};

QStringList burstOf500() {
    // Mixed keys, 10 ms apart: about 5 s of presses.
    QStringList keys{"key", "--delay", "10"};
    const char* pattern[] = {"F1", "F3", "F1", "F2", "F1", "F1", "F3"};
    for (int i = 0; i < 500; ++i)
        keys << pattern[i % 7];
    return keys;
}

class HotKeyStorm : public HotKeysFromAnotherProgram, public testing::WithParamInterface<Storm> {};

// Presses that pile up while a command runs are not replayed one by one afterwards: once the
// final F2 is handled nothing is left to run, and it leaves both players paused together.
TEST_P(HotKeyStorm, EndsWithTheFinalPauseAndNoBacklog) {
    std::vector<std::string> handled;
    w.window->m_cHotKey->HotKeyPress.connect(
        [&](const std::string& name, std::int32_t, std::int32_t) { handled.push_back(name); });
    w.window->play_both();
    ASSERT_TRUE(waitFor([&] { return w.playing(1) && w.playing(2); }));

    QProcess storm;
    storm.start("xdotool", GetParam().xdotool);
    ASSERT_TRUE(waitFor([&] { return storm.state() == QProcess::NotRunning; }, 60000));
    ASSERT_EQ(storm.exitCode(), 0);
    ASSERT_TRUE(pressKeys({"F2"}));

    ASSERT_TRUE(waitFor(
        [&] {
            return MessageHook::instance().pending() == 0 && !handled.empty() &&
                   handled.back() == "stop" && !w.playing(1) && !w.playing(2);
        },
        30000));
    EXPECT_EQ(w.player(2).currentPosition(), w.player(1).currentPosition());
    EXPECT_TRUE(w.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Presses, HotKeyStorm,
                         testing::Values(Storm{"FiveHundredInFiveSeconds", burstOf500()},
                                         Storm{"F1HeldForTwoSeconds",
                                               {"keydown", "F1", "sleep", "2", "keyup", "F1"}}),
                         byName);

}  // namespace
