#pragma once

#include <functional>
#include <vector>

#include "ISubclass.h"
#include "MessageQueue.h"

// Records every message it receives; an optional action runs inside each call.
class RecordingSubclass : public ISubclass {
public:
    using Message = MessageQueue::Message;

    std::vector<Message> messages;
    std::function<void(const Message&)> onMessage;

    std::int32_t MsgResponse() const override { return 2; }
    void MsgResponse(std::int32_t) override {}
    std::int32_t WindowProc(HWND hwnd, std::int32_t iMsg, std::int32_t wParam,
                            std::int32_t lParam) override {
        messages.push_back({hwnd, iMsg, wParam, lParam});
        if (onMessage)
            onMessage(messages.back());
        return 0;
    }
};
