// The window's side of an alignment: how long the window's thread can go without reacting
// (a 5 ms heartbeat's longest gap) while two files are analysed on the worker threads, and how
// soon a cancelled analysis has ended. The window's thread here is this program's main thread,
// which receives the progress and the outcome as the window's does.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

#include "BenchMain.h"
#include "Heartbeat.h"
#include "SoundAligner.h"
#include "SpeechLike.h"
#include "Takes.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

}  // namespace

int runBench(BenchProcess& process) {
    process.core();
    const BenchOptions& options = process.options();
    const int minutes = options.integer("--minutes", 30, 1);
    constexpr int kRate = 16000;
    const double length = minutes * 60.0;
    std::string file1, file2;
    {
        const std::vector<float> source = speechLike(length + 60, kRate, 77);
        const std::string tag = std::to_string(minutes) + "min";
        file1 = take(source, kRate, 30, length, 1.0, microphone("mp3-bp"), 7,
                     "bench-align-window-1-" + tag);
        file2 = take(source, kRate, 30 - 12.5, length, 1.0 + 150e-6, microphone("aac-echo-12dB"), 8,
                     "bench-align-window-2-" + tag);
    }
    std::printf("The window's thread while a %d-minute pair is aligned:\n", minutes);

    Heartbeat heartbeat;
    QEventLoop loop;
    {
        SoundAligner aligner;
        int progressCalls = 0;
        const auto started = Clock::now();
        heartbeat.reset();
        aligner.start(
            file1, file2, [&](double) { ++progressCalls; },
            [&](const IAligner::Outcome& outcome) {
                std::printf("  analysed in %.1f s (%s: %+.4f s, %+.1f ppm, score %.2f)\n",
                            msSince(started) / 1000.0,
                            outcome.kind == IAligner::Outcome::Kind::Found
                                ? "found"
                                : outcome.message.c_str(),
                            outcome.offset, outcome.driftPpm, outcome.score);
                loop.quit();
            });
        loop.exec();
        const Heartbeat::Gap gap = heartbeat.longestGap();
        std::printf(
            "  heartbeat's longest gap %.1f ms (target 50), the thread's CPU in it %.1f ms; "
            "%d progress calls, %.0f ms of the thread's CPU in all\n",
            gap.wallMs, gap.cpuMs, progressCalls, heartbeat.cpuMsSinceReset());
    }
    for (const int afterMs : {50, 300, 600}) {
        auto aligner = std::make_unique<SoundAligner>();
        aligner->start(
            file1, file2, [](double) {}, [](const IAligner::Outcome&) {});
        QTimer::singleShot(afterMs, &loop, &QEventLoop::quit);
        loop.exec();
        const auto cancelled = Clock::now();
        aligner->cancel();
        aligner.reset();  // waits for the worker threads
        std::printf("  cancelled %d ms in: the analysis had ended %.1f ms later (target 200)\n",
                    afterMs, msSince(cancelled));
    }
    return 0;
}
