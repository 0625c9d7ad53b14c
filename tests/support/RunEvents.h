#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

// Running the event loop from a test or a benchmark, so that players play and keys and news
// arrive. The loop sleeps between events as the program's own does. One that polls
// (processEvents in a loop) keeps the window's thread busy all the time: it measured a whole
// core while two files played with no key pressed, and on a loaded machine the scheduler then
// treats that thread as a CPU hog and lets it wait hundreds of milliseconds.

// Until the condition holds or the limit passes; returns the condition.
template <typename Condition>
bool runEventsUntil(Condition condition, int limitMs) {
    if (condition())
        return true;
    QEventLoop loop;
    QTimer check;
    const QDeadlineTimer deadline(limitMs);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition() || deadline.hasExpired())
            loop.quit();
    });
    check.start(5);
    loop.exec();
    return condition();
}

// For the given time.
inline void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
