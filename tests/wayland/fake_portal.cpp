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
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QTimer>
#include <csignal>
#include <cstdio>

// One entry of the portal's a(sa{sv}) lists; outside any namespace so that QtDBus finds the
// slot types by name.
struct Shortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(Shortcut)

QDBusArgument& operator<<(QDBusArgument& a, const Shortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, Shortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

namespace {

const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

struct Settings {
    QString answer = QStringLiteral("accept");
    int delayMs = 0;
};

class Portal;

// Every session's object: the path it is called on says which session closes.
class Sessions : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")
public:
    explicit Sessions(Portal& portal) : m_portal(portal) {}
public slots:
    void Close();

private:
    Portal& m_portal;
};

class Portal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
public:
    explicit Portal(Settings settings) : m_settings(std::move(settings)) {}
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
        const QString session = kPortalPath + QStringLiteral("/session/") + sender + '/' +
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

    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session, const QList<Shortcut>& shortcuts,
                                  const QString& /*parentWindow*/, const QVariantMap& options) {
        QStringList described;
        for (const Shortcut& s : shortcuts) {
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
            QList<Shortcut> result;
            for (Shortcut s : shortcuts) {
                s.properties.insert(QStringLiteral("trigger_description"),
                                    s.properties.value(QStringLiteral("preferred_trigger")));
                result << s;
            }
            const QString path = session.path();
            answer(request, 0, {{QStringLiteral("shortcuts"), QVariant::fromValue(result)}},
                   [this, path] { newestBound = path; });
        }
        return QDBusObjectPath(request);
    }

    // The tests' handle on the fake, on its own path.
    bool Activate(const QString& id) {
        if (newestBound.isEmpty())
            return false;
        QDBusMessage signal =
            QDBusMessage::createSignal(kPortalPath, kShortcuts, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(newestBound)) << id << qulonglong(1)
               << QVariantMap();
        return QDBusConnection::sessionBus().send(signal);
    }
    QStringList Calls() { return calls; }

private:
    QString senderPart() const {
        QString s = message().service();
        return s.remove(0, 1).replace('.', '_');
    }
    QString requestPath(const QVariantMap& options) const {
        return kPortalPath + QStringLiteral("/request/") + senderPart() + '/' +
               options.value(QStringLiteral("handle_token")).toString();
    }
    void answer(const QString& request, uint code, const QVariantMap& results,
                std::function<void()> then = {}) {
        // Never inside the call: the client learns the request path first.
        QTimer::singleShot(m_settings.delayMs, this, [this, request, code, results, then] {
            if (then)
                then();
            calls << QStringLiteral("Response %1").arg(code);
            QDBusMessage signal = QDBusMessage::createSignal(
                request, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"));
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
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    Settings settings;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--answer"))
            settings.answer = args[i + 1];
        else if (args[i] == QLatin1String("--delay-ms"))
            settings.delayMs = args[i + 1].toInt();
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    Portal portal(settings);
    if (!bus.registerObject(kPortalPath, &portal, QDBusConnection::ExportAllSlots) ||
        !bus.registerObject(QStringLiteral("/org/pellucor/test"), &portal,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "fake portal: cannot take the portal's name on the bus\n");
        return 1;
    }
    return app.exec();
}

#include "fake_portal.moc"
