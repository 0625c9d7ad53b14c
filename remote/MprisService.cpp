#include "MprisService.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QLoggingCategory>

#include "RemoteNames.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {
constexpr int kWatchIntervalMs = 250;
}

MprisService::MprisService(IRemoteTransport& transport, QObject* parent)
    : QObject(parent),
      m_root(this),
      m_player(transport, this),
      m_bus(QStringLiteral("unpublished")) {
    m_watch.setInterval(kWatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &MprisService::lookForChanges);
}

bool MprisService::publish(QDBusConnection bus) {
    m_bus = bus;
    if (!bus.isConnected()) {
        qCWarning(lcRemote) << "no session bus; media keys are off";
        return false;
    }
    if (!bus.registerObject(RemoteNames::kMprisPath, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcRemote) << "cannot export the media player:" << bus.lastError().message();
        return false;
    }
    if (!bus.registerService(RemoteNames::kMprisService)) {
        qCWarning(lcRemote) << "another copy already answers as" << RemoteNames::kMprisService;
        return false;
    }
    m_status = m_player.PlaybackStatus();
    m_metadata = m_player.Metadata();
    m_watch.start();
    return true;
}

void MprisService::lookForChanges() {
    QVariantMap changed;
    const QString status = m_player.PlaybackStatus();
    if (status != m_status) {
        m_status = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    const QVariantMap metadata = m_player.Metadata();
    if (metadata != m_metadata) {
        m_metadata = metadata;
        changed.insert(QStringLiteral("Metadata"), metadata);
    }
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        RemoteNames::kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    if (!m_bus.send(signal))
        qCWarning(lcRemote) << "cannot tell about the player's change:"
                            << m_bus.lastError().message();
}
