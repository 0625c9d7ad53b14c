#pragma once

#include <QLoggingCategory>
#include <exception>

Q_DECLARE_LOGGING_CATEGORY(lcWindow)

// Logs an error that a command traps and does not pass on (the user may see only a fixed
// message, or nothing): what was being done and what failed.
void logDropped(const char* doing, const std::exception& error);
