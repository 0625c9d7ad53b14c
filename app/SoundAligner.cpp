#include "SoundAligner.h"

#include <QLoggingCategory>
#include <QMetaObject>

#include "AlignLog.h"

Q_LOGGING_CATEGORY(lcAlign, "pellucor.align")

namespace {

IAligner::Outcome outcomeOf(const AlignmentWorker::Outcome& result) {
    IAligner::Outcome outcome;
    if (const auto* found = std::get_if<Alignment>(&result)) {
        outcome.kind = IAligner::Outcome::Kind::Found;
        outcome.offset = found->offset;
        outcome.driftPpm = found->driftPpm;
        outcome.score = found->score;
        return outcome;
    }
    const AlignError& error = std::get<AlignError>(result);
    outcome.kind = error.kind() == AlignError::Kind::NoCommonSound
                       ? IAligner::Outcome::Kind::NoCommonSound
                       : IAligner::Outcome::Kind::Failed;
    outcome.message = error.what();
    return outcome;
}

}  // namespace

SoundAligner::SoundAligner(AlignmentWorker::Analysis analysis) : m_worker(std::move(analysis)) {}

SoundAligner::~SoundAligner() {
    m_worker.cancel();
}

void SoundAligner::start(const std::string& file1, const std::string& file2, Progress progress,
                         Done done) {
    const unsigned run = ++m_run;
    m_worker.start(
        file1, file2,
        [this, run, progress = std::move(progress)](double p) {
            deliver(run, [progress, p] {
                if (progress)
                    progress(p);
            });
        },
        [this, run, done = std::move(done)](const AlignmentWorker::Outcome& result) {
            const IAligner::Outcome outcome = outcomeOf(result);
            deliver(run, [done, outcome] {
                if (done)
                    done(outcome);
            });
        });
}

void SoundAligner::cancel() {
    ++m_run;
    m_worker.cancel();
}

void SoundAligner::deliver(unsigned run, const std::function<void()>& call) const {
    QMetaObject::invokeMethod(
        const_cast<QObject*>(&m_context),
        [this, run, call] {
            if (run == m_run)
                call();
        },
        Qt::QueuedConnection);
}

void routeAlignWarnings() {
    setAlignLogSink([](const std::string& line) { qCWarning(lcAlign) << line.c_str(); });
}
