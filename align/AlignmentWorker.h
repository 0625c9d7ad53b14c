#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "Alignment.h"

// Runs alignFiles on a thread of its own, one run at a time. The callbacks come on the worker
// threads; whoever shows them hands them on to its own thread.
class AlignmentWorker {
public:
    using Outcome = std::variant<Alignment, AlignError>;
    using Progress = std::function<void(double)>;  // 0 to 1
    using Done = std::function<void(const Outcome&)>;
    // What a run does; alignFiles unless a test says otherwise.
    using Analysis = std::function<Alignment(const std::string&, const std::string&,
                                             std::atomic<bool>&, const Progress&)>;

    explicit AlignmentWorker(Analysis analysis = {});
    ~AlignmentWorker();
    AlignmentWorker(const AlignmentWorker&) = delete;
    AlignmentWorker& operator=(const AlignmentWorker&) = delete;

    // Cancels a run still going, without waiting for it, and starts this one. Done comes
    // exactly once per start, with AlignError Cancelled after cancel(). Runs cancelled end
    // within 200 ms; the worker waits for them only as it goes.
    void start(const std::string& file1, const std::string& file2, Progress progress, Done done);
    // From the owner's thread, or from a callback of the current run while the owner neither
    // starts another run nor destroys the worker: the list of runs has no lock.
    void cancel();

private:
    struct Run {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    // Joins the runs that have ended; with all, waits for every one.
    void reap(bool all);

    Analysis m_analysis;
    std::vector<Run> m_runs;  // the last is the current one
};
