#include "CommandService.h"

#include <QDBusError>
#include <QLoggingCategory>

#include "RemoteNames.h"
#include "TransportRelay.h"

Q_LOGGING_CATEGORY(lcRemote, "pellucor.remote")

CommandService::CommandService(TransportRelay& relay, QObject* host)
    : QDBusAbstractAdaptor(host), m_relay(relay) {}

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
    m_relay.play();
}

void CommandService::Pause() {
    m_relay.pause();
}

void CommandService::Back() {
    m_relay.back();
}
