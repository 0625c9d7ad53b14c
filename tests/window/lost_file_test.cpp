#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Messages.h"
#include "WindowFixture.h"

namespace {

struct LostCase {
    const char* name;
    int side;
    bool bothPlaying;
};

// A player gives up the file its side holds while the two play or stand: the side ends as one
// whose open was refused, and the other player does not play on alone.
class LostFile : public WindowCases<LostCase> {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        holdBoth("/media/talk.wav");
        ASSERT_TRUE(window->geladen1 && window->geladen2);
        stand(30.0, GetParam().bothPlaying, 30.0, GetParam().bothPlaying);
        window->Timer1.setInterval(200);
        players.clear();
    }
    bool lostSide() const { return GetParam().side == 1; }
    FakePlayer& lost() { return lostSide() ? *p1 : *p2; }
    FakePlayer& other() { return lostSide() ? *p2 : *p1; }
};

TEST_P(LostFile, EmptiesTheSideWithItsMessageAndStopsTheOther) {
    lost().lost();

    EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotLoad});
    EXPECT_FALSE(lostSide() ? window->geladen1 : window->geladen2);
    EXPECT_EQ(lostSide() ? window->media1 : window->media2, "");
    EXPECT_EQ(text(lostSide() ? ui().disp1 : ui().disp2), "");
    EXPECT_TRUE(lostSide() ? window->geladen2 : window->geladen1) << "the other side went too";
    EXPECT_EQ(text(lostSide() ? ui().disp2 : ui().disp1), "/media/talk.wav");
    const std::string pause = (lostSide() ? "wmp2" : "wmp1") + std::string(".pause");
    EXPECT_EQ(called(pause), GetParam().bothPlaying);
    EXPECT_FALSE(other().playing);
    EXPECT_EQ(window->Timer1.interval(), 0) << "the time box runs on";
}

// News of the loss after the side has gone on to another file is the earlier file's.
TEST_P(LostFile, SaysNothingOnceTheSideOpensAnotherFile) {
    dialog.nextChoice = "/media/next.wav";
    lostSide() ? window->neu1_Click() : window->neu2_Click();
    players.clear();

    lost().lost();

    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(lostSide() ? window->media1 : window->media2, "/media/next.wav");
    EXPECT_TRUE(window->opening(GetParam().side));
    EXPECT_FALSE(called(lostSide() ? "wmp2.pause" : "wmp1.pause"));
}

INSTANTIATE_TEST_SUITE_P(Sides, LostFile,
                         ::testing::Values(LostCase{"Player1WhileBothPlay", 1, true},
                                           LostCase{"Player2WhileBothPlay", 2, true},
                                           LostCase{"Player1WhileBothStand", 1, false},
                                           LostCase{"Player2WhileBothStand", 2, false}),
                         byName);

}  // namespace
