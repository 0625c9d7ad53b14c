// The remote's commands on their way to the window: one on its own runs at once, a burst runs as
// one command (the last), and the window rests between two, with its timers fired by the test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "CommandQueue.h"
#include "IRemoteTimer.h"
#include "NamedCases.h"

namespace {

using std::chrono::milliseconds;

// Keeps what was asked for until the test fires it, oldest first.
class FakeRemoteTimer : public IRemoteTimer {
public:
    void after(milliseconds delay, std::function<void()> work) override {
        std::lock_guard lock(m_mutex);
        m_waiting.push_back({delay, std::move(work)});
    }
    std::vector<milliseconds> delays() {
        std::lock_guard lock(m_mutex);
        std::vector<milliseconds> out;
        for (const auto& w : m_waiting)
            out.push_back(w.delay);
        return out;
    }
    // Runs the oldest; false when nothing waits.
    bool fire() {
        std::function<void()> work;
        {
            std::lock_guard lock(m_mutex);
            if (m_waiting.empty())
                return false;
            work = std::move(m_waiting.front().work);
            m_waiting.pop_front();
        }
        work();
        return true;
    }

private:
    struct Waiting {
        milliseconds delay;
        std::function<void()> work;
    };
    std::mutex m_mutex;
    std::deque<Waiting> m_waiting;
};

class CommandQueueTest : public testing::Test {
protected:
    std::function<void()> command(const std::string& name) {
        return [this, name] { ran.push_back(name); };
    }
    void submit(const std::string& name) { queue.submit(name, command(name)); }

    FakeRemoteTimer timer;
    CommandQueue queue{timer};
    std::vector<std::string> ran;
};

const milliseconds kAtOnce{0};

TEST_F(CommandQueueTest, ACommandOnItsOwnRunsAtOnceAndTheNextAfterARestAlsoAtOnce) {
    submit("Play");
    EXPECT_EQ(timer.delays(), std::vector{kAtOnce});
    ASSERT_TRUE(timer.fire());
    EXPECT_EQ(ran, std::vector<std::string>{"Play"});
    EXPECT_EQ(timer.delays(), std::vector{CommandQueue::kRest});
    ASSERT_TRUE(timer.fire());  // the rest is over with nothing waiting
    EXPECT_FALSE(timer.fire());

    submit("Pause");
    EXPECT_EQ(timer.delays(), std::vector{kAtOnce});
    ASSERT_TRUE(timer.fire());
    EXPECT_EQ(ran, (std::vector<std::string>{"Play", "Pause"}));
}

enum class Burst { BeforeTheWindowGetsToIt, WhileACommandRuns, WhileTheWindowRests };

struct BurstCase {
    const char* name;
    Burst when;
    std::vector<std::string> ran;
};

class Bursts : public CommandQueueTest, public testing::WithParamInterface<BurstCase> {};

// 2,000 calls, as a hostile client sends them: the window runs one, the last, never one per call.
TEST_P(Bursts, RunAsTheLastCommandOnlyOnce) {
    const auto burst = [this] {
        for (int i = 0; i < 2000; ++i)
            submit(i % 3 == 0 ? "Play" : i % 3 == 1 ? "Back" : "Pause");
        submit("Back");
    };
    switch (GetParam().when) {
        case Burst::BeforeTheWindowGetsToIt:
            burst();
            break;
        case Burst::WhileACommandRuns:
            // The command shows a message and waits for it; the calls come meanwhile.
            queue.submit("Play", [this, burst] {
                ran.push_back("Play");
                burst();
            });
            ASSERT_TRUE(timer.fire());
            break;
        case Burst::WhileTheWindowRests:
            submit("Play");
            ASSERT_TRUE(timer.fire());
            burst();
            break;
    }
    // However many came, the window was asked once: at once, or at the end of its rest.
    ASSERT_EQ(timer.delays().size(), 1u);
    while (timer.fire()) {
    }
    EXPECT_EQ(ran, GetParam().ran);
}

INSTANTIATE_TEST_SUITE_P(
    , Bursts,
    testing::Values(BurstCase{"BeforeTheWindowGetsToIt", Burst::BeforeTheWindowGetsToIt, {"Back"}},
                    BurstCase{"WhileACommandRuns", Burst::WhileACommandRuns, {"Play", "Back"}},
                    BurstCase{"WhileTheWindowRests", Burst::WhileTheWindowRests, {"Play", "Back"}}),
    byName);

TEST_F(CommandQueueTest, ACommandThatThrowsLeavesTheQueueWorking) {
    queue.submit("Play", [] { throw std::runtime_error("no player"); });
    ASSERT_TRUE(timer.fire());
    submit("Pause");
    while (timer.fire()) {
    }
    EXPECT_EQ(ran, std::vector<std::string>{"Pause"});
}

// The bus's thread submits while the window's thread runs: every command runs alone, and the
// last one sent always runs.
TEST_F(CommandQueueTest, CommandsFromAnotherThreadRunOneAtATimeAndTheLastAlwaysRuns) {
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<int> runs{0};
    std::string last;
    const auto counted = [&](std::string name) {
        return [&, name] {
            overlapped = overlapped || running.fetch_add(1) > 0;
            ++runs;
            last = name;
            running.fetch_sub(1);
        };
    };
    std::atomic<bool> done{false};
    std::thread bus([&] {
        for (int i = 0; i < 20000; ++i)
            queue.submit("Play", counted("Play"));
        queue.submit("Pause", counted("Pause"));
        done = true;
    });
    while (!done)
        timer.fire();
    bus.join();
    while (timer.fire()) {
    }
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(last, "Pause");
    EXPECT_LT(runs.load(), 20001);
}

}  // namespace
