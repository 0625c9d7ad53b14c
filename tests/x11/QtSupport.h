#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

// Waits, running events, until the condition holds or the time is up; returns the condition.
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 10000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

// Presses keys as a separate program would, e.g. pressKeys({"shift+F3"}).
inline bool pressKeys(const QStringList& keys) {
    return QProcess::execute("xdotool", QStringList{"key"} + keys) == 0;
}
