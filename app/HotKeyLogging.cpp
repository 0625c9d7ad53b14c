#include "HotKeyLogging.h"

#include <QLoggingCategory>
#include <QString>

#include "HotKeyLog.h"

Q_LOGGING_CATEGORY(lcHotKeys, "pellucor.hotkeys")

void routeHotKeyWarnings() {
    HotKeyLog::setWarningSink([](const std::string& message) {
        qCWarning(lcHotKeys).noquote() << QString::fromStdString(message);
    });
}
