// Memory per open: two players in one window re-open two-minute videos, alternating sides, and
// the resident memory is printed after the first two and every 20th open; then both play.
// Run on an X server: bash scripts/with-xvfb.sh build/bench/media/bench_reopen_memory [opens]
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "MpvPlayer.h"
#include "StartCoordinator.h"
#include "TestMedia.h"

namespace {

long residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6)) / 1024;
        }
    }
    return -1;
}

std::string twoMinuteVideo(int variant) {
    const auto path = std::filesystem::path(TestMedia::folder()) /
                      ("reopen-" + std::to_string(variant) + ".mkv");
    if (!std::filesystem::exists(path)) {
        const QString seconds = QString::number(120 + variant);
        const int rc = QProcess::execute(
            "ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi",
                       "-i", "testsrc=size=640x360:rate=25:duration=" + seconds, "-f", "lavfi",
                       "-i", "sine=frequency=440:sample_rate=48000:duration=" + seconds, "-c:v",
                       "libx264", "-preset", "ultrafast", "-g", "25", "-pix_fmt", "yuv420p",
                       "-c:a", "aac", "-shortest", QString::fromStdString(path.string())});
        if (rc != 0) {
            std::fprintf(stderr, "ffmpeg failed\n");
            std::exit(1);
        }
    }
    return path.string();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int opens = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::string files[] = {twoMinuteVideo(0), twoMinuteVideo(1)};

    QWidget window;
    window.resize(989, 717);
    StartCoordinator starts;
    std::vector<std::unique_ptr<MpvPlayer>> players;
    for (int i = 0; i < 2; ++i) {
        auto* host = new QWidget(&window);
        host->setGeometry(8 + i * 490, 96, 480, 360);
        players.push_back(std::make_unique<MpvPlayer>(host, &starts));
        players.back()->setAutoStart(false);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    for (int i = 1; i <= opens; ++i) {
        players[static_cast<std::size_t>(i % 2)]->setURL(files[(i / 2) % 2]);
        QTest::qWait(100);
        if (i <= 2 || i % 20 == 0) {
            std::printf("RSS after open %3d: %ld MiB\n", i, residentMiB());
            std::fflush(stdout);
        }
    }
    for (auto& p : players) {
        p->play();
    }
    QTest::qWait(5000);
    std::printf("RSS with two videos playing: %ld MiB\n", residentMiB());
    return 0;
}
