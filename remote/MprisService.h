#pragma once

#include <QDBusConnection>
#include <QObject>

#include "MprisPlayer.h"
#include "MprisRoot.h"

class TransportRelay;

// Exports the window as a media player on the session bus. It may live on a thread of its own:
// it reads player 1 from the relay and sends commands through it, and the relay tells
// listeners of changes.
class MprisService : public QObject {
    Q_OBJECT
public:
    explicit MprisService(TransportRelay& relay, QObject* parent = nullptr);

    // False (logged) without a session bus or when the name is taken.
    bool publish(QDBusConnection bus);

private:
    MprisRoot m_root;
    MprisPlayer m_player;
};
