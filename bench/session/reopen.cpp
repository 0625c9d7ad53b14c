// Memory per open: good 2-minute files opened again and again through the window's own open
// command, alternating sides, then two videos played. Prints RSS and how it splits (anonymous
// and file-backed pages, the C allocator's own view, threads, descriptors) along the way, and
// again after handing the allocator's free memory back, which tells retained memory from live;
// then the memory of two standalone mpv playing the same files, for comparison.
// Options: --opens N (default 100), --size WxH of the pictures (default 1280x720, as a camera
// gives; 320x240 is the tests' size). Compare runs with MALLOC_ARENA_MAX=2 in the environment.
// Run on an X server: bash scripts/with-xvfb.sh build/bench/session/bench_reopen
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "LongMedia.h"
#include "ProcessFigures.h"
#include "RecordedWindow.h"
#include "StandaloneMpv.h"

int runBench(BenchProcess& process) {
    process.widgets();
    const BenchOptions& options = process.options();
    const int opens = options.integer("--opens", 100, 2);
    const std::string size = options.text("--size", "1280x720");
    const char* arenaMax = std::getenv("MALLOC_ARENA_MAX");
    std::printf("%d opens of %s video, alternating sides; MALLOC_ARENA_MAX=%s\n", opens,
                size.c_str(), arenaMax ? arenaMax : "(unset)");

    // Two different files, so that each side really gets a new one every time.
    const std::string files[] = {longVideo(120, size), longVideo(121, size)};
    RecordedWindow w;
    w.window->Form_Load();
    runEventsFor(500);
    ProcessFigures::printMemory("empty window");

    long rssFirst = 0;
    long rssSecond = 0;
    std::vector<double> openMs;
    for (int i = 1; i <= opens; ++i) {
        const int side = i % 2 ? 1 : 2;
        const auto start = std::chrono::steady_clock::now();
        if (!w.open(side, files[(i / 2) % 2])) {
            std::fprintf(stderr, "open %d refused: %s\n", i,
                         w.messages.shown.empty() ? "no answer" : w.messages.shown.back().c_str());
            return 1;
        }
        openMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        runEventsFor(100);
        const bool measured =
            i == 1 || i == 2 || i == 5 || i == 10 || i == 20 || i == 50 || i == opens;
        // The open ends before libmpv has set up the decoders and the picture: measure a
        // player that holds them.
        if (measured)
            runEventsFor(1000);
        if (i <= 2)
            (i == 1 ? rssFirst : rssSecond) = ProcessFigures::statusKiB("VmRSS");
        if (measured) {
            const std::string label = "after open " + std::to_string(i);
            ProcessFigures::printMemory(label.c_str());
        }
    }
    const long rssLast = ProcessFigures::statusKiB("VmRSS");
    std::sort(openMs.begin(), openMs.end());
    std::printf("open through the window: median %.0f ms, max %.0f ms (until it opened)\n",
                openMs[openMs.size() / 2], openMs.back());
    std::printf(
        "growth from open 1 to open %d: %+ld MiB (target <= 10); RSS %ld MiB (target < 250)\n",
        opens, (rssLast - rssFirst) / 1024, rssLast / 1024);
    // The second open is the other side's first: from there on both players hold a file.
    std::printf("growth from open 2 (both sides loaded once) to open %d: %+ld MiB\n", opens,
                (rssLast - rssSecond) / 1024);

    w.window->play_both();
    runEventsFor(5000);
    ProcessFigures::printMemory("two videos playing (5 s)");
    w.window->pause_both();
    runEventsFor(300);
    malloc_trim(0);
    ProcessFigures::printMemory("paused, after malloc_trim(0)");

    // What a user pays instead with two standalone mpv, one file each, playing.
    StandaloneMpv a(files[0]);
    StandaloneMpv b(files[1]);
    runEventsFor(5000);
    std::printf("two standalone mpv playing (5 s): RSS %ld + %ld MiB\n", a.rssKiB() / 1024,
                b.rssKiB() / 1024);
    return 0;
}
