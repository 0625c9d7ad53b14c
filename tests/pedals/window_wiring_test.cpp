#include <algorithm>

#include "PedalControl.h"
#include "PedalFakes.h"
#include "PedalTransport.h"
#include "WindowFixture.h"

// The pedals enter the window as its hot keys do: restore first, and nothing unless both
// players hold a file.

namespace {

class PedalsOnTheWindow : public WindowFixture {
protected:
    FakeRepeatTimer left;
    FakeRepeatTimer right;
    std::optional<PedalTransport> transport;
    std::optional<PedalControl> control;

    void SetUp() override {
        WindowFixture::SetUp();
        window->Form_Load();
        transport.emplace(*window);
        control.emplace(*transport, left, right, PedalControl::MiddleMode::Hold);
        hotKeyCalls.calls.clear();
    }
    void load() { window->geladen1 = window->geladen2 = true; }
    void pedal(PedalRole role, bool down) {
        const PedalChange change{role, down};
        control->handle({&change, 1});
    }
    bool called(const std::string& call) const {
        return std::find(players.calls.begin(), players.calls.end(), call) != players.calls.end();
    }
    long restores() const {
        return std::count_if(hotKeyCalls.calls.begin(), hotKeyCalls.calls.end(),
                             [](const std::string& c) { return c.starts_with("SendRestore"); });
    }
};

TEST_F(PedalsOnTheWindow, MiddleHeldPlaysBothAndReleasedPausesBoth) {
    load();
    stand(30, false, 40, false);
    pedal(PedalRole::Middle, true);
    EXPECT_TRUE(called("wmp2.setCurrentPosition(30)"));
    EXPECT_TRUE(called("wmp1.play") && called("wmp2.play"));
    players.calls.clear();
    stand(33, true, 33, true);
    pedal(PedalRole::Middle, false);
    EXPECT_TRUE(called("wmp1.pause") && called("wmp2.pause"));
    EXPECT_FALSE(called("wmp1.play"));
}

TEST_F(PedalsOnTheWindow, LeftGoesOneSecondBackAgainWhileHeld) {
    load();
    stand(30, false, 40, false);
    pedal(PedalRole::Left, true);
    EXPECT_TRUE(called("wmp1.setCurrentPosition(29)"));
    p1->position = 29;
    left.advance(std::chrono::milliseconds(500));
    EXPECT_TRUE(called("wmp1.setCurrentPosition(28)"));
}

TEST_F(PedalsOnTheWindow, RightGoesTwoSecondsForwardAsTheButtonDoes) {
    load();
    stand(30, false, 30, false);
    pedal(PedalRole::Right, true);
    EXPECT_TRUE(called("wmp1.setCurrentPosition(32)"));
    EXPECT_TRUE(called("wmp2.setCurrentPosition(32)"));
}

// Each pedal brings a minimised window back, even with no file; none moves a player then.
TEST_F(PedalsOnTheWindow, WithoutBothFilesEachPedalOnlyRestoresTheWindow) {
    window->geladen1 = true;
    for (const PedalRole role : {PedalRole::Left, PedalRole::Middle, PedalRole::Right}) {
        platform.minimised = true;
        pedal(role, true);
        pedal(role, false);
    }
    EXPECT_EQ(restores(), 3);
    EXPECT_TRUE(players.calls.empty()) << players.calls.front();
}

}  // namespace
