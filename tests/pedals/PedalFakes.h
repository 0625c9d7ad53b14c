#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "IPedalTransport.h"
#include "IRepeatTimer.h"

// Records what the pedals asked of the players; `isPlaying` is what playing() answers.
class FakePedalTransport : public IPedalTransport {
public:
    std::vector<std::string> calls;
    bool isPlaying = false;

    void play() override { calls.push_back("play"); }
    void pause() override { calls.push_back("pause"); }
    void back() override { calls.push_back("back"); }
    void forward() override { calls.push_back("forward"); }
    bool playing() override { return isPlaying; }
};

// A repeat timer on the test's own clock: advance() fires every interval that has passed.
class FakeRepeatTimer : public IRepeatTimer {
public:
    void start(std::chrono::milliseconds interval, std::function<void()> tick) override {
        m_interval = interval;
        m_tick = std::move(tick);
        m_sinceTick = std::chrono::milliseconds(0);
        m_running = true;
    }
    void stop() override { m_running = false; }

    void advance(std::chrono::milliseconds by) {
        for (auto step = std::chrono::milliseconds(1); by.count() > 0; by -= step) {
            if (!m_running)
                return;
            m_sinceTick += step;
            if (m_sinceTick == m_interval) {
                m_sinceTick = std::chrono::milliseconds(0);
                m_tick();
            }
        }
    }
    bool running() const { return m_running; }

private:
    std::chrono::milliseconds m_interval{0};
    std::chrono::milliseconds m_sinceTick{0};
    std::function<void()> m_tick;
    bool m_running = false;
};
