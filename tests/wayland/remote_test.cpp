// The remote on a private session bus, driven as desktops and users drive it: playerctl for
// the media-player interface, `pellucor --play` and the like for the command remote.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QtTest/QTest>
#include <memory>

#include "CommandService.h"
#include "IRemoteTransport.h"
#include "MprisService.h"

namespace {

class FakeTransport : public IRemoteTransport {
public:
    std::vector<std::string> calls;
    State current = State::Stopped;
    double seconds = 0;
    std::string path;

    void play() override { calls.push_back("play"); }
    void pause() override { calls.push_back("pause"); }
    void back() override { calls.push_back("back"); }
    State state() override { return current; }
    double position() override { return seconds; }
    std::string file() override { return path; }
};

// Runs a program to its end without blocking our own bus objects.
struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    Outcome result;
    if (!p.waitForStarted(5000) ||
        !QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 15000)) {
        p.kill();
        p.waitForFinished(3000);
        return result;
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    result.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return result;
}

Outcome playerctl(const QStringList& args) {
    return run("playerctl", QStringList{"--player=pellucor"} + args);
}

class Remote : public testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QObject>();
        auto* commands = new CommandService(transport, host.get());
        auto* mpris = new MprisService(transport, host.get());
        ASSERT_TRUE(commands->publish(QDBusConnection::sessionBus()));
        ASSERT_TRUE(mpris->publish(QDBusConnection::sessionBus()));
    }
    void TearDown() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService("org.pellucor.Pellucor");
        bus.unregisterService("org.mpris.MediaPlayer2.pellucor");
        bus.unregisterObject("/org/pellucor/Pellucor");
        bus.unregisterObject("/org/mpris/MediaPlayer2");
        host.reset();
    }
    bool transportGot(const std::vector<std::string>& calls) {
        return QTest::qWaitFor([&] { return transport.calls == calls; }, 10000);
    }

    FakeTransport transport;
    std::unique_ptr<QObject> host;
};

struct MediaKey {
    const char* name;
    QStringList args;
    IRemoteTransport::State before;
    std::vector<std::string> expected;
    friend void PrintTo(const MediaKey& k, std::ostream* os) { *os << k.name; }
};

class MediaKeys : public Remote, public testing::WithParamInterface<MediaKey> {};

TEST_P(MediaKeys, RunTheWindowCommand) {
    transport.current = GetParam().before;
    ASSERT_EQ(playerctl(GetParam().args).exitCode, 0);
    // A command that does nothing must not show up late either: a known one follows it.
    ASSERT_EQ(playerctl({"pause"}).exitCode, 0);
    std::vector<std::string> expected = GetParam().expected;
    expected.push_back("pause");
    EXPECT_TRUE(transportGot(expected));
}

using State = IRemoteTransport::State;
INSTANTIATE_TEST_SUITE_P(
    , MediaKeys,
    testing::Values(MediaKey{"Play", {"play"}, State::Paused, {"play"}},
                    MediaKey{"Pause", {"pause"}, State::Playing, {"pause"}},
                    MediaKey{"StopPauses", {"stop"}, State::Playing, {"pause"}},
                    MediaKey{"PlayPauseWhilePlaying", {"play-pause"}, State::Playing, {"pause"}},
                    MediaKey{"PlayPauseWhilePaused", {"play-pause"}, State::Paused, {"play"}},
                    MediaKey{"OneSecondBack", {"position", "1-"}, State::Playing, {"back"}},
                    MediaKey{"OtherSeeksDoNothing", {"position", "5+"}, State::Playing, {}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Remote, ShowsPlayerOnesStateFileAndPosition) {
    EXPECT_EQ(playerctl({"status"}).out, "Stopped");

    transport.current = State::Paused;
    transport.path = "/tmp/Interview 3 ä.mp4";
    transport.seconds = 12.5;
    EXPECT_EQ(playerctl({"status"}).out, "Paused");
    EXPECT_EQ(playerctl({"metadata", "xesam:url"}).out, "file:///tmp/Interview%203%20%C3%A4.mp4");
    EXPECT_EQ(playerctl({"position"}).out, "12.500000");
}

TEST_F(Remote, TellsListenersWhenPlayerOneChanges) {
    // playerctl --follow prints the status once at start and again on each change it is told of.
    QProcess follow;
    follow.start("playerctl", {"--player=pellucor", "--follow", "status"});
    ASSERT_TRUE(follow.waitForStarted(5000));
    QString seen;
    auto saw = [&](const char* text) {
        return QTest::qWaitFor(
            [&] {
                seen += QString::fromUtf8(follow.readAllStandardOutput());
                return seen.contains(text);
            },
            10000);
    };
    EXPECT_TRUE(saw("Stopped"));
    transport.current = State::Playing;
    EXPECT_TRUE(saw("Playing"));
    transport.current = State::Paused;
    EXPECT_TRUE(saw("Paused"));
    follow.kill();
    follow.waitForFinished(3000);
}

struct Command {
    const char* option;
    std::string expected;
    friend void PrintTo(const Command& c, std::ostream* os) { *os << c.option; }
};

class CommandRemote : public Remote, public testing::WithParamInterface<Command> {};

TEST_P(CommandRemote, ReachesTheRunningWindow) {
    const Outcome result = run(PELLUCOR_EXE, {GetParam().option});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(transportGot({GetParam().expected}));
}

INSTANTIATE_TEST_SUITE_P(, CommandRemote,
                         testing::Values(Command{"--play", "play"}, Command{"--pause", "pause"},
                                         Command{"--back", "back"}),
                         [](const auto& c) { return std::string(c.param.option + 2); });

TEST(CommandRemoteAlone, SaysSoWhenNoWindowRuns) {
    const Outcome result = run(PELLUCOR_EXE, {"--play"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "pellucor: no Pellucor window is running");
}

}  // namespace
