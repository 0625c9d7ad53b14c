#pragma once

#include <poll.h>

#include <functional>
#include <map>
#include <vector>

#include "IFdWatcher.h"

// The event loop of the tests: each turn polls the watched descriptors without waiting and
// calls those that are readable.
class PollWatcher : public IFdWatcher {
public:
    void watch(int fd, std::function<void()> readable) override { m_watched[fd] = readable; }
    void unwatch(int fd) override { m_watched.erase(fd); }

    // One turn; false when nothing was readable.
    bool turn() {
        std::vector<pollfd> fds;
        for (const auto& [fd, callback] : m_watched)
            fds.push_back({fd, POLLIN, 0});
        if (fds.empty() || poll(fds.data(), fds.size(), 0) <= 0)
            return false;
        bool any = false;
        for (const pollfd& p : fds) {
            if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const auto it = m_watched.find(p.fd);
            if (it == m_watched.end())
                continue;
            any = true;
            const auto callback = it->second;
            callback();
        }
        return any;
    }
    // Turns until nothing is readable; a descriptor readable forever stops it after `limit`.
    int runUntilIdle(int limit = 10000) {
        int turns = 0;
        while (turns < limit && turn())
            ++turns;
        return turns;
    }

private:
    std::map<int, std::function<void()>> m_watched;
};
