#include "AlignmentWorker.h"

#include <exception>

#include "AlignFiles.h"
#include "AlignLog.h"

AlignmentWorker::AlignmentWorker(Analysis analysis)
    : m_analysis(analysis ? std::move(analysis) : Analysis(alignFiles)) {}

AlignmentWorker::~AlignmentWorker() {
    finish();
}

void AlignmentWorker::start(const std::string& file1, const std::string& file2, Progress progress,
                            Done done) {
    finish();
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_worker = std::thread([analysis = m_analysis, file1, file2, progress = std::move(progress),
                            done = std::move(done), cancelled = m_cancelled] {
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
    });
}

void AlignmentWorker::cancel() {
    if (m_cancelled)
        *m_cancelled = true;
}

void AlignmentWorker::finish() {
    cancel();
    if (m_worker.joinable())
        m_worker.join();
}
