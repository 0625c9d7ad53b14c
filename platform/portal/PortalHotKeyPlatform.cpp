#include "PortalHotKeyPlatform.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <algorithm>

#include "PortalRequest.h"
#include "PortalTypes.h"
#include "Triggers.h"

Q_LOGGING_CATEGORY(lcPortal, "pellucor.portal")

PortalHotKeyPlatform::PortalHotKeyPlatform(IHotKeyPlatform& windows, MessageHook& messageHook,
                                           QDBusConnection bus)
    : m_windows(windows), m_hook(messageHook), m_bus(std::move(bus)) {
    Portal::registerTypes();
    if (!m_bus.connect(Portal::kService, Portal::kPath, Portal::kShortcuts,
                       QStringLiteral("Activated"), this, SLOT(activated(QDBusMessage)))) {
        qCWarning(lcPortal) << "cannot listen for activated shortcuts:"
                            << m_bus.lastError().message();
    }
    if (!m_bus.connect(Portal::kService, Portal::kPath, Portal::kShortcuts,
                       QStringLiteral("ShortcutsChanged"), this,
                       SLOT(shortcutsChanged(QDBusMessage)))) {
        qCWarning(lcPortal) << "cannot listen for changed shortcuts:"
                            << m_bus.lastError().message();
    }
}

PortalHotKeyPlatform::~PortalHotKeyPlatform() {
    closeSession();
}

void PortalHotKeyPlatform::setDescriptions(std::map<std::string, std::string> descriptions) {
    m_descriptions = std::move(descriptions);
}

std::string PortalHotKeyPlatform::ExecutableName() {
    return m_windows.ExecutableName();
}

std::uint32_t PortalHotKeyPlatform::GetTickCount() {
    return m_windows.GetTickCount();
}

// The atoms are kept here, not by the window platform, because the portal binds a key by
// the name its atom was made from.
std::uint16_t PortalHotKeyPlatform::GlobalAddAtom(const std::string& s) {
    return m_book.addAtom(s);
}

void PortalHotKeyPlatform::GlobalDeleteAtom(std::uint16_t atom) {
    m_book.deleteAtom(atom);
}

bool PortalHotKeyPlatform::RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                                          std::int32_t virtualKey) {
    const auto trigger = triggerFor(virtualKey, modifiers);
    if (!trigger)
        return m_book.fail(PlatformError::UnknownKeyCode);
    const std::string atomText = m_book.atomName(static_cast<std::uint16_t>(id));
    const QString name = QString::fromStdString(keyNameFromAtom(atomText, ExecutableName()));
    if (!m_book.admits(m_registrations, hwnd, id, modifiers, virtualKey))
        return false;
    m_registrations.push_back(
        {hwnd, id, modifiers, virtualKey, name, QString::fromStdString(*trigger)});
    scheduleBind();
    return true;
}

void PortalHotKeyPlatform::UnregisterHotKey(HWND hwnd, std::int32_t id) {
    const auto it = m_book.find(m_registrations, hwnd, id);
    if (it == m_registrations.end())
        return;
    m_registrations.erase(it);
    // The last key goes when the window does, possibly after the event loop has ended:
    // release the desktop's binding now rather than on a later turn.
    if (m_registrations.empty()) {
        closeSession();
        return;
    }
    scheduleBind();
}

std::uint32_t PortalHotKeyPlatform::GetLastError() {
    return m_book.lastError();
}

std::size_t PortalHotKeyPlatform::FormatMessage(std::uint32_t errorCode, char* buffer,
                                                std::size_t size) {
    return HotKeyBook::formatMessage(errorCode, buffer, size);
}

bool PortalHotKeyPlatform::IsIconic(HWND hwnd) {
    return m_windows.IsIconic(hwnd);
}

void PortalHotKeyPlatform::SendRestore(HWND hwnd) {
    m_windows.SendRestore(hwnd);
}

void PortalHotKeyPlatform::setSessionToken(const QString& appId) {
    // A token is one element of an object path: letters, digits and underscores.
    QString token = appId;
    for (QChar& c : token) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            c = QLatin1Char('_');
    }
    m_sessionToken = token.isEmpty() ? QStringLiteral("pellucor") : token;
}

void PortalHotKeyPlatform::holdBinding() {
    m_held = true;
}

void PortalHotKeyPlatform::releaseBinding() {
    m_held = false;
    scheduleBind();
}

void PortalHotKeyPlatform::scheduleBind() {
    if (m_bindScheduled || m_gaveUp || m_held)
        return;
    m_bindScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_bindScheduled = false;
        bind();
    });
}

PortalShortcutList PortalHotKeyPlatform::wantedShortcuts() const {
    PortalShortcutList shortcuts;
    for (const Registration& r : m_registrations) {
        const auto description = m_descriptions.find(r.name.toStdString());
        const QString text = description != m_descriptions.end()
                                 ? QString::fromStdString(description->second)
                                 : r.name;
        shortcuts.append({r.name,
                          {{QStringLiteral("description"), text},
                           {QStringLiteral("preferred_trigger"), r.trigger}}});
    }
    return shortcuts;
}

// A session's shortcuts are bound once; a changed set is bound in a new session. The
// shortcuts go with CreateSession too: KDE Plasma 5.27 binds them only from there, and its
// BindShortcuts binds nothing; later desktops bind them in BindShortcuts.
void PortalHotKeyPlatform::bind() {
    if (m_busy || m_gaveUp || m_held)
        return;
    QStringList wanted;
    for (const Registration& r : m_registrations)
        wanted.append(r.name);
    if (wanted == m_bound && !m_session.isEmpty())
        return;
    closeSession();
    if (wanted.isEmpty())
        return;

    m_busy = true;
    QVariantMap options{{QStringLiteral("session_handle_token"), m_sessionToken},
                        {QStringLiteral("shortcuts"), QVariant::fromValue(wantedShortcuts())}};
    PortalRequest::start(
        m_bus, QStringLiteral("CreateSession"), {}, options,
        [this](uint result, const QVariantMap& results, const QString& why) {
            m_busy = false;
            if (result != 0)
                return unavailable(why);
            // Documented as a string; some desktops send an object path.
            const QVariant handle = results.value(QStringLiteral("session_handle"));
            m_session = handle.canConvert<QDBusObjectPath>()
                            ? handle.value<QDBusObjectPath>().path()
                            : handle.toString();
            if (m_session.isEmpty())
                return unavailable(QStringLiteral("no session handle"));
            // Every key went while the desktop was opening the session.
            if (m_registrations.empty())
                return closeSession();
            const QStringList granted =
                idsWithKeys(shortcutsIn(results, QStringLiteral("shortcuts")));
            const PortalShortcutList asked = wantedShortcuts();
            // KDE Plasma 5.27 says here what it bound; its BindShortcuts would only open the
            // system settings' shortcut page, at every start. Once a key is missing, that page
            // is where the user gives it one.
            if (std::all_of(asked.begin(), asked.end(),
                            [&](const PortalShortcut& s) { return granted.contains(s.id); })) {
                QStringList names;
                for (const PortalShortcut& s : asked)
                    names.append(s.id);
                return bound(names, granted, QStringLiteral("CreateSession"));
            }
            bindInSession(granted);
        },
        this);
}

void PortalHotKeyPlatform::bindInSession(const QStringList& granted) {
    const PortalShortcutList shortcuts = wantedShortcuts();
    QStringList names;
    for (const PortalShortcut& s : shortcuts)
        names.append(s.id);
    m_busy = true;
    const QString session = m_session;
    PortalRequest::start(
        m_bus, QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
         parentWindow()},
        {},
        [this, names, session, granted](uint result, const QVariantMap& results,
                                        const QString& why) {
            m_busy = false;
            if (session != m_session)
                return scheduleBind();  // the set changed and the session went meanwhile
            if (result != 0) {
                closeSession();
                return unavailable(why);
            }
            const QStringList all =
                granted + idsWithKeys(shortcutsIn(results, QStringLiteral("shortcuts")));
            const bool complete = std::all_of(names.begin(), names.end(),
                                              [&](const QString& n) { return all.contains(n); });
            if (complete)
                return bound(names, all, QStringLiteral("BindShortcuts"));
            confirm(names, all);
        },
        this);
}

// The answer named fewer shortcuts than were asked for: a desktop that bound them from
// CreateSession answers BindShortcuts with none, so the session's own list decides.
void PortalHotKeyPlatform::confirm(const QStringList& names, const QStringList& granted) {
    m_busy = true;
    const QString session = m_session;
    PortalRequest::start(
        m_bus, QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(m_session))},
        {},
        [this, names, session, granted](uint result, const QVariantMap& results,
                                        const QString& why) {
            m_busy = false;
            if (session != m_session)
                return scheduleBind();
            if (result != 0)
                qCWarning(lcPortal) << "cannot list the session's shortcuts:" << why;
            bound(names, granted + idsWithKeys(shortcutsIn(results, QStringLiteral("shortcuts"))),
                  QStringLiteral("ListShortcuts"));
        },
        this);
}

void PortalHotKeyPlatform::bound(const QStringList& names, const QStringList& granted,
                                 const QString& lastCall) {
    m_bound = names;
    QStringList missing;
    for (const QString& name : names) {
        if (!granted.contains(name))
            missing.append(name);
    }
    qCInfo(lcPortal) << "desktop bound" << (names.size() - missing.size()) << "of" << names << "in"
                     << m_session << "as of" << lastCall;
    for (const QString& name : missing)
        qCWarning(lcPortal) << "the desktop gave no key to the shortcut" << name;
    if (!missing.isEmpty())
        report(QStringLiteral("no key for ") + missing.join(QStringLiteral(", ")));
    scheduleBind();  // registered or released while the desktop was asking
}

void PortalHotKeyPlatform::closeSession() {
    if (m_session.isEmpty())
        return;
    QDBusMessage close = QDBusMessage::createMethodCall(Portal::kService, m_session,
                                                        Portal::kSession, QStringLiteral("Close"));
    // Nobody waits for the answer; the desktop drops the session's shortcuts.
    close.setAutoStartService(false);
    if (!m_bus.send(close))
        qCWarning(lcPortal) << "cannot close the shortcut session:" << m_bus.lastError().message();
    m_session.clear();
    m_bound.clear();
}

void PortalHotKeyPlatform::unavailable(const QString& why) {
    qCWarning(lcPortal) << "global shortcuts unavailable:" << why;
    m_gaveUp = true;
    report(why);
}

// The user hears of missing keys once, however often the desktop tells us.
void PortalHotKeyPlatform::report(const QString& why) {
    if (m_reported)
        return;
    m_reported = true;
    if (onUnavailable)
        onUnavailable(why.toStdString());
}

// Activated(o session, s shortcut, t timestamp, a{sv} options); read by hand, since not
// every desktop sends the session as an object path.
void PortalHotKeyPlatform::activated(const QDBusMessage& signal) {
    const QVariantList args = signal.arguments();
    if (args.size() < 2)
        return;
    const QVariant session = args[0];
    const QString sessionPath = session.canConvert<QDBusObjectPath>()
                                    ? session.value<QDBusObjectPath>().path()
                                    : session.toString();
    const QString shortcutId = args[1].toString();
    if (m_session.isEmpty() || sessionPath != m_session)
        return;
    const auto it = std::find_if(m_registrations.begin(), m_registrations.end(),
                                 [&](const Registration& r) { return r.name == shortcutId; });
    if (it == m_registrations.end()) {
        qCWarning(lcPortal) << "the desktop activated an unknown shortcut" << shortcutId;
        return;
    }
    qCDebug(lcPortal) << "activated" << shortcutId;
    // As with a grabbed key: queued, so the command runs from the event loop after this signal's
    // handling, and a repeat still waiting counts once.
    m_hook.post(it->hwnd, WM_HOTKEY, it->id, hotKeyLParam(it->virtualKey, it->modifiers));
}

// ShortcutsChanged(o session, a(sa{sv}) shortcuts): the user gave a shortcut another key
// in the desktop's settings, or took its key away.
void PortalHotKeyPlatform::shortcutsChanged(const QDBusMessage& signal) {
    const QVariantList args = signal.arguments();
    if (args.size() < 2 || m_session.isEmpty())
        return;
    const QVariant session = args[0];
    const QString sessionPath = session.canConvert<QDBusObjectPath>()
                                    ? session.value<QDBusObjectPath>().path()
                                    : session.toString();
    if (sessionPath != m_session)
        return;
    const PortalShortcutList shortcuts = shortcutsFrom(args[1]);
    const QStringList withKeys = idsWithKeys(shortcuts);
    QStringList lost;
    for (const PortalShortcut& s : shortcuts) {
        qCInfo(lcPortal) << "the desktop changed the shortcut" << s.id << "to"
                         << s.properties.value(QStringLiteral("trigger_description")).toString();
        if (m_bound.contains(s.id) && !withKeys.contains(s.id)) {
            qCWarning(lcPortal) << "the desktop gave no key to the shortcut" << s.id;
            lost.append(s.id);
        }
    }
    if (!lost.isEmpty())
        report(QStringLiteral("no key for ") + lost.join(QStringLiteral(", ")));
}

QString PortalHotKeyPlatform::parentWindow() const {
    // The desktop places its dialog over our window where it can tell which one that is.
    if (m_registrations.empty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return QStringLiteral("x11:") + QString::number(m_registrations.front().hwnd, 16);
}
