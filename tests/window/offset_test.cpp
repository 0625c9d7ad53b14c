#include <cmath>

#include "WindowFixture.h"

// Player 2 at an offset and a drift from player 1: every command that aligns player 2 puts it
// at the same moment of its own recording; player 1's seconds stay the reference.

namespace {

constexpr double kOffset = 5.0;
constexpr double kDrift = 200.0;  // ppm
constexpr double kRate = 1.0 + kDrift * 1e-6;

double at(double position1) {
    return kOffset + position1 * kRate;
}

std::string label(const QLabel* l) {
    return l->text().toStdString();
}

struct Aligned {
    const char* name;
    void (frm1::*command)();
    bool playing;      // both play when the command starts
    double position1;  // where player 1 ends up
    bool playingAfter;
};

// Player 1 starts at 30 s, player 2 anywhere; the go-to field holds 95.
const Aligned kCommands[] = {
    {"PlayBoth", &frm1::play_both, false, 30.0, true},
    {"PauseBoth", &frm1::pause_both, true, 30.0, false},
    {"BackBothPlaying", &frm1::back_both, true, 29.0, true},
    {"GotoPlaying", &frm1::com_goto_Click, true, 95.0, true},
    {"GotoPaused", &frm1::com_goto_Click, false, 95.0, false},
    {"ShortForwardPaused", &frm1::ffw_Click, false, 32.0, false},
    {"LongForwardPlaying", &frm1::fffw_Click, true, 40.0, true},
};

class OffsetFixture : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window->geladen1 = window->geladen2 = true;
    }
    void offsetBy(double offset, double drift = 0.0) {
        window->geladen1 = window->geladen2 = false;  // set it without moving anyone
        window->setPlayer2Offset({offset, drift});
        window->geladen1 = window->geladen2 = true;
    }
};

class OffsetCommand : public OffsetFixture, public ::testing::WithParamInterface<Aligned> {};

TEST_P(OffsetCommand, PutsPlayer2AtPlayer1sMomentOfItsOwnRecording) {
    offsetBy(kOffset, kDrift);
    stand(30.0, GetParam().playing, 17.0, GetParam().playing);
    ui().time_goto->setText("95");
    (window.get()->*GetParam().command)();
    EXPECT_DOUBLE_EQ(p1->position, GetParam().position1);
    EXPECT_NEAR(p2->position, at(GetParam().position1), 1e-9);
    EXPECT_EQ(p2->playing, GetParam().playingAfter);
    EXPECT_NEAR(p2->rate, GetParam().playingAfter ? kRate : 1.0, 1e-12)
        << "player 2 plays at the drift's speed, and only while both play";
    EXPECT_DOUBLE_EQ(p1->rate, 1.0);
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, OffsetCommand, ::testing::ValuesIn(kCommands), byName);

// File 2 begins 40 s after file 1: until player 1 reaches its 40th second, player 2 waits at
// its start, paused, and joins then.
class BeforeTheStartOfFile2 : public OffsetFixture {
protected:
    void SetUp() override {
        OffsetFixture::SetUp();
        offsetBy(-40.0);
        stand(30.0, false, 3.0, false);
    }
};

TEST_F(BeforeTheStartOfFile2, Player2WaitsAtItsStartAndJoinsWhenPlayer1GetsThere) {
    window->play_both();
    EXPECT_TRUE(p1->playing);
    EXPECT_FALSE(p2->playing);
    EXPECT_EQ(p2->position, 0.0);
    EXPECT_EQ(window->player2JoinsIn(), 10000);

    p1->position = 39.6;  // the timer came early: it waits the rest
    window->join_player2();
    EXPECT_FALSE(p2->playing);
    EXPECT_EQ(window->player2JoinsIn(), 400);

    p1->position = 40.002;
    window->join_player2();
    EXPECT_TRUE(p2->playing);
    EXPECT_NEAR(p2->position, 0.002, 1e-9);
    EXPECT_FALSE(window->player2JoinsIn());
}

TEST_F(BeforeTheStartOfFile2, APauseWhileItWaitsKeepsItAtItsStartAndCallsTheJoinOff) {
    window->play_both();
    p1->position = 35.0;
    window->pause_both();
    EXPECT_FALSE(p2->playing);
    EXPECT_EQ(p2->position, 0.0);
    EXPECT_FALSE(window->player2JoinsIn());
    window->join_player2();  // a join that was already due
    EXPECT_FALSE(p2->playing);
}

TEST_F(OffsetFixture, PastTheEndOfFile2Player2IsSentThereAsItIs) {
    offsetBy(100.0);
    stand(30.0, false, 0.0, false);
    ui().time_goto->setText("10000");
    window->com_goto_Click();
    EXPECT_EQ(p2->position, 10100.0) << "a player past its end stops at its end";
}

// A nudge while both play moves player 2 alone, at once; player 1 is not stopped or moved.
TEST_F(OffsetFixture, ANudgeWhileBothPlayMovesPlayer2Alone) {
    stand(30.0, false, 30.0, false);
    window->play_both();
    p1->position = 31.0;
    p2->position = 31.0;
    players.clear();
    ui().nudge_on_100ms->click();
    EXPECT_NEAR(p2->position, 31.1, 1e-9);
    EXPECT_TRUE(p1->playing);
    EXPECT_TRUE(p2->playing);
    for (const std::string& call : players.calls)
        EXPECT_TRUE(call == "wmp1.currentPosition" || call == "wmp1.playState" ||
                    call.starts_with("wmp2."))
            << call;
    EXPECT_EQ(label(ui().offset_text), "player 2: +0.100 s, +0 ppm");

    ui().nudge_back_1s->click();  // 31 s − 0.9 s is still in file 2
    EXPECT_NEAR(p2->position, 30.1, 1e-9);
    window->setPlayer2Offset({-40.0, 0.0});  // now before its start: it waits
    EXPECT_FALSE(p2->playing);
    EXPECT_EQ(p2->position, 0.0);
    EXPECT_EQ(window->player2JoinsIn(), 9000);
    ui().offset_reset->click();  // and back: it plays at once
    EXPECT_TRUE(p2->playing);
    EXPECT_EQ(p2->position, 31.0);
    EXPECT_EQ(label(ui().offset_text), "player 2: +0.000 s, +0 ppm");
}

TEST_F(OffsetFixture, ATypedOffsetMovesPlayer2WhileBothStand) {
    stand(12.0, false, 12.0, false);
    ui().offset_field->setText(" -2.5 s");
    ui().offset_set->click();
    EXPECT_EQ(text(ui().offset_field), "-2.5");
    EXPECT_EQ(p2->position, 9.5);
    EXPECT_FALSE(p2->playing);
    EXPECT_EQ(label(ui().offset_text), "player 2: \u22122.500 s, +0 ppm");
}

TEST_F(OffsetFixture, TheOffsetIsShownWithTheUsersDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German));
    window->setPlayer2Offset({7.3456, -125.4});
    EXPECT_EQ(label(ui().offset_text), "player 2: +7,346 s, \u2212125 ppm");
}

// The analysis runs elsewhere; the window starts it, shows its progress and offers its result.
class FakeAligner : public IAligner {
public:
    void start(const std::string& file1, const std::string& file2, Progress p, Done d) override {
        files = {file1, file2};
        progress = std::move(p);
        done = std::move(d);
    }
    void cancel() override { ++cancels; }

    std::vector<std::string> files;
    Progress progress;
    Done done;
    int cancels = 0;
};

class Aligning : public OffsetFixture {
protected:
    void SetUp() override {
        OffsetFixture::SetUp();
        window->media1 = "/a/one.wav";
        window->media2 = "/b/two.mkv";
        window->setAligner(&aligner);
        stand(20.0, false, 20.0, false);
    }
    FakeAligner aligner;
};

TEST_F(Aligning, AFoundOffsetIsShownAndAppliedOnlyWhenAccepted) {
    ui().align->click();
    EXPECT_EQ(aligner.files, (std::vector<std::string>{"/a/one.wav", "/b/two.mkv"}));
    EXPECT_FALSE(ui().align->isEnabled());
    aligner.progress(0.42);
    EXPECT_EQ(ui().align_progress->value(), 42);
    aligner.done({IAligner::Outcome::Kind::Found, 7.346, -125.0, 0.93, {}});
    EXPECT_EQ(label(ui().align_result), "Found player 2: +7.346 s, \u2212125 ppm (sure: 0.93)");
    EXPECT_TRUE(window->player2Offset().none()) << "not before the user accepts";
    EXPECT_EQ(p2->position, 20.0);
    ui().align_apply->click();
    EXPECT_DOUBLE_EQ(window->player2Offset().offset, 7.346);
    EXPECT_DOUBLE_EQ(window->player2Offset().driftPpm, -125.0);
    EXPECT_NEAR(p2->position, 7.346 + 20.0 * (1 - 125e-6), 1e-9);
    EXPECT_TRUE(ui().align->isEnabled());
}

TEST_F(Aligning, NoCommonSoundIsSaidAndNothingIsOffered) {
    ui().align->click();
    aligner.done(
        {IAligner::Outcome::Kind::NoCommonSound, 0, 0, 0, "The two files share no sound."});
    EXPECT_EQ(label(ui().align_result), "The two files share no sound.");
    EXPECT_TRUE(ui().align_apply->isHidden());
    EXPECT_TRUE(window->player2Offset().none());
}

TEST_F(Aligning, CancelStopsTheAnalysisAndTheWindowIsReadyAgain) {
    ui().align->click();
    ui().align_cancel->click();
    EXPECT_EQ(aligner.cancels, 1);
    EXPECT_TRUE(ui().align->isEnabled());
    EXPECT_TRUE(ui().align_progress->isHidden());
}

TEST_F(Aligning, NeedsBothFilesAndAnAligner) {
    window->geladen2 = false;
    ui().align->click();
    EXPECT_TRUE(aligner.files.empty());
    window->setAligner(nullptr);
    EXPECT_FALSE(ui().align->isEnabled());
}

}  // namespace
