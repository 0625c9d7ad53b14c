#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class IRemoteTransport;

// The media player's Player interface over the window's transport: media keys, headset
// buttons and playerctl steer both players through it. Commands are queued and answered at
// once, as the command remote does.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
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

    MprisPlayer(IRemoteTransport& transport, QObject* host);

    QString PlaybackStatus() const;
    double Rate() const { return 1.0; }
    void setRate(double) {}
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
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong Position);

private:
    void later(void (IRemoteTransport::*command)());

    IRemoteTransport& m_transport;
};
