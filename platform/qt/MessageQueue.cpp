#include "MessageQueue.h"

#include <algorithm>

void MessageQueue::push(const Message& message) {
    std::erase_if(m_messages, [&](const Message& m) {
        return m.hwnd == message.hwnd && m.msg == message.msg && m.wParam == message.wParam;
    });
    m_messages.push_back(message);
}

std::optional<MessageQueue::Message> MessageQueue::pop() {
    if (m_messages.empty())
        return std::nullopt;
    const Message front = m_messages.front();
    m_messages.pop_front();
    return front;
}
