#include <optional>

#include "Messages.h"
#include "WindowFixture.h"

// Every transport command and jump, as a script of the player calls it makes in order, with
// the timer settings between them written as "Timer1=<ms>".

namespace {

// An interval no command sets, so a test sees whether a command touched the timer at all.
constexpr int kEarlierInterval = 700;

struct Script {
    const char* name;
    void (frm1::*command)();
    bool playing;  // whether both play when the command starts
    std::vector<std::string> steps;
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
    const std::vector<std::string> state = {"Timer1=200", "wmp1.playState"};
    auto fastForward = [&](const char* name, void (frm1::*cmd)(), bool playing, int to) {
        const std::string target = std::to_string(to);
        const std::vector<std::string> move = {"wmp1.currentPosition",
                                               "wmp1.setCurrentPosition(" + target + ")",
                                               "wmp2.setCurrentPosition(" + target + ")"};
        return Script{name, cmd, playing,
                      playing ? join({state, kPauseAndAlign, move, play})
                              : join({state, move, {"Timer1=0"}})};
    };
    const std::vector<std::string> back = {"wmp1.currentPosition", "wmp2.currentPosition",
                                           "wmp1.setCurrentPosition(29)"};
    const std::vector<std::string> gotoMove = {"wmp1.setCurrentPosition(95)",
                                               "wmp2.setCurrentPosition(95)"};
    return {
        {"PlayBoth", &frm1::play_both, false, join({kPauseAndAlign, play, {"Timer1=200"}})},
        {"PauseBoth", &frm1::pause_both, true, join({kPauseAndAlign, {"Timer1=0"}})},
        {"BackBothPlaying", &frm1::back_both, true,
         join({{"wmp1.playState"},
               kPauseAndAlign,
               {"Timer1=200"},
               back,
               {"wmp2.setCurrentPosition(29)"},
               play})},
        // Paused players keep their offset.
        {"BackBothPaused", &frm1::back_both, false,
         join({{"wmp1.playState", "Timer1=200"},
               back,
               {"wmp2.setCurrentPosition(39)", "Timer1=0"}})},
        fastForward("ShortForwardPaused", &frm1::ffw_Click, false, 32),
        fastForward("LongForwardPlaying", &frm1::fffw_Click, true, 40),
        {"GotoPlaying", &frm1::com_goto_Click, true,
         join({state, {"wmp1.pause", "wmp2.pause"}, gotoMove, play})},
        {"GotoPaused", &frm1::com_goto_Click, false, join({state, gotoMove, {"Timer1=0"}})},
    };
}

// A script's player calls, and Timer1's interval before each of them and after the last.
struct Played {
    std::vector<std::string> calls;
    std::vector<int> intervals{kEarlierInterval};
};

Played played(const std::vector<std::string>& steps) {
    Played p;
    for (const auto& step : steps) {
        if (step.starts_with("Timer1=")) {
            p.intervals.back() = std::stoi(step.substr(7));
        } else {
            p.calls.push_back(step);
            p.intervals.push_back(p.intervals.back());
        }
    }
    return p;
}

class Command : public WindowCases<Script> {
protected:
    // Runs the command from the common start with player call `failing` throwing, if it comes.
    void run(std::size_t failing) {
        players.clear();
        messages.shown.clear();
        stand(30.0, GetParam().playing, 40.0, GetParam().playing);
        window->Timer1.setInterval(kEarlierInterval);
        ui().time_goto->setText("95s");
        players.failAt(failing);
        (window.get()->*GetParam().command)();
    }
    bool jump() const { return GetParam().command == &frm1::com_goto_Click; }
};

// With each call failing in turn the command stops there, undoes nothing, leaves the timer as
// far as it got and says so once; with none failing it makes every call of its script.
TEST_P(Command, CallsThePlayersInOrderAndStopsAtAFailingCall) {
    const auto [calls, intervals] = played(GetParam().steps);
    const std::string message = jump() ? Messages::kCannotJump : Messages::kCannotPlay;
    for (std::size_t failing = 0; failing <= calls.size(); ++failing) {
        const bool fails = failing < calls.size();
        SCOPED_TRACE(fails ? "failing call " + calls[failing] : "no failure");
        ui().time->setText("17");
        run(failing);
        EXPECT_EQ(players.calls, firstCalls(calls, std::min(failing + 1, calls.size())));
        EXPECT_EQ(window->Timer1.interval(), intervals[failing]);
        EXPECT_EQ(messages.shown, fails ? std::vector{message} : std::vector<std::string>{});
        EXPECT_EQ(text(ui().time), "17");  // only the ticks write the display
        if (jump()) {
            EXPECT_EQ(text(ui().time_goto), "95");  // rewritten before anything can fail
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, Command, ::testing::ValuesIn(scripts()), byName);

// The step back stops at the start, for each player by itself.
TEST_F(WindowFixture, BackNeverGoesBeforeTheStart) {
    for (const auto& [early, later] : {std::pair{0.4, 1.5}, std::pair{1.5, 0.4}}) {
        stand(early, false, later, false);
        window->back_both();
        EXPECT_DOUBLE_EQ(p1->position, std::max(early - 1.0, 0.0));
        EXPECT_DOUBLE_EQ(p2->position, std::max(later - 1.0, 0.0));
    }
}

constexpr auto kPoint = QLocale::English;
constexpr auto kComma = QLocale::German;

struct Typed {
    const char* name;
    QString text;
    QLocale::Language locale;
    const char* field;             // what the field shows afterwards; nullptr: left as typed
    std::optional<double> target;  // where both players go; none: the jump fails
};

using GotoTyped = WindowCases<Typed>;

// Both play when the go-to is clicked.
TEST_P(GotoTyped, RewritesTheFieldGoesToWhatItShowsAndLeavesThePlayersWorking) {
    const Typed& t = GetParam();
    QLocale::setDefault(QLocale(t.locale));
    stand(30.0, true, 40.0, true);
    window->Timer1.setInterval(200);
    ui().time_goto->setText(t.text);
    const QString typed = ui().time_goto->text();  // the field may hold less than was given

    window->com_goto_Click();

    EXPECT_EQ(ui().time_goto->text(), t.field != nullptr ? QString::fromUtf8(t.field) : typed);
    if (t.target) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(p1->position, *t.target);
        EXPECT_EQ(p2->position, *t.target);
    } else {
        // A number the field cannot hold stops nothing that plays.
        EXPECT_EQ(messages.shown, std::vector<std::string>{Messages::kCannotJump});
        EXPECT_TRUE(players.calls.empty());
        EXPECT_EQ(window->Timer1.interval(), 200);
    }
    const std::size_t shown = messages.shown.size();
    window->ffw_Click();
    EXPECT_EQ(messages.shown.size(), shown);
    EXPECT_EQ(p2->position, p1->position);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GotoTyped,
    ::testing::Values(
        Typed{"Empty", "", kPoint, "0", 0.0}, Typed{"Letters", "abc", kComma, "0", 0.0},
        Typed{"CommaEndsTheNumber", "12,5", kComma, "12", 12.0},
        Typed{"PointUnderADecimalComma", "12.5", kComma, "12,5", 12.0},
        Typed{"LargePower", "1e308", kPoint, "1E+308", 1e308},
        Typed{"LargeNegativePower", "-1e308", kComma, "-1E+308", -1e308},
        Typed{"BeyondADouble", "1e999", kComma, nullptr, std::nullopt},
        Typed{"LargestHexadecimal", "&HFFFFFFFFFFFFFFFF", kPoint, "1.84467440737096E+19",
              1.84467440737096e19},
        Typed{"NotANumber", "nan", kPoint, "0", 0.0}, Typed{"Infinity", "inf", kPoint, "0", 0.0},
        Typed{"HundredThousandDigits", QString(100'000, QChar('9')), kPoint, nullptr, std::nullopt},
        Typed{"ControlCharacters",
              QString::fromUtf8("\t 4\x01"
                                "2\x7f"),
              kComma, "4", 4.0}),
    byName);

TEST_F(WindowFixture, TickShowsPlayerOnesWholeSecond) {
    stand(12.9, true, 5000.0, true);
    window->Timer1.setInterval(200);

    window->Timer1_Timer();

    EXPECT_EQ(text(ui().time), "12");
    EXPECT_EQ(players.calls, std::vector<std::string>{"wmp1.currentPosition"});
    EXPECT_EQ(window->Timer1.interval(), 200);
}

}  // namespace
