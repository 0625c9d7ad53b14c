#include <functional>
#include <stdexcept>

#include "HotKeyLog.h"
#include "RegistryFixture.h"

namespace {

using Strings = std::vector<std::string>;

struct LettingGo {
    const char* label;
    std::function<void(std::optional<cHotKeyRegistry>&, FakeMessageHook&)> run;
};

class EveryWayOfLettingGo : public RegistryTest, public ::testing::WithParamInterface<LettingGo> {
protected:
    void letGo() { GetParam().run(reg, hook); }
};

TEST_P(EveryWayOfLettingGo, ReleasesLastKeyFirstThenUnhooksHotKeyThenDestroy) {
    bindWith({"a", "b", "c"});
    letGo();
    EXPECT_EQ(log.calls, (Strings{"UnregisterHotKey(7,-16382)", "GlobalDeleteAtom(49154)",
                                  "UnregisterHotKey(7,-16383)", "GlobalDeleteAtom(49153)",
                                  "UnregisterHotKey(7,-16384)", "GlobalDeleteAtom(49152)",
                                  "UnhookMessage(7,786)", "UnhookMessage(7,2)"}));
    EXPECT_TRUE(presses.empty());
    EXPECT_EQ(hook.hookCount(), 0u);
    EXPECT_TRUE(platform.aliveAtoms().empty());

    log.clear();
    reg.reset();
    EXPECT_TRUE(log.calls.empty()) << "nothing left to release";
}

TEST_P(EveryWayOfLettingGo, OnAFreshInstanceCallsNothingOutside) {
    letGo();
    reg.reset();
    EXPECT_TRUE(log.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, EveryWayOfLettingGo,
    ::testing::Values(LettingGo{"Clear", [](auto& r, auto&) { r->Clear(); }},
                      LettingGo{"AttachZero", [](auto& r, auto&) { r->Attach(0); }},
                      LettingGo{"Destruction", [](auto& r, auto&) { r.reset(); }},
                      LettingGo{"WindowDestroyed",
                                [](auto&, auto& h) { h.deliver(7, WM_DESTROY, 0, 0); }}),
    [](const auto& p) { return std::string(p.param.label); });

TEST_F(RegistryTest, UnregisteringTheMiddleKeyKeepsTheOthersInOrder) {
    bindWith({"a", "b", "c"});
    reg->UnregisterKey("b");
    EXPECT_EQ(log.calls, (Strings{"UnregisterHotKey(7,-16383)", "GlobalDeleteAtom(49153)"}));
    reg->RegisterKey("d", 100, 0);
    EXPECT_EQ(releaseAll(), (Strings{"a", "c", "d"}));
}

TEST_F(RegistryTest, UnregisterRaisesForAnUnknownNameButIgnoresTheSystemsRefusals) {
    bindWith({"stop"});
    const std::string unknown = "No hot key registered under the name 'Stop'";
    expectError([&] { reg->UnregisterKey("Stop"); }, -2147220455, unknown);

    platform.refuse("UnregisterHotKey", 1419);
    platform.refuse("GlobalDeleteAtom", 1406);
    reg->UnregisterKey("stop");
    log.clear();
    reg->Clear();
    EXPECT_EQ(log.calls, (Strings{"UnhookMessage(7,786)", "UnhookMessage(7,2)"}));
}

TEST_F(RegistryTest, AttachingAgainReleasesTheKeysAndMovesTheHooks) {
    bindWith({"stop"});
    reg->Attach(9);
    EXPECT_EQ(log.calls, (Strings{"UnregisterHotKey(7,-16384)", "GlobalDeleteAtom(49152)",
                                  "UnhookMessage(7,786)", "UnhookMessage(7,2)",
                                  "HookMessage(9,786)", "HookMessage(9,2)"}));
    EXPECT_FALSE(hook.deliver(7, WM_HOTKEY, -16384, 0));
    EXPECT_EQ(hook.deliver(9, WM_HOTKEY, -16384, 0), 0);
    EXPECT_EQ(presses, (std::vector<Press>{{"Unknown HotKey", 0, 0}}));
}

class HookRefused : public RegistryTest, public ::testing::WithParamInterface<int> {};

TEST_P(HookRefused, LeavesTheInstanceBoundSoClearUnhooksBoth) {
    bindWith({});
    log.failAt(static_cast<std::size_t>(GetParam()));
    EXPECT_THROW(reg->Attach(9), std::runtime_error);
    reg->RegisterKey("stop", 113, 0);
    log.clear();
    reg->Clear();
    EXPECT_EQ(log.calls, (Strings{"UnregisterHotKey(9,-16384)", "GlobalDeleteAtom(49152)",
                                  "UnhookMessage(9,786)", "UnhookMessage(9,2)"}));
}

// Attach(9) on an instance bound to 7 calls Unhook, Unhook, Hook(786), Hook(2).
INSTANTIATE_TEST_SUITE_P(FirstOrSecondHook, HookRefused, ::testing::Values(2, 3));

TEST_F(RegistryTest, DestructionLogsAFailingUnhookAfterReleasingTheKeys) {
    std::vector<std::string> warnings;
    HotKeyLog::setWarningSink([&](const std::string& m) { warnings.push_back(m); });
    bindWith({"stop"});
    log.failOn("UnhookMessage");
    EXPECT_NO_THROW(reg.reset());
    HotKeyLog::setWarningSink(nullptr);
    EXPECT_TRUE(platform.registeredIds(kWnd).empty());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("UnhookMessage"), std::string::npos) << warnings[0];
}

}  // namespace
