#pragma once

// The command remote and the media-player interface published on the test's private session
// bus, over a transport that records what the window is asked to do.
#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QtTest/QTest>
#include <memory>
#include <string>
#include <vector>

#include "CommandService.h"
#include "IRemoteTransport.h"
#include "MprisService.h"
#include "QtRemoteTimer.h"
#include "QtSupport.h"
#include "TransportRelay.h"

class FakeTransport : public IRemoteTransport {
public:
    std::vector<std::string> calls;
    State current = State::Stopped;
    double seconds = 0;
    std::string path;
    double rate = 1.0;

    void play() override { calls.push_back("play"); }
    void pause() override { calls.push_back("pause"); }
    void back() override { calls.push_back("back"); }
    void copyTime() override { calls.push_back("copyTime"); }
    void open(const std::string& file1, const std::string& file2) override {
        calls.push_back("open(" + file1 + "|" + file2 + ")");
    }
    void setSpeed(double speed) override {
        calls.push_back("setSpeed(" + QString::number(speed).toStdString() + ")");
    }
    void slower() override { calls.push_back("slower"); }
    void faster() override { calls.push_back("faster"); }
    State state() override { return current; }
    double position() override { return seconds; }
    std::string file() override { return path; }
    double speed() override { return rate; }
};

class Remote : public testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QObject>();
        relay = std::make_unique<TransportRelay>(transport, timer);
        auto* commands = new CommandService(*relay, host.get());
        auto* mpris = new MprisService(*relay, host.get());
        ASSERT_TRUE(commands->publish(QDBusConnection::sessionBus()));
        ASSERT_TRUE(mpris->publish(QDBusConnection::sessionBus()));
        relay->watch(QDBusConnection::sessionBus());
    }
    void TearDown() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService("org.pellucor.Pellucor");
        bus.unregisterService("org.mpris.MediaPlayer2.pellucor");
        bus.unregisterObject("/org/pellucor/Pellucor");
        bus.unregisterObject("/org/mpris/MediaPlayer2");
        host.reset();
        relay.reset();
    }
    // The window was asked for `calls` and nothing more before a pause sent after them: a call
    // that does nothing must not show up late either.
    void expectOnlyBeforeAPause(std::vector<std::string> calls) {
        ASSERT_EQ(playerctl({"pause"}).exitCode, 0);
        calls.push_back("pause");
        EXPECT_TRUE(transportGot(calls));
    }
    // An InvalidArgs error, and the window asked nothing.
    void expectRefusedAndNothingDone(const Finished& result) {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains("org.freedesktop.DBus.Error.InvalidArgs"))
            << result.err.toStdString();
        expectOnlyBeforeAPause({});
    }
    bool transportGot(const std::vector<std::string>& calls) {
        return QTest::qWaitFor([&] { return transport.calls == calls; }, 10000);
    }

    FakeTransport transport;
    QtRemoteTimer timer;
    std::unique_ptr<TransportRelay> relay;
    std::unique_ptr<QObject> host;
};

// A program that prints what it is told on the bus, its output read as it comes.
class Listener {
public:
    Listener(const QString& program, const QStringList& args) { m_process.start(program, args); }
    ~Listener() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool started() { return m_process.waitForStarted(5000); }
    bool saw(const char* text) {
        return QTest::qWaitFor(
            [&] {
                m_seen += QString::fromUtf8(m_process.readAllStandardOutput());
                return m_seen.contains(text);
            },
            10000);
    }
    const QString& seen() const { return m_seen; }

private:
    QProcess m_process;
    QString m_seen;
};
