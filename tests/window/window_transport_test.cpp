#include <gtest/gtest.h>

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

}  // namespace
