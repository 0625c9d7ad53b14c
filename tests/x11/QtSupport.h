#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

// Processes events until the condition holds or the time is up; returns the condition.
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Presses keys as a separate program would, e.g. pressKeys({"shift+F3"}).
inline bool pressKeys(const QStringList& keys) {
    return QProcess::execute("xdotool", QStringList{"key"} + keys) == 0;
}
