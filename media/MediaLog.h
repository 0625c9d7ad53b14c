#pragma once

#include <QLoggingCategory>

// Everything the player cannot report to a caller, libmpv's own warnings included.
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
