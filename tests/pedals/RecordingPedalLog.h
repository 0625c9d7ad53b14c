#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "IPedalLog.h"

// Keeps what the pedal room says, warnings marked.
class RecordingPedalLog : public IPedalLog {
public:
    std::vector<std::string> lines;

    void info(const std::string& text) override { lines.push_back("info: " + text); }
    void warning(const std::string& text) override { lines.push_back("warning: " + text); }

    // How many lines contain every one of the given texts.
    template <typename... Texts>
    long count(const Texts&... texts) const {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return ((line.find(texts) != std::string::npos) && ...);
        });
    }
};
