#include "CommandService.h"

#include <QDBusError>
#include <QLoggingCategory>
#include <QTimer>

#include "IRemoteTransport.h"
#include "RemoteNames.h"

Q_LOGGING_CATEGORY(lcRemote, "pellucor.remote")

CommandService::CommandService(IRemoteTransport& transport, QObject* host)
    : QDBusAbstractAdaptor(host), m_transport(transport) {}

bool CommandService::publish(QDBusConnection bus) {
    if (!bus.isConnected()) {
        qCWarning(lcRemote) << "no session bus; the command remote is off";
        return false;
    }
    if (!bus.registerObject(RemoteNames::kPath, parent(), QDBusConnection::ExportAdaptors)) {
        qCWarning(lcRemote) << "cannot export the command remote:" << bus.lastError().message();
        return false;
    }
    if (!bus.registerService(RemoteNames::kService)) {
        qCWarning(lcRemote) << "another copy already answers as" << RemoteNames::kService;
        return false;
    }
    return true;
}

void CommandService::Play() {
    QTimer::singleShot(0, parent(), [this] { m_transport.play(); });
}

void CommandService::Pause() {
    QTimer::singleShot(0, parent(), [this] { m_transport.pause(); });
}

void CommandService::Back() {
    QTimer::singleShot(0, parent(), [this] { m_transport.back(); });
}
