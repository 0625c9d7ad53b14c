#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FakeHotKeyPlatform.h"
#include "FakeMessageHook.h"
#include "HotKeyError.h"
#include "cHotKeyRegistry.h"

struct Press {
    std::string name;
    std::int32_t modifiers;
    std::int32_t key;
    bool operator==(const Press&) const = default;
};

inline void PrintTo(const Press& p, std::ostream* os) {
    *os << p.name << "/" << p.modifiers << "/" << p.key;
}

// A registry on fakes, bound to window 7, with every HotKeyPress collected.
class RegistryTest : public ::testing::Test {
protected:
    static constexpr HWND kWnd = 7;

    RegistryTest() {
        reg.emplace(platform, hook);
        reg->HotKeyPress.connect([this](const std::string& n, std::int32_t m, std::int32_t k) {
            presses.push_back({n, m, k});
        });
    }

    // Binds and registers the names with keys 114, 113, 112, ... and no modifiers.
    void bindWith(const std::vector<std::string>& names) {
        reg->Attach(kWnd);
        std::int32_t key = 114;
        for (const auto& name : names)
            reg->RegisterKey(name, key--, 0);
        log.clear();
    }

    std::vector<Press> press(std::int32_t id, std::int32_t lParam = 0) {
        presses.clear();
        EXPECT_EQ(hook.deliver(kWnd, WM_HOTKEY, id, lParam), 0);
        return presses;
    }

    // The table's names in order: each registered id is pressed to learn its name, then the
    // order in which Clear releases them (last first) gives the order.
    std::vector<std::string> releaseAll() {
        std::map<std::int32_t, std::string> nameOf;
        for (std::int32_t id : platform.registeredIds(kWnd))
            nameOf[id] = press(id).at(0).name;
        log.clear();
        reg->Clear();
        std::vector<std::string> names;
        for (const auto& call : log.calls) {
            if (call.rfind("UnregisterHotKey(", 0) != 0)
                continue;
            const std::string id = call.substr(call.find(',') + 1);
            names.insert(names.begin(), nameOf.at(std::stoi(id)));
        }
        EXPECT_TRUE(platform.aliveAtoms().empty());
        return names;
    }

    template <typename F>
    void expectError(F call, std::int32_t number, const std::string& description) {
        try {
            call();
            ADD_FAILURE() << "no HotKeyError raised";
        } catch (const HotKeyError& e) {
            EXPECT_EQ(e.number(), number);
            EXPECT_EQ(e.description(), description);
            EXPECT_EQ(e.source(), "Pellucor.cHotKeyRegistry");
        }
    }

    HotKeyCallLog log;
    FakeHotKeyPlatform platform{log};
    FakeMessageHook hook{log};
    std::optional<cHotKeyRegistry> reg;
    std::vector<Press> presses;
};
