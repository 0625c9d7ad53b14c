#pragma once

#include <functional>
#include <vector>

// A synchronous event: every connected handler runs, in connection order, inside raise().
template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    void connect(Handler handler) { m_handlers.push_back(std::move(handler)); }

    void raise(Args... args) const {
        // A handler may connect another one while it runs; iterate over a snapshot.
        const auto handlers = m_handlers;
        for (const auto& handler : handlers) handler(args...);
    }

private:
    std::vector<Handler> m_handlers;
};
