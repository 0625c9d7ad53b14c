// A stand-in for the desktop's GlobalShortcuts portal on a private session bus, for tests.
// It follows the documented protocol: CreateSession and BindShortcuts hand back a request
// path and answer later with Response on it; sessions are objects with Close; Activated
// names the session and the shortcut. Options:
//   --answer accept|decline|fail  accept everything; cancel the binding as a user closing the
//                                 dialog would (1); fail the session (2)
//   --delay-ms N                  answer each request only after N ms, as a dialog would
// Tests steer it at /org/pellucor/test: Activate(id) emits Activated for the newest bound
// session; Calls() lists what it was asked, in order.
#include <sys/prctl.h>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "PortalTypes.h"

namespace {

struct Settings {
    QString answer = QStringLiteral("accept");
    int delayMs = 0;
};

class Shortcuts;

// Every session's object: the path it is called on says which session closes.
class Sessions : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")
public:
    explicit Sessions(Shortcuts& portal) : m_portal(portal) {}
public slots:
    void Close();

private:
    Shortcuts& m_portal;
};

class Shortcuts : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
public:
    explicit Shortcuts(Settings settings) : m_settings(std::move(settings)) {}
    QStringList calls;
    std::map<QString, bool> sessions;  // path: bound yet
    QString newestBound;

    void closed(const QString& path) {
        calls << QStringLiteral("Close ") + path;
        if (sessions.erase(path) == 0)
            return;
        QDBusConnection::sessionBus().unregisterObject(path);
        if (newestBound == path)
            newestBound.clear();
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options) {
        calls << QStringLiteral("CreateSession");
        const QString sender = senderPart();
        const QString request = requestPath(options);
        const QString session = Portal::kPath + QStringLiteral("/session/") + sender + '/' +
                                options.value(QStringLiteral("session_handle_token")).toString();
        if (m_settings.answer == QLatin1String("fail")) {
            answer(request, 2, {});
            return QDBusObjectPath(request);
        }
        sessions[session] = false;
        QDBusConnection::sessionBus().registerObject(session, &m_sessions,
                                                     QDBusConnection::ExportAllSlots);
        // Documented as a string, not an object path.
        answer(request, 0, {{QStringLiteral("session_handle"), session}});
        return QDBusObjectPath(request);
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session,
                                  const QList<PortalShortcut>& shortcuts,
                                  const QString& /*parentWindow*/, const QVariantMap& options) {
        QStringList described;
        for (const PortalShortcut& s : shortcuts) {
            described << s.id + '=' +
                             s.properties.value(QStringLiteral("preferred_trigger")).toString();
            if (s.properties.value(QStringLiteral("description")).toString().isEmpty())
                described.last() += QStringLiteral("(no description)");
        }
        calls << QStringLiteral("BindShortcuts ") + described.join(',');
        const QString request = requestPath(options);
        auto it = sessions.find(session.path());
        // Binding a second time in one session is refused, as desktops do.
        if (it == sessions.end() || it->second) {
            answer(request, 2, {});
        } else if (m_settings.answer == QLatin1String("decline")) {
            answer(request, 1, {});
        } else {
            it->second = true;
            const QString path = session.path();
            // The program reads nothing of the bound list, so none is sent back.
            answer(request, 0, {}, [this, path] { newestBound = path; });
        }
        return QDBusObjectPath(request);
    }

    // The tests' handle on the fake, on its own path.
    bool Activate(const QString& id) {
        if (newestBound.isEmpty())
            return false;
        QDBusMessage signal = QDBusMessage::createSignal(Portal::kPath, Portal::kShortcuts,
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(newestBound)) << id << qulonglong(1)
               << QVariantMap();
        return QDBusConnection::sessionBus().send(signal);
    }
    QStringList Calls() { return calls; }

private:
    QString senderPart() const { return Portal::senderPart(message().service()); }
    QString requestPath(const QVariantMap& options) const {
        return Portal::kPath + QStringLiteral("/request/") + senderPart() + '/' +
               options.value(QStringLiteral("handle_token")).toString();
    }
    void answer(const QString& request, uint code, const QVariantMap& results,
                std::function<void()> then = {}) {
        // Never inside the call: the client learns the request path first.
        QTimer::singleShot(m_settings.delayMs, this, [this, request, code, results, then] {
            if (then)
                then();
            calls << QStringLiteral("Response %1").arg(code);
            QDBusMessage signal =
                QDBusMessage::createSignal(request, Portal::kRequest, QStringLiteral("Response"));
            signal << code << results;
            QDBusConnection::sessionBus().send(signal);
        });
    }

    Settings m_settings;
    Sessions m_sessions{*this};
};

void Sessions::Close() {
    m_portal.closed(message().path());
}

}  // namespace

int main(int argc, char** argv) {
    // Ends with the test that started it, even one that crashed, so no test runner waits on it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    QCoreApplication app(argc, argv);
    Portal::registerTypes();
    Settings settings;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--answer"))
            settings.answer = args[i + 1];
        else if (args[i] == QLatin1String("--delay-ms"))
            settings.delayMs = args[i + 1].toInt();
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    Shortcuts portal(settings);
    if (!bus.registerObject(Portal::kPath, &portal, QDBusConnection::ExportAllSlots) ||
        !bus.registerObject(QStringLiteral("/org/pellucor/test"), &portal,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(Portal::kService)) {
        std::fprintf(stderr, "fake portal: cannot take the portal's name on the bus\n");
        return 1;
    }
    return app.exec();
}

#include "fake_portal.moc"
