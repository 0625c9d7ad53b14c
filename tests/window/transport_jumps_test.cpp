#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "CommandFixture.h"

// Every transport command and jump, as a script of the player calls it makes in order, with
// the timer settings between them written as "Timer1=<ms>".

namespace {

const std::string kCannotPlay = "Fehler: Mediadatei kann nicht abgespielt werden";
const std::string kCannotJump = "Fehler: Sprung nicht möglich!\"";

// An interval no command sets, so a test sees whether a command touched the timer at all.
constexpr int kEarlierInterval = 700;

enum class Start { Playing, Paused, SecondAlone };

struct Script {
    const char* name;
    void (frm1::*command)();
    Start start;
    std::vector<std::string> steps;
    double end1;  // positions afterwards
    double end2;
    bool plays1;  // whether each plays afterwards
    bool plays2;
};

// Every case starts with player 1 at 30 s, player 2 at 40 s and "95s" in the go-to field.
const std::vector<std::string> kPauseAndAlign = {"wmp1.pause", "wmp2.pause", "wmp1.currentPosition",
                                                 "wmp2.setCurrentPosition(30)"};

std::vector<std::string> join(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<Script> scripts() {
    const std::vector<std::string> play = {"wmp1.play", "wmp2.play"};
    const std::vector<std::string> backReads = {"wmp1.currentPosition", "wmp2.currentPosition"};
    auto fastForward = [&](const char* name, void (frm1::*cmd)(), Start start, double to) {
        const std::string target = std::to_string(static_cast<int>(to));
        const std::vector<std::string> move = {"wmp1.currentPosition",
                                               "wmp1.setCurrentPosition(" + target + ")",
                                               "wmp2.setCurrentPosition(" + target + ")"};
        const bool playing = start == Start::Playing;
        return Script{name,
                      cmd,
                      start,
                      playing ? join({{"Timer1=200", "wmp1.playState"}, kPauseAndAlign, move, play})
                              : join({{"Timer1=200", "wmp1.playState"}, move, {"Timer1=0"}}),
                      to,
                      to,
                      playing,
                      start != Start::Paused};
    };
    const std::vector<std::string> gotoMove = {"wmp1.setCurrentPosition(95)",
                                               "wmp2.setCurrentPosition(95)"};
    return {
        {"PlayBothPlaying", &frm1::play_both, Start::Playing,
         join({kPauseAndAlign, play, {"Timer1=200"}}), 30, 30, true, true},
        {"PlayBothPaused", &frm1::play_both, Start::Paused,
         join({kPauseAndAlign, play, {"Timer1=200"}}), 30, 30, true, true},
        {"PauseBothPlaying", &frm1::pause_both, Start::Playing,
         join({kPauseAndAlign, {"Timer1=0"}}), 30, 30, false, false},
        {"PauseBothSecondAlone", &frm1::pause_both, Start::SecondAlone,
         join({kPauseAndAlign, {"Timer1=0"}}), 30, 30, false, false},
        {"BackBothPlaying", &frm1::back_both, Start::Playing,
         join({{"wmp1.playState"},
               kPauseAndAlign,
               {"Timer1=200"},
               backReads,
               {"wmp1.setCurrentPosition(29)", "wmp2.setCurrentPosition(29)"},
               play}),
         29, 29, true, true},
        {"BackBothPaused", &frm1::back_both, Start::Paused,
         join({{"wmp1.playState", "Timer1=200"},
               backReads,
               {"wmp1.setCurrentPosition(29)", "wmp2.setCurrentPosition(39)", "Timer1=0"}}),
         29, 39, false, false},
        {"BackBothSecondAlone", &frm1::back_both, Start::SecondAlone,
         join({{"wmp1.playState", "Timer1=200"},
               backReads,
               {"wmp1.setCurrentPosition(29)", "wmp2.setCurrentPosition(39)", "Timer1=0"}}),
         29, 39, false, true},
        fastForward("ShortForwardPlaying", &frm1::ffw_Click, Start::Playing, 32),
        fastForward("ShortForwardPaused", &frm1::ffw_Click, Start::Paused, 32),
        fastForward("LongForwardPlaying", &frm1::fffw_Click, Start::Playing, 40),
        fastForward("LongForwardSecondAlone", &frm1::fffw_Click, Start::SecondAlone, 40),
        {"GotoPlaying", &frm1::com_goto_Click, Start::Playing,
         join({{"Timer1=200", "wmp1.playState", "wmp1.pause", "wmp2.pause"}, gotoMove, play}), 95,
         95, true, true},
        {"GotoPaused", &frm1::com_goto_Click, Start::Paused,
         join({{"Timer1=200", "wmp1.playState"}, gotoMove, {"Timer1=0"}}), 95, 95, false, false},
        {"GotoSecondAlone", &frm1::com_goto_Click, Start::SecondAlone,
         join({{"Timer1=200", "wmp1.playState"}, gotoMove, {"Timer1=0"}}), 95, 95, false, true},
    };
}

bool isTimer(const std::string& step) {
    return step.rfind("Timer1=", 0) == 0;
}

std::vector<std::string> playerCalls(const std::vector<std::string>& steps) {
    std::vector<std::string> calls;
    for (const auto& s : steps)
        if (!isTimer(s))
            calls.push_back(s);
    return calls;
}

// Timer1's interval once the script has run up to (not including) player call `calls`.
int intervalBefore(const std::vector<std::string>& steps, std::size_t calls) {
    int interval = kEarlierInterval;
    std::size_t seen = 0;
    for (const auto& s : steps) {
        if (isTimer(s)) {
            interval = std::stoi(s.substr(7));
        } else if (seen++ == calls) {
            break;
        }
    }
    return interval;
}

class Command : public CommandCases<Script> {};

TEST_P(Command, CallsThePlayersInOrder) {
    const Script& s = GetParam();
    stand(30.0, s.start == Start::Playing, 40.0, s.start != Start::Paused);
    window->Timer1.setInterval(kEarlierInterval);
    ui().time_goto->setText("95s");
    ui().time->setText("17");

    (window.get()->*s.command)();

    EXPECT_EQ(players.calls, playerCalls(s.steps));
    EXPECT_EQ(window->Timer1.interval(), intervalBefore(s.steps, SIZE_MAX));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_DOUBLE_EQ(p1->position, s.end1);
    EXPECT_DOUBLE_EQ(p2->position, s.end2);
    EXPECT_EQ(p1->playing, s.plays1);
    EXPECT_EQ(p2->playing, s.plays2);
    EXPECT_EQ(text(ui().time), "17");  // only the ticks write the display
}

std::string scriptName(const ::testing::TestParamInfo<Script>& test) {
    return test.param.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, Command, ::testing::ValuesIn(scripts()), scriptName);

// Per script: its first and last player call failing, and the calls on either side of each
// timer change. Between them they show a command going on after a failure or undoing a step,
// and the timer set too early or too late.
struct Failure {
    Script script;
    std::size_t failing;
};
void PrintTo(const Failure& f, std::ostream* os) {
    *os << f.script.name << " failing call " << f.failing;
}

std::vector<Failure> failures() {
    std::vector<Failure> all;
    for (const Script& s : scripts()) {
        const std::size_t count = playerCalls(s.steps).size();
        std::set<std::size_t> picked = {0, count - 1};
        std::size_t seen = 0;
        for (const auto& step : s.steps) {
            if (!isTimer(step)) {
                ++seen;
                continue;
            }
            if (seen > 0)
                picked.insert(seen - 1);
            if (seen < count)
                picked.insert(seen);
        }
        for (const std::size_t i : picked)
            all.push_back({s, i});
    }
    return all;
}

class CommandFailure : public CommandCases<Failure> {};

TEST_P(CommandFailure, StopsAtTheFailingStepAndUndoesNothing) {
    const Script& s = GetParam().script;
    const std::size_t failing = GetParam().failing;
    const std::vector<std::string> calls = playerCalls(s.steps);
    stand(30.0, s.start == Start::Playing, 40.0, s.start != Start::Paused);
    window->Timer1.setInterval(kEarlierInterval);
    ui().time_goto->setText("95s");
    players.failAt(failing);

    (window.get()->*s.command)();

    EXPECT_EQ(players.calls, firstCalls(calls, failing + 1));
    EXPECT_EQ(window->Timer1.interval(), intervalBefore(s.steps, failing));
    const bool jump = s.command == &frm1::com_goto_Click;
    EXPECT_EQ(messages.shown, std::vector<std::string>{jump ? kCannotJump : kCannotPlay});
    // The go-to field is rewritten before anything that can fail.
    if (jump) {
        EXPECT_EQ(text(ui().time_goto), "95");
    }
}

std::string failureName(const ::testing::TestParamInfo<Failure>& test) {
    return std::string(test.param.script.name) + "_FailingCall" +
           std::to_string(test.param.failing);
}

INSTANTIATE_TEST_SUITE_P(Steps, CommandFailure, ::testing::ValuesIn(failures()), failureName);

// The lower bound of the step back, for each player by itself.
struct Back {
    const char* name;
    double before;
    double after;
};

using BackBound = CommandCases<Back>;

TEST_P(BackBound, NeverGoesBeforeTheStart) {
    for (const bool playing : {false, true}) {
        stand(GetParam().before, playing, GetParam().before + 5.0, false);
        window->back_both();
        EXPECT_DOUBLE_EQ(p1->position, GetParam().after) << "playing " << playing;
        if (!playing) {
            EXPECT_DOUBLE_EQ(p2->position, GetParam().before + 4.0);  // the offset survives
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, BackBound,
                         ::testing::Values(Back{"InsideTheFirstSecond", 0.4, 0},
                                           Back{"AtOneSecond", 1.0, 0},
                                           Back{"HalfASecondPastOne", 1.5, 0.5},
                                           Back{"AtTheStart", 0.0, 0}, Back{"LaterOn", 10.4, 9.4}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
