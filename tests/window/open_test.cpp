#include <QFile>
#include <QTemporaryDir>

#include "Messages.h"
#include "WindowFixture.h"

namespace {

const std::vector<std::string> kDialogCalls = {"setFlags(4096)", "ShowOpen", "FileName"};

// One side of the window, 1 or 2, as its open command sees it: its flag, file, display and
// player.
class OpenSide : public WindowCases<int> {
protected:
    int side() const { return GetParam(); }
    bool first() const { return side() == 1; }
    bool geladen() const { return first() ? window->geladen1 : window->geladen2; }
    std::string media() const { return first() ? window->media1 : window->media2; }
    std::string disp() { return text(first() ? ui().disp1 : ui().disp2); }
    FakePlayer& player() { return first() ? *p1 : *p2; }
    void open(const std::string& choice) {
        dialog.nextChoice = choice;
        first() ? window->neu1_Click() : window->neu2_Click();
    }
    // Both sides holding one file (they may share it), with the logs and messages emptied.
    void loadEarlier() {
        holdBoth("/media/earlier.wav");
        ASSERT_TRUE(window->geladen1 && window->geladen2);
        players.clear();
        dialog.log.clear();
        messages.shown.clear();
    }
    std::string call(const std::string& what) const {
        return "wmp" + std::to_string(GetParam()) + "." + what;
    }
    // The side as the dialog's Cancel leaves it: the earlier file, flag and player kept.
    void expectCancelled() {
        EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotOpen});
        EXPECT_EQ(disp(), "");
        EXPECT_TRUE(players.calls.empty());
        EXPECT_TRUE(geladen());
        EXPECT_EQ(media(), "/media/earlier.wav");
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
    // Loaded only once the player says the file is open, which it does later.
    EXPECT_FALSE(geladen());
    EXPECT_TRUE(window->opening(GetParam()));
    player().opened();
    EXPECT_TRUE(geladen());
    EXPECT_FALSE(window->opening(GetParam()));
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
        expectCancelled();
    }
}

// Refused at once by each load call in turn, or by the player's news after the open began.
TEST_P(OpenSide, LoadFailureLeavesTheSideUnloaded) {
    const std::vector<std::string> loadCalls = {call("setAutoStart(false)"),
                                                call("setURL(/media/bad.wav)")};
    for (std::size_t failing = 0; failing <= loadCalls.size(); ++failing) {
        const bool later = failing == loadCalls.size();
        SCOPED_TRACE(later ? "refused later" : "failing load step " + std::to_string(failing));
        loadEarlier();
        if (!later)
            players.failAt(failing);

        open("/media/bad.wav");
        if (later) {
            EXPECT_TRUE(messages.shown.empty()) << "a message before the player said anything";
            EXPECT_EQ(media(), "/media/bad.wav");
            player().refused();
        }

        EXPECT_EQ(players.calls, firstCalls(loadCalls, std::min(failing + 1, loadCalls.size())));
        EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotLoad});
        EXPECT_FALSE(geladen());
        EXPECT_FALSE(window->opening(GetParam()));
        EXPECT_EQ(media(), "");
        EXPECT_EQ(disp(), "");
        if (!later) {
            EXPECT_EQ(player().url, "/media/earlier.wav");  // the player keeps what it holds
        }
        EXPECT_TRUE(first() ? window->geladen2 : window->geladen1);  // the other side too
        EXPECT_EQ(text(first() ? ui().disp2 : ui().disp1), "/media/earlier.wav");
    }
}

// A second file chosen while the first is still opening replaces it: the side waits for the
// second, and loads or fails with it alone.
TEST_P(OpenSide, SecondOpenWhileTheFirstIsUnderWayReplacesIt) {
    for (const bool secondOpens : {true, false}) {
        SCOPED_TRACE(secondOpens ? "second opens" : "second refused");
        loadEarlier();
        open("/media/slow.wav");
        open("/media/second.wav");
        EXPECT_FALSE(geladen());
        EXPECT_EQ(player().opening, "/media/second.wav");

        secondOpens ? player().opened() : player().refused();

        EXPECT_EQ(geladen(), secondOpens);
        EXPECT_FALSE(window->opening(GetParam()));
        EXPECT_EQ(media(), secondOpens ? "/media/second.wav" : "");
        EXPECT_EQ(disp(), secondOpens ? "/media/second.wav" : "");
        EXPECT_EQ(messages.shown.size(), secondOpens ? 0u : 1u);
    }
}

// Cancelling the dialog leaves the side as it was: an open under way still ends it.
TEST_P(OpenSide, CancelWhileAnOpenIsUnderWayLetsThatOpenFinish) {
    loadEarlier();
    open("/media/slow.wav");
    open("");
    EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotOpen});
    EXPECT_FALSE(geladen());

    player().opened();

    EXPECT_TRUE(geladen());
    EXPECT_EQ(media(), "/media/slow.wav");
    EXPECT_EQ(messages.shown.size(), 1u);
}

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

// A file named from outside the dialog (the command line, a second copy's files) opens as the
// open commands open a file chosen in the dialog.
TEST_P(OpenSide, ANamedFileOpensAsTheDialogsChoiceWould) {
    const QTemporaryDir folder;
    QFile file(folder.filePath("a rather long name of an interview.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string name = file.fileName().toStdString();
    loadEarlier();
    open(name);
    player().opened();
    const std::vector<std::string> fromDialog = players.calls;
    const std::string dispFromDialog = disp();
    players.clear();
    dialog.log.clear();

    window->openFileNamed(side(), name);
    EXPECT_FALSE(geladen());
    player().opened();

    EXPECT_EQ(players.calls, fromDialog);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(media(), name);
    EXPECT_EQ(disp(), dispFromDialog);
    EXPECT_TRUE(geladen());
    EXPECT_TRUE(dialog.log.calls.empty()) << "the dialog was shown for a named file";
}

// The dialog lets only a file be chosen: a folder's name ends as the dialog's Cancel does.
TEST_P(OpenSide, ANamedFolderEndsAsTheDialogsCancel) {
    const QTemporaryDir folder;
    loadEarlier();
    window->openFileNamed(side(), folder.path().toStdString());
    expectCancelled();
}

INSTANTIATE_TEST_SUITE_P(Sides, OpenSide, ::testing::Values(1, 2),
                         [](const auto& c) { return "Side" + std::to_string(c.param); });

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
