#pragma once

#include <QDBusConnection>
#include <QString>

// The client side of the command remote: sends one command (Play, Pause, Back) to the
// running window. Returns the process exit code, 0 when the window took it; otherwise one
// line saying why is written to stderr.
int sendCommand(QDBusConnection bus, const QString& command);
