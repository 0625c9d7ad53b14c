#include "MprisValues.h"

#include <QDBusObjectPath>
#include <QFileInfo>
#include <QUrl>

QString playbackStatusOf(IRemoteTransport::State state) {
    switch (state) {
        case IRemoteTransport::State::Playing:
            return QStringLiteral("Playing");
        case IRemoteTransport::State::Paused:
            return QStringLiteral("Paused");
        case IRemoteTransport::State::Stopped:
            break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap metadataOf(const std::string& path) {
    const QString file = QString::fromStdString(path);
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
