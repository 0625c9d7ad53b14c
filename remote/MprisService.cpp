#include "MprisService.h"

#include <QDBusError>
#include <QLoggingCategory>

#include "RemoteNames.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

MprisService::MprisService(TransportRelay& relay, QObject* parent)
    : QObject(parent), m_root(this), m_player(relay, this) {}

bool MprisService::publish(QDBusConnection bus) {
    if (!bus.isConnected()) {
        qCWarning(lcRemote) << "no session bus; media keys are off";
        return false;
    }
    m_player.answerOn(bus);
    if (!bus.registerObject(RemoteNames::kMprisPath, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcRemote) << "cannot export the media player:" << bus.lastError().message();
        return false;
    }
    if (!bus.registerService(RemoteNames::kMprisService)) {
        qCWarning(lcRemote) << "another copy already answers as" << RemoteNames::kMprisService;
        return false;
    }
    return true;
}
