#include <algorithm>

#include "WindowFixture.h"

namespace {

// Which transport command a run of player calls belongs to.
std::string commandOf(const std::vector<std::string>& calls) {
    if (calls.empty())
        return "none";
    if (calls.front() == "wmp1.playState")
        return "back_both";
    if (std::find(calls.begin(), calls.end(), "wmp2.play") != calls.end())
        return "play_both";
    return "pause_both";
}

struct Press {
    const char* name;
    std::size_t key;  // index into the registered keys: 0 F3, 1 F2, 2 F1
    bool geladen1, geladen2, minimised;
    const char* command;
};

using HotKeyDispatch = WindowCases<Press>;

TEST_P(HotKeyDispatch, RestoresTheWindowThenRunsTheCommandOnlyWithBothFiles) {
    const Press p = GetParam();
    window->Form_Load();
    window->geladen1 = p.geladen1;
    window->geladen2 = p.geladen2;
    platform.minimised = p.minimised;
    hotKeyCalls.calls.clear();

    const auto ids = platform.registeredIds();
    EXPECT_EQ(hook.deliver(hwnd(), WM_HOTKEY, ids.at(p.key), 0x00720000), 0);

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
                      Press{"F1OnlyPlayer2", 2, false, true, false, "none"}),
    byName);

}  // namespace
