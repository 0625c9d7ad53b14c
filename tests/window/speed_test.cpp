#include "WindowFixture.h"

// Slower or faster for both players with the pitch kept, and a step back when both resume.

namespace {

struct SpeedCase {
    const char* name;
    double from;
    void (frm1::*command)();
    double to;
};

const SpeedCase kSteps[] = {
    {"SlowerByAStep", 1.0, &frm1::slower_Click, 0.95},
    {"FasterByAStep", 1.0, &frm1::faster_Click, 1.05},
    {"NeverSlowerThanHalf", 0.5, &frm1::slower_Click, 0.5},
    {"NeverFasterThanTwice", 2.0, &frm1::faster_Click, 2.0},
    {"BackToNormal", 0.75, &frm1::speed_normal_Click, 1.0},
    {"StepsStayOnTheGrid", 0.7, &frm1::faster_Click, 0.75},
};

class SpeedFixture : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window->geladen1 = window->geladen2 = true;
        window->onSettingsChanged = [this] { ++changes; };
        stand(30.0, false, 30.0, false);
    }
    std::string speedShown() { return ui().speed_text->text().toStdString(); }
    int changes = 0;
};

class SpeedStep : public SpeedFixture, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedStep, MovesBothPlayersByAStepWithinTheRange) {
    ASSERT_TRUE(window->setSpeed(GetParam().from));
    (window.get()->*GetParam().command)();
    EXPECT_NEAR(window->speed(), GetParam().to, 1e-12);
    EXPECT_NEAR(p1->rate, GetParam().to, 1e-12);
    EXPECT_NEAR(p2->rate, GetParam().to, 1e-12);
    EXPECT_EQ(p1->pitchKept, GetParam().to != 1.0);
    EXPECT_EQ(p2->pitchKept, GetParam().to != 1.0);
    EXPECT_EQ(changes, 1) << "the user's choice is kept";
}

INSTANTIATE_TEST_SUITE_P(Buttons, SpeedStep, ::testing::ValuesIn(kSteps), byName);

TEST_F(SpeedFixture, ASpeedOutsideTheRangeIsRefusedAndChangesNothing) {
    ASSERT_TRUE(window->setSpeed(0.75));
    players.clear();
    for (const double refused : {0.45, 2.05, 0.0, -1.0, 1e300})
        EXPECT_FALSE(window->setSpeed(refused)) << refused;
    EXPECT_EQ(window->speed(), 0.75);
    EXPECT_TRUE(players.calls.empty());
    EXPECT_EQ(speedShown(), "speed 0.75\u00d7");
    EXPECT_TRUE(window->setSpeed(0.77)) << "to the nearest step";
    EXPECT_EQ(window->speed(), 0.75);
}

TEST_F(SpeedFixture, BothPlayAtTheSpeedAndPlayer2AtItsDriftOnTopWhileItFollows) {
    window->setPlayer2Offset({0.0, 100.0});
    window->setSpeed(0.5);
    window->play_both();
    EXPECT_EQ(p1->rate, 0.5);
    EXPECT_NEAR(p2->rate, 0.5 * 1.0001, 1e-12);
    EXPECT_FALSE(ui().slower->isEnabled());

    window->faster_Click();  // while both play
    EXPECT_NEAR(p1->rate, 0.55, 1e-12);
    EXPECT_NEAR(p2->rate, 0.55 * 1.0001, 1e-12);
    EXPECT_TRUE(p1->playing && p2->playing);
    window->pause_both();
    EXPECT_NEAR(p2->rate, 0.55, 1e-12) << "standing, player 2 loses only the follower's share";
}

struct Resume {
    const char* name;
    double stepBack;
    double from;
    bool playing;
    double startsAt;
};

const Resume kResumes[] = {
    {"NoStepBackByDefault", 0.0, 30.0, false, 30.0},
    {"StepsBackFromStanding", 2.5, 30.0, false, 27.5},
    {"NeverBeforeTheStart", 5.0, 1.2, false, 0.0},
    {"NotWhileBothPlay", 2.5, 30.0, true, 30.0},
};

class ResumeStep : public SpeedFixture, public ::testing::WithParamInterface<Resume> {};

TEST_P(ResumeStep, F3StartsBothThatFarBackFromPlayer1sPosition) {
    ASSERT_TRUE(window->setStepBackOnResume(GetParam().stepBack));
    window->setPlayer2Offset({3.0, 0.0});
    stand(GetParam().from, GetParam().playing, 0.0, GetParam().playing);
    window->play_both();
    EXPECT_DOUBLE_EQ(p1->position, GetParam().startsAt);
    EXPECT_DOUBLE_EQ(p2->position, GetParam().startsAt + 3.0) << "the same moment";
    EXPECT_TRUE(p1->playing && p2->playing);
}

INSTANTIATE_TEST_SUITE_P(Resumes, ResumeStep, ::testing::ValuesIn(kResumes), byName);

TEST_F(SpeedFixture, TheStepBackIsSetInHalfSecondsUpToFive) {
    EXPECT_FALSE(window->setStepBackOnResume(5.5));
    EXPECT_FALSE(window->setStepBackOnResume(-0.5));
    EXPECT_TRUE(window->setStepBackOnResume(2.0));
    EXPECT_EQ(ui().step_back->value(), 2.0);
    EXPECT_EQ(changes, 0) << "set by the program, not by the user";
    ui().step_back->setValue(3.5);  // the user
    EXPECT_EQ(window->stepBackOnResume(), 3.5);
    EXPECT_EQ(changes, 1);
}

}  // namespace
