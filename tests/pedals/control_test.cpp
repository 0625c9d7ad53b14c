#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NamedCases.h"
#include "PedalControl.h"
#include "PedalFakes.h"

// What each pedal does with the players, with the repeat timers on the test's clock.

namespace {

using namespace std::chrono_literals;

class PedalMeaning : public ::testing::Test {
protected:
    FakePedalTransport transport;
    FakeRepeatTimer left;
    FakeRepeatTimer right;

    PedalControl control(PedalControl::MiddleMode mode) {
        return PedalControl(transport, left, right, mode);
    }
    static void press(PedalControl& c, PedalRole role, bool down) {
        const PedalChange change{role, down};
        c.handle({&change, 1});
    }
    void advance(std::chrono::milliseconds by) {
        left.advance(by);
        right.advance(by);
    }
    using Calls = std::vector<std::string>;
};

// The toggle asks the players, so a pause by F2 in between makes the next press play.
TEST_F(PedalMeaning, MiddleToggledPlaysOrPausesByWhatThePlayersDo) {
    auto c = control(PedalControl::MiddleMode::Toggle);
    press(c, PedalRole::Middle, true);
    press(c, PedalRole::Middle, false);
    EXPECT_EQ(transport.calls, Calls{"play"});
    transport.isPlaying = true;
    press(c, PedalRole::Middle, true);
    press(c, PedalRole::Middle, false);
    EXPECT_EQ(transport.calls, (Calls{"play", "pause"}));
    transport.isPlaying = false;
    press(c, PedalRole::Middle, true);
    EXPECT_EQ(transport.calls, (Calls{"play", "pause", "play"}));
}

struct Step {
    const char* name;
    PedalRole role;
    const char* call;
};

using SteppingPedal = ::testing::WithParamInterface<Step>;
class PedalRepeat : public PedalMeaning, public SteppingPedal {};

TEST_P(PedalRepeat, StepsAtOnceThenEveryHalfSecondWhileHeld) {
    const Step s = GetParam();
    auto c = control(PedalControl::MiddleMode::Hold);
    const auto steps = [&] {
        return std::count(transport.calls.begin(), transport.calls.end(), s.call);
    };
    press(c, s.role, true);
    EXPECT_EQ(steps(), 1);
    advance(499ms);
    EXPECT_EQ(steps(), 1);
    advance(1ms);
    EXPECT_EQ(steps(), 2);
    advance(1000ms);
    EXPECT_EQ(steps(), 4);
    press(c, s.role, false);
    advance(2s);
    EXPECT_EQ(steps(), 4);
    EXPECT_EQ(transport.calls.size(), 4u) << "nothing but " << s.call;
}

TEST_P(PedalRepeat, PressedAgainCountsItsHalfSecondFromTheNewPress) {
    const Step s = GetParam();
    auto c = control(PedalControl::MiddleMode::Hold);
    press(c, s.role, true);
    advance(400ms);
    press(c, s.role, false);
    press(c, s.role, true);
    advance(400ms);
    EXPECT_EQ(transport.calls.size(), 2u);
    advance(100ms);
    EXPECT_EQ(transport.calls.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Pedals, PedalRepeat,
                         ::testing::Values(Step{"LeftGoesBack", PedalRole::Left, "back"},
                                           Step{"RightGoesForward", PedalRole::Right, "forward"}),
                         byName);

TEST_F(PedalMeaning, LeftAndRightHeldTogetherRepeatEachOnItsOwn) {
    auto c = control(PedalControl::MiddleMode::Hold);
    press(c, PedalRole::Left, true);
    advance(250ms);
    press(c, PedalRole::Right, true);
    advance(250ms);
    EXPECT_EQ(transport.calls, (Calls{"back", "forward", "back"}));
    press(c, PedalRole::Left, false);
    advance(250ms);
    EXPECT_EQ(transport.calls, (Calls{"back", "forward", "back", "forward"}));
}

}  // namespace
