#include "CommandClient.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <cstdio>

#include "RemoteNames.h"

int sendCommand(QDBusConnection bus, const QString& command) {
    if (!bus.isConnected()) {
        std::fprintf(stderr,
                     "pellucor: no desktop session bus, so no Pellucor window to send to\n");
        return 1;
    }
    // Asked first so that the bus does not try to start a window for us.
    if (!bus.interface()->isServiceRegistered(RemoteNames::kService).value()) {
        std::fprintf(stderr, "pellucor: no Pellucor window is running\n");
        return 1;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(RemoteNames::kService, RemoteNames::kPath,
                                                       RemoteNames::kInterface, command);
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    // The commands answer nothing; an error reply is the only thing to report.
    if (reply.type() == QDBusMessage::ErrorMessage) {
        std::fprintf(stderr, "pellucor: the window did not take the command: %s\n",
                     qPrintable(reply.errorMessage()));
        return 1;
    }
    return 0;
}
