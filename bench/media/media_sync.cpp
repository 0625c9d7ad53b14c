// Drives two players in one window with the main window's call sequences and measures how far
// apart they run one second later. Options: --runs N (default 20); --uncoordinated gives each
// player its own start coordinator, to show what the shared one is worth.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MpvPlayer.h"
#include "StartCoordinator.h"
#include "TestMedia.h"

namespace {

void wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Positions that differ from run to run and stay clear of both ends of the 20 s file.
double spread(int run, double step) {
    return 2.0 + std::fmod(run * step, 12.0);
}

struct Players {
    MpvPlayer& p1;
    MpvPlayer& p2;

    // Both running, player 2 half a second off, as after starting them one by one.
    void runApart(double at) {
        p1.pause();
        p2.pause();
        p1.setCurrentPosition(at);
        p2.setCurrentPosition(at + 0.5);
        wait(200);
        p1.play();
        wait(100);
        p2.play();
        wait(400);
    }

    double gapMs() {
        const double first = p1.currentPosition();
        const double second = p2.currentPosition();
        return std::fabs(first - second) * 1000.0;
    }
};

// The window's play_both.
void playBoth(Players& p) {
    p.p1.pause();
    p.p2.pause();
    p.p2.setCurrentPosition(p.p1.currentPosition());
    p.p1.play();
    p.p2.play();
}

// The window's back_both while playing.
void backBoth(Players& p) {
    p.p1.pause();
    p.p2.pause();
    p.p2.setCurrentPosition(p.p1.currentPosition());
    const double t1 = p.p1.currentPosition();
    const double t2 = p.p2.currentPosition();
    p.p1.setCurrentPosition(std::max(t1 - 1.0, 0.0));
    p.p2.setCurrentPosition(std::max(t2 - 1.0, 0.0));
    p.p1.play();
    p.p2.play();
}

// The window's go-to while playing.
void goTo(Players& p, double target) {
    p.p1.pause();
    p.p2.pause();
    p.p1.setCurrentPosition(target);
    p.p2.setCurrentPosition(target);
    p.p1.play();
    p.p2.play();
}

void report(const char* name, std::vector<double> gaps) {
    std::sort(gaps.begin(), gaps.end());
    const std::size_t n = gaps.size();
    const double median = n % 2 ? gaps[n / 2] : (gaps[n / 2 - 1] + gaps[n / 2]) / 2.0;
    std::printf("%-22s runs %2zu  median %6.1f ms  max %6.1f ms\n", name, n, median, gaps.back());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    int runs = 20;
    bool coordinated = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--uncoordinated") == 0) {
            coordinated = false;
        }
    }

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string video = TestMedia::video();

    // The main window's player geometry: 4335 x 3015 and 4215 x 3015 twips.
    QWidget window;
    window.resize(700, 320);
    auto* host1 = new QWidget(&window);
    host1->setGeometry(8, 96, 289, 201);
    auto* host2 = new QWidget(&window);
    host2->setGeometry(400, 96, 281, 201);

    // As in the program: players made with the window, files opened once it is on screen.
    StartCoordinator coordinator;
    StartCoordinator* shared = coordinated ? &coordinator : nullptr;
    MpvPlayer player1(host1, shared);
    MpvPlayer player2(host2, shared);
    Players players{player1, player2};
    window.show();
    wait(300);
    for (MpvPlayer* p : {&player1, &player2}) {
        p->setAutoStart(false);
        p->setURL(video);
    }
    std::printf("two players, %s start, %d runs per sequence, gap one second after the call\n",
                coordinated ? "coordinated" : "uncoordinated", runs);

    std::vector<double> gaps;
    for (int run = 0; run < runs; ++run) {
        player1.pause();
        player2.pause();
        player1.setCurrentPosition(spread(run, 0.73));
        player2.setCurrentPosition(spread(run, 1.91) + 0.013);
        wait(300);
        playBoth(players);
        wait(1000);
        gaps.push_back(players.gapMs());
    }
    report("play_both (paused)", gaps);

    gaps.clear();
    for (int run = 0; run < runs; ++run) {
        players.runApart(spread(run, 0.61) + 1.0);
        backBoth(players);
        wait(1000);
        gaps.push_back(players.gapMs());
    }
    report("back_both (playing)", gaps);

    gaps.clear();
    for (int run = 0; run < runs; ++run) {
        players.runApart(spread(run, 0.47));
        goTo(players, spread(run, 1.37));
        wait(1000);
        gaps.push_back(players.gapMs());
    }
    report("goto (playing)", gaps);

    player1.pause();
    player2.pause();
    return 0;
}
