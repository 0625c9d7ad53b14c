#include "QtWindowLog.h"

Q_LOGGING_CATEGORY(lcQtWindow, "pellucor.qtwindow")
