#pragma once

#include <QLoggingCategory>

#include "IPedalLog.h"

Q_DECLARE_LOGGING_CATEGORY(lcPedals)

// The pedal room's messages in the category pellucor.pedals.
class QtPedalLog : public IPedalLog {
public:
    void info(const std::string& text) override;
    void warning(const std::string& text) override;
};
