// The whole program under a flood on its session bus, as a hostile or broken client sends it:
// huge OpenUri calls, then thousands of remote commands and media-key reads in a fraction of a
// second, while a window manager pings the window. Every call gets its answer, the window keeps
// answering its pings, no command fails inside libmpv, no message box comes up, and afterwards
// the program obeys a command and quits as usual.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "PingProbe.h"
#include "ProgramOnTheBus.h"
#include "QtSupport.h"
#include "TestMedia.h"
#include "WholeProgram.h"

namespace {

const QString kService = QStringLiteral("org.pellucor.Pellucor");
const QString kPath = QStringLiteral("/org/pellucor/Pellucor");
const QString kMprisService = QStringLiteral("org.mpris.MediaPlayer2.pellucor");
const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kMprisPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

constexpr int kCommands = 2000;
constexpr int kReads = 2000;
constexpr int kHugeOpens = 3;
constexpr int kHugeUriBytes = 32 * 1024 * 1024;

class BusFlood : public ProgramOnTheBus {};

QDBusPendingCall call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& args = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    return QDBusConnection::sessionBus().asyncCall(message, 60000);
}

TEST_F(BusFlood, EveryCallIsAnsweredTheWindowKeepsAnsweringAndStillObeys) {
    const std::uint32_t window = managedWindowOf(program);
    ASSERT_NE(window, 0u) << "the window manager does not list the window";
    ASSERT_TRUE(openBoth(TestMedia::video(), window));
    // Both files are in: the remote plays and pauses both.
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--play"}).exitCode, 0);
    ASSERT_TRUE(statusBecomes("Playing")) << "the remote's play did nothing";
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--pause"}).exitCode, 0);
    ASSERT_TRUE(statusBecomes("Paused"));

    PingProbe pings(window, std::chrono::milliseconds(10));
    QTest::qWait(300);  // pings of the quiet window first

    std::vector<QDBusPendingCall> opens;
    const QString huge = QStringLiteral("file:///") + QString(kHugeUriBytes, QChar('a'));
    for (int i = 0; i < kHugeOpens; ++i)
        opens.push_back(call(kMprisService, kMprisPath, kMprisPlayer, "OpenUri", {huge}));
    const QStringList commands = {"Play", "Back", "Pause"};
    const QStringList properties = {"PlaybackStatus", "Position", "Metadata"};
    std::vector<QDBusPendingCall> commandCalls;
    std::vector<QDBusPendingCall> reads;
    QElapsedTimer sending;
    sending.start();
    for (int i = 0; i < std::max(kCommands, kReads); ++i) {
        if (i < kCommands)
            commandCalls.push_back(call(kService, kPath, kService, commands[i % 3]));
        if (i < kReads)
            reads.push_back(call(kMprisService, kMprisPath, "org.freedesktop.DBus.Properties",
                                 "Get", {kMprisPlayer, properties[i % 3]}));
    }
    const qint64 sentInMs = sending.elapsed();

    int commandErrors = 0;
    int readErrors = 0;
    int opensRefused = 0;
    for (auto& c : commandCalls) {
        c.waitForFinished();
        commandErrors += c.isError() ? 1 : 0;
    }
    for (auto& r : reads) {
        r.waitForFinished();
        readErrors += r.isError() ? 1 : 0;
    }
    for (auto& o : opens) {
        o.waitForFinished();
        opensRefused += o.isError() && o.error().type() == QDBusError::InvalidArgs ? 1 : 0;
    }
    const qint64 answeredInMs = sending.elapsed();
    QTest::qWait(1000);  // the commands' last effects and the pings meanwhile
    pings.stopSending();
    EXPECT_TRUE(waitFor([&] { return pings.allAnswered(); }, 10000))
        << "the window left pings unanswered";
    const PingProbe::Figures figures = pings.figures();
    std::printf("flood sent in %lld ms, answered in %lld ms; pings: %d sent, longest %.1f ms\n",
                static_cast<long long>(sentInMs), static_cast<long long>(answeredInMs),
                figures.sent, figures.longestMs);
    RecordProperty("longest_ping_ms", static_cast<int>(figures.longestMs));

    EXPECT_EQ(commandErrors, 0) << "remote commands got an error answer";
    EXPECT_EQ(readErrors, 0) << "media-key reads got an error answer";
    EXPECT_EQ(opensRefused, kHugeOpens) << "a 32 MiB OpenUri was not refused as too long: "
                                        << opens.front().error().name().toStdString() << " "
                                        << opens.front().error().message().toStdString();
    EXPECT_FALSE(log().contains("event queue full")) << "commands failed inside libmpv";
    EXPECT_FALSE(shows(program, kMessage)) << "a message box came up";

    // The program obeys again, and quits as usual.
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--play"}).exitCode, 0);
    EXPECT_TRUE(statusBecomes("Playing")) << "the program no longer obeys the remote";
    ASSERT_EQ(runToEnd(PELLUCOR_EXE, {"--pause"}).exitCode, 0);
    EXPECT_TRUE(statusBecomes("Paused")) << "the program no longer obeys the remote";
    ASSERT_TRUE(activate(program));
    pressKeys({"ctrl+e"});
    EXPECT_TRUE(endsWell()) << "Ctrl+E did not end the program with status 0";
}

}  // namespace
