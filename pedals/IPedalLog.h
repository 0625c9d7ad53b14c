#pragma once

#include <string>

// Where the pedal room says what went wrong; app/ sends it to a logging category.
class IPedalLog {
public:
    virtual ~IPedalLog() = default;
    virtual void info(const std::string& text) = 0;
    virtual void warning(const std::string& text) = 0;
};
