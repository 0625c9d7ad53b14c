#pragma once

#include <cstdint>

#include "ISubclass.h"
#include "WindowHandle.h"

// Delivers chosen messages of a window to an ISubclass, on the window's thread.
// Failures are thrown. UnhookMessage must be accepted for the very message being delivered.
class IMessageHook {
public:
    virtual ~IMessageHook() = default;

    virtual void HookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) = 0;
    virtual void UnhookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) = 0;
};
