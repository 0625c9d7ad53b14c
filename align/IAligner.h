#pragma once

#include <functional>
#include <string>
#include <variant>

#include "Alignment.h"

// What the window uses to align two files without knowing how: the real one decodes and
// correlates on worker threads, a fake answers as a test tells it.
class IAligner {
public:
    using Outcome = std::variant<Alignment, AlignError>;
    // Both run on a worker thread: the window hands them on to its own thread.
    using Progress = std::function<void(double)>;  // 0 to 1
    using Done = std::function<void(const Outcome&)>;

    virtual ~IAligner() = default;
    // Starts aligning file 2 to file 1; an alignment still running is cancelled first. Done comes
    // exactly once per start, with AlignError Cancelled after cancel().
    virtual void start(const std::string& file1, const std::string& file2, Progress progress,
                       Done done) = 0;
    // Done follows within 200 ms.
    virtual void cancel() = 0;
};
