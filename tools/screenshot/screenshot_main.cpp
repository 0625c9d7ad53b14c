// Takes a picture of the window with a video in each player, playing, as a user would see it.
// Usage: pellucor_screenshot OUT.png VIDEO1 VIDEO2
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <clocale>
#include <cstdio>

#include "RealWindow.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUT.png VIDEO1 VIDEO2\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    RealWindow w;
    w.window->move(20, 20);
    w.open(1, argv[2]);
    w.open(2, argv[3]);
    if (!w.messages.shown.empty()) {
        std::fprintf(stderr, "%s\n", w.messages.shown.front().c_str());
        return 1;
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
