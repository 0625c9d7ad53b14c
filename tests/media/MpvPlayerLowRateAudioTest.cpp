#include <gtest/gtest.h>

#include <QTest>
#include <optional>

#include "PlayerHarness.h"
#include "SoundServer.h"
#include "TestMedia.h"

namespace {

// 8 kHz sound, as dictation devices and telephone recordings give it, plays through a sound
// server (a private PulseAudio with a null sink) and without any (the players' null output).
class LowRateAudioTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            ASSERT_TRUE(server.start()) << server.error();
        } else {
            // Every client is pointed at sockets nobody listens on, so a server of the user's
            // session does not stand in. The server's destructor takes them away again.
            qputenv("PULSE_SERVER", "unix:/nonexistent/pellucor/native");
            qputenv("PIPEWIRE_REMOTE", "/nonexistent/pellucor/pipewire-0");
        }
        harness.emplace(1);
    }

    SoundServer server{SoundServer::Kind::PulseAudio};
    std::optional<PlayerHarness> harness;  // goes before the server
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
