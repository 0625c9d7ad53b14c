#include "RemoteThread.h"

#include <QMetaObject>

#include "CommandService.h"
#include "MprisService.h"
#include "RemoteNames.h"
#include "TransportRelay.h"

RemoteThread::RemoteThread(TransportRelay& relay)
    : m_relay(relay),
      m_commandHost(new QObject),
      m_commands(new CommandService(relay, m_commandHost)),
      m_mpris(new MprisService(relay)),
      m_bus(QStringLiteral("unpublished")) {
    m_thread.setObjectName(QStringLiteral("remote"));
    // The adaptors go along with their hosts.
    m_commandHost->moveToThread(&m_thread);
    m_mpris->moveToThread(&m_thread);
    // They go on their own thread, as it ends: QtDBus relays their signals (destroyed among
    // them) only from there.
    QObject::connect(
        &m_thread, &QThread::finished, m_commandHost,
        [host = m_commandHost, mpris = m_mpris] {
            delete mpris;
            delete host;
        },
        Qt::DirectConnection);
    m_thread.start();
}

RemoteThread::~RemoteThread() {
    // The names go with the process; asking the bus to release them would wait for it.
    if (m_bus.isConnected()) {
        m_bus.unregisterObject(RemoteNames::kPath);
        m_bus.unregisterObject(RemoteNames::kMprisPath);
    }
    m_thread.quit();
    m_thread.wait();
}

void RemoteThread::publish(QDBusConnection bus) {
    m_bus = bus;
    CommandService* commands = m_commands;
    MprisService* mpris = m_mpris;
    QMetaObject::invokeMethod(
        m_commandHost,
        [commands, mpris, bus] {
            commands->publish(bus);
            mpris->publish(bus);
        },
        Qt::QueuedConnection);
    m_relay.watch(bus);
}
