// The whole program against what users and their desktops do to it: a file libmpv gives up
// while the media keys' interface watches, a share whose reads fail while both play, a signal
// while a dialog is open, a file whose reads hang when the user quits. It survives each, ends
// with status 0 when asked to, and gives the keys back at once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>

#include "NamedCases.h"
#include "OtherClient.h"
#include "QtSupport.h"
#include "TestMedia.h"
#include "WholeProgram.h"

namespace {

namespace fs = std::filesystem;

// The titles of Qt's file dialog and of the window's message boxes.
const QString kDialog = QStringLiteral("Open");
const QString kMessage = QStringLiteral("Pellucor");

std::string le(std::size_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
    return out;
}

// A stereo TrueSpeech recording: libmpv opens it and names its codec, then the decoder refuses
// two channels and libmpv gives the file up, after the open has returned.
fs::path givenUpAfterTheOpen() {
    const std::string data(64'000, '\x5a');
    const std::string format = le(0x0022, 2) + le(2, 2) + le(8'000, 4) + le(1'067, 4) + le(32, 2) +
                               le(1, 2) + le(32, 2) + std::string(32, '\0');
    const std::string body =
        "WAVEfmt " + le(format.size(), 4) + format + "data" + le(data.size(), 4) + data;
    return TestMedia::written("truespeech-stereo.wav", "RIFF" + le(body.size(), 4) + body);
}

Finished playerctl(const QStringList& args) {
    return runToEnd("playerctl", QStringList{"--player=pellucor"} + args);
}

class ProgramFaults : public testing::Test {
protected:
    void TearDown() override {
        QProcess::execute("xdotool", {"keyup", "Return", "Escape", "ctrl", "e", "n"});
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(3000);
        }
        other.ungrabAll();
    }

    void start(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const QStringList& files = {}) {
        program.setProcessEnvironment(environment);
        if (logFolder) {
            program.setStandardErrorFile(logFolder->filePath("stderr.log"));
        } else {
            program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
        program.start(PELLUCOR_EXE, files);
        ASSERT_TRUE(program.waitForStarted(5000));
        ASSERT_TRUE(activate(program)) << "the window never came";
    }

    // Ctrl+N, as a user opens the dialog for player 1; true once it is on screen.
    bool openDialog() {
        return activate(program) && typeKeys("ctrl+n") &&
               waitFor([&] { return shows(program, kDialog); }, 10000);
    }

    // Player 1's file chosen through the real file dialog.
    bool choose(const fs::path& file) {
        return openDialog() && typeText(QString::fromStdString(file.string())) &&
               typeKeys("Return") && waitFor([&] { return !shows(program, kDialog); }, 15000);
    }

    bool running() { return program.state() == QProcess::Running; }

    bool endsWithin(int ms) { return program.waitForFinished(ms); }

    bool endedWell() {
        return program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
    }

    // Whether another program can have F1, F2 and F3, every lock variant of each.
    bool keysAreFree() {
        for (const char* key : {"F1", "F2", "F3"}) {
            if (!other.grabAllVariants(other.keycode(key))) {
                other.ungrabAll();
                return false;
            }
        }
        other.ungrabAll();
        return true;
    }

    // What the program wrote to its standard error, where a test keeps it (keepLog()).
    void keepLog() { logFolder.emplace(); }
    QString log() const {
        QFile file(logFolder->filePath("stderr.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QProcess program;
    OtherClient other;
    std::optional<QTemporaryDir> logFolder;
};

// ---------------------------------------------------------------------------------------------

using GivenUpFile = ProgramFaults;

// libmpv opens the file and names its codec, then no decoder takes it: the file is refused as
// one that cannot be loaded, at once, with the window's message and its side left empty, and the
// media-player interface, asking all the while, sees no file.
TEST_F(GivenUpFile, IsRefusedAtOnceAndTheProgramGoesOn) {
    const fs::path file = givenUpAfterTheOpen();
    start();
    ASSERT_TRUE(waitFor([] { return playerctl({"status"}).out == "Stopped"; }, 10000))
        << "the media-player interface does not answer";

    ASSERT_TRUE(choose(file));
    ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 10000))
        << "the file was not refused";
    QElapsedTimer watched;
    watched.start();
    while (watched.elapsed() < 1000) {
        ASSERT_TRUE(running()) << "the program ended while the interface asked";
        EXPECT_EQ(playerctl({"status"}).out, "Stopped");
        EXPECT_EQ(playerctl({"metadata", "xesam:title"}).out, "") << "the side still holds it";
    }
    // The box has the focus as it comes up; the window beneath it cannot be brought forward.
    typeKeys("Return");
    ASSERT_TRUE(waitFor([&] { return !shows(program, kMessage); }, 10000));

    ASSERT_TRUE(activate(program));
    typeKeys("ctrl+e");
    ASSERT_TRUE(endsWithin(10000));
    EXPECT_TRUE(endedWell());
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
    start();
    ASSERT_TRUE(openDialog());
    if (GetParam().open == OpenWhen::MessageBoxAfterCancel) {
        // Cancelled: the window says that no file was opened, in a box of its own.
        typeKeys("Escape");
        ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 10000));
    }
    ASSERT_FALSE(keysAreFree()) << "the program did not hold the keys";

    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), GetParam().signal), 0);
    ASSERT_TRUE(endsWithin(10000)) << "the signal did not end the program";
    EXPECT_TRUE(endedWell()) << "exit status " << program.exitCode();
    EXPECT_TRUE(keysAreFree());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, QuitWhileModal,
    testing::Values(QuitCase{"TermInTheFileDialog", SIGTERM, OpenWhen::FileDialog},
                    QuitCase{"IntInTheFileDialog", SIGINT, OpenWhen::FileDialog},
                    QuitCase{"TermInTheMessageBox", SIGTERM, OpenWhen::MessageBoxAfterCancel},
                    QuitCase{"IntInTheMessageBox", SIGINT, OpenWhen::MessageBoxAfterCancel}),
    byName);

// ---------------------------------------------------------------------------------------------

using FailingShare = ProgramFaults;

// Player 1's file lies on a share whose reads fail from a third of the file on, and both play:
// once what was read ahead has played, the window says it cannot play the file, once, empties
// player 1's side and pauses player 2; the media keys' interface says Stopped, and the keys and
// the quit still answer.
TEST_F(FailingShare, EmptiesPlayer1WithOneMessageAndStopsBoth) {
    const fs::path file = fs::path(TestMedia::folder()) / "failing-share-program.mkv";
    fs::remove(file);
    fs::copy_file(TestMedia::video(), file);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", STALLING_READ_LIBRARY);
    environment.insert("PELLUCOR_TEST_STALL_FILE", QString::fromStdString(file.string()));
    environment.insert("PELLUCOR_TEST_STALL_AFTER", QString::number(fs::file_size(file) / 3));
    environment.insert("PELLUCOR_TEST_STALL_ERROR", "1");
    keepLog();
    start(environment,
          {QString::fromStdString(file.string()), QString::fromStdString(TestMedia::video())});
    ASSERT_TRUE(waitFor(
        [&] { return log().contains("player 1 holds") && log().contains("player 2 holds"); },
        15000))
        << log().toStdString();
    ASSERT_TRUE(activate(program));
    typeKeys("F3");
    ASSERT_TRUE(waitFor([] { return playerctl({"status"}).out == "Playing"; }, 10000));

    ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 20000))
        << "the failing share was never told";
    // The interface reads the window four times a second.
    ASSERT_TRUE(waitFor([] { return playerctl({"status"}).out == "Stopped"; }, 2000))
        << "still " << playerctl({"status"}).out.toStdString();
    QElapsedTimer watched;
    watched.start();
    while (watched.elapsed() < 1000) {
        ASSERT_TRUE(running());
        EXPECT_EQ(visibleWindowNames(program).split('\n').count(kMessage), 1)
            << "more than one box";
        EXPECT_EQ(playerctl({"status"}).out.toStdString(), "Stopped");
        EXPECT_EQ(playerctl({"metadata", "xesam:title"}).out.toStdString(), "")
            << "the side still holds it";
    }
    typeKeys("Return");
    ASSERT_TRUE(waitFor([&] { return !shows(program, kMessage); }, 10000));
    // Without player 1's file the keys leave player 2 alone, and nothing comes up.
    ASSERT_TRUE(activate(program));
    typeKeys("F3");
    typeKeys("F1");
    QTest::qWait(500);
    EXPECT_FALSE(shows(program, kMessage));
    EXPECT_EQ(playerctl({"status"}).out.toStdString(), "Stopped");

    typeKeys("ctrl+e");
    ASSERT_TRUE(endsWithin(10000));
    EXPECT_TRUE(endedWell());
    EXPECT_EQ(log().count("pellucor.media: cannot play " + QString::fromStdString(file.string())),
              1)
        << log().toStdString();
    fs::remove(file);
}

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
    start(environment);

    ASSERT_TRUE(choose(file));
    // The open waits for the file in vain and says so.
    ASSERT_TRUE(waitFor([&] { return shows(program, kMessage); }, 20000));
    // The box has the focus as it comes up; the window beneath it cannot be brought forward.
    typeKeys("Return");
    ASSERT_TRUE(waitFor([&] { return !shows(program, kMessage); }, 10000));

    ASSERT_TRUE(activate(program));
    QElapsedTimer sinceQuit;
    typeKeys("ctrl+e");
    sinceQuit.start();
    EXPECT_TRUE(waitFor([&] { return keysAreFree(); }, 1000))
        << "the keys stayed taken while the players stopped";
    const int left = static_cast<int>(std::max<qint64>(0, 3000 - sinceQuit.elapsed()));
    ASSERT_TRUE(program.waitForFinished(left))
        << "still running " << sinceQuit.elapsed() << " ms after Ctrl+E";
    EXPECT_TRUE(endedWell()) << "exit status " << program.exitCode();
}

}  // namespace
