#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "TurnClock.h"

// A turn clock the test drives: nextTurn() runs what waited for the end of the turn, advance()
// moves time on and fires the timers that are due, in the order of their deadlines.
class FakeTurnClock : public TurnClock {
public:
    using ms = std::chrono::milliseconds;

    void afterTurn(std::function<void()> call) override { m_queued.push_back(std::move(call)); }

    std::unique_ptr<Timer> timer(std::function<void()> onTimeout) override {
        auto timer = std::make_unique<FakeTimer>(*this, std::move(onTimeout));
        m_timers.push_back(timer.get());
        return timer;
    }

    void nextTurn() {
        std::vector<std::function<void()>> calls = std::move(m_queued);
        m_queued.clear();
        for (auto& call : calls)
            call();
    }

    void advance(ms by) {
        const ms until = m_now + by;
        for (;;) {
            FakeTimer* due = nullptr;
            for (FakeTimer* t : m_timers) {
                if (t->active && t->deadline <= until && (!due || t->deadline < due->deadline))
                    due = t;
            }
            if (!due)
                break;
            m_now = due->deadline;
            due->active = false;
            due->onTimeout();
        }
        m_now = until;
    }

private:
    struct FakeTimer : Timer {
        FakeTimer(FakeTurnClock& c, std::function<void()> f) : clock(c), onTimeout(std::move(f)) {}
        ~FakeTimer() override { std::erase(clock.m_timers, this); }
        void start(ms after) override {
            active = true;
            deadline = clock.m_now + after;
        }
        void stop() override { active = false; }
        bool isActive() const override { return active; }

        FakeTurnClock& clock;
        std::function<void()> onTimeout;
        bool active = false;
        ms deadline{0};
    };

    ms m_now{0};
    std::vector<std::function<void()>> m_queued;
    std::vector<FakeTimer*> m_timers;
};
