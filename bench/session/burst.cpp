// Hot keys in a burst and held down while both players play: does the window stay responsive,
// do the players stop when the key does, is a backlog replayed, and what one command costs.
// Options: --presses N (default 500) --seconds S (default 5) --hold-ms M (default 2000).
// Run on an X server: bash scripts/with-xvfb.sh build/bench/session/bench_burst
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "BenchMain.h"
#include "Heartbeat.h"
#include "KeyArrivals.h"
#include "KeyInjector.h"
#include "LongMedia.h"
#include "PingProbe.h"
#include "ProcessFigures.h"
#include "RecordedWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// UI-thread time of the window's command called directly, each time from the same state.
void timeCommand(const char* name, const std::function<void()>& setUp,
                 const std::function<void()>& command) {
    std::vector<double> times;
    for (int i = 0; i < 10; ++i) {
        setUp();
        runEventsFor(400);
        const auto start = Clock::now();
        command();
        times.push_back(ms(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    std::printf("  %-22s median %6.1f ms  max %6.1f ms  (10 calls; target <= 20 ms)\n", name,
                (times[4] + times[5]) / 2, times.back());
}

// Keys sent from a thread of their own, so a frozen window cannot slow the sender down.
class Sender {
public:
    explicit Sender(std::function<void()> send)
        : m_thread([this, send] {
              send();
              lastSent = Clock::now();
              done = true;
          }) {}
    ~Sender() { m_thread.join(); }
    std::atomic<bool> done{false};
    Clock::time_point lastSent;  // read only once done

private:
    std::thread m_thread;
};

// After the keys stop: waits until the window answered every ping and the players have had
// no call for a second, then prints how the window fared.
void settleAndReport(RecordedWindow& w, Heartbeat& heartbeat, PingProbe& pings,
                     Clock::time_point lastKey, int logCallsBefore) {
    pings.stopSending();
    runEventsUntil([&] { return pings.allAnswered() && Clock::now() - w.log.lastCall > 1s; },
                   600'000);
    const PingProbe::Figures p = pings.figures();
    int late = 0;
    for (std::size_t i = static_cast<std::size_t>(logCallsBefore); i < w.log.times.size(); ++i)
        late += w.log.times[i] > lastKey + 100ms ? 1 : 0;
    const Heartbeat::Gap gap = heartbeat.longestGap();
    std::printf("  longest UI heartbeat gap        %8.1f ms (target <= 100 ms)\n",
                heartbeat.longestGapMs());
    std::printf("    in it the UI thread ran %.1f ms, waited %ld times, was preempted %ld times\n",
                gap.cpuMs, gap.waits, gap.preempted);
    std::printf("  UI-thread CPU since the first key %8.1f ms\n", heartbeat.cpuMsSinceReset());
    std::printf("  _NET_WM_PING answers            %d of %d, longest %.1f ms\n", p.answered, p.sent,
                p.longestMs);
    std::printf("  player calls after the last key %d more than 100 ms later; last one %+.1f ms\n",
                late, ms(w.log.lastCall - lastKey));
}

}  // namespace

int runBench(BenchProcess& process) {
    process.widgets();
    const BenchOptions& options = process.options();
    const int presses = options.integer("--presses", 500, 1);
    const double seconds = options.number("--seconds", 5.0, 0.1);
    const int holdMs = options.integer("--hold-ms", 2000, 100);

    const std::string video = longVideo(120);
    RecordedWindow w;
    w.window->Form_Load();
    if (!w.open(1, video) || !w.open(2, video)) {
        std::fprintf(stderr, "cannot open %s: %s\n", video.c_str(), w.messages.shown[0].c_str());
        return 1;
    }
    KeyInjector keys;
    const xcb_keycode_t f1 = keys.keycode(KeyInjector::kF1);
    const xcb_keycode_t f2 = keys.keycode(KeyInjector::kF2);
    const xcb_keycode_t f3 = keys.keycode(KeyInjector::kF3);
    const bool autoRepeat = keys.enableAutoRepeat();
    KeyArrivals arrivals;
    Heartbeat heartbeat;
    const auto window = static_cast<std::uint32_t>(w.window->winId());
    runEventsFor(500);

    std::printf("UI-thread time of one command\n");
    frm1& f = *w.window;
    const auto playing = [&] { f.play_both(); };
    const auto paused = [&] { f.pause_both(); };
    timeCommand("play_both (paused)", paused, playing);
    timeCommand("pause_both (playing)", playing, paused);
    timeCommand("back_both (playing)", playing, [&] { f.back_both(); });
    timeCommand("back_both (paused)", paused, [&] { f.back_both(); });

    std::printf("%d presses of F1/F2/F3 in %.1f s while both play\n", presses, seconds);
    w.window->play_both();
    runEventsFor(1000);
    // What the window's thread spends anyway while both play, for comparison with the keys.
    heartbeat.reset();
    runEventsFor(2000);
    std::printf("  UI-thread CPU while both play without keys %.0f ms/s\n",
                heartbeat.cpuMsSinceReset() / 2.0);
    const long rssBefore = ProcessFigures::statusKiB("VmRSS");
    w.log.keepTimes = true;
    int logBefore = static_cast<int>(w.log.times.size());
    const int arrivedBefore = arrivals.presses(f1) + arrivals.presses(f2) + arrivals.presses(f3);
    {
        heartbeat.reset();
        PingProbe pings(window, 50ms);
        Sender sender([&] {
            std::mt19937 mix(7);
            const xcb_keycode_t codes[] = {f1, f2, f3};
            const auto period = std::chrono::duration<double>(seconds / presses);
            const auto start = Clock::now();
            for (int i = 0; i < presses; ++i) {
                std::this_thread::sleep_until(
                    start + std::chrono::duration_cast<Clock::duration>(period * i));
                const xcb_keycode_t code = codes[mix() % 3];
                keys.press(code);
                keys.release(code);
            }
        });
        runEventsUntil([&] { return sender.done.load(); }, 600'000);
        settleAndReport(w, heartbeat, pings, sender.lastSent, logBefore);
    }
    const int arrived = arrivals.presses(f1) + arrivals.presses(f2) + arrivals.presses(f3);
    const long rssAfter = ProcessFigures::statusKiB("VmRSS");
    std::printf("  presses that reached the window %d of %d\n", arrived - arrivedBefore, presses);
    std::printf("  RSS before %ld MiB, after %ld MiB\n", rssBefore / 1024, rssAfter / 1024);

    keys.press(f2);
    keys.release(f2);
    const bool bothPaused = runEventsUntil(
        [&] {
            return w.player(1).playState() != IMediaPlayer::kPlaying &&
                   w.player(2).playState() != IMediaPlayer::kPlaying;
        },
        60'000);
    runEventsFor(500);
    std::printf("  after a final F2: %s, players %.1f ms apart\n",
                bothPaused ? "both paused" : "STILL PLAYING", w.gapMs());

    std::printf("F1 held for %d ms while both play (auto-repeat %s)\n", holdMs,
                autoRepeat ? "switched on" : "refused by the server");
    w.window->play_both();
    runEventsFor(1000);
    const int f1Before = arrivals.presses(f1);
    logBefore = static_cast<int>(w.log.times.size());
    {
        heartbeat.reset();
        PingProbe pings(window, 50ms);
        Sender sender([&] {
            keys.press(f1);
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            keys.release(f1);
        });
        runEventsUntil([&] { return sender.done.load(); }, 600'000);
        const Clock::time_point released = sender.lastSent;
        settleAndReport(w, heartbeat, pings, released, logBefore);
        std::printf("  F1 presses that arrived         %d (1 press + auto-repeats)\n",
                    arrivals.presses(f1) - f1Before);
        std::printf(
            "  players stopped stepping back   %+.1f ms after the release (target <= 100)\n",
            ms(w.log.lastSeek - released));
    }
    std::printf("  RSS at the end %ld MiB\n", ProcessFigures::statusKiB("VmRSS") / 1024);
    w.window->pause_both();
    return 0;
}
