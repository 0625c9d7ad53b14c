#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "HotKeyBook.h"
#include "IHotKeyPlatform.h"
#include "MessageHook.h"
#include "PortalTypes.h"

// The hot-key platform of Wayland desktops: the keys are bound through the desktop's
// GlobalShortcuts portal and each activation reaches the message hook as WM_HOTKEY, as a
// grabbed key does on X11. Binding is asynchronous (the desktop may ask the user first), so a
// registration is accepted at once and bound shortly after, together with the keys registered
// in the same turn of the event loop. Minimising and restoring are left to the window platform.
class PortalHotKeyPlatform : public QObject, public IHotKeyPlatform {
    Q_OBJECT
public:
    PortalHotKeyPlatform(IHotKeyPlatform& windows, MessageHook& messageHook, QDBusConnection bus);
    ~PortalHotKeyPlatform() override;

    // Descriptions the desktop shows for the keys, by the names they were registered under.
    void setDescriptions(std::map<std::string, std::string> descriptions);
    // The session's token, the same at every start, so that the desktop keeps one set of
    // shortcuts for the program (and the keys the user gave them) instead of a new set each
    // time. Made from the application id.
    void setSessionToken(const QString& appId);
    // Keys registered while held are bound once released: a second copy learns it is one
    // before it touches the first copy's shortcuts.
    void holdBinding();
    void releaseBinding();
    // Runs once, from the event loop, when the desktop does not give the keys: declined,
    // failed, no portal at all, or some of the shortcuts left without a key. The keys stay
    // registered; those without a key never fire.
    std::function<void(const std::string& why)> onUnavailable;

    std::string ExecutableName() override;
    std::uint32_t GetTickCount() override;
    std::uint16_t GlobalAddAtom(const std::string& s) override;
    void GlobalDeleteAtom(std::uint16_t atom) override;
    bool RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                        std::int32_t virtualKey) override;
    void UnregisterHotKey(HWND hwnd, std::int32_t id) override;
    std::uint32_t GetLastError() override;
    std::size_t FormatMessage(std::uint32_t code, char* buffer, std::size_t size) override;
    bool IsIconic(HWND hwnd) override;
    void SendRestore(HWND hwnd) override;

private slots:
    void activated(const QDBusMessage& signal);
    void shortcutsChanged(const QDBusMessage& signal);

private:
    struct Registration {
        HWND hwnd;
        std::int32_t id;
        std::int32_t modifiers;
        std::int32_t virtualKey;
        QString name;
        QString trigger;
    };

    void scheduleBind();
    void bind();
    PortalShortcutList wantedShortcuts() const;
    void bindInSession(const QStringList& granted);
    void confirm(const QStringList& names, const QStringList& granted);
    // lastCall: the call whose answer settled it, for the log.
    void bound(const QStringList& names, const QStringList& granted, const QString& lastCall);
    void closeSession();
    void unavailable(const QString& why);
    void report(const QString& why);
    QString parentWindow() const;

    IHotKeyPlatform& m_windows;
    MessageHook& m_hook;
    QDBusConnection m_bus;
    HotKeyBook m_book;
    std::map<std::string, std::string> m_descriptions;
    std::vector<Registration> m_registrations;
    QString m_sessionToken = QStringLiteral("pellucor");
    QString m_session;
    // The registrations the session holds, by name; differs from m_registrations while a
    // change waits to be bound.
    QStringList m_bound;
    bool m_bindScheduled = false;
    bool m_busy = false;
    bool m_held = false;
    bool m_gaveUp = false;
    bool m_reported = false;
};
