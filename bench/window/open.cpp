// Opening a file into player 2 while player 1 plays, repeated: how long the window stops
// responding (longest gap of a 5 ms heartbeat timer on the window's thread), how long each
// open takes, whether player 1's picture keeps moving (read from screen captures of its
// picture, which carries its frame number), and whether libmpv's log says its renderer was
// "not being called or stuck". Then a FIFO with no writer opened into player 2: time to the
// refusal, and player 1's picture meanwhile. Options: --opens N (default 20).
// Run on an X server: bash scripts/with-xvfb.sh build/bench/window/bench_open
#include <dlfcn.h>
#include <fcntl.h>
#include <mpv/client.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "BenchMedia.h"
#include "MpvLibrary.h"
#include "PictureSampler.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kStuck = "not being called or stuck";

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// --- libmpv's own log ------------------------------------------------------------------
// The players keep libmpv's terminal output off, so its log would go nowhere: every handle
// this process creates writes a log file, whichever way the player forwards messages.
std::atomic<int> g_handles{0};
std::atomic<int> g_stuckInQtLog{0};
QtMessageHandler g_previousHandler = nullptr;

std::string mpvLogPath(int handle) {
    return TestMedia::folder() + "/bench-open-" + std::to_string(::getpid()) + "-" +
           std::to_string(handle) + ".log";
}

// A player that forwards libmpv's warnings into Qt's log is heard here as well.
void countStuck(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(kStuck))
        ++g_stuckInQtLog;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

int countInMpvLogs() {
    int found = 0;
    for (int i = 0; i < g_handles; ++i) {
        std::ifstream log(mpvLogPath(i));
        std::string line;
        while (std::getline(log, line)) {
            if (line.find(kStuck) != std::string::npos)
                ++found;
        }
    }
    return found;
}

// --- the measurement ---------------------------------------------------------------------
ScreenRect screenRectOf(const QWidget& widget) {
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y(), widget.width(), widget.height()};
}

struct Phase {
    Clock::time_point begin;
    Clock::time_point end;
};

// The heartbeat's gaps that touch the phase: the longest, and how many passed 50 ms (one
// stall, perhaps the machine's, or a stall at every open).
struct Gaps {
    double longestMs = 0;
    int over50 = 0;
};

Gaps gapsDuring(const std::vector<Clock::time_point>& beats, const Phase& phase) {
    Gaps g;
    for (std::size_t i = 1; i < beats.size(); ++i) {
        if (beats[i] >= phase.begin && beats[i - 1] <= phase.end) {
            const double gap = msBetween(beats[i - 1], beats[i]);
            g.longestMs = std::max(g.longestMs, gap);
            g.over50 += gap > 50.0;
        }
    }
    return g;
}

void printGaps(const char* during, const Gaps& g) {
    std::printf("heartbeat (5 ms) longest gap %s: %.1f ms (%d gaps over 50 ms)\n", during,
                g.longestMs, g.over50);
}

struct PictureFigures {
    double longestStillMs = 0;
    long advanced = 0;
    double seconds = 0;
    std::size_t samples = 0;
    std::size_t unreadable = 0;
};

// How player 1's frame number moved during the phase: the longest time it stood still (from
// the capture that first showed a frame to the one that first showed the next).
PictureFigures pictureDuring(const std::vector<PictureSampler::Sample>& samples,
                             const Phase& phase) {
    PictureFigures f;
    f.seconds = msBetween(phase.begin, phase.end) / 1000.0;
    std::optional<long> first, last;
    Clock::time_point changedAt = phase.begin;
    for (const auto& s : samples) {
        if (s.at < phase.begin || s.at > phase.end)
            continue;
        ++f.samples;
        const auto frame = s.frames.front();
        if (!frame) {
            ++f.unreadable;
            continue;
        }
        if (!first)
            first = frame;
        if (last && *frame != *last) {
            f.longestStillMs = std::max(f.longestStillMs, msBetween(changedAt, s.at));
            changedAt = s.at;
        }
        last = frame;
    }
    f.longestStillMs = std::max(f.longestStillMs, msBetween(changedAt, phase.end));
    if (first && last)
        f.advanced = *last - *first;
    return f;
}

void printPicture(const char* name, const PictureFigures& f) {
    std::printf(
        "%s: longest still %.0f ms, advanced %ld frames in %.1f s (%.0f expected), "
        "%zu captures, %zu unreadable\n",
        name, f.longestStillMs, f.advanced, f.seconds, f.seconds * BenchMedia::kFrameRate,
        f.samples, f.unreadable);
}

class OpenBench {
public:
    OpenBench(int opens, std::string playing, std::vector<std::string> toOpen, std::string fifo)
        : m_opens(opens),
          m_playing(std::move(playing)),
          m_toOpen(std::move(toOpen)),
          m_fifo(std::move(fifo)) {
        m_heartbeat.setTimerType(Qt::PreciseTimer);
        m_heartbeat.setInterval(5);
        QObject::connect(&m_heartbeat, &QTimer::timeout, [this] { beat(); });
    }

    void start() {
        m_w.open(1, m_playing);
        if (!m_w.messages.shown.empty())
            return fail("player 1 refused the video");
        m_w.player(1).play();
        // Let the window settle where the window manager put it before reading its place.
        QTimer::singleShot(1500, [this] {
            m_sampler.emplace(std::vector{screenRectOf(*m_w.ui().wmp1)});
            m_sampler->start(std::chrono::milliseconds(10));
            m_heartbeat.start();
            QTimer::singleShot(500, [this] { nextOpen(); });
        });
    }

    int result() const { return m_result; }

private:
    void beat() {
        m_beats.push_back(Clock::now());
        if (m_opening && !m_w.window->opening(2))
            openEnded();
        if (m_waitingForRefusal && m_w.messages.shown.size() > m_messagesBefore)
            refused();
    }

    void nextOpen() {
        if (m_durations.size() == static_cast<std::size_t>(m_opens))
            return openFifo();
        m_messagesBeforeOpen = m_w.messages.shown.size();
        m_openBegin = Clock::now();
        if (m_durations.empty())
            m_opensPhase.begin = m_openBegin;
        // The open ends when the player says so; the heartbeat looks (to within its 5 ms).
        m_w.startOpen(2, m_toOpen[m_durations.size() % m_toOpen.size()]);
        m_opening = true;
        beat();  // one refused at once has ended already
    }

    void openEnded() {
        m_opening = false;
        m_opensPhase.end = Clock::now();
        m_durations.push_back(msBetween(m_openBegin, m_opensPhase.end));
        if (m_w.messages.shown.size() != m_messagesBeforeOpen)
            ++m_refusedOpens;
        // A pause between opens, as between a user's two clicks.
        QTimer::singleShot(400, [this] { nextOpen(); });
    }

    void openFifo() {
        m_messagesBefore = m_w.messages.shown.size();
        m_fifoPhase.begin = Clock::now();
        m_w.startOpen(2, m_fifo);
        m_openReturned = Clock::now();
        m_waitingForRefusal = true;
        beat();
        // Never waits forever: a player that neither refuses nor opens is reported as such.
        QTimer::singleShot(30000, [this] {
            if (m_waitingForRefusal)
                refused();
        });
    }

    void refused() {
        m_waitingForRefusal = false;
        m_fifoPhase.end = Clock::now();
        m_fifoRefused = m_w.messages.shown.size() > m_messagesBefore;
        // A writer that comes and goes lets libmpv's blocked open end, so the player can go.
        const int writer = ::open(m_fifo.c_str(), O_RDWR | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        QTimer::singleShot(1000, [this] { finish(); });
    }

    void finish() {
        m_heartbeat.stop();
        m_sampler->stop();
        report();
        // Gone before the players are torn down, so a teardown that ends the process leaves
        // nothing behind.
        std::filesystem::remove(m_fifo);
        for (int i = 0; i < g_handles; ++i)
            std::filesystem::remove(mpvLogPath(i));
        m_w.window->pause_both();
        QCoreApplication::quit();
    }

    void fail(const char* why) {
        std::fprintf(stderr, "%s\n", why);
        m_result = 1;
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    }

    void report() {
        std::vector<double> sorted = m_durations;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
        const auto samples = m_sampler->samples();
        if (!m_sampler->error().empty())
            std::printf("captures failed: %s\n", m_sampler->error().c_str());

        std::printf("opens into player 2 while player 1 plays: %zu (%d refused)\n", n,
                    m_refusedOpens);
        std::printf("open time: median %.1f ms, max %.1f ms\n", median, sorted.back());
        // Which opens were slow tells a first-time cost from one every open pays.
        std::printf("opens over 50 ms (number: time):");
        for (std::size_t i = 0; i < m_durations.size(); ++i) {
            if (m_durations[i] > 50.0)
                std::printf(" %zu: %.1f ms", i + 1, m_durations[i]);
        }
        std::printf("\n");
        printGaps("during the opens", gapsDuring(m_beats, m_opensPhase));
        printPicture("player 1's picture during the opens", pictureDuring(samples, m_opensPhase));

        std::printf(
            "FIFO with no writer: %s after %.0f ms (the open command returned after %.0f ms)\n",
            m_fifoRefused ? "refused" : "NOT refused",
            msBetween(m_fifoPhase.begin, m_fifoPhase.end),
            msBetween(m_fifoPhase.begin, m_openReturned));
        printGaps("until the refusal", gapsDuring(m_beats, m_fifoPhase));
        // A refusal at once leaves nothing to see; the second after it shows the picture going on.
        const Phase fifoPicture{
            m_fifoPhase.begin,
            std::max(m_fifoPhase.end, m_fifoPhase.begin + std::chrono::seconds(1))};
        printPicture("player 1's picture until the refusal (at least 1 s)",
                     pictureDuring(samples, fifoPicture));

        std::printf("\"%s\" in libmpv's log: %d times (log files), %d times (Qt log)\n", kStuck,
                    countInMpvLogs(), g_stuckInQtLog.load());
    }

    RealWindow m_w;
    int m_opens;
    std::string m_playing;
    std::vector<std::string> m_toOpen;
    std::string m_fifo;

    QTimer m_heartbeat;
    std::vector<Clock::time_point> m_beats;
    std::optional<PictureSampler> m_sampler;
    std::vector<double> m_durations;
    int m_refusedOpens = 0;
    Phase m_opensPhase;
    Phase m_fifoPhase;
    Clock::time_point m_openReturned;
    Clock::time_point m_openBegin;
    std::size_t m_messagesBeforeOpen = 0;
    bool m_opening = false;
    std::size_t m_messagesBefore = 0;
    bool m_waitingForRefusal = false;
    bool m_fifoRefused = false;
    int m_result = 0;
};

}  // namespace

// Every player's mpv_handle comes through here: the real one, with a log file set before the
// player initialises it.
extern "C" mpv_handle* mpv_create() {
    using Create = mpv_handle* (*)();
    static const auto real = reinterpret_cast<Create>(::dlsym(RTLD_NEXT, "mpv_create"));
    mpv_handle* handle = real();
    if (handle) {
        const std::string path = mpvLogPath(g_handles++);
        if (mpv_set_option_string(handle, "log-file", path.c_str()) < 0) {
            std::fprintf(stderr, "libmpv refused a log file at %s\n", path.c_str());
        }
    }
    return handle;
}

int runBench(BenchProcess& process) {
    // The players' libmpv is the one this program links, so that they create through the
    // mpv_create above.
    lookUpMpvInProgramFirst();
    QApplication& app = process.widgets();
    g_previousHandler = qInstallMessageHandler(countStuck);
    const int opens = process.options().integer("--opens", 20, 1);

    const std::string playing = BenchMedia::frameNumbered(640, 360, 60);
    const std::vector<std::string> toOpen{TestMedia::video(), BenchMedia::moving(640, 360, 45)};
    const std::string fifo =
        TestMedia::folder() + "/bench-open-" + std::to_string(::getpid()) + ".fifo";
    if (::mkfifo(fifo.c_str(), 0600) != 0) {
        std::perror("mkfifo");
        return 1;
    }

    int result = 0;
    {
        OpenBench bench(opens, playing, toOpen, fifo);
        QTimer::singleShot(0, [&bench] { bench.start(); });
        app.exec();
        result = bench.result();
    }
    std::filesystem::remove(fifo);  // when the run ended early
    return result;
}
