// Takes a picture of the window with a video in each player, playing, as a user would see it.
// Usage: pellucor_screenshot OUT.png VIDEO1 VIDEO2 [--controls]
// With --controls, player 2 at an offset and drift, both slower, and a step back on resume.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <clocale>
#include <cstdio>
#include <string>

#include "RealWindow.h"
#include "SoundAligner.h"

int main(int argc, char** argv) {
    const bool controls = argc == 5 && std::string(argv[4]) == "--controls";
    if (argc != 4 && !controls) {
        std::fprintf(stderr, "usage: %s OUT.png VIDEO1 VIDEO2 [--controls]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    RealWindow w;
    SoundAligner aligner;
    w.window->setAligner(&aligner);
    w.window->move(20, 20);
    w.open(1, argv[2]);
    w.open(2, argv[3]);
    if (!w.messages.shown.empty()) {
        std::fprintf(stderr, "%s\n", w.messages.shown.front().c_str());
        return 1;
    }
    if (controls) {
        w.window->setPlayer2Offset({1.25, -125.0});
        w.window->setSpeed(0.75);
        w.window->setStepBackOnResume(2.0);
    }
    w.ui().time_goto->setText("3");
    w.window->com_goto_Click();
    w.window->play_both();
    runEventsFor(2500);
    w.window->pause_both();
    runEventsFor(500);

    const QPixmap shot = QApplication::primaryScreen()->grabWindow(0).copy(
        w.window->frameGeometry());
    return shot.save(argv[1]) ? 0 : 1;
}
