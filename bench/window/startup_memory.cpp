// Start-up time to the window shown, and memory with two videos loaded and playing.
// Run on an X server: bash scripts/with-xvfb.sh build/bench/window/bench_startup_memory
//   [--starts N] [--program PATH] [--against PATH] [--no-mpv] [--starts-only]
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "ProcField.h"
#include "ProgramStart.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

long statusKiB(const std::string& key) {
    return procFieldKiB("/proc/self/status", key);
}

struct Starts {
    std::vector<double> ms;
    long rssKiB = -1;
    std::string failure;

    void add(const ProgramStartResult& r) {
        if (!r.shown) {
            failure = r.failure;
            return;
        }
        ms.push_back(r.msToShown);
        rssKiB = r.rssKiB;
    }
    void print(const char* what) const {
        if (ms.empty()) {
            std::printf("%-44s not shown: %s\n", what, failure.c_str());
            return;
        }
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        std::printf("%-44s median %.0f ms (%.0f-%.0f, %zu starts), RSS %ld KiB\n", what,
                    sorted[sorted.size() / 2], sorted.front(), sorted.back(), sorted.size(),
                    rssKiB);
    }
};

}  // namespace

int runBench(BenchProcess& process) {
    const BenchOptions& options = process.options();
    const int starts = options.integer("--starts", 7, 1);
    const std::string program = options.text("--program", PELLUCOR_EXE);
    const bool withMpv = !options.has("--no-mpv");
    // A second build of the program, to compare two builds under the same load.
    const std::string against = options.text("--against", "");

    // The program as a user starts it, each start a process of its own, taking turns with the
    // standalone player a user would start instead, so that both see the same load.
    Starts pellucor;
    Starts mpv;
    Starts other;
    for (int i = 0; i < starts; ++i) {
        // The two builds take turns in going first, so neither always starts after mpv.
        const bool otherFirst = !against.empty() && i % 2 == 1;
        if (otherFirst)
            other.add(timeProgramStart(against, {}, 10000));
        pellucor.add(timeProgramStart(program, {}, 10000));
        if (!against.empty() && !otherFirst)
            other.add(timeProgramStart(against, {}, 10000));
        if (withMpv) {
            mpv.add(timeProgramStart(
                "/usr/bin/mpv",
                {"--no-config", "--really-quiet", "--idle", "--force-window", "--ao=null"}, 10000));
        }
    }
    pellucor.print("start-up, process start to window shown:");
    if (!against.empty())
        other.print("  --against program, the same:");
    if (withMpv)
        mpv.print("  mpv --idle --force-window, the same:");
    if (options.has("--starts-only"))
        return 0;

    process.widgets();
    const std::string video = TestMedia::video();

    const auto built = std::chrono::steady_clock::now();
    RealWindow w;
    w.window->Form_Load();
    while (!w.window->windowHandle() || !w.window->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const auto shown = std::chrono::steady_clock::now();
    std::printf("in this process, window built to shown:     %.1f ms\n",
                std::chrono::duration<double, std::milli>(shown - built).count());
    std::printf("RSS with the empty window shown:            %ld KiB\n", statusKiB("VmRSS"));

    w.open(1, video);
    w.open(2, video);
    if (!w.messages.shown.empty()) {
        std::fprintf(stderr, "%s\n", w.messages.shown.front().c_str());
        return 1;
    }
    w.window->play_both();
    runEventsFor(5000);
    std::printf("RSS with two videos playing (after 5 s):    %ld KiB\n", statusKiB("VmRSS"));
    std::printf("peak RSS:                                   %ld KiB\n", statusKiB("VmHWM"));
    return 0;
}
