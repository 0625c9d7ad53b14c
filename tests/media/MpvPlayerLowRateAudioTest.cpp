#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <optional>

#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

// Where the players' sound goes: a private PulseAudio with a null sink, or no sound server at
// all (the players fall back to their null output).
enum class SoundServer { None, Private };

class LowRateAudioTest : public testing::TestWithParam<SoundServer> {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        const QString socket = runtime.filePath("native");
        if (GetParam() == SoundServer::Private) {
            startPulseAudio(socket);
        }
        // Without the private server, point every client at a socket nobody listens on, so a
        // server of the user's session does not stand in.
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        qputenv("PIPEWIRE_REMOTE", runtime.filePath("no-pipewire").toUtf8());
        harness.emplace(1);
    }

    void TearDown() override {
        harness.reset();
        if (pulse.state() != QProcess::NotRunning) {
            pulse.terminate();
            pulse.waitForFinished(10000);
        }
        qunsetenv("PULSE_SERVER");
        qunsetenv("PIPEWIRE_REMOTE");
    }

    void startPulseAudio(const QString& socket) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", runtime.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", runtime.path());
        pulse.setProcessEnvironment(env);
        pulse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        pulse.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1",
                                   "--use-pid-file=no", "--system=no", "-L", "module-null-sink",
                                   "-L", "module-native-protocol-unix socket=" + socket});
        ASSERT_TRUE(pulse.waitForStarted(10000)) << "pulseaudio is not installed";
        ASSERT_TRUE(PlayerHarness::waitFor(
            [&] { return std::filesystem::exists(socket.toStdString()); }, 10000))
            << "pulseaudio never opened its socket";
    }

    QTemporaryDir runtime;
    QProcess pulse;
    std::optional<PlayerHarness> harness;
};

TEST_P(LowRateAudioTest, OpensWithItsDurationAndPlays) {
    MpvPlayer& player = harness->player(0);
    player.setAutoStart(false);
    player.setURL(TestMedia::lowRateAudio());
    player.play();
    EXPECT_TRUE(PlayerHarness::waitFor([&] { return player.currentPosition() > 0.5; }, 10000));
    EXPECT_EQ(player.playState(), IMediaPlayer::kPlaying);
    player.pause();
    EXPECT_NE(player.playState(), IMediaPlayer::kPlaying);
}

INSTANTIATE_TEST_SUITE_P(SoundServers, LowRateAudioTest,
                         testing::Values(SoundServer::None, SoundServer::Private),
                         [](const testing::TestParamInfo<SoundServer>& c) {
                             return c.param == SoundServer::None ? "WithoutSoundServer"
                                                                 : "WithPrivatePulseAudio";
                         });

}  // namespace
