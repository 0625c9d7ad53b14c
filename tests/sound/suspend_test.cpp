// The program stopped and continued (SIGSTOP, SIGCONT), as a laptop's suspend does to it: the
// players play on from where they were, and what the desktop reads of player 1's position
// (MPRIS) follows them at once.
#include <gtest/gtest.h>

#include <signal.h>

#include <QElapsedTimer>
#include <optional>

#include "ProgramOnTheBus.h"
#include "SoundServer.h"
#include "TestMedia.h"

namespace {

// Through no sound server (libmpv's null output), or through a real one.
enum class Sound { None, PulseAudio, PipeWire };

class Suspend : public ProgramOnTheBus, public testing::WithParamInterface<Sound> {
protected:
    void SetUp() override {
        if (GetParam() != Sound::None) {
            server.emplace(GetParam() == Sound::PulseAudio ? SoundServer::Kind::PulseAudio
                                                           : SoundServer::Kind::PipeWire);
            ASSERT_TRUE(server->start()) << server->error();  // the program inherits it
        }
        ProgramOnTheBus::SetUp();
    }
    std::optional<SoundServer> server;
};

double mprisPosition() {
    return playerctl({"position"}).out.toDouble();
}

TEST_P(Suspend, PositionFollowsThePlayersAtOnceAfterward) {
    const std::uint32_t window = managedWindowOf(program);
    ASSERT_NE(window, 0u) << "the window manager does not list the window";
    ASSERT_TRUE(openBoth(TestMedia::video(), window));
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--play"}).exitCode, 0);
    ASSERT_TRUE(statusBecomes("Playing"));
    ASSERT_TRUE(waitFor([] { return mprisPosition() > 1.0; }, 10000));

    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGSTOP), 0);
    QTest::qWait(3000);
    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGCONT), 0);
    QTest::qWait(500);
    // Over the next two seconds the position moves on with the clock, a second a second.
    QElapsedTimer clock;
    clock.start();
    const double first = mprisPosition();
    double last = first;
    while (clock.elapsed() < 2000) {
        QTest::qWait(250);
        last = mprisPosition();
    }
    const double moved = last - first;
    std::printf("[ position ] after SIGCONT: %.2f s, then moved %.2f s in %.2f s\n", first, moved,
                static_cast<double>(clock.elapsed()) / 1000.0);
    EXPECT_NEAR(moved, static_cast<double>(clock.elapsed()) / 1000.0, 0.5) << "the position stood still or jumped";
    EXPECT_EQ(playerctl({"status"}).out, "Playing");
}

INSTANTIATE_TEST_SUITE_P(, Suspend,
                         testing::Values(Sound::None, Sound::PulseAudio, Sound::PipeWire),
                         [](const testing::TestParamInfo<Sound>& sound) {
                             return sound.param == Sound::None         ? "WithoutSoundServer"
                                    : sound.param == Sound::PulseAudio ? "PulseAudio"
                                                                       : "PipeWire";
                         });

}  // namespace
