// What a listener hears through a real sound server: player 1's file clicks once a second on the
// left, player 2's on the right, and the server's output is recorded after each command. Every
// click pair must sound together, for sound alone and for videos, through PulseAudio and
// PipeWire. The pairs are printed; bench_heard measures them against the 2 ms target.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>

#include "HeardClicks.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "SoundServer.h"
#include "TestMedia.h"

namespace {

// Well under an echo: the fault this catches put the players a tenth of a second apart, while
// PulseAudio's own start varies by up to 3 ms now and then. A start after F2 and F3 still comes
// 5-9 ms apart about once in fifteen runs of a test, in every version measured so far: where a
// busy moment puts the two players' landings milliseconds apart, one player's uncork reaches
// the server that much after the other's (the server's debug log shows it), though both are
// told to start in one call. That slip is not mended yet, and a failure here with such a figure
// is it. Through PipeWire two players started together still fall one graph cycle (10.7 ms)
// apart about once in 20 starts, which bench_heard shows; here PipeWire is held to that cycle.
double heardTogetherMs(SoundServer::Kind server) {
    return server == SoundServer::Kind::PulseAudio ? 5.0 : 12.0;
}
// How long after a command the players must be heard together.
constexpr int kSettleMs = 200;
constexpr int kListenMs = 2300;
constexpr int kLongSeekMs = 1500;

// The two players' files: the same kind in both, or a pair of formats users bring together.
struct Files {
    const char* name;
    std::string (*file)(int player);
};

const Files kSound{"Sound", [](int player) { return clickFile(ClickMedia::Sound, player); }};
const Files kVideo{"Video", [](int player) { return clickFile(ClickMedia::Video, player); }};
const Files kCameraAndOpus{
    "HevcCameraAndOpus", [](int player) {
        return clickFile(player == 1 ? ClickFormat::HevcCamera : ClickFormat::Opus, player);
    }};
const Files kScreenAndCamera{
    "ScreenRecordingAndHevcCamera", [](int player) {
        return clickFile(player == 1 ? ClickFormat::ScreenRecording : ClickFormat::HevcCamera,
                         player);
    }};
const Files kWmaAndOpus{"WmaAndOpus", [](int player) {
                            return clickFile(player == 1 ? ClickFormat::Wma : ClickFormat::Opus,
                                             player);
                        }};
const Files kPhoneAndFlac{
    "Phone3gpAndFlac96k", [](int player) {
        return clickFile(player == 1 ? ClickFormat::Phone3gp : ClickFormat::Flac96k, player);
    }};

struct Case {
    SoundServer::Kind server;
    Files files;
};

std::string caseName(const testing::TestParamInfo<Case>& info) {
    return std::string(SoundServer::name(info.param.server)) + info.param.files.name;
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << SoundServer::name(c.server) << c.files.name;
}

class HeardOffset : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.error();
        window.emplace();
        ASSERT_TRUE(window->openBoth(GetParam().files.file(1), GetParam().files.file(2)));
        // One recording for the whole test: a recorder needs a while to start.
        ASSERT_TRUE(server.startRecording());
        ASSERT_TRUE(waitFor([&] { return !server.recorded().empty(); }));
    }
    void TearDown() override {
        window.reset();
        server.stopRecording();
    }

    // Runs the command, then listens from 0.2 s on: every click pair heard must be together.
    void expectHeardTogether(const char* what, const std::function<void()>& command,
                             int listenMs = kListenMs) {
        command();
        runEventsFor(kSettleMs);
        const std::size_t from = server.recorded().size();
        runEventsFor(listenMs);
        std::vector<std::int16_t> samples = server.recordedSince(from);
        auto pairs = heardClickPairs(samples);
        if (pairs.size() < 2) {
            // A seek in a video whose keyframes lie far apart decodes from far back, and both
            // start that much later: the second click pair comes later too.
            runEventsFor(kLongSeekMs);
            samples = server.recordedSince(from);
            pairs = heardClickPairs(samples);
        }
        if (pairs.size() < 2) {
            int loudest[2] = {0, 0};
            for (std::size_t i = 0; i < samples.size(); ++i)
                loudest[i % 2] = std::max(loudest[i % 2], std::abs(int{samples[i]}));
            std::printf("[ heard    ] %zu samples, loudest %d left, %d right\n", samples.size(),
                        loudest[0], loudest[1]);
        }
        std::ostringstream heard;
        for (const auto& p : pairs)
            heard << " " << p.offsetMs;
        std::printf("[ heard    ] %s after %s:%s ms\n", caseName({GetParam(), 0}).c_str(), what,
                    heard.str().c_str());
        EXPECT_GE(pairs.size(), 2u) << what << ": the players were not both heard";
        for (const auto& p : pairs)
            EXPECT_LE(std::fabs(p.offsetMs), heardTogetherMs(GetParam().server))
                << what << ": player 2's click at " << p.at << " s";
    }

    // F3, F2 and F3 a second later, F1 while playing: each heard together. `at` goes with their
    // names.
    void expectPlayPauseBackHeardTogether(const std::string& at = "", int listenMs = kListenMs) {
        frm1& w = *window->window;
        expectHeardTogether(("F3" + at).c_str(), [&] { w.play_both(); }, listenMs);
        expectHeardTogether(("F2 then F3 a second later" + at).c_str(),
                            [&] { pauseAndPlayAfter(1000); }, listenMs);
        expectHeardTogether(("F1 while playing" + at).c_str(), [&] { w.back_both(); }, listenMs);
    }
    // Paused, both stand where they were heard, give or take the picture a video landed on:
    // the next start goes on from there.
    void pauseAndPlayAfter(int ms) {
        const double heard[] = {window->player(1).positionNow(), window->player(2).positionNow()};
        window->window->pause_both();
        runEventsFor(ms);
        for (int player : {1, 2})
            EXPECT_NEAR(window->player(player).currentPosition(), heard[player - 1], 0.045)
                << "player " << player << " paused";
        window->window->play_both();
    }
    void goTo(const char* seconds) {
        window->ui().time_goto->setText(seconds);
        window->window->com_goto_Click();
    }

    SoundServer server{GetParam().server};
    std::optional<RealWindow> window;
};

TEST_P(HeardOffset, EveryCommandIsHeardTogether) {
    expectPlayPauseBackHeardTogether();
    expectHeardTogether("go-to while playing", [&] { goTo("12.37"); });
    expectHeardTogether(">> while playing", [&] { window->window->ffw_Click(); });
    // Before a file's first sound: a WMA sent there starts at that sound, not where it was sent.
    expectHeardTogether("go-to the start while playing", [&] { goTo("0"); });
    expectHeardTogether("F2 then F3 three seconds later", [&] { pauseAndPlayAfter(3000); });
    EXPECT_TRUE(window->messages.shown.empty());
}

// Two recorders started 3.25 s apart, player 2's clock 300 ppm fast: with that offset and drift
// set, every command is heard at the same moment of both recordings, also 20 s in, where the
// drift alone is 6 ms.
const Files kStartedApart{"StartedApartAndDrifting", [](int player) {
                              return player == 1 ? clickFile(ClickMedia::Sound, 1, 40)
                                                 : driftingClickFile(3.25, 300.0, 45);
                          }};

class AtTheSameMoment : public HeardOffset {};

TEST_P(AtTheSameMoment, EveryCommandIsHeardAtTheSameMomentOfBothRecordings) {
    window->window->setPlayer2Offset({3.25, 300.0});
    goTo("20");
    expectPlayPauseBackHeardTogether();
    expectHeardTogether("go-to while playing", [&] { goTo("30"); });
    EXPECT_TRUE(window->messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(, AtTheSameMoment,
                         testing::Values(Case{SoundServer::Kind::PulseAudio, kStartedApart},
                                         Case{SoundServer::Kind::PipeWire, kStartedApart}),
                         caseName);

// Slower or faster, with the pitch kept: the commands are still heard together.
class AtASpeed : public HeardOffset {};

TEST_P(AtASpeed, EveryCommandIsHeardTogetherSlowerAndFaster) {
    frm1& w = *window->window;
    for (const double speed : {0.75, 0.5, 1.5}) {
        ASSERT_TRUE(w.setSpeed(speed));
        goTo("2");  // the file's clicks last long enough from there
        // Clicks come once a second of the recording: as many are heard as at the normal speed.
        expectPlayPauseBackHeardTogether(" at " + std::to_string(speed).substr(0, 4),
                                         static_cast<int>(kListenMs / speed) + 500);
        w.pause_both();
    }
    EXPECT_TRUE(window->messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(, AtASpeed,
                         testing::Values(Case{SoundServer::Kind::PulseAudio, kSound},
                                         Case{SoundServer::Kind::PipeWire, kSound}),
                         caseName);

// Both play on from one F3. The positions read of the two players say how far apart they are
// heard, so that the follower corrects what is heard and nothing else: reading sound files'
// positions as libmpv last reported them, it saw player 2 tens of milliseconds away, "corrected"
// that, and moved what was heard by 20 ms. Videos are read from their sound, not from the
// picture on screen. Where PipeWire started the two a graph cycle apart, the follower brings
// them together within seconds.
class PlayingOn : public HeardOffset {};

TEST_P(PlayingOn, ThePlayersReadAsTheyAreHeardAndStayTogether) {
    frm1& w = *window->window;
    w.play_both();
    runEventsFor(300);
    // Before the follower's first decision, two seconds on: what is read is what is heard.
    const std::size_t from = server.recorded().size();
    std::vector<double> readMs;
    for (int reading = 0; reading < 30; ++reading) {
        runEventsFor(50);
        readMs.push_back((window->player(1).positionNow() - window->player(2).positionNow()) *
                         1000.0);
    }
    const auto heard = heardClickPairs(server.recordedSince(from));
    ASSERT_FALSE(heard.empty()) << "no click heard while reading";
    for (const double read : readMs)
        EXPECT_NEAR(read, heard.front().offsetMs, 4.0) << "read beside heard";

    // Two of the follower's decisions on, every pair is heard together.
    runEventsFor(3700);
    const std::size_t later = server.recorded().size();
    runEventsFor(3000);
    std::ostringstream heardLater;
    for (const auto& p : heardClickPairs(server.recordedSince(later))) {
        heardLater << " " << p.offsetMs;
        EXPECT_LE(std::fabs(p.offsetMs), 2.0) << "player 2's click at " << p.at << " s";
    }
    std::printf("[ heard    ] first %.2f ms, from 5.5 s on:%s ms\n", heard.front().offsetMs,
                heardLater.str().c_str());
    EXPECT_TRUE(window->messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(, PlayingOn,
                         testing::Values(Case{SoundServer::Kind::PulseAudio, kSound},
                                         Case{SoundServer::Kind::PulseAudio, kVideo},
                                         Case{SoundServer::Kind::PipeWire, kSound},
                                         Case{SoundServer::Kind::PipeWire, kVideo}),
                         caseName);

// A phone recording (16 kHz) beside a file at PipeWire's own 48 kHz: PipeWire converts it, and
// its player reads 8 ms behind what is heard from the start on. The follower took that for a gap
// and made it up 3 s after every start: an echo until the next key. Started together, the two
// stay together. Where they started apart, the follower cannot tell that from the readings' own
// gap, and leaves it to the next command.
class PlayingOnAtOtherRates : public HeardOffset {};

TEST_P(PlayingOnAtOtherRates, StartedTogetherTheyStayTogether) {
    window->window->play_both();
    const std::size_t from = server.recorded().size();
    runEventsFor(9000);
    const auto heard = heardClickPairs(server.recordedSince(from));
    std::ostringstream offsets;
    for (const auto& p : heard)
        offsets << " " << p.offsetMs;
    std::printf("[ heard    ] %s playing on:%s ms\n", caseName({GetParam(), 0}).c_str(),
                offsets.str().c_str());
    ASSERT_GE(heard.size(), 8u) << "the players were not both heard";
    if (std::fabs(heard.front().offsetMs) > 2.0)
        GTEST_SKIP() << "started " << heard.front().offsetMs << " ms apart";
    for (const auto& p : heard)
        EXPECT_LE(std::fabs(p.offsetMs), 2.0) << "player 2's click at " << p.at << " s";
    EXPECT_TRUE(window->messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(, PlayingOnAtOtherRates,
                         testing::Values(Case{SoundServer::Kind::PipeWire, kPhoneAndFlac},
                                         Case{SoundServer::Kind::PipeWire, kWmaAndOpus},
                                         Case{SoundServer::Kind::PulseAudio, kPhoneAndFlac}),
                         caseName);

INSTANTIATE_TEST_SUITE_P(, HeardOffset,
                         testing::Values(Case{SoundServer::Kind::PulseAudio, kSound},
                                         Case{SoundServer::Kind::PulseAudio, kVideo},
                                         Case{SoundServer::Kind::PipeWire, kSound},
                                         Case{SoundServer::Kind::PipeWire, kVideo}),
                         caseName);

INSTANTIATE_TEST_SUITE_P(Formats, HeardOffset,
                         testing::Values(Case{SoundServer::Kind::PulseAudio, kCameraAndOpus},
                                         Case{SoundServer::Kind::PulseAudio, kPhoneAndFlac},
                                         Case{SoundServer::Kind::PipeWire, kCameraAndOpus},
                                         Case{SoundServer::Kind::PipeWire, kPhoneAndFlac},
                                         Case{SoundServer::Kind::PulseAudio, kWmaAndOpus},
                                         Case{SoundServer::Kind::PipeWire, kWmaAndOpus},
                                         Case{SoundServer::Kind::PulseAudio, kScreenAndCamera},
                                         Case{SoundServer::Kind::PipeWire, kScreenAndCamera}),
                         caseName);

}  // namespace
