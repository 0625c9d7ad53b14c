// The remote on a private session bus, driven as desktops and users drive it: playerctl for
// the media-player interface, `pellucor --play` and the like for the command remote.
#include <gtest/gtest.h>

#include <QDir>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "NamedCases.h"
#include "QtSupport.h"
#include "RemoteFixture.h"

namespace {

// What desktops send (media keys through playerctl) and what users type (`pellucor --play`).
struct Command {
    const char* name;
    QStringList args;  // a leading "--" option goes to pellucor, anything else to playerctl
    IRemoteTransport::State before;
    std::vector<std::string> expected;
};

class Commands : public Remote, public testing::WithParamInterface<Command> {};

TEST_P(Commands, RunTheWindowCommand) {
    transport.current = GetParam().before;
    const QStringList& args = GetParam().args;
    const Finished result =
        args[0].startsWith("--") ? runToEnd(PELLUCOR_EXE, args) : playerctl(args);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    expectOnlyBeforeAPause(GetParam().expected);
}

using State = IRemoteTransport::State;
INSTANTIATE_TEST_SUITE_P(
    , Commands,
    testing::Values(Command{"Play", {"play"}, State::Paused, {"play"}},
                    Command{"Pause", {"pause"}, State::Playing, {"pause"}},
                    Command{"StopPauses", {"stop"}, State::Playing, {"pause"}},
                    Command{"PlayPauseWhilePlaying", {"play-pause"}, State::Playing, {"pause"}},
                    Command{"PlayPauseWhilePaused", {"play-pause"}, State::Paused, {"play"}},
                    Command{"OneSecondBack", {"position", "1-"}, State::Playing, {"back"}},
                    Command{"OtherSeeksDoNothing", {"position", "5+"}, State::Playing, {}},
                    Command{"CommandPlay", {"--play"}, State::Paused, {"play"}},
                    Command{"CommandPause", {"--pause"}, State::Playing, {"pause"}},
                    Command{"CommandBack", {"--back"}, State::Playing, {"back"}},
                    Command{"CommandCopyTime", {"--copy-time"}, State::Playing, {"copyTime"}},
                    Command{
                        "CommandSpeed", {"--speed", "0.75"}, State::Playing, {"setSpeed(0.75)"}},
                    Command{"CommandSpeedJoined", {"--speed=2"}, State::Paused, {"setSpeed(2)"}},
                    Command{"CommandSlower", {"--slower"}, State::Playing, {"slower"}},
                    Command{"CommandFaster", {"--faster"}, State::Stopped, {"faster"}}),
    byName);

// Reads answer from what the window's thread last took, four times a second.
TEST_F(Remote, ShowsPlayerOnesStateFileAndPosition) {
    EXPECT_EQ(playerctl({"status"}).out, "Stopped");

    transport.current = State::Paused;
    transport.path = "/tmp/Interview 3 ä.mp4";
    transport.seconds = 12.5;
    EXPECT_TRUE(QTest::qWaitFor([] { return playerctl({"status"}).out == "Paused"; }, 10000));
    EXPECT_EQ(playerctl({"metadata", "xesam:url"}).out, "file:///tmp/Interview%203%20%C3%A4.mp4");
    EXPECT_EQ(playerctl({"position"}).out, "12.500000");
}

TEST_F(Remote, TellsListenersWhenPlayerOneChanges) {
    // playerctl --follow prints the status once at start and again on each change it is told of.
    Listener follow("playerctl", {"--player=pellucor", "--follow", "status"});
    ASSERT_TRUE(follow.started());
    EXPECT_TRUE(follow.saw("Stopped"));
    transport.current = State::Playing;
    EXPECT_TRUE(follow.saw("Playing"));
    transport.current = State::Paused;
    EXPECT_TRUE(follow.saw("Paused"));
}

struct Uri {
    const char* name;
    int length;
    bool refused;
};

class OpenUri : public Remote, public testing::WithParamInterface<Uri> {};

// Nothing is opened from a URI; one longer than any path is refused before anything reads it.
TEST_P(OpenUri, DoesNothingAndRefusesAHugeOne) {
    const QString uri = "file:///" + QString(GetParam().length, 'a');
    const Finished result = busCall("org.mpris.MediaPlayer2.pellucor", "/org/mpris/MediaPlayer2",
                                    "org.mpris.MediaPlayer2.Player.OpenUri", {"string:" + uri});
    EXPECT_EQ(result.exitCode, GetParam().refused ? 1 : 0) << result.err.toStdString();
    EXPECT_EQ(result.err.contains("org.freedesktop.DBus.Error.InvalidArgs"), GetParam().refused);
    EXPECT_TRUE(transport.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(, OpenUri,
                         testing::Values(Uri{"AUsualOne", 200, false},
                                         Uri{"AsLongAsTheLongestTaken", 65536 - 8, false},
                                         Uri{"LongerThanAnyPath", 70000, true}),
                         byName);

// A second copy given files hands them to the running window, as absolute paths, and ends.
TEST_F(Remote, FilesGoToTheRunningWindow) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess second;
    second.setWorkingDirectory(folder.path());
    second.start(PELLUCOR_EXE, {"take 1.wav", "--", "-take2.wav"});
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    const std::string path = QDir(folder.path()).canonicalPath().toStdString();
    EXPECT_TRUE(transportGot({"open(" + path + "/take 1.wav|" + path + "/-take2.wav)"}));

    // Qt's own options go to Qt and do not count as files.
    const Finished one = runToEnd(PELLUCOR_EXE, {"-style", "fusion", "/m/only.wav"});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(transportGot(
        {"open(" + path + "/take 1.wav|" + path + "/-take2.wav)", "open(/m/only.wav|)"}));
}

struct Open {
    const char* name;
    QString file1;
    QString file2;
};

class RefusedOpen : public Remote, public testing::WithParamInterface<Open> {};

// Only what a second copy sends is taken: one or two absolute paths no longer than a path.
TEST_P(RefusedOpen, OpensNothing) {
    const Finished result =
        busCall("org.pellucor.Pellucor", "/org/pellucor/Pellucor", "org.pellucor.Pellucor.Open",
                {"string:" + GetParam().file1, "string:" + GetParam().file2});
    expectRefusedAndNothingDone(result);
}

INSTANTIATE_TEST_SUITE_P(, RefusedOpen,
                         testing::Values(Open{"NoFile", "", ""}, Open{"ARelativePath", "a.wav", ""},
                                         Open{"ARelativeSecond", "/m/a.wav", "b.wav"},
                                         Open{"LongerThanAnyPath", "/" + QString(5000, 'a'), ""}),
                         byName);

TEST(CommandRemoteAlone, SaysSoWhenNoWindowRuns) {
    for (const char* command : {"--play", "--copy-time", "--slower", "--speed=0.75"}) {
        const Finished result = runToEnd(PELLUCOR_EXE, {command});
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err, "pellucor: no Pellucor window is running") << command;
    }
}

// Refused before any window is made or anything is sent.
TEST(CommandRemoteAlone, RefusesAnUnknownOptionWithTheUsage) {
    const Finished result = runToEnd(PELLUCOR_EXE, {"--plya"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.startsWith("pellucor: unknown option '--plya'\nUsage: pellucor"))
        << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
}

}  // namespace
