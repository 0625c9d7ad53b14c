// The hot-key registry on fakes: registering, letting go, and the messages it answers.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "FakeHotKeyPlatform.h"
#include "FakeMessageHook.h"
#include "HotKeyError.h"
#include "HotKeyLog.h"
#include "NamedCases.h"
#include "cHotKeyRegistry.h"

namespace {

using Strings = std::vector<std::string>;

// A HotKeyPress: name, modifiers, key.
using Press = std::tuple<std::string, std::int32_t, std::int32_t>;

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
    void bindWith(const Strings& names) {
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

    // The ids Clear lets go of, in its order; no atom is left after it.
    Strings releaseAll() {
        log.clear();
        reg->Clear();
        EXPECT_EQ(platform.atomCount(), 0u);
        std::erase_if(log.calls, [](const auto& c) { return !c.starts_with("UnregisterHotKey"); });
        return log.calls;
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

std::string repeated(const std::string& character, std::size_t count) {
    std::string text;
    while (count-- > 0)
        text += character;
    return text;
}

struct Refusal {
    const char* name;
    std::string key;  // the name registered
    std::function<void(FakeHotKeyPlatform&)> arrange;
    std::int32_t number;
    std::string description;
};

class RegisterKeyRefused : public RegistryTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RegisterKeyRefused, RaisesItsErrorAndLeavesTableAndAtomsAsTheyWere) {
    bindWith({"spielen", "stop"});
    GetParam().arrange(platform);

    expectError([&] { reg->RegisterKey(GetParam().key, 112, 0); }, GetParam().number,
                GetParam().description);
    // releaseAll also finds an atom the refusal left behind.
    EXPECT_EQ(releaseAll(), (Strings{"UnregisterHotKey(7,-16383)", "UnregisterHotKey(7,-16384)"}));
}

const std::string kLongText(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    EachFailingStep, RegisterKeyRefused,
    ::testing::Values(
        Refusal{"NameOf33", std::string(33, 'n'), [](auto&) {}, -2147220453,
                "Key Name too long (max 32 characters)."},
        Refusal{"SameName", "stop", [](auto&) {}, -2147220452,
                "The Key Name 'stop' is already registered."},
        Refusal{"AtomRefusedWithoutText", "zurueck", [](auto& p) { p.refuse("GlobalAddAtom", 8); },
                -2147220454, "Failed to add GlobalAtom"},
        Refusal{"KeyHeldElsewhere", "zurueck",
                [](auto& p) {
                    p.refuse("RegisterHotKey", 1409);
                    p.errorTexts[1409] = "Hot key is already registered.\r\n";
                },
                -2147220453, "Failed to Register Hot Key [Hot key is already registered.\r\n]"},
        Refusal{"KeyRefusedWithLongText", "zurueck",
                [](auto& p) {
                    p.refuse("RegisterHotKey", 5);
                    p.errorTexts[5] = kLongText;
                },
                -2147220453, "Failed to Register Hot Key [" + kLongText.substr(0, 256) + "]"}),
    byName);

struct AtomCase {
    const char* name;
    std::string key;  // the name registered
    std::string executable;
    std::uint32_t tick;
    std::string atomString;
};

class AtomString : public RegistryTest, public ::testing::WithParamInterface<AtomCase> {};

// "spielen" is registered first, in the same tick.
TEST_P(AtomString, IsNameExecutableSignedTickCutTo254AndItsAtomIsTheSignedId) {
    platform.executableName = GetParam().executable;
    platform.tickCount = GetParam().tick;
    bindWith({"spielen"});
    reg->RegisterKey(GetParam().key, 113, 0);
    EXPECT_EQ(log.calls, (Strings{"GetTickCount", "ExecutableName",
                                  "GlobalAddAtom(" + GetParam().atomString + ")",
                                  "RegisterHotKey(7,-16383,0,113)"}));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, AtomString,
    ::testing::Values(AtomCase{"NegativeTick", "stop", "Pellucor", 0xFFFFFFFFu, "stop_Pellucor_-1"},
                      // Cut by bytes, the 254th byte would fall inside an accented letter.
                      AtomCase{"CutBetweenCharacters", repeated("\u00e4", 32),
                               repeated("\u00e9", 230), 7,
                               repeated("\u00e4", 32) + "_" + repeated("\u00e9", 221)},
                      AtomCase{"EmptyName", "", "Pellucor", 7, "_Pellucor_7"},
                      // Only the name's case keeps its atom apart from the first key's.
                      AtomCase{"OtherCase", "Spielen", "Pellucor", 7, "Spielen_Pellucor_7"}),
    byName);

struct LettingGo {
    const char* name;
    std::function<void(std::optional<cHotKeyRegistry>&, FakeMessageHook&)> run;
};

class EveryWayOfLettingGo : public RegistryTest, public ::testing::WithParamInterface<LettingGo> {};

TEST_P(EveryWayOfLettingGo, ReleasesLastKeyFirstThenUnhooksHotKeyThenDestroy) {
    bindWith({"a", "b", "c"});
    GetParam().run(reg, hook);
    EXPECT_EQ(log.calls, (Strings{"UnregisterHotKey(7,-16382)", "GlobalDeleteAtom(49154)",
                                  "UnregisterHotKey(7,-16383)", "GlobalDeleteAtom(49153)",
                                  "UnregisterHotKey(7,-16384)", "GlobalDeleteAtom(49152)",
                                  "UnhookMessage(7,786)", "UnhookMessage(7,2)"}));
    EXPECT_TRUE(presses.empty());

    log.clear();
    reg.reset();
    EXPECT_TRUE(log.calls.empty()) << "nothing left to release";
}

INSTANTIATE_TEST_SUITE_P(
    Ways, EveryWayOfLettingGo,
    ::testing::Values(LettingGo{"Clear", [](auto& r, auto&) { r->Clear(); }},
                      LettingGo{"AttachZero", [](auto& r, auto&) { r->Attach(0); }},
                      LettingGo{"Destruction", [](auto& r, auto&) { r.reset(); }},
                      LettingGo{"WindowDestroyed",
                                [](auto&, auto& h) { h.deliver(7, WM_DESTROY, 0, 0); }}),
    byName);

TEST_F(RegistryTest, UnregisteringTheMiddleKeyKeepsTheOthersInOrder) {
    bindWith({"a", "b", "c"});
    reg->UnregisterKey("b");
    EXPECT_EQ(log.calls, (Strings{"UnregisterHotKey(7,-16383)", "GlobalDeleteAtom(49153)"}));
    reg->RegisterKey("d", 100, 0);
    EXPECT_EQ(releaseAll(), (Strings{"UnregisterHotKey(7,-16381)", "UnregisterHotKey(7,-16382)",
                                     "UnregisterHotKey(7,-16384)"}));
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
    EXPECT_FALSE(hook.deliver(7, WM_HOTKEY, -16384, 0));
    EXPECT_EQ(hook.deliver(9, WM_HOTKEY, -16384, 0), 0);
    EXPECT_EQ(reg->WindowProc(9, 5, -2, 0), 0) << "any other message raises nothing";
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
INSTANTIATE_TEST_SUITE_P(Attach, HookRefused, ::testing::Values(2, 3), [](const auto& p) {
    return std::string(p.param == 2 ? "FirstHookRefused" : "SecondHookRefused");
});

TEST_F(RegistryTest, DestructionLogsAFailingUnhookAfterReleasingTheKeys) {
    Strings warnings;
    HotKeyLog::setWarningSink([&](const std::string& m) { warnings.push_back(m); });
    bindWith({"stop"});
    log.failOn("UnhookMessage");
    EXPECT_NO_THROW(reg.reset());
    HotKeyLog::setWarningSink(nullptr);
    EXPECT_TRUE(platform.registeredIds().empty());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("UnhookMessage"), std::string::npos) << warnings[0];
}

struct Row {
    const char* name;
    std::int32_t wParam;
    std::uint32_t lParam;
    Press expected;
};

// "spielen" holds id -16384, "stop" id -16383; every other id is unknown.
class HotKeyMessage : public RegistryTest, public ::testing::WithParamInterface<Row> {};

TEST_P(HotKeyMessage, RaisesOnePressWithTheRowsArgumentsAndReturnsZero) {
    bindWith({"spielen", "stop"});
    EXPECT_EQ(press(GetParam().wParam, static_cast<std::int32_t>(GetParam().lParam)),
              std::vector<Press>{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HotKeyMessage,
    ::testing::Values(Row{"DesktopSnapshot", -2, 0x00710002, {"Desktop Snapshot", 0, 44}},
                      Row{"RegisteredKey", -16383, 0x00720004, {"stop", 0, 113}},
                      Row{"UnknownId", -16382, 0x00710002, {"Unknown HotKey", 2, 113}},
                      // Signed, cut towards zero.
                      Row{"EveryModifierBit", 0, 0xFFFEFFFF, {"Unknown HotKey", 0xFFFF, -1}}),
    byName);

TEST_F(RegistryTest, SnapshotIdsWinOverAKeyWhoseAtomHasTheSameValue) {
    bindWith({});
    platform.forceNextAtom(0xFFFF);
    reg->RegisterKey("stop", 113, 0);
    EXPECT_EQ(log.calls.back(), "RegisterHotKey(7,-1,0,113)");
    EXPECT_EQ(press(-1), (std::vector<Press>{{"Window Snapshot", 4, 44}}));
}

TEST_F(RegistryTest, ArgumentsAreFixedBeforeAHandlerChangesTheTable) {
    bindWith({"stop"});
    reg->HotKeyPress.connect([this](const std::string&, auto, auto) { reg->Clear(); });
    reg->HotKeyPress.connect([this](const std::string& name, auto m, auto k) {
        presses.push_back({name, m, k});
    });
    EXPECT_EQ(press(-16384), (std::vector<Press>{{"stop", 0, 114}, {"stop", 0, 114}}));
}

}  // namespace
