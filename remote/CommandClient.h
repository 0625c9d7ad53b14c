#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

// The client side of the command remote: sends one command (Play, Pause, Back, SetSpeed with
// its speed, ...) to the running window. Returns the process exit code, 0 when the window took
// it; otherwise one line saying why is written to stderr.
int sendCommand(QDBusConnection bus, const QString& command, const QVariantList& arguments = {});

// Hands files (absolute paths, one or two) to the running window's players. Without a running
// window nothing is said and there is no exit code: the caller opens a window of its own.
std::optional<int> handFilesOver(QDBusConnection bus, const QStringList& files);
