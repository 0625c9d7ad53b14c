// A long session: both players play a long file while F3, F2, F1 are pressed from another
// client and go-to is used every few seconds; then the same length again with no key pressed,
// for the drift between the players. Prints RSS, CPU and the players' gap once a minute, and
// for comparison the CPU of two standalone mpv playing the same file.
// Options: --minutes N (default 60) --interval S (seconds between actions, default 3)
//          --phase keys|drift|both (default both) --mpv-seconds M (default 60, 0 to skip)
//          --busy-seconds B (default 0): half a minute into the drift phase, keep every core busy
//          for B seconds with other work, the spell after which players used to drift apart
//          --speeds-ignored: player 2 never follows player 1, for comparison
// Run on an X server: bash scripts/with-xvfb.sh build/bench/session/bench_soak --minutes 2
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "BenchOptions.h"
#include "Heartbeat.h"
#include "KeyInjector.h"
#include "LongMedia.h"
#include "ProcessFigures.h"
#include "RecordedWindow.h"
#include "StandaloneMpv.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The gap between the players as the mean of readings spread over about a second: a single
// reading moves in whole frames, the mean of many does not.
// Positive: player 1 ahead.
struct Drift {
    double meanMs;
    double largestMs;
};
Drift measureDrift(RecordedWindow& w) {
    double sum = 0;
    double largest = 0;
    constexpr int kReadings = 21;
    for (int i = 0; i < kReadings; ++i) {
        const double gap = (w.player(1).currentPosition() - w.player(2).currentPosition()) * 1000;
        sum += gap;
        largest = std::fabs(gap) > std::fabs(largest) ? gap : largest;
        runEventsFor(47);
    }
    return {sum / kReadings, largest};
}

// CPU use, in percent of one core, since the last call.
class CpuMeter {
public:
    double percent() {
        const double cpu = ProcessFigures::cpuSeconds();
        const auto now = Clock::now();
        const double wall = std::chrono::duration<double>(now - m_since).count();
        const double result = wall > 0 ? 100.0 * (cpu - m_cpu) / wall : 0;
        m_cpu = cpu;
        m_since = now;
        return result;
    }

private:
    double m_cpu = ProcessFigures::cpuSeconds();
    Clock::time_point m_since = Clock::now();
};

void printMinute(RecordedWindow& w, double minute, CpuMeter& cpu) {
    const double gap = w.gapMs();  // read first: the figures below take a while
    std::printf("  minute %5.1f  RSS %4ld MiB  CPU %5.1f %%  gap %7.1f ms  threads %d  fds %d\n",
                minute, ProcessFigures::statusKiB("VmRSS") / 1024, cpu.percent(), gap,
                ProcessFigures::threads(), ProcessFigures::openFiles());
}

// Keys and go-to, one action per interval, in an order that keeps the players mostly playing.
void keysPhase(RecordedWindow& w, int minutes, int intervalS, double fileSeconds) {
    KeyInjector keys;
    Heartbeat heartbeat;
    CpuMeter cpu;
    std::printf("keys phase: %d minutes, an action every %d s\n", minutes, intervalS);
    keys.tap(KeyInjector::kF3);
    runEventsFor(10'000);  // past the start-up allocations
    const long rssStart = ProcessFigures::statusKiB("VmRSS");
    ProcessFigures::printMemory("  start (10 s in)");
    const double cpuStart = ProcessFigures::cpuSeconds();
    const auto start = Clock::now();
    heartbeat.reset();
    cpu.percent();

    const char* const plan[] = {"F1", "goto", "F2", "F3", "F1", "F1", "goto", "F3"};
    int step = 0;
    int nextMinute = 1;
    while (secondsSince(start) < minutes * 60.0) {
        runEventsFor(intervalS * 1000);
        const std::string action = plan[step % std::size(plan)];
        if (action == "goto") {
            // Somewhere in the first half, far from the end whatever the length.
            const int target = (step * 37) % std::max(1, static_cast<int>(fileSeconds / 2));
            w.ui().time_goto->setText(QString::number(target));
            w.ui().com_goto->click();
        } else {
            keys.tap(action == "F1"   ? KeyInjector::kF1
                     : action == "F2" ? KeyInjector::kF2
                                      : KeyInjector::kF3);
        }
        ++step;
        if (secondsSince(start) >= nextMinute * 60.0) {
            printMinute(w, secondsSince(start) / 60.0, cpu);
            ++nextMinute;
        }
    }
    const double wall = secondsSince(start);
    const long rssEnd = ProcessFigures::statusKiB("VmRSS");
    ProcessFigures::printMemory("  end");
    std::printf("  %d actions; RSS %ld -> %ld MiB, growth %+.1f MiB (target <= 5)\n", step,
                rssStart / 1024, rssEnd / 1024, static_cast<double>(rssEnd - rssStart) / 1024.0);
    std::printf("  CPU %.1f %% of a core on average; longest UI heartbeat gap %.1f ms\n",
                100.0 * (ProcessFigures::cpuSeconds() - cpuStart) / wall, heartbeat.longestGapMs());
    std::printf("  messages shown: %zu\n", w.messages.shown.size());
}

// Other work on every core, sixteen threads each, for the given time: the players fall behind with
// their sound and pictures, each by its own amount.
void busySpell(int seconds) {
    std::printf("  busy spell: %d s on every core\n", seconds);
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < 16 * std::max(1u, std::thread::hardware_concurrency()); ++i)
        workers.emplace_back([until] {
            volatile double x = 1.0;
            while (Clock::now() < until)
                for (int k = 0; k < 100000; ++k)
                    x = x * 1.0000001 + 1e-9;
        });
    for (auto& worker : workers)
        worker.detach();
}

// One start, then nothing: the players must stay together on their own.
void driftPhase(RecordedWindow& w, int minutes, int busySeconds) {
    CpuMeter cpu;
    std::printf("drift phase: %d minutes from one start, no key pressed\n", minutes);
    if (busySeconds > 0)
        QTimer::singleShot(30000, [busySeconds] { busySpell(busySeconds); });
    w.window->pause_both();
    w.ui().time_goto->setText("0");
    w.ui().com_goto->click();
    runEventsFor(500);
    w.window->play_both();
    const auto start = Clock::now();
    const double cpuStart = ProcessFigures::cpuSeconds();
    std::vector<double> marks{0.25};
    for (double m : {1.0, 2.0, 5.0, 10.0, 15.0, 20.0, 30.0, 45.0, 60.0, 90.0, 120.0}) {
        if (m < minutes)
            marks.push_back(m);
    }
    marks.push_back(minutes);
    cpu.percent();
    for (const double mark : marks) {
        runEventsFor(static_cast<int>(std::max(0.0, mark * 60.0 - secondsSince(start)) * 1000));
        const Drift d = measureDrift(w);
        std::printf(
            "  minute %5.2f  player 1 at %7.2f s  gap (1 - 2) mean %+7.1f ms  largest %+7.1f ms  "
            "RSS %4ld MiB  CPU %5.1f %%\n",
            mark, w.player(1).currentPosition(), d.meanMs, d.largestMs,
            ProcessFigures::statusKiB("VmRSS") / 1024, cpu.percent());
    }
    std::printf("  player 2's speed changed %d times%s\n", w.log.speedChanges,
                w.log.speedsIgnored ? " (ignored)" : "");
    // A player that cannot keep up runs slow rather than dropping frames: compare with the clock.
    std::printf(
        "  player 1 played %.1f s in %.1f s; CPU %.1f %% of a core on average (target for "
        "the gap: <= 40 ms)\n",
        w.player(1).currentPosition(), secondsSince(start),
        100.0 * (ProcessFigures::cpuSeconds() - cpuStart) / secondsSince(start));
    w.window->pause_both();
}

// What a user gets instead with two standalone mpv on the same file: their CPU, and how the
// gap between them (started a moment apart, so not zero) changes over the same time.
void standaloneMpv(const std::string& video, int seconds) {
    StandaloneMpv a(video);
    StandaloneMpv b(video);
    runEventsFor(5000);
    const auto gap = [&]() -> std::optional<double> {
        const auto pa = a.timePos();
        const auto pb = b.timePos();
        if (!pa || !pb)
            return std::nullopt;
        return (*pa - *pb) * 1000.0;
    };
    const auto gapBefore = gap();
    const auto aBefore = a.timePos();
    const double before = a.cpuSeconds() + b.cpuSeconds();
    const auto start = Clock::now();
    runEventsFor(seconds * 1000);
    const double cpu = 100.0 * (a.cpuSeconds() + b.cpuSeconds() - before) / secondsSince(start);
    const auto gapAfter = gap();
    const auto aAfter = a.timePos();
    std::printf("two standalone mpv, same file, %d s: CPU %.1f %% of a core together", seconds,
                cpu);
    if (gapBefore && gapAfter && aBefore && aAfter)
        std::printf("; their gap moved by %+.1f ms (%.1f -> %.1f ms); one played %.1f s\n",
                    *gapAfter - *gapBefore, *gapBefore, *gapAfter, *aAfter - *aBefore);
    else
        std::printf("; positions not readable\n");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const BenchOptions options(argc, argv);
    const int minutes = options.integer("--minutes", 60, 1);
    const int interval = options.integer("--interval", 3, 1);
    const std::string phase = options.text("--phase", "both");
    const int mpvSeconds = options.integer("--mpv-seconds", 60, 0);
    const int busySeconds = options.integer("--busy-seconds", 0, 0);

    // Longer than the run, so that playing on from a go-to never reaches the end.
    const int fileSeconds = minutes * 60 + 120;
    const std::string video = longVideo(fileSeconds);
    RecordedWindow w;
    w.log.speedsIgnored = options.has("--speeds-ignored");
    w.window->Form_Load();
    if (!w.open(1, video) || !w.open(2, video)) {
        std::fprintf(stderr, "cannot open %s: %s\n", video.c_str(), w.messages.shown[0].c_str());
        return 1;
    }
    runEventsFor(500);
    if (phase == "keys" || phase == "both")
        keysPhase(w, minutes, interval, fileSeconds);
    if (phase == "drift" || phase == "both")
        driftPhase(w, minutes, busySeconds);
    if (mpvSeconds > 0)
        standaloneMpv(video, mpvSeconds);
    return 0;
}
