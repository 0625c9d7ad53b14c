#include "PedalLogging.h"

Q_LOGGING_CATEGORY(lcPedals, "pellucor.pedals")

void QtPedalLog::info(const std::string& text) {
    qCInfo(lcPedals).noquote() << QString::fromStdString(text);
}

void QtPedalLog::warning(const std::string& text) {
    qCWarning(lcPedals).noquote() << QString::fromStdString(text);
}
