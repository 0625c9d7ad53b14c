#include <algorithm>

#include "HotKeyError.h"
#include "WindowFixture.h"

namespace {

using HotKeyStartUp = WindowFixture;

TEST_F(HotKeyStartUp, HooksTheWindowThenRegistersF3F2F1Plain) {
    window->Form_Load();
    const std::string w = std::to_string(hwnd());
    std::vector<std::string> seen;
    std::copy_if(hotKeyCalls.calls.begin(), hotKeyCalls.calls.end(), std::back_inserter(seen),
                 [](const std::string& c) {
                     return c.starts_with("HookMessage") || c.starts_with("RegisterHotKey");
                 });
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], "HookMessage(" + w + ",786)");
    EXPECT_EQ(seen[1], "HookMessage(" + w + ",2)");
    EXPECT_TRUE(seen[2].starts_with("RegisterHotKey(" + w) && seen[2].ends_with(",0,114)"));
    EXPECT_TRUE(seen[3].ends_with(",0,113)"));
    EXPECT_TRUE(seen[4].ends_with(",0,112)"));
}

TEST_F(HotKeyStartUp, KeyHeldByAnotherProgramStopsStartUpWithTheRegistryError) {
    platform.holdElsewhere(0, 113);
    try {
        window->Form_Load();
        FAIL() << "start-up went on although F2 is taken";
    } catch (const HotKeyError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x8004041Bu);
        EXPECT_EQ(e.source(), "Pellucor.cHotKeyRegistry");
    }
}

TEST_F(HotKeyStartUp, DestroyingTheWindowReleasesEveryKey) {
    window->Form_Load();
    const HWND w = hwnd();
    ASSERT_EQ(platform.registeredIds(w).size(), 3u);
    hook.deliver(w, WM_DESTROY, 0, 0);
    EXPECT_TRUE(platform.registeredIds(w).empty());
    EXPECT_TRUE(platform.aliveAtoms().empty());
}

TEST_F(HotKeyStartUp, ClosingTheProgramReleasesEveryKey) {
    window->Form_Load();
    const HWND w = hwnd();
    window.reset();
    EXPECT_TRUE(platform.registeredIds(w).empty());
    EXPECT_TRUE(platform.aliveAtoms().empty());
}

// Which transport command a run of player calls belongs to.
std::string commandOf(const std::vector<std::string>& calls) {
    if (calls.empty()) return "none";
    if (calls.front() == "wmp1.playState") return "back_both";
    if (std::find(calls.begin(), calls.end(), "wmp2.play") != calls.end()) return "play_both";
    return "pause_both";
}

struct Press {
    const char* label;
    int key;  // index into the registered keys: 0 F3, 1 F2, 2 F1; -1 an unknown id
    bool geladen1, geladen2, minimised;
    const char* command;
};

class HotKeyDispatch : public WindowFixture, public ::testing::WithParamInterface<Press> {};

TEST_P(HotKeyDispatch, RestoresTheWindowThenRunsTheCommandOnlyWithBothFiles) {
    const Press p = GetParam();
    window->Form_Load();
    window->geladen1 = p.geladen1;
    window->geladen2 = p.geladen2;
    platform.minimised = p.minimised;
    hotKeyCalls.calls.clear();

    const auto ids = platform.registeredIds(hwnd());
    ASSERT_EQ(ids.size(), 3u);
    const std::int32_t id = p.key < 0 ? 4711 : ids[static_cast<std::size_t>(p.key)];
    EXPECT_EQ(hook.deliver(hwnd(), WM_HOTKEY, id, 0x00720000), 0);

    const bool restored = std::count(hotKeyCalls.calls.begin(), hotKeyCalls.calls.end(),
                                     "SendRestore(" + std::to_string(hwnd()) + ")") == 1;
    EXPECT_EQ(restored, p.minimised);
    EXPECT_EQ(commandOf(players.calls), p.command);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HotKeyDispatch,
    ::testing::Values(Press{"F3BothLoaded", 0, true, true, false, "play_both"},
                      Press{"F2BothLoadedMinimised", 1, true, true, true, "pause_both"},
                      Press{"F1BothLoaded", 2, true, true, false, "back_both"},
                      Press{"F3OnlyPlayer1Minimised", 0, true, false, true, "none"},
                      Press{"F2OnlyPlayer2", 1, false, true, false, "none"},
                      Press{"F1NothingLoaded", 2, false, false, false, "none"},
                      Press{"UnknownIdMinimised", -1, true, true, true, "none"}),
    [](const auto& param) { return std::string(param.param.label); });

using HotKeyNames = WindowFixture;

TEST_F(HotKeyNames, AreComparedWithCase) {
    window->Form_Load();
    window->geladen1 = window->geladen2 = true;
    window->m_cHotKey_HotKeyPress("Spielen", 0, 114);
    window->m_cHotKey_HotKeyPress("STOP", 0, 113);
    window->m_cHotKey_HotKeyPress("zurueck ", 0, 112);
    EXPECT_TRUE(players.calls.empty());
}

}  // namespace
