#include "MprisRoot.h"

#include "RemoteNames.h"

MprisRoot::MprisRoot(QObject* host) : QDBusAbstractAdaptor(host) {}

QString MprisRoot::Identity() const {
    return QStringLiteral("Pellucor");
}

QString MprisRoot::DesktopEntry() const {
    return RemoteNames::kDesktopEntry;
}
