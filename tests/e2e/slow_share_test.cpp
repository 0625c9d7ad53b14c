// A file on a slow share: its first read answers only after 2 s (the preloaded stalling_read
// library, which the test's environment points at the file). The window's thread goes on
// answering while player 1 waits for the file, and player 2 plays on; then the file opens, or
// the player gives it up after its timeout, or another file chosen meanwhile replaces it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Messages.h"
#include "NamedCases.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kBeatMs = 10;
// What the window may fall behind its heartbeat on a busy machine with two players decoding;
// a window that waits for the share falls 2 s behind.
constexpr double kLongestGapMs = kBeatMs + 90.0;
constexpr qint64 kStallMs = 2000;

// The file the library delays, made once: it is found by its inode, which must not change
// after the library first saw it.
fs::path slowFile() {
    const char* named = std::getenv("PELLUCOR_TEST_STALL_FILE");
    if (!named)
        throw std::runtime_error("PELLUCOR_TEST_STALL_FILE names no file");
    return TestMedia::videoCopy(named, false);
}

double longestGapMs(const std::vector<Clock::time_point>& beats) {
    double longest = 0;
    for (std::size_t i = 1; i < beats.size(); ++i)
        longest = std::max(
            longest, std::chrono::duration<double, std::milli>(beats[i] - beats[i - 1]).count());
    return longest;
}

enum class Then { Opens, TimesOut, IsReplaced };

struct SlowOpen {
    const char* name;
    Then then;
};

class SlowShare : public testing::TestWithParam<SlowOpen> {
protected:
    std::chrono::milliseconds openTimeout() const {
        using namespace std::chrono_literals;
        return GetParam().then == Then::TimesOut ? 500ms : MpvPlayer::kOpenTimeout;
    }
};

// While player 1 waits for the share the window's thread keeps its heartbeat and player 2 plays
// on; then player 1's side ends as the case says, with the window's message where it fails.
TEST_P(SlowShare, WindowKeepsAnsweringWhilePlayer1WaitsForTheFile) {
    const Then then = GetParam().then;
    const fs::path slow = slowFile();
    RealWindow w(true, KeySource::X11Grabs, openTimeout());
    w.open(2, TestMedia::video());
    ASSERT_TRUE(w.window->geladen2);
    w.player(2).play();
    runEventsFor(500);  // libmpv is there and player 2 under way

    std::vector<Clock::time_point> beats;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { beats.push_back(Clock::now()); });
    heartbeat.start(kBeatMs);
    const double player2Before = w.player(2).currentPosition();
    QElapsedTimer sinceOpen;
    sinceOpen.start();
    beats.push_back(Clock::now());

    w.startOpen(1, slow.string());
    EXPECT_FALSE(w.window->geladen1) << "loaded before the file could be read";
    if (then == Then::IsReplaced)
        w.startOpen(1, TestMedia::video());
    ASSERT_TRUE(w.awaitOpen(1));
    const qint64 took = sinceOpen.elapsed();
    // Anything the slow file's open still had to say has been said by now.
    runEventsUntil([&] { return sinceOpen.elapsed() > kStallMs + 500; }, 10000);
    beats.push_back(Clock::now());
    heartbeat.stop();

    EXPECT_LE(longestGapMs(beats), kLongestGapMs) << "the window stopped answering";
    EXPECT_GT(w.player(2).currentPosition(), player2Before + 1.5) << "player 2 stopped";
    switch (then) {
        case Then::Opens:
            EXPECT_GE(took, kStallMs - 100) << "the read was not delayed: the test shows nothing";
            EXPECT_TRUE(w.messages.shown.empty());
            EXPECT_EQ(w.window->media1, slow.string());
            break;
        case Then::TimesOut:
            // The timer may fire a twentieth early, as Qt's coarse timers do.
            EXPECT_GE(took, openTimeout().count() * 9 / 10) << "refused before the timeout";
            EXPECT_LT(took, kStallMs) << "waited for the share, not for the timeout";
            EXPECT_EQ(w.messages.shown, std::vector<std::string>{Messages::kCannotLoad});
            EXPECT_FALSE(w.window->geladen1);
            EXPECT_EQ(w.window->media1, "");
            EXPECT_EQ(w.ui().disp1->text().toStdString(), "");
            EXPECT_THROW(w.player(1).play(), PlayerError) << "the player kept the file";
            w.open(1, TestMedia::video());  // the side takes a file again
            break;
        case Then::IsReplaced:
            EXPECT_TRUE(w.messages.shown.empty());
            EXPECT_EQ(w.window->media1, TestMedia::video());
            break;
    }
    ASSERT_TRUE(w.window->geladen1);

    // The side is loaded as any other: both players play from F3's command.
    w.window->play_both();
    const double from = w.player(1).currentPosition();
    EXPECT_TRUE(runEventsUntil([&] { return w.player(1).currentPosition() > from + 0.5; }, 10000));
}

INSTANTIATE_TEST_SUITE_P(Files, SlowShare,
                         testing::Values(SlowOpen{"OpensOnceTheShareAnswers", Then::Opens},
                                         SlowOpen{"GivenUpAfterTheOpenTimeout", Then::TimesOut},
                                         SlowOpen{"ReplacedByAnotherFile", Then::IsReplaced}),
                         byName);

}  // namespace
