#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include "MprisPlayer.h"
#include "MprisRoot.h"

class IRemoteTransport;

// Exports the window as a media player on the session bus, and tells listeners when player
// 1's state or file changes. The window has no change signals, so they are looked for on a
// short timer.
class MprisService : public QObject {
    Q_OBJECT
public:
    explicit MprisService(IRemoteTransport& transport, QObject* parent = nullptr);

    // False (logged) without a session bus or when the name is taken.
    bool publish(QDBusConnection bus);

private:
    void lookForChanges();

    MprisRoot m_root;
    MprisPlayer m_player;
    QDBusConnection m_bus;
    QTimer m_watch;
    QString m_status;
    QVariantMap m_metadata;
};
