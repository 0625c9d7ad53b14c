#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

class TransportRelay;

// The media player's Player interface over the window's transport: media keys, headset
// buttons and playerctl steer both players through it. Commands are queued and answered at
// once, as the command remote does; properties are read from the relay's copy of player 1.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ MinimumRate)
    Q_PROPERTY(double MaximumRate READ MaximumRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ yes)
    Q_PROPERTY(bool CanControl READ yes)
public:
    // The one seek the window knows: one second back, in microseconds.
    static constexpr qlonglong kBackOffset = -1000000;
    // No file path comes near this; a longer URI is refused before anything looks at it.
    static constexpr int kLongestUri = 64 * 1024;

    MprisPlayer(TransportRelay& relay, QObject* host);

    // The bus the interface is published on, where refusals are answered.
    void answerOn(QDBusConnection bus) { m_bus = bus; }

    QString PlaybackStatus() const;
    // Both players' speed. A rate outside MinimumRate..MaximumRate is ignored (logged), except
    // 0, which pauses, as the interface asks of a player.
    double Rate() const;
    void setRate(double rate);
    double MinimumRate() const;
    double MaximumRate() const;
    QVariantMap Metadata() const;
    double Volume() const { return 1.0; }
    void setVolume(double) {}
    qlonglong Position() const;
    bool no() const { return false; }
    bool yes() const { return true; }

public slots:
    void Next() {}
    void Previous() {}
    void Play();
    void Pause();
    void Stop();
    void PlayPause();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    // Nothing is opened from a URI (no scheme is supported); one too long is an error.
    void OpenUri(const QString& Uri, const QDBusMessage& message);

signals:
    // Sent by the relay once the window has gone one second back; declared for the interface.
    void Seeked(qlonglong Position);

private:
    TransportRelay& m_relay;
    QDBusConnection m_bus{QStringLiteral("unpublished")};
};
