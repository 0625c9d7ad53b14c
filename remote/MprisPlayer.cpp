#include "MprisPlayer.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "IRemoteTransport.h"

MprisPlayer::MprisPlayer(IRemoteTransport& transport, QObject* host)
    : QDBusAbstractAdaptor(host), m_transport(transport) {}

QString MprisPlayer::PlaybackStatus() const {
    switch (m_transport.state()) {
        case IRemoteTransport::State::Playing:
            return QStringLiteral("Playing");
        case IRemoteTransport::State::Paused:
            return QStringLiteral("Paused");
        case IRemoteTransport::State::Stopped:
            break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisPlayer::Metadata() const {
    const QString file = QString::fromStdString(m_transport.file());
    if (file.isEmpty())
        return {
            {QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack"))}};
    return {
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath("/org/pellucor/Pellucor/track/1"))},
        {QStringLiteral("xesam:url"), QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded())},
        {QStringLiteral("xesam:title"), QFileInfo(file).fileName()},
    };
}

qlonglong MprisPlayer::Position() const {
    const double seconds = m_transport.position();
    return std::isfinite(seconds) ? std::llround(seconds * 1e6) : 0;
}

void MprisPlayer::later(void (IRemoteTransport::*command)()) {
    QTimer::singleShot(0, parent(), [this, command] { (m_transport.*command)(); });
}

void MprisPlayer::Play() {
    later(&IRemoteTransport::play);
}

void MprisPlayer::Pause() {
    later(&IRemoteTransport::pause);
}

// Nothing to unload: stopping leaves both files where they are, paused.
void MprisPlayer::Stop() {
    later(&IRemoteTransport::pause);
}

void MprisPlayer::PlayPause() {
    QTimer::singleShot(0, parent(), [this] {
        if (m_transport.state() == IRemoteTransport::State::Playing)
            m_transport.pause();
        else
            m_transport.play();
    });
}

// Only the step the window has: one second back on both players.
void MprisPlayer::Seek(qlonglong Offset) {
    if (Offset != kBackOffset)
        return;
    QTimer::singleShot(0, parent(), [this] {
        m_transport.back();
        emit Seeked(Position());
    });
}
