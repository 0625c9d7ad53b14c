// The program in a Wayland session (a headless compositor, Qt on Xwayland or on Wayland),
// with the fake portal standing in for the desktop's. (An activated shortcut reaches the
// registry as a key press in portal_platform_test; the window's keys play both players in
// hotkeys_e2e_test.)
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest/QTest>
#include <csignal>

#include "FakePortal.h"
#include "QtSupport.h"

namespace {

bool qtOnWayland() {
    return qgetenv("PELLUCOR_TEST_QPA") == "wayland";
}

// The whole program as a user starts it in this session.
class Program : public testing::Test {
protected:
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }
    // A copy of the program in this session; left alone, it runs Qt on Xwayland here.
    static void launch(QProcess& copy) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (qtOnWayland())
            env.insert("QT_QPA_PLATFORM", "wayland");
        copy.setProcessEnvironment(env);
        copy.start(PELLUCOR_EXE, {});
        ASSERT_TRUE(copy.waitForStarted(5000));
    }
    void start() { launch(program); }
    bool ended() {
        return QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 20000);
    }
    // The window answers on the bus once it runs its event loop.
    static bool answers() {
        return waitFor([] { return playerctl({"status"}).exitCode == 0; }, 20000);
    }
    QString errors() { return QString::fromUtf8(program.readAllStandardError()); }

    FakePortal portal;
    QProcess program;
};

TEST_F(Program, DeclinedKeysLeaveTheWindowWorking) {
    ASSERT_TRUE(portal.start("decline"));
    start();
    ASSERT_TRUE(answers());
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.called("Response 1"); }, 20000));
    // Still answering after the refusal, and taking commands by the other routes.
    EXPECT_EQ(QProcess::execute(PELLUCOR_EXE, {"--play"}), 0);
    EXPECT_EQ(playerctl({"pause"}).exitCode, 0);
    EXPECT_EQ(program.state(), QProcess::Running);
}

// A desktop's log-out; SIGINT takes the same way (program_faults_test).
TEST_F(Program, QuitsNormallyOnSigtermAndGivesTheKeysBack) {
    ASSERT_TRUE(portal.start("accept"));
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.activate("zurueck"); }, 20000));
    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(ended()) << "it said: " << errors().toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << errors().toStdString();
    EXPECT_EQ(portal.calls().filter("Close ").size(), 1);
}

// As on X11, where the keys are taken: a second copy says it cannot start and ends with 1,
// before it binds anything that would take the first copy's shortcuts.
TEST_F(Program, ASecondCopyRefusesToStartAndTheFirstKeepsItsKeys) {
    ASSERT_TRUE(portal.start("accept"));
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.activate("spielen"); }, 20000));
    ASSERT_TRUE(answers());

    QProcess second;
    ASSERT_NO_FATAL_FAILURE(launch(second));
    // Its message waits for the user; ending it as a logout would closes the message.
    QString said;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            said += QString::fromUtf8(second.readAllStandardError());
            return said.contains("another copy runs");
        },
        20000))
        << said.toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(second.processId()), SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);

    EXPECT_EQ(portal.callsOf("CreateSession").size(), 1);
    EXPECT_TRUE(portal.activate("stop"));
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(Program, WithoutAnyDisplaySaysSoAndEnds) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("XDG_SESSION_TYPE", "tty");
    program.setProcessEnvironment(env);
    program.start(PELLUCOR_EXE, {});
    ASSERT_TRUE(ended());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(errors().trimmed(),
              "pellucor: Pellucor needs a graphical desktop (X11 or Wayland), and none was found");
}

TEST_F(Program, EndsQuietlyWhenTheXServerGoesAway) {
    // An X server of its own, so that the session's stays for the other tests. -noreset: else
    // the server resets whenever its last client leaves, and the program's display probe is
    // that client; Qt's connection right after it then now and then finds no server.
    QProcess xserver;
    xserver.start(
        "Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return xserver.canReadLine(); }, 10000));
    const QString display = ":" + QString::fromUtf8(xserver.readLine()).trimmed();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_SESSION_TYPE", "x11");
    env.insert("DISPLAY", display);
    program.setProcessEnvironment(env);
    program.start(PELLUCOR_EXE, {});
    // Gone while libmpv's outputs hold their windows, the case that crashed: libmpv starts
    // after the window is shown, so wait for both players' windows too.
    const auto libmpvWindows = [&] {
        return runToEnd("xwininfo", {"-display", display, "-root", "-tree"}).out.count("\"mpv\")");
    };
    const bool running = answers() && waitFor([&] { return libmpvWindows() == 2; }, 20000);
    xserver.kill();
    ASSERT_TRUE(running) << "the window or its players never came; it said: "
                         << errors().toStdString();
    ASSERT_TRUE(xserver.waitForFinished(5000));
    ASSERT_TRUE(ended()) << "hangs without its display";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "crashed: " << errors().toStdString();
    EXPECT_EQ(program.exitCode(), 1) << errors().toStdString();
}

}  // namespace
