// The window's aligner over worker threads, with an analysis the test holds: what comes back to
// the window's thread, and what does not.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "NamedCases.h"
#include "SoundAligner.h"

namespace {

// An analysis that waits until the test lets it go, then answers as it was told.
class HeldAnalysis {
public:
    AlignmentWorker::Analysis analysis(AlignmentWorker::Outcome answer) {
        return [this, answer](const std::string&, const std::string&, std::atomic<bool>&,
                              const AlignmentWorker::Progress& progress) -> Alignment {
            progress(0.5);
            std::unique_lock lock(m_mutex);
            m_released.wait(lock, [this] { return m_free; });
            if (const auto* error = std::get_if<AlignError>(&answer))
                throw *error;
            return std::get<Alignment>(answer);
        };
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_free = true;
        m_released.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_free = false;
};

// first.wav answers offset 1 once `first` lets it go, any other file offset 2 after `second`.
AlignmentWorker::Analysis byFile(HeldAnalysis& first, HeldAnalysis& second) {
    return [&first, &second](const std::string& a, const std::string& b, std::atomic<bool>& c,
                             const AlignmentWorker::Progress& p) {
        return (a == "first.wav" ? first.analysis(Alignment{1, 0, 1})
                                 : second.analysis(Alignment{2, 0, 1}))(a, b, c, p);
    };
}

class WindowsAligner : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "sound_aligner_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }

    void startOn(SoundAligner& aligner, const std::string& file) {
        aligner.start(
            file, "two.wav",
            [this, file](double p) {
                m_threads.push_back(QThread::currentThread());
                m_seen.push_back(file + " progress " + std::to_string(p));
            },
            [this, file](const IAligner::Outcome& o) {
                m_threads.push_back(QThread::currentThread());
                m_seen.push_back(file + " done");
                m_outcomes.push_back(o);
                m_loop.quit();
            });
    }

    std::vector<std::string> m_seen;
    std::vector<QThread*> m_threads;
    std::vector<IAligner::Outcome> m_outcomes;
    QEventLoop m_loop;
};

struct Answer {
    const char* name;
    AlignmentWorker::Outcome answer;
    IAligner::Outcome shown;
};

class Answered : public WindowsAligner, public ::testing::WithParamInterface<Answer> {};

TEST_P(Answered, ReachesTheWindowsThreadAfterItsProgress) {
    HeldAnalysis held;
    SoundAligner aligner(held.analysis(GetParam().answer));
    startOn(aligner, "one.wav");
    held.release();
    m_loop.exec();
    EXPECT_EQ(m_seen, (std::vector<std::string>{"one.wav progress 0.500000", "one.wav done"}));
    for (QThread* thread : m_threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
    ASSERT_EQ(m_outcomes.size(), 1u);
    const IAligner::Outcome& shown = GetParam().shown;
    EXPECT_EQ(m_outcomes[0].kind, shown.kind);
    EXPECT_DOUBLE_EQ(m_outcomes[0].offset, shown.offset);
    EXPECT_DOUBLE_EQ(m_outcomes[0].driftPpm, shown.driftPpm);
    EXPECT_DOUBLE_EQ(m_outcomes[0].score, shown.score);
    EXPECT_EQ(m_outcomes[0].message, shown.message);
}

using Kind = IAligner::Outcome::Kind;
const std::string kNo = "The file one.wav says no.";
INSTANTIATE_TEST_SUITE_P(Outcomes, Answered,
                         ::testing::Values(Answer{"Found",
                                                  Alignment{-7.346, 125.0, 0.9},
                                                  {Kind::Found, -7.346, 125.0, 0.9, {}}},
                                           Answer{"NoCommonSound",
                                                  AlignError(AlignError::Kind::NoCommonSound, kNo),
                                                  {Kind::NoCommonSound, 0, 0, 0, kNo}},
                                           Answer{"Unreadable",
                                                  AlignError(AlignError::Kind::Unreadable, kNo),
                                                  {Kind::Failed, 0, 0, 0, kNo}}),
                         byName);

struct Superseded {
    const char* name;
    bool cancelled;  // else replaced by the next run
};

class SupersededRun : public WindowsAligner, public ::testing::WithParamInterface<Superseded> {};

// A run's calls are queued before the next run starts (start waits for the old one), and
// queued calls come in order: had the earlier run told anything, it would show first.
TEST_P(SupersededRun, TellsNothingMore) {
    HeldAnalysis first, second;
    SoundAligner aligner(byFile(first, second));
    startOn(aligner, "first.wav");
    if (GetParam().cancelled)
        aligner.cancel();
    first.release();
    startOn(aligner, "second.wav");
    second.release();
    m_loop.exec();
    EXPECT_EQ(m_seen,
              (std::vector<std::string>{"second.wav progress 0.500000", "second.wav done"}));
    ASSERT_EQ(m_outcomes.size(), 1u);
    EXPECT_DOUBLE_EQ(m_outcomes[0].offset, 2);
}

INSTANTIATE_TEST_SUITE_P(Runs, SupersededRun,
                         ::testing::Values(Superseded{"Cancelled", true},
                                           Superseded{"Replaced", false}),
                         byName);

// The window's thread never waits for an analysis: a new one starts while the cancelled one
// still runs.
TEST_F(WindowsAligner, ANewRunDoesNotWaitForTheCancelledOne) {
    HeldAnalysis first, second;
    second.release();
    SoundAligner aligner(byFile(first, second));
    startOn(aligner, "first.wav");
    aligner.cancel();
    startOn(aligner, "second.wav");  // the first is still held
    m_loop.exec();
    ASSERT_EQ(m_outcomes.size(), 1u);
    EXPECT_DOUBLE_EQ(m_outcomes[0].offset, 2);
    first.release();
}

}  // namespace
