#pragma once

#include <QObject>

#include "AlignmentWorker.h"
#include "IAligner.h"

// The window's aligner: the alignment room's worker threads, their progress and outcome handed
// on to the thread that made this object. A run that was replaced or cancelled tells nothing
// more; the window learns of it by what it asked for.
class SoundAligner : public IAligner {
public:
    explicit SoundAligner(AlignmentWorker::Analysis analysis = {});
    ~SoundAligner() override;

    void start(const std::string& file1, const std::string& file2, Progress progress,
               Done done) override;
    void cancel() override;

private:
    // Runs on this object's thread.
    void deliver(unsigned run, const std::function<void()>& call) const;

    // The queued calls' receiver: they go with it, after the worker threads have ended.
    QObject m_context;
    unsigned m_run = 0;
    AlignmentWorker m_worker;
};

// The alignment room's log lines into Qt's log, category pellucor.align.
void routeAlignWarnings();
