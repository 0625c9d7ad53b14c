#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FakeHotKeyPlatform.h"
#include "IMessageHook.h"

// A message hook without windows: records "HookMessage(hwnd,msg)" and "UnhookMessage(hwnd,msg)"
// in the shared log (whose failOn/failAt make one of them throw, after it is recorded, with no
// effect) and hands delivered messages to the subclasses hooked for them.
class FakeMessageHook : public IMessageHook {
public:
    explicit FakeMessageHook(HotKeyCallLog& log) : m_log(log) {}

    void HookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) override {
        m_log.record("HookMessage", std::to_string(hWnd) + "," + std::to_string(msg));
        if (!isHooked(subclass, hWnd, msg))
            m_hooks.push_back({&subclass, hWnd, msg});
    }
    // Unhooking something not hooked is accepted quietly.
    void UnhookMessage(ISubclass& subclass, HWND hWnd, std::int32_t msg) override {
        m_log.record("UnhookMessage", std::to_string(hWnd) + "," + std::to_string(msg));
        std::erase_if(m_hooks, [&](const Hook& h) { return h.matches(&subclass, hWnd, msg); });
    }

    bool isHooked(const ISubclass& subclass, HWND hWnd, std::int32_t msg) const {
        return std::any_of(m_hooks.begin(), m_hooks.end(),
                           [&](const Hook& h) { return h.matches(&subclass, hWnd, msg); });
    }
    std::size_t hookCount() const { return m_hooks.size(); }

    // Passes a message to every subclass hooked for it, in hook order; a subclass unhooked by
    // an earlier one (or by itself) during delivery is skipped. Returns the last WindowProc
    // result, or nothing when no subclass was reached. Not recorded in the log.
    std::optional<std::int32_t> deliver(HWND hWnd, std::int32_t msg, std::int32_t wParam,
                                        std::int32_t lParam) {
        std::optional<std::int32_t> result;
        const std::vector<Hook> snapshot = m_hooks;
        for (const Hook& h : snapshot) {
            if (h.hWnd != hWnd || h.msg != msg || !isHooked(*h.subclass, hWnd, msg))
                continue;
            result = h.subclass->WindowProc(hWnd, msg, wParam, lParam);
        }
        return result;
    }

private:
    struct Hook {
        ISubclass* subclass;
        HWND hWnd;
        std::int32_t msg;
        bool matches(const ISubclass* s, HWND w, std::int32_t m) const {
            return subclass == s && hWnd == w && msg == m;
        }
    };

    HotKeyCallLog& m_log;
    std::vector<Hook> m_hooks;
};
