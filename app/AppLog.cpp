#include "AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "pellucor.app")
