#include "AlignmentWorker.h"

#include <exception>

#include "AlignFiles.h"
#include "AlignLog.h"

AlignmentWorker::AlignmentWorker(Analysis analysis)
    : m_analysis(analysis ? std::move(analysis) : Analysis(alignFiles)) {}

AlignmentWorker::~AlignmentWorker() {
    cancel();
    reap(true);
}

void AlignmentWorker::start(const std::string& file1, const std::string& file2, Progress progress,
                            Done done) {
    cancel();
    reap(false);
    // In the list before its thread runs: a callback of this run may cancel it.
    Run& run = m_runs.emplace_back(Run{{},
                                       std::make_shared<std::atomic<bool>>(false),
                                       std::make_shared<std::atomic<bool>>(false)});
    try {
        run.thread = std::thread([analysis = m_analysis, file1, file2,
                                  progress = std::move(progress), done = std::move(done),
                                  cancelled = run.cancelled, ended = run.ended] {
            Outcome outcome = Alignment{};
            try {
                outcome = analysis(file1, file2, *cancelled, progress);
            } catch (const AlignError& e) {
                outcome = e;
            } catch (const std::exception& e) {
                alignLog(std::string("aligning failed: ") + e.what());
                outcome = AlignError(AlignError::Kind::Unreadable,
                                     std::string("The files could not be aligned: ") + e.what());
            }
            // The user's cancel is reported as such, whatever the decoding said meanwhile.
            if (*cancelled && std::holds_alternative<AlignError>(outcome) &&
                std::get<AlignError>(outcome).kind() != AlignError::Kind::Unreadable)
                outcome = AlignError(AlignError::Kind::Cancelled, "The alignment was cancelled.");
            if (done)
                done(outcome);
            *ended = true;
        });
    } catch (...) {
        m_runs.pop_back();
        throw;
    }
}

void AlignmentWorker::cancel() {
    for (Run& run : m_runs)
        *run.cancelled = true;
}

void AlignmentWorker::reap(bool all) {
    std::erase_if(m_runs, [all](Run& run) {
        if (!all && !*run.ended)
            return false;
        run.thread.join();
        return true;
    });
}
