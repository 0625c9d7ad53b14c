#include "WindowLog.h"

Q_LOGGING_CATEGORY(lcWindow, "pellucor.window")

void logDropped(const char* doing, const std::exception& error) {
    qCWarning(lcWindow) << doing << "failed:" << error.what();
}
