#pragma once

#include <functional>
#include <string>

// Finds, from the sound of two files, where the moments of file 1 lie in file 2. The work runs
// away from the window's thread; progress and the outcome come back on it.
class IAligner {
public:
    struct Outcome {
        enum class Kind { Found, NoCommonSound, Failed };
        Kind kind = Kind::Failed;
        double offset = 0.0;    // seconds: second t of file 1 is at offset + t · (1 + drift)
        double driftPpm = 0.0;  // of file 2
        double score = 0.0;     // how sure, 0 to 1
        std::string message;    // what went wrong, a sentence, for NoCommonSound and Failed
    };
    using Progress = std::function<void(double fraction)>;
    using Done = std::function<void(const Outcome&)>;

    virtual ~IAligner() = default;
    // Replaces an analysis still running, which then tells nothing more.
    virtual void start(const std::string& file1, const std::string& file2, Progress progress,
                       Done done) = 0;
    // The analysis running tells nothing more; its threads end soon after.
    virtual void cancel() = 0;
};
