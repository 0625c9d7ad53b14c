// The whole program as users and their desktops start, use and end it: it holds F1-F3 while it
// runs and a second copy reports the taken keys; a libmpv that cannot be loaded, a file libmpv
// gives up while the media keys' interface watches, a signal while a dialog is open, a file
// whose reads hang when the user quits. It survives each, ends with status 0 when asked to, and
// gives the keys back at once. (A share whose reads fail while both play is the window's tests'
// part: failing_file_test on real players.)
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>

#include "NamedCases.h"
#include "OtherClient.h"
#include "ProgramOnTheBus.h"
#include "QtSupport.h"
#include "TestMedia.h"
#include "WholeProgram.h"

namespace {

namespace fs = std::filesystem;

// A stereo TrueSpeech recording: libmpv opens it and names its codec, then the decoder refuses
// two channels and libmpv gives the file up, after the open has returned.
fs::path givenUpAfterTheOpen() {
    return TestMedia::wav("truespeech-stereo.wav",
                          {.tag = 0x0022,
                           .channels = 2,
                           .rate = 8'000,
                           .byteRate = 1'067,
                           .blockAlign = 32,
                           .bits = 1,
                           .extra = std::string("\x20\0", 2) + std::string(32, '\0')},
                          std::string(64'000, '\x5a'));
}

// Each test starts the program itself, in the environment it needs.
class ProgramFaults : public ProgramOnTheBus {
protected:
    void SetUp() override {}
    void TearDown() override {
        if (second.state() != QProcess::NotRunning) {
            second.kill();
            second.waitForFinished(3000);
        }
        ProgramOnTheBus::TearDown();
    }

    // Ctrl+N, as a user opens the dialog for player 1; true once it is on screen.
    bool openDialog() {
        return activate(program) && pressKeys({"ctrl+n"}) &&
               waitFor([&] { return shows(program, kDialog); }, 10000);
    }
    // Player 1's file chosen through the real file dialog.
    bool choosePlayer1s(const fs::path& file) {
        return activate(program) && pressKeys({"ctrl+n"}) && choose(file.string());
    }

    // Whether another program can have F1, F2 and F3, every lock variant of each.
    bool keysAreFree() { return other.couldGrab({"F1", "F2", "F3"}); }

    QProcess second;
    OtherClient other;
};

// ---------------------------------------------------------------------------------------------

using WholeProgram = ProgramFaults;

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
    EXPECT_TRUE(keysAreFree()) << "the keys were not released";
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

// ---------------------------------------------------------------------------------------------

using GivenUpFile = ProgramFaults;

// libmpv opens the file and names its codec, then no decoder takes it: the file is refused as
// one that cannot be loaded, at once, with the window's message and its side left empty, and the
// media-player interface, asking all the while, sees no file.
TEST_F(GivenUpFile, IsRefusedAtOnceAndTheProgramGoesOn) {
    const fs::path file = givenUpAfterTheOpen();
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(statusBecomes("Stopped")) << "the media-player interface does not answer";

    ASSERT_TRUE(choosePlayer1s(file));
    ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 10000))
        << "the file was not refused";
    QElapsedTimer watched;
    watched.start();
    while (watched.elapsed() < 1000) {
        ASSERT_EQ(program.state(), QProcess::Running)
            << "the program ended while the interface asked";
        EXPECT_EQ(playerctl({"status"}).out, "Stopped");
        EXPECT_EQ(playerctl({"metadata", "xesam:title"}).out, "") << "the side still holds it";
    }
    // The box has the focus as it comes up; the window beneath it cannot be brought forward.
    pressKeys({"Return"});
    ASSERT_TRUE(waitFor([&] { return !shows(program, kMessage); }, 10000));

    ASSERT_TRUE(activate(program));
    pressKeys({"ctrl+e"});
    EXPECT_TRUE(endsWell());
}

// ---------------------------------------------------------------------------------------------

enum class OpenWhen { FileDialog, MessageBoxAfterCancel };

struct QuitCase {
    const char* name;
    int signal;
    OpenWhen open;
};

class QuitWhileModal : public ProgramFaults, public testing::WithParamInterface<QuitCase> {};

TEST_P(QuitWhileModal, EndsWithStatusZeroAndFreesTheKeys) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(openDialog());
    if (GetParam().open == OpenWhen::MessageBoxAfterCancel) {
        // Cancelled: the window says that no file was opened, in a box of its own.
        pressKeys({"Escape"});
        ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 10000));
    }
    ASSERT_FALSE(keysAreFree()) << "the program did not hold the keys";

    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), GetParam().signal), 0);
    EXPECT_TRUE(endsWell()) << "the signal did not end the program with status 0";
    EXPECT_TRUE(keysAreFree());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, QuitWhileModal,
    testing::Values(QuitCase{"TermInTheFileDialog", SIGTERM, OpenWhen::FileDialog},
                    QuitCase{"IntInTheMessageBox", SIGINT, OpenWhen::MessageBoxAfterCancel}),
    byName);

// ---------------------------------------------------------------------------------------------

using HangingShare = ProgramFaults;

// A file whose reads stop answering past its first bytes, as on a share whose server hangs:
// the player's open gives up, and libmpv's reader stays stuck for good.
TEST_F(HangingShare, QuitFreesTheKeysAtOnceAndEndsWithinThreeSeconds) {
    const fs::path file = TestMedia::generated(
        "hanging-share.wav", "wav",
        {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=20"},
        {"-ac", "2", "-c:a", "pcm_s16le"});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", STALLING_READ_LIBRARY);
    environment.insert("PELLUCOR_TEST_STALL_FILE", QString::fromStdString(file.string()));
    environment.insert("PELLUCOR_TEST_STALL_AFTER", "4096");
    ASSERT_NO_FATAL_FAILURE(launch(environment));

    ASSERT_TRUE(choosePlayer1s(file));
    // The open waits for the file in vain and says so.
    ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 20000));
    // The box has the focus as it comes up; the window beneath it cannot be brought forward.
    pressKeys({"Return"});
    ASSERT_TRUE(waitFor([&] { return !shows(program, kMessage); }, 10000));

    ASSERT_TRUE(activate(program));
    QElapsedTimer sinceQuit;
    pressKeys({"ctrl+e"});
    sinceQuit.start();
    EXPECT_TRUE(waitFor([&] { return keysAreFree(); }, 1000))
        << "the keys stayed taken while the players stopped";
    const int left = static_cast<int>(std::max<qint64>(0, 3000 - sinceQuit.elapsed()));
    EXPECT_TRUE(endsWell(left)) << "not ended with status 0 " << sinceQuit.elapsed()
                                << " ms after Ctrl+E";
}

}  // namespace
