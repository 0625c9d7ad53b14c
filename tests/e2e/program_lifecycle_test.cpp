// The whole program as a user starts it: it holds F1-F3 while it runs, a second copy reports
// the taken keys, and ending it gives the keys back to the desktop.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "OtherClient.h"
#include "QtSupport.h"
#include "WholeProgram.h"

namespace {

class WholeProgram : public testing::Test {
protected:
    void TearDown() override {
        QProcess::execute("xdotool", {"keyup", "Return"});
        for (QProcess* p : {&first, &second}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
    static void start(QProcess& program) {
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(PELLUCOR_EXE, {});
        ASSERT_TRUE(program.waitForStarted(5000));
    }

    QProcess first;
    QProcess second;
    OtherClient other;
};

TEST_F(WholeProgram, HoldsTheKeysUntilItQuits) {
    start(first);
    ASSERT_TRUE(activate(first));  // the window is shown once the keys are held
    for (const char* key : {"F1", "F2", "F3"}) {
        EXPECT_FALSE(other.grab(other.keycode(key), 0)) << key << " is not held";
    }

    // A second copy cannot have the keys: it says so and ends.
    start(second);
    ASSERT_TRUE(activate(second));  // its message
    typeKeys("Return");
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);

    // A desktop's log-out ends it as Ctrl+E would: through the window's close.
    ASSERT_EQ(::kill(static_cast<pid_t>(first.processId()), SIGTERM), 0);
    ASSERT_TRUE(first.waitForFinished(10000)) << "SIGTERM did not end the program";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    for (const char* key : {"F1", "F2", "F3"}) {
        EXPECT_TRUE(other.grabAllVariants(other.keycode(key))) << key << " was not released";
    }
    other.ungrabAll();
}

// libmpv comes after the window is shown; one that cannot be loaded still ends the start with
// the start-up message, and the window goes.
TEST_F(WholeProgram, ReportsALibmpvThatCannotBeLoadedAndEnds) {
    QTemporaryDir broken;
    ASSERT_TRUE(broken.isValid());
    QFile empty(broken.filePath("libmpv.so.2"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_LIBRARY_PATH", broken.path());
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(PELLUCOR_EXE, {});
    ASSERT_TRUE(first.waitForStarted(5000));

    // Its message, alone: the window has gone by then, so Return reaches the message.
    ASSERT_TRUE(QTest::qWaitFor([&] { return visibleWindowNames(first) == "Pellucor\n"; }, 20000));
    ASSERT_TRUE(activate(first));
    typeKeys("Return");
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 1);
}

}  // namespace
