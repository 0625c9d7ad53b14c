// How far apart the two players are heard through real sound servers: after each command, the
// click pairs of the two click files (player 1 left, player 2 right) in the sink's recording,
// for sound alone and for videos, through a private PulseAudio and a private PipeWire; beside
// them two standalone mpv started together on the same server. Target: every pair within 2 ms.
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

#include "BenchMain.h"
#include "HeardClicks.h"
#include "RealWindow.h"
#include "SoundServer.h"

namespace {

constexpr int kSettleMs = 200;
constexpr int kListenMs = 2300;

// The recorder writes a little after it starts.
void waitForRecording(SoundServer& server) {
    for (int tries = 0; tries < 500 && server.recorded().empty(); ++tries)
        runEventsFor(20);
}

struct Command {
    const char* name;
    std::function<void(RealWindow&)> run;
};

// F2, typing for a while, F3: the transcriber's whole day.
std::function<void(RealWindow&)> pauseThenPlay(int pauseMs) {
    return [pauseMs](RealWindow& w) {
        w.window->pause_both();
        runEventsFor(pauseMs);
        w.window->play_both();
    };
}

const std::vector<Command>& commands() {
    static const std::vector<Command> all{
        {"F3", [](RealWindow& w) { w.window->play_both(); }},
        {"F2, 1 s, F3", pauseThenPlay(1000)},
        {"F1 playing", [](RealWindow& w) { w.window->back_both(); }},
        {"go-to playing",
         [](RealWindow& w) {
             w.ui().time_goto->setText("5");
             w.window->com_goto_Click();
         }},
        {">> playing", [](RealWindow& w) { w.window->ffw_Click(); }},
        {"F2, 3 s, F3", pauseThenPlay(3000)},
    };
    return all;
}

std::vector<double> listen(SoundServer& server, int ms) {
    const std::size_t from = server.recorded().size();
    runEventsFor(ms);
    const auto all = server.recorded();
    std::vector<double> offsets;
    for (const auto& p : heardClickPairs({all.begin() + static_cast<long>(from), all.end()}))
        offsets.push_back(p.offsetMs);
    return offsets;
}

void print(const char* what, const std::vector<double>& offsets) {
    double most = 0;
    for (double o : offsets)
        most = std::max(most, std::fabs(o));
    std::printf("  %-16s %3zu pairs, largest %6.2f ms:", what, offsets.size(), most);
    for (double o : offsets)
        std::printf(" %.2f", o);
    std::printf("\n");
}

// Each command `runs` times, listening after each: every pair heard.
void runEach(SoundServer& server, RealWindow& w, const std::vector<Command>& steps, int runs) {
    for (const Command& c : steps) {
        std::vector<double> all;
        for (int run = 0; run < runs; ++run) {
            c.run(w);
            runEventsFor(kSettleMs);
            const auto heard = listen(server, kListenMs);
            all.insert(all.end(), heard.begin(), heard.end());
        }
        print(c.name, all);
    }
}

void window(SoundServer& server, ClickMedia media, int runs) {
    RealWindow w;
    // Long enough that every command's runs find the files playing: each listens for 2.5 s.
    const int seconds = std::max(30, 20 * runs);
    w.open(1, clickFile(media, 1, seconds));
    w.open(2, clickFile(media, 2, seconds));
    if (!w.messages.shown.empty()) {
        std::printf("  cannot open: %s\n", w.messages.shown.front().c_str());
        return;
    }
    server.startRecording();
    waitForRecording(server);
    runEach(server, w, commands(), runs);
    w.window->pause_both();
    server.stopRecording();
}

// Both play from one F3 for the given time: every pair, the largest, and how many were over 2 ms
// (a correction of the follower, or a player that ran dry, shows here).
void playing(SoundServer& server, ClickMedia media, int seconds) {
    RealWindow w;
    w.open(1, clickFile(media, 1, seconds + 10));
    w.open(2, clickFile(media, 2, seconds + 10));
    server.startRecording();
    waitForRecording(server);
    w.window->play_both();
    runEventsFor(kSettleMs);
    const auto heard = listen(server, seconds * 1000);
    server.stopRecording();
    const auto over =
        std::count_if(heard.begin(), heard.end(), [](double o) { return std::fabs(o) > 2.0; });
    double most = 0;
    for (double o : heard)
        most = std::max(most, std::fabs(o));
    std::printf("  %d s playing:    %3zu pairs, largest %6.2f ms, %ld over 2 ms\n", seconds,
                heard.size(), most, static_cast<long>(over));
}

// Two recorders started 3.25 s apart, player 2's clock 300 ppm fast, that offset and drift set
// in the window: the commands at the start of the recordings and an hour in, where the drift
// alone is over a second.
void aligned(SoundServer& server, int runs) {
    constexpr double kOffset = 3.25;
    constexpr double kDrift = 300.0;
    constexpr int kSeconds = 3630;
    RealWindow w;
    w.open(1, driftingClickFile(0.0, 0.0, kSeconds, 1));
    w.open(2, driftingClickFile(kOffset, kDrift, kSeconds + 10));
    if (!w.messages.shown.empty()) {
        std::printf("  cannot open: %s\n", w.messages.shown.front().c_str());
        return;
    }
    w.window->setPlayer2Offset({kOffset, kDrift});
    server.startRecording();
    waitForRecording(server);
    for (const char* at : {"20", "3600"}) {
        std::printf(" player 1 from %s s:\n", at);
        const auto goTo = [&w, at] {
            w.ui().time_goto->setText(at);
            w.window->com_goto_Click();
        };
        goTo();
        const std::vector<Command> steps{
            {"F3", [](RealWindow& r) { r.window->play_both(); }},
            {"F2, 1 s, F3", pauseThenPlay(1000)},
            {"F1 playing", [](RealWindow& r) { r.window->back_both(); }},
            {"go-to playing", [&goTo](RealWindow&) { goTo(); }},
        };
        runEach(server, w, steps, runs);
        w.window->pause_both();
    }
    server.stopRecording();
}

void standalone(SoundServer& server, ClickMedia media, int runs) {
    std::vector<double> all;
    for (int run = 0; run < runs; ++run) {
        server.startRecording();
        waitForRecording(server);
        QProcess players[2];
        for (int i = 0; i < 2; ++i) {
            players[i].setProcessEnvironment(server.clientEnvironment());
            players[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
        const QString ao = server.kind() == SoundServer::Kind::PulseAudio ? "pulse" : "pipewire";
        const std::size_t from = server.recorded().size();
        for (int i = 0; i < 2; ++i)
            players[i].start(
                "mpv", {"--no-config", "--really-quiet", "--vo=null", "--ao=" + ao, "--length=3.5",
                        QString::fromStdString(clickFile(media, i + 1))});
        for (auto& p : players)
            p.waitForFinished(15000);
        runEventsFor(300);
        const auto rec = server.stopRecording();
        for (const auto& p : heardClickPairs({rec.begin() + static_cast<long>(from), rec.end()}))
            all.push_back(p.offsetMs);
    }
    print("two mpv started", all);
}

}  // namespace

int runBench(BenchProcess& process) {
    process.widgets();
    const BenchOptions& options = process.options();
    const int runs = options.integer("--runs", 3, 1);
    const int playSeconds = options.integer("--play-seconds", 0, 0);
    const std::string only = options.text("--server", "");
    std::printf("heard offset, player 2's click minus player 1's, %d runs of each command\n", runs);
    for (const auto kind : {SoundServer::Kind::PulseAudio, SoundServer::Kind::PipeWire}) {
        if (!only.empty() && only != SoundServer::name(kind))
            continue;
        SoundServer server(kind);
        if (!server.start()) {
            std::printf("%s\n", server.error().c_str());
            continue;
        }
        if (options.has("--aligned")) {
            std::printf("%s, two FLAC 3.25 s apart, 300 ppm:\n", SoundServer::name(kind));
            aligned(server, runs);
            continue;
        }
        for (const auto media : {ClickMedia::Sound, ClickMedia::Video}) {
            std::printf("%s, %s:\n", SoundServer::name(kind),
                        media == ClickMedia::Sound ? "two WAV" : "two MP4 videos with sound");
            if (playSeconds > 0) {
                playing(server, media, playSeconds);
                continue;
            }
            window(server, media, runs);
            standalone(server, media, runs);
        }
    }
    return 0;
}
