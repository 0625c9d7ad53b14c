#pragma once

#include <stdexcept>
#include <string>

// Where the same moment lies in two recordings: second t of file 1 is at second
// offset + t * (1 + driftPpm * 1e-6) of file 2.
struct Alignment {
    double offset = 0.0;    // seconds
    double driftPpm = 0.0;  // parts per million
    double score = 0.0;     // confidence, 0 to 1
};

// Why an alignment was not found. The message is a sentence a user can read; it names the file
// where one file is at fault.
class AlignError : public std::runtime_error {
public:
    enum class Kind {
        Unreadable,     // a file cannot be opened or decoded, or holds no sound stream
        NoCommonSound,  // the two share no sound (or one is silent): never aligned at random
        Cancelled,
    };
    AlignError(Kind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};
