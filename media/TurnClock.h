#pragma once

#include <chrono>
#include <functional>
#include <memory>

// The event loop as the players' groups see it: a call once the current turn is over, and
// one-shot timers. The program's clock runs on Qt's event loop; tests use a clock they advance
// themselves. What a clock has queued or started dies with it.
class TurnClock {
public:
    class Timer {
    public:
        virtual ~Timer() = default;
        // Restarts a running timer.
        virtual void start(std::chrono::milliseconds after) = 0;
        virtual void stop() = 0;
        virtual bool isActive() const = 0;
    };

    virtual ~TurnClock() = default;
    virtual void afterTurn(std::function<void()> call) = 0;
    virtual std::unique_ptr<Timer> timer(std::function<void()> onTimeout) = 0;
};

// On the calling thread's Qt event loop.
std::unique_ptr<TurnClock> makeQtTurnClock();
