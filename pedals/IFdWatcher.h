#pragma once

#include <functional>

// Calls back on the event loop while a descriptor is readable (level-triggered). app/ plugs in
// QSocketNotifier; tests poll.
class IFdWatcher {
public:
    virtual ~IFdWatcher() = default;

    virtual void watch(int fd, std::function<void()> readable) = 0;
    // Safe from within that descriptor's own callback.
    virtual void unwatch(int fd) = 0;
};
