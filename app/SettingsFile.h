#pragma once

#include <QStandardPaths>
#include <QString>

// The user's settings file, ~/.config/pellucor/pellucor.conf (or under XDG_CONFIG_HOME). Named
// in full because QSettings' own INI path for the user ends in .ini.
inline QString settingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pellucor/pellucor.conf");
}
