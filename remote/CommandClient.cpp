#include "CommandClient.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantList>
#include <cstdio>

#include "RemoteNames.h"

namespace {

bool windowRuns(QDBusConnection bus) {
    // Asked first so that the bus does not try to start a window for us.
    return bus.isConnected() && bus.interface()->isServiceRegistered(RemoteNames::kService).value();
}

int send(QDBusConnection bus, const QString& command, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(RemoteNames::kService, RemoteNames::kPath,
                                                       RemoteNames::kInterface, command);
    call.setArguments(arguments);
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

}  // namespace

int sendCommand(QDBusConnection bus, const QString& command, const QVariantList& arguments) {
    if (!bus.isConnected()) {
        std::fprintf(stderr,
                     "pellucor: no desktop session bus, so no Pellucor window to send to\n");
        return 1;
    }
    if (!windowRuns(bus)) {
        std::fprintf(stderr, "pellucor: no Pellucor window is running\n");
        return 1;
    }
    return send(bus, command, arguments);
}

std::optional<int> handFilesOver(QDBusConnection bus, const QStringList& files) {
    if (!windowRuns(bus))
        return std::nullopt;
    return send(bus, QStringLiteral("Open"), {files.value(0), files.value(1)});
}
