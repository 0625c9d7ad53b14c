#pragma once

#include <chrono>
#include <functional>

// Runs work later on the window's thread. A seam of its own, so that tests fire the timers
// themselves instead of waiting for them.
class IRemoteTimer {
public:
    virtual ~IRemoteTimer() = default;

    // A delay of zero may be asked for from any thread; longer ones from the window's thread.
    virtual void after(std::chrono::milliseconds delay, std::function<void()> work) = 0;
};
