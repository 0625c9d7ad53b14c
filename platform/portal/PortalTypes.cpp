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
