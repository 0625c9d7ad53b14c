#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Where the desktop offers its global shortcuts.
namespace Portal {
inline const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
inline const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
inline const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

// The part of a request or session path that stands for this connection: the unique name
// without its colon, dots made underscores.
QString senderPart(const QString& uniqueName);
// Registers the shortcut list type with QtDBus; safe to call more than once.
void registerTypes();
}  // namespace Portal

// One entry of the portal's shortcut lists, a(sa{sv}): an id and its properties
// ("description", "preferred_trigger", "trigger_description").
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;
Q_DECLARE_METATYPE(PortalShortcut)

// The shortcut list under key in a portal's results; empty when there is none.
PortalShortcutList shortcutsIn(const QVariantMap& results, const QString& key);
// A shortcut list as QtDBus hands over a signal's argument; empty when it is none.
PortalShortcutList shortcutsFrom(const QVariant& value);
// The ids in a shortcut list that the desktop gave a key to. A listed shortcut with an empty
// trigger description has none (its key belongs to something else); one that says nothing
// of its trigger counts as bound.
QStringList idsWithKeys(const PortalShortcutList& shortcuts);

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);
