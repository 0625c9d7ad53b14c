#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "CommandFixture.h"
#include "ScopedEnv.h"

namespace {

constexpr const char* kPoint = "en_US.UTF-8";
constexpr const char* kComma = "de_DE.UTF-8";

struct Typed {
    const char* text;
    const char* locale;
    const char* field;   // what the field shows afterwards
    const char* target;  // as the players receive it
};
void PrintTo(const Typed& t, std::ostream* os) {
    *os << '"' << t.text << "\" " << t.locale;
}

using GotoTyped = CommandCases<Typed>;

TEST_P(GotoTyped, RewritesTheFieldAndGoesToWhatItShows) {
    const Typed& t = GetParam();
    ScopedEnv regional("LC_ALL", t.locale);
    stand(30.0, false, 40.0, false);
    ui().time_goto->setText(QString::fromUtf8(t.text));

    window->com_goto_Click();

    EXPECT_EQ(text(ui().time_goto), t.field);
    const std::string target = t.target;
    EXPECT_EQ(players.calls,
              (std::vector<std::string>{"wmp1.playState", "wmp1.setCurrentPosition(" + target + ")",
                                        "wmp2.setCurrentPosition(" + target + ")"}));
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GotoTyped,
    ::testing::Values(Typed{"", kPoint, "0", "0"}, Typed{"abc", kComma, "0", "0"},
                      Typed{"95s", kPoint, "95", "95"}, Typed{"1 30", kComma, "130", "130"},
                      Typed{"12,5", kPoint, "12", "12"}, Typed{"12,5", kComma, "12", "12"},
                      Typed{"12.5", kPoint, "12.5", "12.5"}, Typed{"12.5", kComma, "12,5", "12"},
                      Typed{"-5", kComma, "-5", "-5"}, Typed{"&H1F", kComma, "31", "31"},
                      Typed{" 7.25e1 ", kComma, "72,5", "72"}));

TEST_F(CommandFixture, GotoNumberBeyondADoubleIsAFailedJumpThatTouchesNothing) {
    stand(30.0, true, 40.0, true);
    window->Timer1.setInterval(200);
    ui().time_goto->setText("1e999");

    window->com_goto_Click();

    EXPECT_EQ(messages.shown, std::vector<std::string>{"Fehler: Sprung nicht möglich!\""});
    EXPECT_EQ(text(ui().time_goto), "1e999");
    EXPECT_TRUE(players.calls.empty());
    EXPECT_EQ(window->Timer1.interval(), 200);
}

struct Tick {
    double position;
    const char* shown;
};
void PrintTo(const Tick& t, std::ostream* os) {
    *os << t.position << " s";
}

using PositionTick = CommandCases<Tick>;

TEST_P(PositionTick, ShowsPlayerOnesWholeSecond) {
    ScopedEnv regional("LC_ALL", kComma);
    stand(GetParam().position, true, 5000.0, true);
    window->Timer1.setInterval(200);

    window->Timer1_Timer();

    EXPECT_EQ(text(ui().time), GetParam().shown);
    EXPECT_EQ(players.calls, std::vector<std::string>{"wmp1.currentPosition"});
    EXPECT_EQ(window->Timer1.interval(), 200);
}

INSTANTIATE_TEST_SUITE_P(Positions, PositionTick,
                         ::testing::Values(Tick{0.2, "0"}, Tick{12.9, "12"}, Tick{59.99, "59"},
                                           Tick{3600.5, "3600"}, Tick{1234567.0, "1234567"}));

}  // namespace
