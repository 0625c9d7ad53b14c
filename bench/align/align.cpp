// How well and how fast two files are aligned from their sound: pairs made at run time from one
// speech-like source through two simulated microphones, unrelated pairs that must be refused,
// and (with --long) a two-hour pair timed against FFmpeg decoding both files.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "AlignFiles.h"
#include "BenchMain.h"
#include "SpeechLike.h"
#include "SpokenSource.h"
#include "Takes.h"

namespace {

constexpr int kSourceRate = 48000;

struct PairCase {
    const char* first;
    const char* second;
    double offset;    // seconds, file 2 against file 1
    double driftPpm;  // file 2's clock against file 1's
};

// Offsets from -60 to +60 s and drifts from -300 to +300 ppm over every microphone.
const std::vector<PairCase> kPairs = {
    {"wav44", "flac48", 7.346, 0},
    {"mp3-bp", "aac-echo-12dB", -23.5, 120},
    {"opus-10dB", "mp3-echo-10dB", 59.9, -300},
    {"telephone", "aac-echo-12dB", -60, 300},
    {"aac44-echo-10dB", "opus-12dB", 0.0003, -50},
    {"flac48", "telephone-10dB", -41.2, 250},
    {"mp3-echo-10dB", "opus-10dB", 33.3, -175},
    {"wav44", "mp3-echo-10dB", -5.5, 75},
    {"telephone-10dB", "mp3-bp", 12.75, -220},
    {"opus-12dB", "aac44-echo-10dB", -0.5, 180},
};

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty()      ? 0
           : v.size() % 2 ? v[v.size() / 2]
                          : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// File 1 starts at `start` of the source; file 2 where the offset puts it, its clock stretched.
struct Made {
    std::string file1, file2;
    double offset, driftPpm;
};

Made makePair(const std::vector<float>& source, const PairCase& c, double length, double start,
              const std::string& tag) {
    const double stretch = 1 + c.driftPpm * 1e-6;
    // Second t of file 1 is source second start + t, and file 2's second
    // (start + t - from2) * stretch; so from2 = start - offset / stretch.
    const double from2 = start - c.offset / stretch;
    Made m;
    m.file1 = take(source, kSourceRate, start, length, 1.0, microphone(c.first), 1,
                   tag + "-1-" + c.first);
    m.file2 = take(source, kSourceRate, from2, length, stretch, microphone(c.second), 2,
                   tag + "-2-" + c.second);
    m.offset = c.offset;
    m.driftPpm = c.driftPpm;
    return m;
}

// The source of the related pairs: made in code, or spoken by espeak-ng.
std::vector<float> sourceOf(bool spoken, double seconds, int rate, std::uint32_t seed) {
    return spoken ? spokenSource(seconds, rate, seed) : speechLike(seconds, rate, seed);
}

void related(int minutes, bool spoken) {
    const double length = minutes * 60.0;
    std::printf("Related pairs, %d minutes each, %s (file 2 against file 1):\n", minutes,
                spoken ? "espeak-ng's speech" : "speech-like sound");
    std::printf("  %-16s %-16s %9s %8s %11s %11s %6s %7s\n", "file 1", "file 2", "offset", "ppm",
                "offset err", "drift err", "score", "time");
    const std::vector<float> source = sourceOf(spoken, length + 130, kSourceRate, 41);
    std::vector<double> offsetErrors, driftErrors;
    int refused = 0;
    for (std::size_t i = 0; i < kPairs.size(); ++i) {
        const PairCase& c = kPairs[i];
        const Made m = makePair(source, c, length, 65,
                                std::string("bench-align-") + (spoken ? "spoken-" : "") +
                                    std::to_string(minutes) + "m-" + std::to_string(i));
        std::atomic<bool> cancelled{false};
        const auto began = std::chrono::steady_clock::now();
        try {
            const Alignment a = alignFiles(m.file1, m.file2, cancelled, {});
            const double took = seconds(std::chrono::steady_clock::now() - began);
            offsetErrors.push_back(std::abs(a.offset - c.offset));
            driftErrors.push_back(std::abs(a.driftPpm - c.driftPpm));
            std::printf("  %-16s %-16s %+9.4f %+8.1f %8.3f ms %7.2f ppm %6.2f %6.2fs\n", c.first,
                        c.second, c.offset, c.driftPpm, offsetErrors.back() * 1e3,
                        driftErrors.back(), a.score, took);
        } catch (const AlignError& e) {
            ++refused;
            std::printf("  %-16s %-16s %+9.4f %+8.1f REFUSED: %s\n", c.first, c.second, c.offset,
                        c.driftPpm, e.what());
        }
    }
    std::printf("  offset error: median %.3f ms, worst %.3f ms (targets 0.5 ms and 2 ms)\n",
                median(offsetErrors) * 1e3,
                offsetErrors.empty()
                    ? 0
                    : *std::max_element(offsetErrors.begin(), offsetErrors.end()) * 1e3);
    std::printf(
        "  drift error: median %.2f ppm, worst %.2f ppm (target 2 ppm)\n", median(driftErrors),
        driftErrors.empty() ? 0 : *std::max_element(driftErrors.begin(), driftErrors.end()));
    std::printf("  refused: %d of %zu (target 0)\n\n", refused, kPairs.size());
}

void unrelated(int count) {
    std::printf(
        "Unrelated pairs (two sources, 3 minutes each, every microphone pairing; "
        "every other one espeak-ng's speech):\n");
    const std::vector<PairCase> mics = kPairs;
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        const PairCase& c = mics[std::size_t(i) % mics.size()];
        const bool spoken = i % 2 == 1;
        const std::vector<float> one = sourceOf(spoken, 185, kSourceRate, std::uint32_t(100 + i));
        const std::vector<float> two = sourceOf(spoken, 185, kSourceRate, std::uint32_t(200 + i));
        const std::string tag =
            std::string("bench-align-unrelated-") + (spoken ? "spoken-" : "") + std::to_string(i);
        const std::string f1 =
            take(one, kSourceRate, 0, 180, 1.0, microphone(c.first), 3, tag + "-1-" + c.first);
        const std::string f2 =
            take(two, kSourceRate, 0, 180, 1.0, microphone(c.second), 4, tag + "-2-" + c.second);
        std::atomic<bool> cancelled{false};
        try {
            const Alignment a = alignFiles(f1, f2, cancelled, {});
            std::printf("  ALIGNED %s and %s: offset %+.4f, %+.1f ppm, score %.2f\n", c.first,
                        c.second, a.offset, a.driftPpm, a.score);
        } catch (const AlignError& e) {
            ++refused;
        }
    }
    std::printf("  refused: %d of %d (target: all)\n\n", refused, count);
}

struct ChildRun {
    double seconds = 0;
    long maxRssKiB = 0;
    std::string out;
};

// VmHWM of a running process, in KiB; 0 once it is gone.
long highWaterKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Runs a program, its standard output into a file; wall time and peak RSS.
ChildRun runChild(std::vector<std::string> argv, const std::string& outFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    const auto began = std::chrono::steady_clock::now();
    pid_t pid = 0;
    ChildRun run;
    if (::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        return run;
    posix_spawn_file_actions_destroy(&actions);
    // The peak of the program's own pages: a spawned child's rusage counts the parent's too.
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        run.maxRssKiB = std::max(run.maxRssKiB, highWaterKiB(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.seconds = seconds(std::chrono::steady_clock::now() - began);
    if (FILE* f = std::fopen(outFile.c_str(), "r")) {
        char line[256] = {};
        if (std::fgets(line, sizeof line, f))
            run.out = line;
        std::fclose(f);
    }
    return run;
}

// Two at once, as the aligner decodes them: wall time until both are done.
double decodeBoth(const std::string& f1, const std::string& f2) {
    const auto began = std::chrono::steady_clock::now();
    std::vector<pid_t> pids;
    for (const std::string& f : {f1, f2}) {
        std::vector<std::string> argv{"ffmpeg", "-nostdin", "-v", "error", "-i", f,
                                      "-map",   "0:a",      "-f", "null",  "-"};
        std::vector<char*> args;
        for (std::string& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        pid_t pid = 0;
        if (::posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, args.data(), environ) == 0)
            pids.push_back(pid);
    }
    for (const pid_t pid : pids)
        ::waitpid(pid, nullptr, 0);
    return seconds(std::chrono::steady_clock::now() - began);
}

void longPair() {
    std::printf(
        "Two-hour pair (MP3 44.1 kHz against AAC 48 kHz, -12 dB and reverberation, "
        "+37.25 s, -180 ppm), through %s:\n",
        PELLUCOR_EXE);
    constexpr int kRate = 16000;
    constexpr double kLength = 7200;
    const PairCase c{"mp3-bp", "aac-echo-12dB", 37.25, -180};
    std::string file1, file2;
    {
        const std::vector<float> source = speechLike(kLength + 90, kRate, 43);
        const double stretch = 1 + c.driftPpm * 1e-6;
        file1 = take(source, kRate, 60, kLength, 1.0, microphone(c.first), 5,
                     std::string("bench-align-2h-1-") + c.first);
        file2 = take(source, kRate, 60 - c.offset / stretch, kLength, stretch, microphone(c.second),
                     6, std::string("bench-align-2h-2-") + c.second);
    }
    const std::string out = "/tmp/bench-align-" + std::to_string(::getpid()) + ".out";
    const ChildRun idle = runChild({PELLUCOR_EXE, "--version"}, out);
    const double ffmpeg = decodeBoth(file1, file2);
    // Each twice, taking turns, the faster run counting: the machine may be busy meanwhile.
    ChildRun run = runChild({PELLUCOR_EXE, "--align", file1, file2}, out);
    const double ffmpegAfter = decodeBoth(file1, file2);
    const ChildRun again = runChild({PELLUCOR_EXE, "--align", file1, file2}, out);
    const double slowerRun = std::max(run.seconds, again.seconds);
    run.seconds = std::min(run.seconds, again.seconds);
    run.maxRssKiB = std::max(run.maxRssKiB, again.maxRssKiB);
    std::remove(out.c_str());
    double offset = 0, drift = 0, score = 0;
    if (std::sscanf(run.out.c_str(), "offset=%lf drift_ppm=%lf score=%lf", &offset, &drift,
                    &score) == 3)
        std::printf(
            "  found offset %+.4f s (error %.2f ms), drift %+.1f ppm (error %.1f ppm), "
            "score %.2f\n",
            offset, std::abs(offset - c.offset) * 1e3, drift, std::abs(drift - c.driftPpm), score);
    else
        std::printf("  pellucor --align printed: %s\n", run.out.c_str());
    const double decode = std::min(ffmpeg, ffmpegAfter);
    std::printf(
        "  pellucor --align: %.1f s (slower run %.1f s); ffmpeg decoding both at once: %.1f s "
        "(slower run %.1f s); ratio %.2f (target 2)\n",
        run.seconds, slowerRun, decode, std::max(ffmpeg, ffmpegAfter), run.seconds / decode);
    std::printf("  peak memory: %.0f MB, %.0f MB more than pellucor --version (target 300 MB)\n\n",
                double(run.maxRssKiB) / 1024.0, double(run.maxRssKiB - idle.maxRssKiB) / 1024.0);
}

}  // namespace

int runBench(BenchProcess& process) {
    const BenchOptions& options = process.options();
    const std::string source = options.text("--source", "both");
    for (const bool spoken : {false, true})
        if (!options.has("--no-pairs") && (source == "both" || (source == "espeak") == spoken))
            related(options.integer("--minutes", 10, 1), spoken);
    if (!options.has("--no-unrelated"))
        unrelated(options.integer("--unrelated", 20, 1));
    if (options.has("--long"))
        longPair();
    return 0;
}
