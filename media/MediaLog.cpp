#include "MediaLog.h"

// Warnings and worse unless QT_LOGGING_RULES asks for more.
Q_LOGGING_CATEGORY(lcMedia, "pellucor.media", QtWarningMsg)
