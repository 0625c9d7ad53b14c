#include "PortalTypes.h"

#include <QDBusMetaType>

namespace Portal {

QString senderPart(const QString& uniqueName) {
    QString part = uniqueName;
    if (part.startsWith(QLatin1Char(':')))
        part.remove(0, 1);
    return part.replace(QLatin1Char('.'), QLatin1Char('_'));
}

void registerTypes() {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcutList>();
}

}  // namespace Portal

PortalShortcutList shortcutsIn(const QVariantMap& results, const QString& key) {
    return shortcutsFrom(results.value(key));
}

PortalShortcutList shortcutsFrom(const QVariant& value) {
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<PortalShortcutList>(value.value<QDBusArgument>());
    return value.value<PortalShortcutList>();
}

QStringList idsWithKeys(const PortalShortcutList& shortcuts) {
    QStringList ids;
    for (const PortalShortcut& s : shortcuts) {
        const QVariant trigger = s.properties.value(QStringLiteral("trigger_description"));
        if (!trigger.isValid() || !trigger.toString().isEmpty())
            ids.append(s.id);
    }
    return ids;
}

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}
