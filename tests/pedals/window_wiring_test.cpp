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

struct Step {
    const char* name;
    PedalRole role;
    int first, second;  // where player 1 goes, from 30 s, at the press and half a second later
};

class PedalSteps : public PedalsOnTheWindow, public ::testing::WithParamInterface<Step> {};

// Left goes one second back (as F1), right two seconds forward (as the >> button).
TEST_P(PedalSteps, StepBothPlayersAtOnceAndAgainWhileHeld) {
    const Step s = GetParam();
    load();
    stand(30, false, 30, false);
    pedal(s.role, true);
    EXPECT_TRUE(called("wmp1.setCurrentPosition(" + std::to_string(s.first) + ")"));
    EXPECT_TRUE(called("wmp2.setCurrentPosition(" + std::to_string(s.first) + ")"));
    p1->position = s.first;
    left.advance(std::chrono::milliseconds(500));
    right.advance(std::chrono::milliseconds(500));
    EXPECT_TRUE(called("wmp1.setCurrentPosition(" + std::to_string(s.second) + ")"));
}

INSTANTIATE_TEST_SUITE_P(Pedals, PedalSteps,
                         ::testing::Values(Step{"LeftBack", PedalRole::Left, 29, 28},
                                           Step{"RightForward", PedalRole::Right, 32, 34}),
                         byName);

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
