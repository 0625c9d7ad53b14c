#include "PortalHotKeyPlatform.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <cstring>

#include "PlatformError.h"
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
    const std::uint16_t atom = m_atoms.add(s);
    if (atom == 0)
        m_lastError = m_atoms.lastError();
    return atom;
}

void PortalHotKeyPlatform::GlobalDeleteAtom(std::uint16_t atom) {
    if (!m_atoms.remove(atom))
        m_lastError = m_atoms.lastError();
}

bool PortalHotKeyPlatform::fail(std::uint32_t error) {
    m_lastError = error;
    return false;
}

bool PortalHotKeyPlatform::RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                                          std::int32_t virtualKey) {
    const auto trigger = triggerFor(virtualKey, modifiers);
    if (!trigger)
        return fail(code(PlatformError::UnknownKeyCode));
    const std::string atomText = m_atoms.name(static_cast<std::uint16_t>(id));
    const QString name = QString::fromStdString(keyNameFromAtom(atomText, ExecutableName()));
    for (const Registration& r : m_registrations) {
        if (r.hwnd == hwnd && r.id == id)
            return fail(code(PlatformError::IdInUse));
        if (r.virtualKey == virtualKey && r.modifiers == modifiers)
            return fail(code(PlatformError::KeyRegisteredHere));
    }
    m_registrations.push_back(
        {hwnd, id, modifiers, virtualKey, name, QString::fromStdString(*trigger)});
    scheduleBind();
    return true;
}

void PortalHotKeyPlatform::UnregisterHotKey(HWND hwnd, std::int32_t id) {
    const auto it =
        std::find_if(m_registrations.begin(), m_registrations.end(),
                     [&](const Registration& r) { return r.hwnd == hwnd && r.id == id; });
    if (it == m_registrations.end()) {
        fail(code(PlatformError::IdNotRegistered));
        return;
    }
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
    return m_lastError;
}

std::size_t PortalHotKeyPlatform::FormatMessage(std::uint32_t errorCode, char* buffer,
                                                std::size_t size) {
    const std::string_view text = platformErrorText(errorCode);
    const std::size_t n = std::min(text.size(), size);
    std::memcpy(buffer, text.data(), n);
    return n;
}

bool PortalHotKeyPlatform::IsIconic(HWND hwnd) {
    return m_windows.IsIconic(hwnd);
}

void PortalHotKeyPlatform::SendRestore(HWND hwnd) {
    m_windows.SendRestore(hwnd);
}

void PortalHotKeyPlatform::scheduleBind() {
    if (m_bindScheduled || m_gaveUp)
        return;
    m_bindScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_bindScheduled = false;
        bind();
    });
}

// A session's shortcuts are bound once; a changed set is bound in a new session.
void PortalHotKeyPlatform::bind() {
    if (m_busy || m_gaveUp)
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
    const QString token = QStringLiteral("pellucor_") + QUuid::createUuid().toString(QUuid::Id128);
    QVariantMap options{{QStringLiteral("session_handle_token"), token}};
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
            bindInSession();
        },
        this);
}

void PortalHotKeyPlatform::bindInSession() {
    PortalShortcutList shortcuts;
    QStringList names;
    for (const Registration& r : m_registrations) {
        const auto description = m_descriptions.find(r.name.toStdString());
        const QString text = description != m_descriptions.end()
                                 ? QString::fromStdString(description->second)
                                 : r.name;
        shortcuts.append({r.name,
                          {{QStringLiteral("description"), text},
                           {QStringLiteral("preferred_trigger"), r.trigger}}});
        names.append(r.name);
    }
    m_busy = true;
    const QString session = m_session;
    PortalRequest::start(
        m_bus, QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
         parentWindow()},
        {},
        [this, names, session](uint result, const QVariantMap&, const QString& why) {
            m_busy = false;
            if (session != m_session)
                return scheduleBind();  // the set changed and the session went meanwhile
            if (result != 0) {
                closeSession();
                return unavailable(why);
            }
            m_bound = names;
            qCInfo(lcPortal) << "desktop bound" << names << "in" << m_session;
            scheduleBind();  // registered or released while the desktop was asking
        },
        this);
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
    if (m_gaveUp)
        return;
    m_gaveUp = true;
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
    if (it == m_registrations.end())
        return;
    const HWND hwnd = it->hwnd;
    const std::int32_t id = it->id;
    const std::int32_t lParam =
        static_cast<std::int32_t>((static_cast<std::uint32_t>(it->virtualKey) << 16) |
                                  static_cast<std::uint32_t>(it->modifiers));
    // As with a grabbed key: queued, so the command runs from the event loop after this signal's
    // handling, and a repeat still waiting counts once.
    m_hook.post(hwnd, WM_HOTKEY, id, lParam);
}

QString PortalHotKeyPlatform::parentWindow() const {
    // The desktop places its dialog over our window where it can tell which one that is.
    if (m_registrations.empty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return QStringLiteral("x11:") + QString::number(m_registrations.front().hwnd, 16);
}
