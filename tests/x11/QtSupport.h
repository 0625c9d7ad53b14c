#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

// Waits, running events, until the condition holds or the time is up; returns the condition.
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 10000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

// How a program run to its end went: exit code (-1: crashed or still running), its output.
struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program to its end; our events run meanwhile, so our own bus objects keep answering.
inline Finished runToEnd(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Finished result;
    if (!p.waitForStarted(5000) ||
        !waitFor([&] { return p.state() == QProcess::NotRunning; }, 15000)) {
        p.kill();
        p.waitForFinished(3000);
        return result;
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    result.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return result;
}

// playerctl on the window's media-player interface, as desktops and media keys use it.
inline Finished playerctl(const QStringList& args) {
    return runToEnd("playerctl", QStringList{"--player=pellucor"} + args);
}

// A method call on the session bus through dbus-send, its reply printed.
inline Finished busCall(const QString& destination, const QString& path, const QString& method,
                        const QStringList& arguments) {
    return runToEnd("dbus-send", QStringList{"--session", "--print-reply", "--dest=" + destination,
                                             path, method} +
                                     arguments);
}

// A property of the window's media-player interface, as dbus-send prints it.
inline Finished mprisProperty(const QString& name) {
    return busCall("org.mpris.MediaPlayer2.pellucor", "/org/mpris/MediaPlayer2",
                   "org.freedesktop.DBus.Properties.Get",
                   {"string:org.mpris.MediaPlayer2.Player", "string:" + name});
}

// Presses keys as a separate program would, e.g. pressKeys({"shift+F3"}), into whichever window
// has the focus. A separate xdotool run on purpose: chained after a window search, xdotool sends
// the keys to the window it found and gives up halfway when the key closes that window, leaving
// the key held down for every later test on this display.
inline bool pressKeys(const QStringList& keys) {
    return QProcess::execute("xdotool", QStringList{"key"} + keys) == 0;
}
