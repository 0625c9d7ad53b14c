// Start-up time to the window shown, and memory with two videos loaded and playing.
// Run on an X server: bash scripts/with-xvfb.sh build/bench/window/bench_startup_memory
#include <QApplication>
#include <QWindow>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "RealWindow.h"
#include "TestMedia.h"

namespace {

// Seconds since the process was started by the kernel (10 ms resolution).
double secondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i) rest >> field;
    unsigned long long startTicks = 0;
    rest >> startTicks;
    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    return uptime - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long statusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const auto mainStart = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const std::string video = TestMedia::video();  // made before the clock matters

    const auto built = std::chrono::steady_clock::now();
    RealWindow w;
    w.window->Form_Load();
    while (!w.window->windowHandle() || !w.window->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double sinceExec = secondsSinceProcessStart();
    const auto shown = std::chrono::steady_clock::now();
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("start-up, process start to window shown: %.0f ms (10 ms resolution)\n",
                sinceExec * 1000.0 - ms(built - mainStart));
    std::printf("start-up, window built to window shown:  %.1f ms\n", ms(shown - built));
    std::printf("RSS with the empty window shown:          %ld KiB\n", statusKiB("VmRSS"));

    w.open(1, video);
    w.open(2, video);
    if (!w.messages.shown.empty()) {
        std::fprintf(stderr, "%s\n", w.messages.shown.front().c_str());
        return 1;
    }
    w.window->play_both();
    runEventsFor(5000);
    std::printf("RSS with two videos playing (after 5 s):  %ld KiB\n", statusKiB("VmRSS"));
    std::printf("peak RSS:                                 %ld KiB\n", statusKiB("VmHWM"));
    return 0;
}
