#include <QTest>
#include <tuple>

#include "WindowFixture.h"

// The window's own controls: the info panel, the open items, the buttons that place the
// players, and the hot keys.

namespace {

using InfoPanel = WindowFixture;

// The panel lies above player 2 (whose picture may be a native window of its own); its OK
// button must take the click there, and the rest of the window stays usable.
TEST_F(InfoPanel, ShowsAbovePlayerTwoAndItsOkHidesIt) {
    window->show();
    EXPECT_FALSE(ui().Frame1->isVisible());
    ui().about->trigger();
    ui().about->trigger();  // a second Info leaves it shown
    ASSERT_TRUE(ui().Frame1->isVisible());
    const QPoint okCentre =
        ui().Command1->mapTo(ui().centralwidget, ui().Command1->rect().center());
    EXPECT_EQ(ui().centralwidget->childAt(okCentre), ui().Command1);

    p2->left = 6000;
    QTest::mouseClick(ui().p2right, Qt::LeftButton);
    EXPECT_EQ(p2->Left(), 6100.0f);

    QTest::mouseClick(ui().Command1, Qt::LeftButton);
    EXPECT_FALSE(ui().Frame1->isVisible());
}

// Each open item of the menu opens the file dialog for its own side.
TEST_F(WindowFixture, OpenItemsOpenTheirOwnSide) {
    dialog.nextChoice = "/media/a.wav";
    ui().neu1->trigger();
    EXPECT_EQ(window->media1, "/media/a.wav");
    EXPECT_TRUE(window->media2.empty());
    dialog.nextChoice = "/media/b.wav";
    ui().neu2->trigger();
    EXPECT_EQ(window->media2, "/media/b.wav");
    EXPECT_EQ(window->media1, "/media/a.wav");
}

struct Arrange {
    const char* name;
    const char* button;
    float left, width, height;     // player geometry before, twips
    float left2, width2, height2;  // and after one click
};

using PlayerArrangement = WindowCases<Arrange>;

TEST_P(PlayerArrangement, OneClickChangesOnlyItsOwnPlayer) {
    const Arrange a = GetParam();
    const bool first = std::string(a.button).find('1') != std::string::npos;
    FakePlayer& mine = first ? *p1 : *p2;
    FakePlayer& other = first ? *p2 : *p1;
    const auto geometry = [](const FakePlayer& p) { return std::tuple{p.left, p.width, p.height}; };
    std::tie(mine.left, mine.width, mine.height) = std::tuple{a.left, a.width, a.height};
    std::tie(other.left, other.width, other.height) = std::tuple{3000.0f, 4000.0f, 3000.0f};
    const auto otherBefore = geometry(other);

    window->show();
    QTest::mouseClick(window->findChild<QPushButton*>(a.button), Qt::LeftButton);

    EXPECT_EQ(geometry(mine), std::tuple(a.left2, a.width2, a.height2));
    EXPECT_EQ(geometry(other), otherBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PlayerArrangement,
    ::testing::Values(Arrange{"LeftStopsAt100", "p1left", 100, 4335, 3015, 100, 4335, 3015},
                      Arrange{"LeftFrom101", "p2left", 101, 4215, 3015, 1, 4215, 3015},
                      Arrange{"RightHasNoLimit", "p2right", 20000, 4215, 3015, 20100, 4215, 3015},
                      Arrange{"Shrink", "h2minus", 6000, 4215, 3015, 6000, 4115, 2915},
                      Arrange{"ShrinkStopsAtHeight50", "h1minus", 120, 3900, 50, 120, 3900, 50},
                      Arrange{"ShrinkStopsAtWidth100", "h2minus", 6000, 100, 3015, 6000, 100,
                              3015}),
    byName);

using PlayerArrangementOrder = WindowFixture;

TEST_F(PlayerArrangementOrder, EnlargeThenShrinkRestoresAndTouchesHeightBeforeWidth) {
    std::tie(p1->width, p1->height) = std::tuple{4335.0f, 3015.0f};
    window->h1plus_Click();
    window->h1minus_Click();
    EXPECT_EQ(players.calls, (std::vector<std::string>{
                                 "wmp1.Height", "wmp1.setHeight(3115)", "wmp1.Width",
                                 "wmp1.setWidth(4435)", "wmp1.Height", "wmp1.Width", "wmp1.Height",
                                 "wmp1.setHeight(3015)", "wmp1.Width", "wmp1.setWidth(4335)"}));
}

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
                      Press{"F2OnlyPlayer2", 1, false, true, false, "none"},
                      Press{"F1OnlyPlayer2", 2, false, true, false, "none"}),
    byName);

}  // namespace
