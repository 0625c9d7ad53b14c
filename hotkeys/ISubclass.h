#pragma once

#include <cstdint>

#include "WindowHandle.h"

// Callback side of the message hook: receives the hooked messages of a window.
class ISubclass {
public:
    virtual ~ISubclass() = default;

    virtual std::int32_t MsgResponse() const = 0;
    virtual void MsgResponse(std::int32_t RHS) = 0;
    virtual std::int32_t WindowProc(HWND hwnd, std::int32_t iMsg, std::int32_t wParam,
                                    std::int32_t lParam) = 0;
};
