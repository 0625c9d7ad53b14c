#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "CommandFixture.h"

namespace {

const std::string kCannotOpen = "Fehler, Mediandatei kann nicht geöffnet werden!";
const std::string kCannotPlay = "Fehler: Mediadatei kann nicht abgespielt werden!";
const std::vector<std::string> kDialogCalls = {"setFlags(4096)", "ShowOpen", "FileName"};

// One side of the window as the open commands see it.
struct SideView {
    int n;
    void (frm1::*open)();
    std::string frm1::*media;
    bool frm1::*geladen;
    QLineEdit* Ui::frm1::*disp;
    std::string name;  // "wmp1" or "wmp2"
};

const SideView kSide1{
    .n = 1,
    .open = &frm1::neu1_Click,
    .media = &frm1::media1,
    .geladen = &frm1::geladen1,
    .disp = &Ui::frm1::disp1,
    .name = "wmp1",
};
const SideView kSide2{
    .n = 2,
    .open = &frm1::neu2_Click,
    .media = &frm1::media2,
    .geladen = &frm1::geladen2,
    .disp = &Ui::frm1::disp2,
    .name = "wmp2",
};

// Drives and reads one side, whichever the test case picks.
class SideFixture : public CommandFixture {
protected:
    SideView side = kSide1;

    void open(const std::string& choice) {
        dialog.nextChoice = choice;
        (window.get()->*side.open)();
    }
    // A side that already holds a file, with both logs emptied.
    void loadEarlier() {
        open("/media/earlier.wav");
        ASSERT_TRUE(geladen());
        players.clear();
        dialog.log.clear();
    }
    bool& geladen() { return window.get()->*side.geladen; }
    std::string& media() { return window.get()->*side.media; }
    FakePlayer& player() { return side.n == 1 ? *p1 : *p2; }
    FakePlayer& other() { return side.n == 1 ? *p2 : *p1; }
    std::string disp() { return text(ui().*side.disp); }
};

class OpenFile : public SideFixture, public ::testing::WithParamInterface<SideView> {
protected:
    OpenFile() { side = GetParam(); }
};

// A side and the index of the step that fails.
using SideStep = std::tuple<SideView, std::size_t>;

class OpenFailure : public SideFixture, public ::testing::WithParamInterface<SideStep> {
protected:
    OpenFailure() { side = std::get<0>(GetParam()); }
    std::size_t failing() const { return std::get<1>(GetParam()); }
};

std::string sideStepName(const ::testing::TestParamInfo<SideStep>& test) {
    return "Side" + std::to_string(std::get<0>(test.param).n) + "_Step" +
           std::to_string(std::get<1>(test.param));
}

TEST_P(OpenFile, HandsTheChosenFileToItsPlayerWithoutStartingIt) {
    stand(12.0, true, 12.0, true);
    window->Timer1.setInterval(200);
    ui().time->setText("12");

    open("/home/user/a.wav");

    EXPECT_EQ(dialog.log.calls, kDialogCalls);
    EXPECT_EQ(players.calls, (std::vector<std::string>{side.name + ".setAutoStart(false)",
                                                       side.name + ".setURL(/home/user/a.wav)"}));
    EXPECT_TRUE(geladen());
    EXPECT_EQ(media(), "/home/user/a.wav");
    EXPECT_EQ(disp(), "/home/user/a.wav");
    EXPECT_FALSE(player().playing);
    // The other side, the timer and the position display are left alone.
    EXPECT_TRUE(other().playing);
    EXPECT_EQ(window->Timer1.interval(), 200);
    EXPECT_EQ(text(ui().time), "12");
    EXPECT_TRUE(messages.shown.empty());
}

// Steps 0 to 2 fail by injection; step 3 is the dialog giving no name (Cancel).
TEST_P(OpenFailure, DialogFailureEmptiesOnlyTheDisplay) {
    loadEarlier();
    if (failing() < kDialogCalls.size()) {
        dialog.log.failAt(failing());
        open("/media/other.wav");
    } else {
        open("");
    }
    EXPECT_EQ(dialog.log.calls,
              firstCalls(kDialogCalls, std::min(failing() + 1, kDialogCalls.size())));
    EXPECT_EQ(messages.shown, std::vector<std::string>{kCannotOpen});
    EXPECT_EQ(disp(), "");
    EXPECT_TRUE(players.calls.empty());
    EXPECT_TRUE(geladen());
    EXPECT_EQ(media(), "/media/earlier.wav");
    EXPECT_EQ(player().url, "/media/earlier.wav");
}

INSTANTIATE_TEST_SUITE_P(DialogSteps, OpenFailure,
                         ::testing::Combine(::testing::Values(kSide1, kSide2),
                                            ::testing::Range<std::size_t>(0, 4)),
                         sideStepName);

class LoadFailure : public OpenFailure {};

TEST_P(LoadFailure, LeavesTheSideUnloaded) {
    const std::vector<std::string> loadCalls = {side.name + ".setAutoStart(false)",
                                                side.name + ".setURL(/media/bad.wav)"};
    loadEarlier();
    players.failAt(failing());

    open("/media/bad.wav");

    EXPECT_EQ(players.calls, firstCalls(loadCalls, failing() + 1));
    EXPECT_EQ(messages.shown, std::vector<std::string>{kCannotPlay});
    EXPECT_FALSE(geladen());
    EXPECT_EQ(media(), "");
    EXPECT_EQ(disp(), "");
    EXPECT_EQ(player().url, "/media/earlier.wav");  // the player keeps what it holds
}

INSTANTIATE_TEST_SUITE_P(PlayerSteps, LoadFailure,
                         ::testing::Combine(::testing::Values(kSide1, kSide2),
                                            ::testing::Range<std::size_t>(0, 2)),
                         sideStepName);

std::string sideName(const ::testing::TestParamInfo<SideView>& test) {
    return "Side" + std::to_string(test.param.n);
}

INSTANTIATE_TEST_SUITE_P(Sides, OpenFile, ::testing::Values(kSide1, kSide2), sideName);

struct Shown {
    const char* name;
    std::string path;
    std::string display;
};

using FileDisplay = CommandCases<Shown>;

TEST_P(FileDisplay, ShowsAtMostTheLastThirtyCharacters) {
    dialog.nextChoice = GetParam().path;
    window->neu1_Click();
    EXPECT_EQ(text(ui().disp1), GetParam().display);
    EXPECT_EQ(window->media1, GetParam().path);
    EXPECT_EQ(p1->url, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Paths, FileDisplay,
                         ::testing::Values(Shown{"ThirtyWhole", "/home/user/recordings/abc1.wav",
                                                 "/home/user/recordings/abc1.wav"},
                                           Shown{"ThirtyOneCut", "/home/user/recordings/abcd1.wav",
                                                 "home/user/recordings/abcd1.wav"},
                                           Shown{"UmlautsCountAsOne",
                                                 "/home/jürgen/Aufnahmen/Gespräche.wav",
                                                 "jürgen/Aufnahmen/Gespräche.wav"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(CommandFixture, OpenSidesAreIndependentAndMayShareAFile) {
    dialog.nextChoice = "/media/same.wav";
    window->neu2_Click();
    window->neu1_Click();
    EXPECT_TRUE(window->geladen1);
    EXPECT_TRUE(window->geladen2);
    EXPECT_EQ(p1->url, "/media/same.wav");
    EXPECT_EQ(p2->url, "/media/same.wav");

    players.failOn("wmp2.setURL");
    window->neu2_Click();
    EXPECT_TRUE(window->geladen1);
    EXPECT_FALSE(window->geladen2);
    EXPECT_EQ(text(ui().disp1), "/media/same.wav");
}

}  // namespace
