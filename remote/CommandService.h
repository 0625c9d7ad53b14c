#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

class TransportRelay;

// The command remote: Play, Pause and Back for `pellucor --play` and the like, which desktops
// without global shortcuts bind to keys; CopyTime for `pellucor --copy-time`; Open for the
// files of `pellucor FILE1 FILE2` started while a window runs; SetSpeed, Slower and Faster for
// `pellucor --speed 0.75`, `--slower` and `--faster`. Each command is queued and answered
// at once, so a caller never waits for the window (which may be showing a message); a burst is
// coalesced.
class CommandService : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.pellucor.Pellucor")
public:
    CommandService(TransportRelay& relay, QObject* host);

    // Exports the host object and takes the service name; false (logged) when another
    // copy holds the name or there is no session bus.
    bool publish(QDBusConnection bus);

public slots:
    void Play();
    void Pause();
    void Back();
    void CopyTime();
    // Absolute paths; an empty one leaves its player alone, but one of them must be given.
    void Open(const QString& file1, const QString& file2, const QDBusMessage& message);
    // A speed outside the players' range, or no number, is refused and changes nothing.
    void SetSpeed(double speed, const QDBusMessage& message);
    void Slower();
    void Faster();

private:
    void refuse(const QDBusMessage& message, const QString& what, const QString& text);
    TransportRelay& m_relay;
    QDBusConnection m_bus;
};
