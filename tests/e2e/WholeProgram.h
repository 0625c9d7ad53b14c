#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

// Driving the whole program from outside, as a user at the desktop does: xdotool finds its
// windows and presses keys.

// Brings the visible window of a process to the front, as a user's click would.
inline bool activate(const QProcess& program) {
    // Both the main window ("pellucor") and the message box ("Pellucor") carry the name.
    const QStringList search = {"search", "--sync",  "--onlyvisible",
                                "--all",  "--pid",   QString::number(program.processId()),
                                "--name", "ellucor", "windowactivate",
                                "--sync"};
    return QProcess::execute("timeout", QStringList{"10", "xdotool"} + search) == 0;
}

// The titles of a process's visible windows, one a line.
inline QString visibleWindowNames(const QProcess& program) {
    QProcess search;
    search.start("xdotool",
                 {"search", "--onlyvisible", "--pid", QString::number(program.processId()),
                  "--name", ".", "getwindowname", "%@"});
    search.waitForFinished(5000);
    return QString::fromUtf8(search.readAllStandardOutput());
}

// Whether a window of the process with exactly this title is on screen. (Qt names the
// window's native child windows after the program too.)
inline bool shows(const QProcess& program, const QString& title) {
    return visibleWindowNames(program).split('\n').contains(title);
}

// Types text into whichever window has the focus.
inline bool typeText(const QString& text) {
    return QProcess::execute("xdotool", {"type", "--delay", "20", text}) == 0;
}
