#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Messages.h"
#include "WindowFixture.h"

namespace {

const std::vector<std::string> kDialogCalls = {"setFlags(4096)", "ShowOpen", "FileName"};

// One side of the window, 1 or 2, as its open command sees it.
class OpenSide : public WindowFixture, public ::testing::WithParamInterface<int> {
protected:
    bool first() const { return GetParam() == 1; }
    void open(const std::string& choice) {
        dialog.nextChoice = choice;
        first() ? window->neu1_Click() : window->neu2_Click();
    }
    // Both sides holding one file (they may share it), with the logs and messages emptied.
    void loadEarlier() {
        dialog.nextChoice = "/media/earlier.wav";
        window->neu1_Click();
        window->neu2_Click();
        ASSERT_TRUE(window->geladen1 && window->geladen2);
        players.clear();
        dialog.log.clear();
        messages.shown.clear();
    }
    bool geladen() const { return first() ? window->geladen1 : window->geladen2; }
    std::string media() const { return first() ? window->media1 : window->media2; }
    std::string disp() { return text(first() ? ui().disp1 : ui().disp2); }
    FakePlayer& player() { return first() ? *p1 : *p2; }
    std::string call(const std::string& what) const {
        return "wmp" + std::to_string(GetParam()) + "." + what;
    }
};

TEST_P(OpenSide, HandsTheChosenFileToItsPlayerWithoutStartingIt) {
    stand(12.0, true, 12.0, true);
    window->Timer1.setInterval(200);
    ui().time->setText("12");

    open("/home/user/a.wav");

    EXPECT_EQ(dialog.log.calls, kDialogCalls);
    EXPECT_EQ(players.calls, (std::vector<std::string>{call("setAutoStart(false)"),
                                                       call("setURL(/home/user/a.wav)")}));
    EXPECT_TRUE(geladen());
    EXPECT_EQ(media(), "/home/user/a.wav");
    EXPECT_EQ(disp(), "/home/user/a.wav");
    // The other side, the timer and the position display are left alone.
    EXPECT_TRUE((first() ? p2 : p1)->playing);
    EXPECT_EQ(window->Timer1.interval(), 200);
    EXPECT_EQ(text(ui().time), "12");
    EXPECT_TRUE(messages.shown.empty());
}

// Each dialog call failing in turn, then the dialog giving no name (Cancel).
TEST_P(OpenSide, DialogFailureOrCancelEmptiesOnlyTheDisplay) {
    for (std::size_t failing = 0; failing <= kDialogCalls.size(); ++failing) {
        SCOPED_TRACE("failing dialog step " + std::to_string(failing));
        loadEarlier();
        if (failing < kDialogCalls.size()) {
            dialog.log.failAt(failing);
            open("/media/other.wav");
        } else {
            open("");
        }
        EXPECT_EQ(dialog.log.calls,
                  firstCalls(kDialogCalls, std::min(failing + 1, kDialogCalls.size())));
        EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotOpen});
        EXPECT_EQ(disp(), "");
        EXPECT_TRUE(players.calls.empty());
        EXPECT_TRUE(geladen());
        EXPECT_EQ(media(), "/media/earlier.wav");
    }
}

TEST_P(OpenSide, LoadFailureLeavesTheSideUnloaded) {
    const std::vector<std::string> loadCalls = {call("setAutoStart(false)"),
                                                call("setURL(/media/bad.wav)")};
    for (std::size_t failing = 0; failing < loadCalls.size(); ++failing) {
        SCOPED_TRACE("failing load step " + std::to_string(failing));
        loadEarlier();
        players.failAt(failing);

        open("/media/bad.wav");

        EXPECT_EQ(players.calls, firstCalls(loadCalls, failing + 1));
        EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotLoad});
        EXPECT_FALSE(geladen());
        EXPECT_EQ(media(), "");
        EXPECT_EQ(disp(), "");
        EXPECT_EQ(player().url, "/media/earlier.wav");  // the player keeps what it holds
        EXPECT_TRUE(first() ? window->geladen2 : window->geladen1);  // the other side too
        EXPECT_EQ(text(first() ? ui().disp2 : ui().disp1), "/media/earlier.wav");
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, OpenSide, ::testing::Values(1, 2),
                         [](const auto& test) { return "Side" + std::to_string(test.param); });

TEST_F(WindowFixture, FileDisplayShowsAtMostTheLastThirtyCharacters) {
    const std::pair<std::string, std::string> shown[] = {
        {"/home/user/recordings/abc1.wav", "/home/user/recordings/abc1.wav"},
        {"/home/user/recordings/abcd1.wav", "home/user/recordings/abcd1.wav"},
        {"/home/jürgen/Aufnahmen/Gespräche.wav", "jürgen/Aufnahmen/Gespräche.wav"},  // by letter
    };
    for (const auto& [path, display] : shown) {
        dialog.nextChoice = path;
        window->neu1_Click();
        EXPECT_EQ(text(ui().disp1), display);
        EXPECT_EQ(p1->url, path);
    }
}

}  // namespace
