#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Messages.h"
#include "WindowFixture.h"

namespace {

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
