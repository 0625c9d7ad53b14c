#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QThread>

class CommandService;
class MprisService;
class TransportRelay;

// The remote's bus objects on a thread of their own: QtDBus decodes and answers every call
// there, so a flood of calls, or a huge one, costs the window's thread only the relay's
// coalesced commands and its refresh.
class RemoteThread {
public:
    explicit RemoteThread(TransportRelay& relay);
    // Takes the objects off the bus and ends the thread.
    ~RemoteThread();
    RemoteThread(const RemoteThread&) = delete;
    RemoteThread& operator=(const RemoteThread&) = delete;

    // Exports the command remote and the media player on the bus, from the remote's thread;
    // a failure is logged there. The relay tells the bus's listeners of changes from now on.
    void publish(QDBusConnection bus);

private:
    TransportRelay& m_relay;
    QThread m_thread;
    QObject* m_commandHost;
    CommandService* m_commands;
    MprisService* m_mpris;
    QDBusConnection m_bus;
};
