// How far apart the two players run one second after the window's play_both, back_both on
// playing players, and a go-to while playing. Options: --runs N (default 20); --uncoordinated
// lets each player start on its own, to show what starting them together is worth.
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "PlayersApart.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

// Positions that differ from run to run and stay clear of both ends of the 20 s file.
double spread(int run, double step) {
    return 2.0 + std::fmod(run * step, 12.0);
}

class Bench {
public:
    explicit Bench(bool coordinated) : w(coordinated) {}

    double gapOneSecondLaterMs() {
        runEventsFor(1000);
        return std::fabs(p(1).currentPosition() - p(2).currentPosition()) * 1000.0;
    }

    IMediaPlayer& p(int side) { return w.player(side); }
    RealWindow w;
};

void report(const char* name, std::vector<double> gaps) {
    std::sort(gaps.begin(), gaps.end());
    const std::size_t n = gaps.size();
    const double median = n % 2 ? gaps[n / 2] : (gaps[n / 2 - 1] + gaps[n / 2]) / 2.0;
    std::printf("%-22s runs %2zu  median %6.1f ms  max %6.1f ms\n", name, n, median, gaps.back());
}

}  // namespace

int runBench(BenchProcess& process) {
    process.widgets();
    const BenchOptions& options = process.options();
    const int runs = options.integer("--runs", 20, 1);
    const bool coordinated = !options.has("--uncoordinated");

    const std::string video = TestMedia::video();
    Bench b(coordinated);
    runEventsFor(300);
    b.w.open(1, video);
    b.w.open(2, video);
    if (!b.w.messages.shown.empty()) {
        std::fprintf(stderr, "%s\n", b.w.messages.shown.front().c_str());
        return 1;
    }
    std::printf("the window's commands on two players, %s start, gap one second later\n",
                coordinated ? "shared" : "separate");

    std::vector<double> gaps;
    for (int run = 0; run < runs; ++run) {
        b.w.window->pause_both();
        b.p(1).setCurrentPosition(spread(run, 0.73));
        b.p(2).setCurrentPosition(spread(run, 1.91) + 0.013);
        runEventsFor(300);
        b.w.window->play_both();
        gaps.push_back(b.gapOneSecondLaterMs());
    }
    report("play_both (paused)", gaps);

    gaps.clear();
    for (int run = 0; run < runs; ++run) {
        runPlayersApart(b.w, spread(run, 0.61) + 1.0);
        b.w.window->back_both();
        gaps.push_back(b.gapOneSecondLaterMs());
    }
    report("back_both (playing)", gaps);

    gaps.clear();
    for (int run = 0; run < runs; ++run) {
        runPlayersApart(b.w, spread(run, 0.47));
        b.w.ui().time_goto->setText(QString::number(spread(run, 1.37), 'f', 2));
        b.w.window->com_goto_Click();
        gaps.push_back(b.gapOneSecondLaterMs());
    }
    report("goto (playing)", gaps);
    b.w.window->pause_both();
    return 0;
}
