#pragma once

// The whole program on a session bus of the test's own, driven from outside: its window found
// through the window manager, files chosen in its dialog, its state read with playerctl.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

#include "QtSupport.h"
#include "WholeProgram.h"

inline const QString kDialog = QStringLiteral("Open");
inline const QString kMessage = QStringLiteral("Pellucor");

inline bool statusBecomes(const char* status) {
    return waitFor([&] { return playerctl({"status"}).out == status; }, 10000);
}

// The program's top-level window as the window manager lists it.
inline std::uint32_t managedWindowOf(const QProcess& program) {
    const Finished list = runToEnd("xprop", {"-root", "-notype", "_NET_CLIENT_LIST"});
    const QString ids = list.out.section('#', 1);
    for (QString id : ids.split(',', Qt::SkipEmptyParts)) {
        id = id.trimmed();
        const Finished pid = runToEnd("xprop", {"-id", id, "-notype", "_NET_WM_PID"});
        if (pid.out.section('=', 1).trimmed().toLongLong() == program.processId())
            return id.toUInt(nullptr, 16);
    }
    return 0;
}

class ProgramOnTheBus : public testing::Test {
protected:
    void SetUp() override { launch(); }

    // The program in this environment, done once its window is there.
    void launch(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        program.setProcessEnvironment(environment);
        start();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(activate(program)) << "the window never came";
    }

    // The program, its standard error into the log.
    void start() {
        ASSERT_TRUE(logFolder.isValid());
        program.setStandardErrorFile(logPath());
        program.start(PELLUCOR_EXE, arguments());
        ASSERT_TRUE(program.waitForStarted(5000));
    }

    void TearDown() override {
        QProcess::execute("xdotool", {"keyup", "Return", "Escape", "ctrl", "e", "n", "Down"});
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(3000);
        }
    }

    // Whether the program ends within the time, with status 0.
    bool endsWell(int ms = 10000) {
        return program.waitForFinished(ms) && program.exitStatus() == QProcess::NormalExit &&
               program.exitCode() == 0;
    }

    // What the program is started with.
    virtual QStringList arguments() const { return {}; }

    QString logPath() const { return logFolder.filePath("stderr.log"); }
    QString log() const {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // The file chosen in the dialog that is on screen; a failure names the step.
    testing::AssertionResult choose(const std::string& file) {
        if (!waitFor([&] { return shows(program, kDialog); }, 10000))
            return testing::AssertionFailure() << "no file dialog came";
        if (!typeText(QString::fromStdString(file)) || !pressKeys({"Return"}))
            return testing::AssertionFailure() << "xdotool could not type the file's name";
        if (!waitFor([&] { return !shows(program, kDialog); }, 15000))
            return testing::AssertionFailure() << "the file dialog stayed";
        return testing::AssertionSuccess();
    }

    // Player 1 through Ctrl+N, player 2 through the file menu's second item; done once the
    // window says that both sides hold their file (a file opens after its dialog has gone, and
    // the keys leave a side alone until then). A failure says which step failed and what the
    // program wrote.
    testing::AssertionResult openBoth(const std::string& file, std::uint32_t window) {
        testing::AssertionResult done = openBothSteps(file, window);
        if (!done)
            done << "\nvisible windows:\n"
                 << visibleWindowNames(program).toStdString() << "\nthe program's log:\n"
                 << log().right(3000).toStdString();
        return done;
    }
    testing::AssertionResult openBothSteps(const std::string& file, std::uint32_t window) {
        if (!activate(program) || !pressKeys({"ctrl+n"}))
            return testing::AssertionFailure() << "Ctrl+N could not be pressed";
        if (auto chosen = choose(file); !chosen)
            return chosen << " (file 1, after Ctrl+N)";
        if (!activate(program) ||
            QProcess::execute("xdotool", {"mousemove", "--window", QString::number(window), "15",
                                          "10", "click", "1"}) != 0 ||
            !pressKeys({"Down"}) || !pressKeys({"Down"}) || !pressKeys({"Return"}))
            return testing::AssertionFailure() << "the file menu could not be used";
        if (auto chosen = choose(file); !chosen)
            return chosen << " (file 2, from the file menu)";
        if (!waitFor(
                [&] {
                    return log().contains("player 1 holds") && log().contains("player 2 holds");
                },
                15000))
            return testing::AssertionFailure() << "the window did not say both sides hold the file";
        return testing::AssertionSuccess();
    }

    QTemporaryDir logFolder;
    QProcess program;
};
