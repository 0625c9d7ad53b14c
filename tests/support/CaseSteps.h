#pragma once

#include <string>

// One step of a case written as text: a verb and what follows its first space ("seek 5").
struct CaseStep {
    std::string verb;
    std::string arg;
};

inline CaseStep splitStep(const std::string& step) {
    const auto space = step.find(' ');
    return {step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1)};
}
