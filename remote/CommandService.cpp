#include "CommandService.h"

#include <QDBusError>
#include <QLoggingCategory>

#include "IRemoteTransport.h"

#include "RemoteNames.h"
#include "TransportRelay.h"

Q_LOGGING_CATEGORY(lcRemote, "pellucor.remote")

namespace {

// No path on Linux is longer; a longer text is refused before anything reads it.
constexpr qsizetype kLongestPath = 4096;

bool acceptable(const QString& file) {
    return file.isEmpty() || (file.startsWith('/') && file.size() <= kLongestPath);
}

}  // namespace

CommandService::CommandService(TransportRelay& relay, QObject* host)
    : QDBusAbstractAdaptor(host), m_relay(relay), m_bus(QStringLiteral("unpublished")) {}

bool CommandService::publish(QDBusConnection bus) {
    m_bus = bus;
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

void CommandService::CopyTime() {
    m_relay.copyTime();
}

void CommandService::Open(const QString& file1, const QString& file2, const QDBusMessage& message) {
    if ((!file1.isEmpty() || !file2.isEmpty()) && acceptable(file1) && acceptable(file2)) {
        m_relay.open(file1.toStdString(), file2.toStdString());
        return;
    }
    qCWarning(lcRemote) << "refused an Open of" << file1.size() << "and" << file2.size()
                        << "characters";
    refuse(message, QStringLiteral("Open"),
           QStringLiteral("Pellucor opens one or two absolute paths of at most %1 characters")
               .arg(kLongestPath));
}

void CommandService::SetSpeed(double speed, const QDBusMessage& message) {
    if (IRemoteTransport::speedInRange(speed)) {
        m_relay.setSpeed(speed);
        return;
    }
    qCWarning(lcRemote) << "refused a SetSpeed of" << speed;
    refuse(message, QStringLiteral("SetSpeed"),
           QStringLiteral("Pellucor plays at speeds from %1 to %2")
               .arg(IRemoteTransport::kSlowest, 0, 'f', 2)
               .arg(IRemoteTransport::kFastest, 0, 'f', 2));
}

void CommandService::Slower() {
    m_relay.slower();
}

void CommandService::Faster() {
    m_relay.faster();
}

void CommandService::refuse(const QDBusMessage& message, const QString& what, const QString& text) {
    message.setDelayedReply(true);
    if (!m_bus.send(message.createErrorReply(QDBusError::InvalidArgs, text)))
        qCWarning(lcRemote) << "cannot refuse the" << what << ":" << m_bus.lastError().message();
}
