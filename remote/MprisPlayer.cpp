#include "MprisPlayer.h"

#include <QDBusError>
#include <QLoggingCategory>
#include <cmath>

#include "MprisValues.h"
#include "TransportRelay.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

MprisPlayer::MprisPlayer(TransportRelay& relay, QObject* host)
    : QDBusAbstractAdaptor(host), m_relay(relay) {}

QString MprisPlayer::PlaybackStatus() const {
    return playbackStatusOf(m_relay.view().state);
}

QVariantMap MprisPlayer::Metadata() const {
    return metadataOf(m_relay.view().file);
}

qlonglong MprisPlayer::Position() const {
    const double seconds = m_relay.view().position;
    return std::isfinite(seconds) ? std::llround(seconds * 1e6) : 0;
}

double MprisPlayer::Rate() const {
    return m_relay.view().speed;
}

void MprisPlayer::setRate(double rate) {
    if (rate == 0.0) {
        m_relay.pause();
        return;
    }
    if (IRemoteTransport::speedInRange(rate)) {
        m_relay.setSpeed(rate);
        return;
    }
    qCWarning(lcRemote) << "ignored a Rate of" << rate << "outside" << MinimumRate() << "to"
                        << MaximumRate();
}

double MprisPlayer::MinimumRate() const {
    return IRemoteTransport::kSlowest;
}

double MprisPlayer::MaximumRate() const {
    return IRemoteTransport::kFastest;
}

void MprisPlayer::Play() {
    m_relay.play();
}

void MprisPlayer::Pause() {
    m_relay.pause();
}

// Nothing to unload: stopping leaves both files where they are, paused.
void MprisPlayer::Stop() {
    m_relay.pause();
}

void MprisPlayer::PlayPause() {
    m_relay.playPause();
}

// Only the step the window has: one second back on both players.
void MprisPlayer::Seek(qlonglong Offset) {
    if (Offset != kBackOffset)
        return;
    m_relay.backAndTellSeeked();
}

void MprisPlayer::OpenUri(const QString& Uri, const QDBusMessage& message) {
    if (Uri.size() <= kLongestUri)
        return;
    qCWarning(lcRemote) << "refused an OpenUri of" << Uri.size() << "characters";
    message.setDelayedReply(true);
    if (!m_bus.send(message.createErrorReply(
            QDBusError::InvalidArgs,
            QStringLiteral("Pellucor takes no URI longer than %1 characters").arg(kLongestUri))))
        qCWarning(lcRemote) << "cannot refuse the OpenUri:" << m_bus.lastError().message();
}
