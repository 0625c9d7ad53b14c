#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "FakeHotKeyPlatform.h"
#include "IMessageHook.h"

// A message hook without windows, for one subclass per window message: records
// "HookMessage(hwnd,msg)" and "UnhookMessage(hwnd,msg)" in the shared log (whose failOn/failAt
// make one of them throw, after it is recorded, with no effect) and hands a delivered message
// to the subclass hooked for it.
class FakeMessageHook : public IMessageHook {
public:
    explicit FakeMessageHook(HotKeyCallLog& log) : m_log(log) {}

    void HookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) override {
        m_log.record("HookMessage", std::to_string(hWnd) + "," + std::to_string(msg));
        m_hooks[{hWnd, msg}] = &subclass;
    }
    // Unhooking something not hooked is accepted quietly.
    void UnhookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) override {
        m_log.record("UnhookMessage", std::to_string(hWnd) + "," + std::to_string(msg));
        const auto it = m_hooks.find({hWnd, msg});
        if (it != m_hooks.end() && it->second == &subclass)
            m_hooks.erase(it);
    }

    // The hooked subclass's WindowProc result, or nothing when none is hooked. Not logged.
    std::optional<std::int32_t> deliver(HWND hWnd, std::int32_t msg, std::int32_t wParam,
                                        std::int32_t lParam) {
        const auto it = m_hooks.find({hWnd, msg});
        if (it == m_hooks.end())
            return std::nullopt;
        return it->second->WindowProc(hWnd, msg, wParam, lParam);
    }

private:
    HotKeyCallLog& m_log;
    std::map<std::pair<HWND, std::int32_t>, ISubclass*> m_hooks;
};
