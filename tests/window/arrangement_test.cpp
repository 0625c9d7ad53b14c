#include <QPushButton>
#include <QTest>
#include <string>
#include <tuple>

#include "WindowFixture.h"

namespace {

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

}  // namespace
