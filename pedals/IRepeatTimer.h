#pragma once

#include <chrono>
#include <functional>

// Calls back every interval until stopped. A seam, so that tests advance time themselves.
class IRepeatTimer {
public:
    virtual ~IRepeatTimer() = default;

    // Starts again from now if it runs already.
    virtual void start(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};
