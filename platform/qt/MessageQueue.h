#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "WindowHandle.h"

// Messages waiting to be delivered from the event loop. A message for a window, number and
// wParam that is already waiting replaces the waiting one and moves to the back: a key that is
// pressed again (or repeats while held) before its last press was handled counts once, and the
// last press of each key keeps its place in the order the user pressed them.
class MessageQueue {
public:
    struct Message {
        HWND hwnd;
        std::int32_t msg;
        std::int32_t wParam;
        std::int32_t lParam;
        bool operator==(const Message&) const = default;
    };

    void push(const Message& message);
    std::optional<Message> pop();
    std::size_t size() const { return m_messages.size(); }

private:
    std::deque<Message> m_messages;
};
