// CPU of the window with two videos playing against two standalone mpv processes that a user
// would start instead (--ao=null, windows of the players' size, same file, same display), one
// after the other in the same run, for 640x360 and 1280x720 H.264 at 25 fps. CPU is utime+stime
// from /proc over a fixed window after a warm-up, as % of one core; the X server's share in
// the same window is shown beside it, since drawing work can move into the server.
// The window runs in a child process of this program, built as app/main.cpp builds it (real
// players, real hot keys) with a file dialog that answers with the file.
// Options: --warmup S (default 5), --measure S (default 20).
// Run on an X server: bash scripts/with-xvfb.sh build/bench/window/bench_cpu
#include <dirent.h>
#include <unistd.h>

#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchMain.h"
#include "BenchMedia.h"
#include "RealWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFileSeconds = 45;

// --- the window, in the child process --------------------------------------------------------
int runWindow(BenchProcess& process, const std::string& video, double speed) {
    QApplication& app = process.widgets();
    RealWindow w;
    try {
        w.window->Form_Load();
    } catch (const std::exception& e) {
        std::printf("failed to start: %s\n", e.what());
        return 1;
    }
    w.open(1, video);
    w.open(2, video);
    if (!w.messages.shown.empty()) {
        std::printf("failed %s\n", w.messages.shown.front().c_str());
        return 1;
    }
    if (speed != 1.0 && !w.window->setSpeed(speed)) {
        std::printf("failed: speed %g refused\n", speed);
        return 1;
    }
    w.window->play_both();
    // Where the window manager put the players, once it has.
    QTimer::singleShot(500, [&w] {
        for (QWidget* host : {w.ui().wmp1, w.ui().wmp2}) {
            const QPoint at = host->mapToGlobal(QPoint(0, 0));
            std::printf("%dx%d+%d+%d ", host->width(), host->height(), at.x(), at.y());
        }
        std::printf("playing\n");
        std::fflush(stdout);
    });
    return app.exec();
}

// --- /proc -------------------------------------------------------------------------------------
struct Stat {
    std::string name;
    long ppid = 0;
    unsigned long long ticks = 0;  // utime + stime
};

Stat readStat(const std::string& path) {
    std::ifstream file(path);
    std::string text((std::istreambuf_iterator<char>(file)), {});
    Stat s;
    const auto open = text.find('('), close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos)
        return s;
    s.name = text.substr(open + 1, close - open - 1);
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    rest >> field >> s.ppid;  // state, ppid
    for (int i = 5; i < 14; ++i)
        rest >> field;
    unsigned long long utime = 0, stime = 0;
    rest >> utime >> stime;
    s.ticks = utime + stime;
    return s;
}

unsigned long long processTicks(long pid) {
    return readStat("/proc/" + std::to_string(pid) + "/stat").ticks;
}

std::map<std::string, unsigned long long> threadTicks(long pid) {
    std::map<std::string, unsigned long long> byName;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            const Stat s = readStat(dir + "/" + e->d_name + "/stat");
            byName[s.name] += s.ticks;
        }
        ::closedir(d);
    }
    return byName;
}

// The Xvfb (or other X server) started by one of this process's ancestors, e.g. with-xvfb.sh.
long xServerPid() {
    std::set<long> ancestors;
    for (long pid = ::getppid(); pid > 1;
         pid = readStat("/proc/" + std::to_string(pid) + "/stat").ppid) {
        ancestors.insert(pid);
    }
    long found = 0;
    if (DIR* d = ::opendir("/proc")) {
        while (const dirent* e = ::readdir(d)) {
            const long pid = std::atol(e->d_name);
            if (pid <= 0)
                continue;
            const Stat s = readStat("/proc/" + std::to_string(pid) + "/stat");
            if ((s.name == "Xvfb" || s.name == "Xorg") && ancestors.count(s.ppid))
                found = pid;
        }
        ::closedir(d);
    }
    return found;
}

double percentOfCore(unsigned long long ticks, double seconds) {
    return 100.0 * static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK)) /
           seconds;
}

// CPU of the given processes and of the X server over `seconds` from now.
struct Measured {
    std::vector<double> percent;
    double server = -1;
    std::map<std::string, double> threads;  // of the first process
};

Measured measure(const std::vector<long>& pids, long server, double seconds) {
    std::vector<unsigned long long> before;
    for (long pid : pids)
        before.push_back(processTicks(pid));
    const auto serverBefore = server ? processTicks(server) : 0;
    const auto threadsBefore = threadTicks(pids.front());
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    Measured m;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        m.percent.push_back(percentOfCore(processTicks(pids[i]) - before[i], elapsed));
    }
    if (server)
        m.server = percentOfCore(processTicks(server) - serverBefore, elapsed);
    for (const auto& [name, ticks] : threadTicks(pids.front())) {
        const auto was = threadsBefore.count(name) ? threadsBefore.at(name) : 0;
        if (ticks > was)
            m.threads[name] = percentOfCore(ticks - was, elapsed);
    }
    return m;
}

void stopProcess(QProcess& p) {
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

// --- one size -----------------------------------------------------------------------------
struct Comparison {
    double window = 0;
    double mpv = 0;
    double windowServer = -1;
    double mpvServer = -1;
};

bool compare(int width, int height, double warmup, double seconds, long server, double speed,
             Comparison& out) {
    const std::string video = BenchMedia::moving(width, height, kFileSeconds);

    QProcess window;
    window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    window.start(QCoreApplication::applicationFilePath(),
                 {"--window", QString::fromStdString(video), QString::number(speed)});
    QString line;
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!line.endsWith('\n') && Clock::now() < deadline &&
           window.state() != QProcess::NotRunning) {
        window.waitForReadyRead(1000);
        line += QString::fromLocal8Bit(window.readLine());
    }
    if (!line.trimmed().endsWith("playing")) {
        std::fprintf(stderr, "the window did not start playing: %s\n", qPrintable(line));
        stopProcess(window);
        return false;
    }
    const QStringList players = line.trimmed().split(' ').mid(0, 2);
    std::this_thread::sleep_for(std::chrono::duration<double>(warmup));
    const Measured w = measure({static_cast<long>(window.processId())}, server, seconds);
    stopProcess(window);

    std::vector<std::unique_ptr<QProcess>> mpvs;
    for (const QString& geometry : players) {
        auto p = std::make_unique<QProcess>();
        p->setStandardOutputFile(QProcess::nullDevice());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start("mpv", {"--no-config", "--ao=null", "--no-terminal", "--geometry=" + geometry,
                         "--speed=" + QString::number(speed), QString::fromStdString(video)});
        if (!p->waitForStarted(10000)) {
            std::fprintf(stderr, "cannot start mpv\n");
            return false;
        }
        mpvs.push_back(std::move(p));
    }
    // mpv starts playing within its first second; the same warm-up follows.
    std::this_thread::sleep_for(std::chrono::duration<double>(warmup + 1.0));
    std::vector<long> pids;
    for (const auto& p : mpvs)
        pids.push_back(static_cast<long>(p->processId()));
    const Measured m = measure(pids, server, seconds);
    for (const auto& p : mpvs) {
        if (p->state() == QProcess::NotRunning)
            std::fprintf(stderr, "an mpv ended early\n");
        stopProcess(*p);
    }

    out.window = w.percent.front();
    out.mpv = m.percent[0] + m.percent[1];
    out.windowServer = w.server;
    out.mpvServer = m.server;
    std::printf("%dx%d, players %s: window %.1f %%, two mpv %.1f %% (%.1f + %.1f), ratio %.2f",
                width, height, qPrintable(players.join(" and ")), out.window, out.mpv, m.percent[0],
                m.percent[1], out.mpv > 0 ? out.window / out.mpv : 0.0);
    if (server) {
        std::printf("; X server meanwhile %.1f %% vs %.1f %%, ratio with it %.2f", w.server,
                    m.server, (out.window + w.server) / (out.mpv + m.server));
    }
    std::printf("\n  the window's threads:");
    std::vector<std::pair<double, std::string>> threads;
    for (const auto& [name, percent] : w.threads)
        threads.emplace_back(percent, name);
    std::sort(threads.rbegin(), threads.rend());
    for (std::size_t i = 0; i < threads.size() && i < 6; ++i) {
        std::printf(" %s %.1f %%%s", threads[i].second.c_str(), threads[i].first,
                    i + 1 < std::min<std::size_t>(threads.size(), 6) ? "," : "");
    }
    std::printf("\n");
    return true;
}

}  // namespace

int runBench(BenchProcess& process) {
    if (process.argc() >= 4 && std::strcmp(process.argv()[1], "--window") == 0) {
        return runWindow(process, process.argv()[2], std::atof(process.argv()[3]));
    }
    process.core();
    const BenchOptions& options = process.options();
    const double warmup = options.number("--warmup", 5, 0.0);
    double seconds = options.number("--measure", 20, 1.0);
    seconds = std::min(seconds, kFileSeconds - warmup - 5.0);
    const double speed = options.number("--speed", 1.0, 0.5);
    const long server = xServerPid();
    std::printf(
        "CPU as %% of one core over %.0f s after %.0f s of warm-up at speed %g, window first, "
        "then two mpv (%s)\n",
        seconds, warmup, speed, server ? "X server found" : "X server not found");
    bool ok = true;
    for (const auto& [width, height] : {std::pair{640, 360}, std::pair{1280, 720}}) {
        Comparison c;
        ok = compare(width, height, warmup, seconds, server, speed, c) && ok;
    }
    return ok ? 0 : 1;
}
