#include <gtest/gtest.h>

#include <QTest>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <optional>

#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

// 8 kHz sound, as dictation devices and telephone recordings give it, plays through a sound
// server (a private PulseAudio with a null sink) and without any (the players' null output).
class LowRateAudioTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        const QString socket = runtime.filePath("native");
        if (GetParam()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* var : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
                env.insert(var, runtime.path());
            pulse.setProcessEnvironment(env);
            pulse.start("pulseaudio",
                        {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "-L",
                         "module-null-sink", "-L", "module-native-protocol-unix socket=" + socket});
            ASSERT_TRUE(pulse.waitForStarted(10000)) << "pulseaudio is not installed";
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return std::filesystem::exists(socket.toStdString()); }, 10000))
                << "pulseaudio never opened its socket";
        }
        // Without the private server every client is pointed at a socket nobody listens on, so
        // a server of the user's session does not stand in.
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        qputenv("PIPEWIRE_REMOTE", runtime.filePath("no-pipewire").toUtf8());
        harness.emplace(1);
    }

    void TearDown() override {
        harness.reset();
        pulse.terminate();
        pulse.waitForFinished(10000);
        qunsetenv("PULSE_SERVER");
        qunsetenv("PIPEWIRE_REMOTE");
    }

    QTemporaryDir runtime;
    QProcess pulse;
    std::optional<PlayerHarness> harness;
};

TEST_P(LowRateAudioTest, OpensAndPlays) {
    harness->openPaused(TestMedia::lowRateAudio());
    MpvPlayer& player = harness->player(0);
    player.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.currentPosition() > 0.5; }, 10000));
    EXPECT_EQ(player.playState(), IMediaPlayer::kPlaying);
}

INSTANTIATE_TEST_SUITE_P(SoundServers, LowRateAudioTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& c) {
                             return c.param ? "WithPrivatePulseAudio" : "WithoutSoundServer";
                         });

}  // namespace
