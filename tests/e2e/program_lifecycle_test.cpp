// The whole program as a user starts it: it holds F1-F3 while it runs, a second copy reports
// the taken keys, and ending it gives the keys back to the desktop.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <csignal>

#include "OtherClient.h"
#include "ProgramOnTheBus.h"
#include "QtSupport.h"
#include "WholeProgram.h"

namespace {

// Each test starts the program itself.
class WholeProgram : public ProgramOnTheBus {
protected:
    void SetUp() override {}
    void TearDown() override {
        if (second.state() != QProcess::NotRunning) {
            second.kill();
            second.waitForFinished(3000);
        }
        ProgramOnTheBus::TearDown();
    }

    QProcess second;
    OtherClient other;
};

TEST_F(WholeProgram, HoldsTheKeysUntilItQuits) {
    ASSERT_NO_FATAL_FAILURE(launch());  // the window is shown once the keys are held
    for (const char* key : {"F1", "F2", "F3"}) {
        EXPECT_FALSE(other.grab(other.keycode(key), 0)) << key << " is not held";
    }

    // A second copy cannot have the keys: it says so and ends.
    second.start(PELLUCOR_EXE, {});
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(activate(second));  // its message
    pressKeys({"Return"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);

    // A desktop's log-out ends it as Ctrl+E would: through the window's close.
    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    EXPECT_TRUE(endsWell()) << "SIGTERM did not end the program with status 0";
    EXPECT_TRUE(other.couldGrab({"F1", "F2", "F3"})) << "the keys were not released";
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
    program.setProcessEnvironment(environment);
    ASSERT_NO_FATAL_FAILURE(start());

    // Its message, alone: the window has gone by then, so Return reaches the message.
    ASSERT_TRUE(waitFor([&] { return visibleWindowNames(program) == "Pellucor\n"; }, 20000))
        << log().toStdString();
    ASSERT_TRUE(activate(program));
    pressKeys({"Return"});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 1);
}

}  // namespace
