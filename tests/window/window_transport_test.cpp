#include <cmath>
#include <functional>
#include <optional>

#include "WindowFixture.h"
#include "WindowTransport.h"

// What the remote reads of the window: player 1's state and position, asked from timers and bus
// calls, where an exception would end the program.

namespace {

class RemoteView : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window->geladen1 = window->geladen2 = true;
        window->media1 = "/recordings/interview.wav";
        view.emplace(*window);
    }
    std::optional<WindowTransport> view;
    WindowTransport& transport() { return *view; }
};

TEST_F(RemoteView, ReadsPlayerOne) {
    p1->playing = true;
    p1->position = 12.5;
    EXPECT_EQ(transport().state(), IRemoteTransport::State::Playing);
    EXPECT_EQ(transport().position(), 12.5);
    EXPECT_EQ(transport().file(), "/recordings/interview.wav");
}

// A file libmpv gave up after the open: the player answers nothing while the window still holds
// it. The remote sees it stopped at 0, and sees it again once the player answers.
TEST_F(RemoteView, APlayerThatAnswersNothingCountsAsStoppedAtZero) {
    p1->position = 7.0;
    players.failOn("wmp1.playState");
    EXPECT_EQ(transport().state(), IRemoteTransport::State::Stopped);
    players.failOn("wmp1.currentPosition");
    EXPECT_EQ(transport().position(), 0.0);
    EXPECT_EQ(transport().state(), IRemoteTransport::State::Paused);
    EXPECT_EQ(transport().position(), 7.0);
}

// The remote's speed commands change both players as the window's buttons do, and are kept as
// the user's own changes are; one the window refuses changes nothing and is not kept.
struct RemoteSpeed {
    const char* name;
    std::function<void(WindowTransport&)> command;
    double speed;
    int kept;
};

class RemoteSpeeds : public RemoteView, public testing::WithParamInterface<RemoteSpeed> {};

TEST_P(RemoteSpeeds, ChangeBothPlayersAndAreKept) {
    int kept = 0;
    window->onSettingsChanged = [&kept] { ++kept; };
    GetParam().command(transport());
    EXPECT_DOUBLE_EQ(transport().speed(), GetParam().speed);
    EXPECT_DOUBLE_EQ(p1->rate, GetParam().speed);
    EXPECT_EQ(kept, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    , RemoteSpeeds,
    testing::Values(
        RemoteSpeed{"SetToThreeQuarters", [](WindowTransport& remote) { remote.setSpeed(0.75); },
                    0.75, 1},
        RemoteSpeed{"SetToTheSameIsNoChange", [](WindowTransport& remote) { remote.setSpeed(1.0); },
                    1.0, 0},
        RemoteSpeed{"RefusedNaN", [](WindowTransport& remote) { remote.setSpeed(std::nan("")); },
                    1.0, 0},
        RemoteSpeed{"Slower", [](WindowTransport& remote) { remote.slower(); }, 0.95, 1},
        RemoteSpeed{"Faster", [](WindowTransport& remote) { remote.faster(); }, 1.05, 1}),
    byName);

}  // namespace
