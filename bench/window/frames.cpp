// Which frame each picture shows: both players play a video that carries its frame number in
// the picture; after the window's play_both (a moment after pause_both, as F2 then F3),
// back_both on playing players, a go-to while playing and one while paused, screen captures
// (each holding both pictures) read both frame numbers. Before each command both play together,
// as the window keeps them; with --apart, player 2 plays half a second off, as after starting
// the players one by one (the first captures then show that gap: the command cannot have
// changed a picture yet).
// Options: --runs N (default 3), --samples N per run (default 60), --apart, --mixed (player 2
// plays the same frames at 1920x1080), --sound-server (a private PulseAudio with a null sink
// instead of whatever sound the machine has; without a sound device libmpv's null output stands
// in, which reports underruns under load, after which its player falls behind), --trace (every
// capture's time after the command and both frame numbers). Run on an X server:
// bash scripts/with-xvfb.sh build/bench/window/bench_frames
#include <QLineEdit>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "BenchMedia.h"
#include "FrameReader.h"
#include "PictureSampler.h"
#include "PlayersApart.h"
#include "RealWindow.h"
#include "SoundServer.h"

namespace {

// Not a divisor of the 40 ms frame time, so the captures meet every phase of a frame.
constexpr std::chrono::milliseconds kCapturePeriod(37);

// Positions that differ from run to run and stay clear of both ends of the file.
double spread(int run, double step) {
    return 4.0 + std::fmod(run * step, 30.0);
}

ScreenRect screenRectOf(const QWidget& widget) {
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y(), widget.width(), widget.height()};
}

struct Agreement {
    std::size_t samples = 0;
    std::size_t unreadable = 0;
    std::size_t same = 0;
    std::size_t oneApart = 0;
    long maxApart = 0;
    // Per run: from the command to the capture after which the pictures never again stood
    // more than one frame apart (or could not be read); the run's length when never.
    std::vector<double> settledMs;

    void addRun(const std::vector<PictureSampler::Sample>& run,
                PictureSampler::Clock::time_point command, bool trace) {
        const auto msAfter = [command](const PictureSampler::Sample& s) {
            return std::chrono::duration<double, std::milli>(s.at - command).count();
        };
        double settled = 0;
        for (const auto& s : run) {
            ++samples;
            if (trace) {
                std::printf("  %6.0f ms  %6ld %6ld\n", msAfter(s), s.frames[0].value_or(-1),
                            s.frames[1].value_or(-1));
            }
            const long apart =
                s.frames[0] && s.frames[1] ? std::labs(*s.frames[0] - *s.frames[1]) : -1;
            if (apart < 0 || apart > 1)
                settled = msAfter(s);
            if (apart < 0) {
                ++unreadable;
                continue;
            }
            same += apart == 0;
            oneApart += apart == 1;
            maxApart = std::max(maxApart, apart);
        }
        settledMs.push_back(settled);
    }

    void print(const char* name) const {
        const double read = static_cast<double>(samples - unreadable);
        const auto percent = [read](std::size_t n) {
            return read ? 100.0 * static_cast<double>(n) / read : 0.0;
        };
        std::printf(
            "%-20s samples %4zu  same %5.1f %%  one apart %5.1f %%  max apart %ld  "
            "unreadable %zu  within one frame for good after %.0f ms (longest run)\n",
            name, samples, percent(same), percent(oneApart), maxApart, unreadable,
            *std::max_element(settledMs.begin(), settledMs.end()));
    }
};

// The reader must read back what the generator wrote, at a player's scale and with a
// letterbox around it: a few frames decoded by ffmpeg itself, before anything is measured.
bool readerAgreesWithFile(const std::string& video) {
    constexpr int kWidth = 281, kHeight = 158, kBorder = 20;
    for (const long frame : {0L, 777L, 1234L}) {
        QProcess ffmpeg;
        ffmpeg.start(
            "ffmpeg",
            {"-hide_banner", "-loglevel", "error", "-nostdin", "-i", QString::fromStdString(video),
             "-vf", QString("select=eq(n\\,%1),scale=%2:%3").arg(frame).arg(kWidth).arg(kHeight),
             "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "bgr0", "-"});
        ffmpeg.waitForFinished(-1);
        const QByteArray bytes = ffmpeg.readAllStandardOutput();
        if (bytes.size() != kWidth * kHeight * 4)
            return false;
        ScreenImage image;
        image.width = kWidth + 2 * kBorder;
        image.height = kHeight + 2 * kBorder;
        image.pixels.assign(static_cast<std::size_t>(image.width * image.height), 0);
        for (int y = 0; y < kHeight; ++y) {
            std::memcpy(
                &image.pixels[static_cast<std::size_t>((y + kBorder) * image.width + kBorder)],
                bytes.constData() + y * kWidth * 4, kWidth * 4);
        }
        for (auto& pixel : image.pixels)
            pixel &= 0xFFFFFFu;
        const auto read = FrameReader::read(image, {0, 0, image.width, image.height});
        if (read != frame) {
            std::fprintf(stderr, "frame %ld of the video reads as %ld\n", frame, read.value_or(-1));
            return false;
        }
    }
    return true;
}

class Bench {
public:
    Bench(std::size_t samples, bool trace, bool apart)
        : m_samplesPerRun(samples), m_trace(trace), m_apart(apart) {}

    bool open(const std::string& video1, const std::string& video2) {
        w.open(1, video1);
        w.open(2, video2);
        return w.messages.shown.empty();
    }

    void run(double at) {
        if (m_apart) {
            runPlayersApart(w, at);
        } else {
            w.window->pause_both();
            w.player(1).setCurrentPosition(at);
            runEventsFor(200);
            w.window->play_both();
            runEventsFor(500);
        }
    }

    // Captures from the moment the command has returned, while the window goes on working.
    void sampleInto(Agreement& agreement) {
        const auto command = PictureSampler::Clock::now();
        PictureSampler sampler({screenRectOf(*w.ui().wmp1), screenRectOf(*w.ui().wmp2)});
        sampler.start(kCapturePeriod, m_samplesPerRun);
        while (!sampler.finished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!sampler.error().empty()) {
            std::fprintf(stderr, "captures failed: %s\n", sampler.error().c_str());
            std::exit(1);
        }
        if (m_trace) {
            std::printf("after the command:\n");
        }
        agreement.addRun(sampler.samples(), command, m_trace);
    }

    RealWindow w;

private:
    std::size_t m_samplesPerRun;
    bool m_trace;
    bool m_apart;
};

}  // namespace

int runBench(BenchProcess& process) {
    process.widgets();
    const BenchOptions& options = process.options();
    const int runs = options.integer("--runs", 3, 1);
    const int samples = options.integer("--samples", 60, 1);
    const bool trace = options.has("--trace");
    // A PulseAudio of the benchmark's own with a null sink, as a desktop's sound server without
    // a sound device: the players' clocks then follow a sound server instead of libmpv's null
    // output.
    SoundServer sound(SoundServer::Kind::PulseAudio);
    if (options.has("--sound-server") && !sound.start()) {
        std::fprintf(stderr, "%s\n", sound.error().c_str());
        return 1;
    }

    // With --mixed, player 2 plays the same frames at 1920x1080: as with two recordings, one
    // player takes longer than the other to land on a frame.
    const bool mixed = options.has("--mixed");
    const std::string video = BenchMedia::frameNumbered(640, 360, 60);
    const std::string video2 = mixed ? BenchMedia::frameNumbered(1920, 1080, 60) : video;
    if (!readerAgreesWithFile(video) || !readerAgreesWithFile(video2)) {
        std::fprintf(stderr, "the frame numbers cannot be read back from the video\n");
        return 1;
    }
    Bench b(static_cast<std::size_t>(samples), trace, options.has("--apart"));
    runEventsFor(300);
    if (!b.open(video, video2)) {
        std::fprintf(stderr, "%s\n", b.w.messages.shown.front().c_str());
        return 1;
    }
    // Let the window settle where the window manager put it before reading its place.
    runEventsFor(1000);
    std::printf(
        "frame shown by player 1 and player 2, %d runs of %d captures after each command, "
        "players %s before it%s, sound %s\n",
        runs, samples, options.has("--apart") ? "half a second apart" : "together",
        mixed ? ", player 2 at 1920x1080" : "",
        options.has("--sound-server") ? "through a private sound server" : "as found");

    Agreement afterPlay, afterBack, afterGoto, afterPausedGoto;
    for (int run = 0; run < runs; ++run) {
        // As a user goes: both playing, F2, a moment later F3.
        b.run(spread(run, 7.3));
        b.w.window->pause_both();
        runEventsFor(300);
        b.w.window->play_both();
        b.sampleInto(afterPlay);

        b.run(spread(run, 6.1) + 1.0);
        b.w.window->back_both();
        b.sampleInto(afterBack);

        b.run(spread(run, 4.7));
        b.w.ui().time_goto->setText(QString::number(spread(run, 13.7), 'f', 2));
        b.w.window->com_goto_Click();
        b.sampleInto(afterGoto);

        // A go-to while paused: both pictures change once, and stay.
        b.run(spread(run, 3.9));
        b.w.window->pause_both();
        runEventsFor(300);
        b.w.ui().time_goto->setText(QString::number(spread(run, 11.3), 'f', 2));
        b.w.window->com_goto_Click();
        b.sampleInto(afterPausedGoto);
    }
    afterPlay.print("play_both (after F2)");
    afterBack.print("back_both (playing)");
    afterGoto.print("goto (playing)");
    afterPausedGoto.print("goto (paused)");
    b.w.window->pause_both();
    return 0;
}
