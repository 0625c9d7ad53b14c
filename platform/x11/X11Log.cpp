#include "X11Log.h"

Q_LOGGING_CATEGORY(lcX11, "pellucor.x11")
