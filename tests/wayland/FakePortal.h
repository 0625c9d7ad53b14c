#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QProcess>
#include <QStringList>
#include <QtTest/QTest>

// The fake desktop portal as a process on the test's session bus.
class FakePortal {
public:
    // answer: accept, decline or fail; delayMs: how long each request waits for its answer;
    // more: the fake's other options (--binds-in, --no-key).
    bool start(const QString& answer, int delayMs = 0, const QStringList& more = {}) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(
            FAKE_PORTAL_EXE,
            QStringList{"--answer", answer, "--delay-ms", QString::number(delayMs)} + more);
        // The name may still belong to the fake of a test before, for a moment after it died.
        return m_process.waitForStarted(5000) &&
               QTest::qWaitFor(
                   [this] {
                       const auto owner = QDBusConnection::sessionBus().interface()->servicePid(
                           "org.freedesktop.portal.Desktop");
                       return owner.isValid() && qint64(owner.value()) == m_process.processId();
                   },
                   10000);
    }
    ~FakePortal() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    // Everything the fake was asked and answered so far, in order.
    QStringList calls() const { return control("Calls").arguments().value(0).toStringList(); }
    bool called(const QString& call) const { return calls().contains(call); }
    // The calls of one method, with what they carried.
    QStringList callsOf(const QString& method) const {
        QStringList found;
        for (const QString& c : calls()) {
            if (c == method || c.startsWith(method + ' '))
                found << c;
        }
        return found;
    }
    // Fires the shortcut in the newest bound session; false when it is not bound there.
    bool activate(const QString& id) const {
        return control("Activate", {id}).arguments().value(0).toBool();
    }
    // Takes the bound shortcut's key away, as the user can in the desktop's settings.
    bool takeKey(const QString& id) const {
        return control("TakeKey", {id}).arguments().value(0).toBool();
    }

private:
    QDBusMessage control(const QString& method, const QVariantList& args = {}) const {
        QDBusMessage call =
            QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", "/org/pellucor/test",
                                           "org.freedesktop.portal.GlobalShortcuts", method);
        call.setArguments(args);
        // Another process answers while our own events go on. A blocking call with the GUI's
        // loop hung now and then long past its 5 s timeout, with the fake long idle: this
        // wait has a deadline of its own, and an unanswered call reads as no answer.
        const QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, 5000);
        const bool answered = QTest::qWaitFor([&] { return pending.isFinished(); }, 5000);
        return answered ? pending.reply() : QDBusMessage();
    }

    QProcess m_process;
};
