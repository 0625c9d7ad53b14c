#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"

namespace {

struct Arrange {
    const char* name;
    const char* button;
    float left, width, height;     // player geometry before, twips
    float left2, width2, height2;  // and after one click
};

class PlayerArrangement : public WindowFixture, public ::testing::WithParamInterface<Arrange> {};

TEST_P(PlayerArrangement, OneClickChangesOnlyItsOwnPlayer) {
    const Arrange a = GetParam();
    const bool first = std::string(a.button).find('1') != std::string::npos;
    FakePlayer& mine = first ? *p1 : *p2;
    FakePlayer& other = first ? *p2 : *p1;
    mine.left = a.left;
    mine.width = a.width;
    mine.height = a.height;
    const float otherLeft = other.left, otherWidth = other.width, otherHeight = other.height;

    window->show();
    QTest::mouseClick(window->findChild<QPushButton*>(a.button), Qt::LeftButton);

    EXPECT_EQ(mine.left, a.left2);
    EXPECT_EQ(mine.width, a.width2);
    EXPECT_EQ(mine.height, a.height2);
    EXPECT_EQ(other.left, otherLeft);
    EXPECT_EQ(other.width, otherWidth);
    EXPECT_EQ(other.height, otherHeight);
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
    [](const auto& param) { return std::string(param.param.name); });

using PlayerArrangementOrder = WindowFixture;

TEST_F(PlayerArrangementOrder, EnlargeThenShrinkRestoresAndTouchesHeightBeforeWidth) {
    window->h1plus_Click();
    window->h1minus_Click();
    EXPECT_EQ(players.calls, (std::vector<std::string>{
                                 "wmp1.Height", "wmp1.setHeight(3115)", "wmp1.Width",
                                 "wmp1.setWidth(4435)", "wmp1.Height", "wmp1.Width", "wmp1.Height",
                                 "wmp1.setHeight(3015)", "wmp1.Width", "wmp1.setWidth(4335)"}));
}

}  // namespace
