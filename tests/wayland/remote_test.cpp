// The remote on a private session bus, driven as desktops and users drive it: playerctl for
// the media-player interface, `pellucor --play` and the like for the command remote, and any
// bus client's calls. (What `pellucor --speed` refuses is parsed, and pinned, in
// command_line_test, before anything reaches the bus.)
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

// The speed written as the media-player interface's Rate, as any bus client may.
Finished writeRate(const QString& rate) {
    return busCall(
        "org.mpris.MediaPlayer2.pellucor", "/org/mpris/MediaPlayer2",
        "org.freedesktop.DBus.Properties.Set",
        {"string:org.mpris.MediaPlayer2.Player", "string:Rate", "variant:double:" + rate});
}

// What desktops send (media keys through playerctl) and what users type (`pellucor --play`).
struct Command {
    const char* name;
    // A leading "--" option goes to pellucor, "Rate" and a value to the Rate property, anything
    // else to playerctl.
    QStringList args;
    IRemoteTransport::State before;
    std::vector<std::string> expected;
};

class Commands : public Remote, public testing::WithParamInterface<Command> {};

TEST_P(Commands, RunTheWindowCommand) {
    transport.current = GetParam().before;
    const QStringList& args = GetParam().args;
    const Finished result = args[0].startsWith("--") ? runToEnd(PELLUCOR_EXE, args)
                            : args[0] == "Rate"      ? writeRate(args[1])
                                                     : playerctl(args);
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
                    Command{"CommandFaster", {"--faster"}, State::Stopped, {"faster"}},
                    // Out of range is ignored; 0 pauses, as the media-player interface asks.
                    Command{"RateInRange", {"Rate", "0.75"}, State::Stopped, {"setSpeed(0.75)"}},
                    Command{"RateFastest", {"Rate", "2"}, State::Stopped, {"setSpeed(2)"}},
                    Command{"RateZeroPauses", {"Rate", "0"}, State::Stopped, {"pause"}},
                    Command{"RateTooFastIgnored", {"Rate", "4"}, State::Stopped, {}},
                    Command{"RateTooSlowIgnored", {"Rate", "0.25"}, State::Stopped, {}}),
    byName);

// Reads answer from what the window's thread last took, four times a second.
TEST_F(Remote, ShowsPlayerOnesStateFilePositionAndTheWindowsSpeedWithinItsRange) {
    EXPECT_EQ(playerctl({"status"}).out, "Stopped");
    EXPECT_TRUE(mprisProperty("Rate").out.contains("double 1"));
    EXPECT_TRUE(mprisProperty("MinimumRate").out.contains("double 0.5"));
    EXPECT_TRUE(mprisProperty("MaximumRate").out.contains("double 2"));

    transport.current = State::Paused;
    transport.path = "/tmp/Interview 3 ä.mp4";
    transport.seconds = 12.5;
    transport.rate = 0.75;
    EXPECT_TRUE(QTest::qWaitFor([] { return playerctl({"status"}).out == "Paused"; }, 10000));
    EXPECT_EQ(playerctl({"metadata", "xesam:url"}).out, "file:///tmp/Interview%203%20%C3%A4.mp4");
    EXPECT_EQ(playerctl({"position"}).out, "12.500000");
    EXPECT_TRUE(mprisProperty("Rate").out.contains("double 0.75"));
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

// Only what a second copy sends is opened: one or two absolute paths no longer than a path;
// and another bus client may send a speed the command line never would.
struct Refused {
    const char* name;
    const char* method;
    QStringList args;
};

class RefusedCall : public Remote, public testing::WithParamInterface<Refused> {};

TEST_P(RefusedCall, IsAnInvalidArgumentAndDoesNothing) {
    expectRefusedAndNothingDone(
        busCall("org.pellucor.Pellucor", "/org/pellucor/Pellucor",
                QStringLiteral("org.pellucor.Pellucor.") + GetParam().method, GetParam().args));
}

INSTANTIATE_TEST_SUITE_P(
    , RefusedCall,
    testing::Values(
        Refused{"OpenNoFile", "Open", {"string:", "string:"}},
        Refused{"OpenARelativePath", "Open", {"string:a.wav", "string:"}},
        Refused{"OpenARelativeSecond", "Open", {"string:/m/a.wav", "string:b.wav"}},
        Refused{"OpenLongerThanAnyPath", "Open", {"string:/" + QString(5000, 'a'), "string:"}},
        Refused{"SpeedTooSlow", "SetSpeed", {"double:0.49"}},
        Refused{"SpeedTooFast", "SetSpeed", {"double:2.01"}},
        Refused{"SpeedZero", "SetSpeed", {"double:0"}},
        Refused{"SpeedNegative", "SetSpeed", {"double:-1"}}),
    byName);

TEST_F(Remote, TellsListenersOfANewRate) {
    Listener monitor("dbus-monitor", {"--session",
                                      "type='signal',interface='org.freedesktop.DBus.Properties',"
                                      "member='PropertiesChanged',path='/org/mpris/MediaPlayer2'"});
    ASSERT_TRUE(monitor.started());
    // The monitor is listening once it has printed its own name's arrival.
    ASSERT_TRUE(monitor.saw("NameAcquired"));
    transport.rate = 1.25;
    EXPECT_TRUE(monitor.saw("double 1.25"));
    EXPECT_TRUE(monitor.seen().contains("\"Rate\""));
}

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
