#pragma once

#include <QString>

// Names the program owns on the session bus; desktop entries and scripts rely on them.
namespace RemoteNames {
inline const QString kService = QStringLiteral("org.pellucor.Pellucor");
inline const QString kPath = QStringLiteral("/org/pellucor/Pellucor");
inline const QString kInterface = QStringLiteral("org.pellucor.Pellucor");
inline const QString kMprisService = QStringLiteral("org.mpris.MediaPlayer2.pellucor");
inline const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kDesktopEntry = QStringLiteral("org.pellucor.Pellucor");
}  // namespace RemoteNames
