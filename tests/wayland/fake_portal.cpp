// A stand-in for the desktop's GlobalShortcuts portal on a private session bus, for tests.
// It follows the documented protocol: CreateSession and BindShortcuts hand back a request
// path and answer later with Response on it; sessions are objects with Close; Activated
// names the session and the shortcut; the bound shortcuts come back in the results with the
// keys given to them, and ListShortcuts lists them. Options:
//   --answer accept|decline|fail  accept everything; cancel the binding as a user closing the
//                                 dialog would (1); fail the session (2)
//   --delay-ms N                  answer each request only after N ms, as a dialog would
//   --binds-in bind|create        where the shortcuts are bound: BindShortcuts, as documented
//                                 and as later desktops do, or CreateSession's option
//                                 "shortcuts", as KDE Plasma 5.27 does (it lists them in
//                                 CreateSession's results; its BindShortcuts binds nothing)
//   --no-key ID,...               these shortcuts are left out of what is bound, as a key
//                                 held by another program or refused by the user is
// Tests steer it at /org/pellucor/test: Activate(id) emits Activated for the newest bound
// session; TakeKey(id) says in ShortcutsChanged that the shortcut lost its key; Calls()
// lists what it was asked, in order.
#include <sys/prctl.h>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>

#include "PortalTypes.h"

namespace {

struct Settings {
    QString answer = QStringLiteral("accept");
    int delayMs = 0;
    bool bindsInCreate = false;
    QStringList noKey;
};

QString describe(const QList<PortalShortcut>& shortcuts) {
    QStringList described;
    for (const PortalShortcut& s : shortcuts) {
        described << s.id + '=' +
                         s.properties.value(QStringLiteral("preferred_trigger")).toString();
        if (s.properties.value(QStringLiteral("description")).toString().isEmpty())
            described.last() += QStringLiteral("(no description)");
    }
    return described.join(',');
}

struct Session {
    bool bindCalled = false;
    PortalShortcutList bound;  // with the keys given, as the results list them
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
    std::map<QString, Session> sessions;
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
        const QString token = options.value(QStringLiteral("session_handle_token")).toString();
        const PortalShortcutList offered = shortcutsIn(options, QStringLiteral("shortcuts"));
        calls
            << QStringLiteral("CreateSession token=%1 shortcuts=%2").arg(token, describe(offered));
        const QString sender = senderPart();
        const QString request = requestPath(options);
        const QString session = Portal::kPath + QStringLiteral("/session/") + sender + '/' + token;
        if (m_settings.answer == QLatin1String("fail")) {
            answer(request, 2, {});
            return QDBusObjectPath(request);
        }
        Session& opened = sessions[session];
        QDBusConnection::sessionBus().registerObject(session, &m_sessions,
                                                     QDBusConnection::ExportAllSlots);
        if (m_settings.bindsInCreate)
            opened.bound = granted(offered);
        // Documented as a string, not an object path. A desktop that binds here also lists
        // what it bound.
        QVariantMap results{{QStringLiteral("session_handle"), session}};
        if (m_settings.bindsInCreate)
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(opened.bound));
        // Activated for this session only once the client knows it, as on a real desktop,
        // where no key is pressed before the answer.
        answer(request, 0, results, [this, session] {
            if (m_settings.bindsInCreate && sessions.count(session) != 0)
                newestBound = session;
        });
        return QDBusObjectPath(request);
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session,
                                  const QList<PortalShortcut>& shortcuts,
                                  const QString& /*parentWindow*/, const QVariantMap& options) {
        calls << QStringLiteral("BindShortcuts ") + describe(shortcuts);
        const QString request = requestPath(options);
        auto it = sessions.find(session.path());
        // Binding a second time in one session is refused, as desktops do.
        if (it == sessions.end() || it->second.bindCalled) {
            answer(request, 2, {});
        } else if (m_settings.answer == QLatin1String("decline")) {
            answer(request, 1, {});
        } else if (m_settings.bindsInCreate) {
            // Binds nothing (the real one opens the desktop's shortcut settings instead) and
            // lists what CreateSession bound.
            it->second.bindCalled = true;
            answer(request, 0,
                   {{QStringLiteral("shortcuts"), QVariant::fromValue(it->second.bound)}});
        } else {
            it->second.bindCalled = true;
            const PortalShortcutList bound = granted(shortcuts);
            const QString path = session.path();
            answer(request, 0, {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}},
                   [this, path, bound] {
                       if (auto s = sessions.find(path); s != sessions.end()) {
                           s->second.bound = bound;
                           newestBound = path;
                       }
                   });
        }
        return QDBusObjectPath(request);
    }

    QDBusObjectPath ListShortcuts(const QDBusObjectPath& session, const QVariantMap& options) {
        calls << QStringLiteral("ListShortcuts");
        const QString request = requestPath(options);
        auto it = sessions.find(session.path());
        if (it == sessions.end())
            answer(request, 2, {});
        else
            answer(request, 0,
                   {{QStringLiteral("shortcuts"), QVariant::fromValue(it->second.bound)}});
        return QDBusObjectPath(request);
    }

    // The tests' handle on the fake, on its own path.
    bool Activate(const QString& id) {
        const auto it = sessions.find(newestBound);
        if (it == sessions.end() ||
            std::none_of(it->second.bound.begin(), it->second.bound.end(),
                         [&](const PortalShortcut& s) { return s.id == id; }))
            return false;
        QDBusMessage signal = QDBusMessage::createSignal(Portal::kPath, Portal::kShortcuts,
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(newestBound)) << id << qulonglong(1)
               << QVariantMap();
        return QDBusConnection::sessionBus().send(signal);
    }
    bool TakeKey(const QString& id) {
        auto it = sessions.find(newestBound);
        if (it == sessions.end())
            return false;
        PortalShortcutList changed;
        for (PortalShortcut& s : it->second.bound) {
            if (s.id == id) {
                s.properties[QStringLiteral("trigger_description")] = QString();
                changed.append(s);
            }
        }
        QDBusMessage signal = QDBusMessage::createSignal(Portal::kPath, Portal::kShortcuts,
                                                         QStringLiteral("ShortcutsChanged"));
        signal << QVariant::fromValue(QDBusObjectPath(newestBound)) << QVariant::fromValue(changed);
        return !changed.isEmpty() && QDBusConnection::sessionBus().send(signal);
    }
    QStringList Calls() { return calls; }

private:
    // What the desktop binds of the offered shortcuts, each with the key it gave.
    PortalShortcutList granted(const PortalShortcutList& offered) const {
        PortalShortcutList bound;
        for (const PortalShortcut& s : offered) {
            if (m_settings.noKey.contains(s.id))
                continue;
            bound.append({s.id,
                          {{QStringLiteral("description"),
                            s.properties.value(QStringLiteral("description"))},
                           {QStringLiteral("trigger_description"),
                            s.properties.value(QStringLiteral("preferred_trigger"))}}});
        }
        return bound;
    }
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
        else if (args[i] == QLatin1String("--binds-in"))
            settings.bindsInCreate = args[i + 1] == QLatin1String("create");
        else if (args[i] == QLatin1String("--no-key"))
            settings.noKey = args[i + 1].split(',', Qt::SkipEmptyParts);
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
