#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>

#include "RegionalNumber.h"
#include "ScopedEnv.h"

namespace {

struct Reading {
    const char* text;
    double value;
};
void PrintTo(const Reading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class LenientReading : public ::testing::TestWithParam<Reading> {};

TEST_P(LenientReading, TakesTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(lenientNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientReading,
    ::testing::Values(Reading{"95s", 95}, Reading{"1 30", 130}, Reading{"12,5", 12},
                      Reading{"abc", 0}, Reading{"", 0}, Reading{"-5", -5}, Reading{"+7", 7},
                      Reading{"&H1F", 31}, Reading{"&hff", 255}, Reading{"&O17", 15},
                      Reading{"&o19", 1}, Reading{"&HG", 0}, Reading{" \t\n-\t1.5e 3x", -1500},
                      Reading{".5", 0.5}, Reading{"5.", 5}, Reading{"1.2.3", 1.2}, Reading{"1e", 1},
                      Reading{"1e+", 1}, Reading{"2E-1", 0.2}, Reading{"--5", 0},
                      Reading{"1e-999", 0}, Reading{"0.000e999", 0}, Reading{"12.5", 12.5}));

class LenientOverflow : public ::testing::TestWithParam<std::string> {};

TEST_P(LenientOverflow, IsReported) {
    EXPECT_THROW(lenientNumber(GetParam()), std::out_of_range);
}

INSTANTIATE_TEST_SUITE_P(Texts, LenientOverflow,
                         ::testing::Values("1e999", "-1e999", "1 e 9 9 9", std::string(400, '9'),
                                           "&H" + std::string(300, 'F'), "0.01e311"));

struct Written {
    double value;
    const char* separator;
    const char* text;
};
void PrintTo(const Written& w, std::ostream* os) {
    *os << w.text;
}

class RegionalText : public ::testing::TestWithParam<Written> {};

TEST_P(RegionalText, IsShortestWithTheSeparator) {
    EXPECT_EQ(regionalNumberText(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegionalText,
    ::testing::Values(Written{0, ",", "0"}, Written{-0.0, ".", "0"}, Written{95, ",", "95"},
                      Written{-5, ",", "-5"}, Written{12.5, ",", "12,5"},
                      Written{12.5, ".", "12.5"}, Written{-0.5, ",", "-0,5"},
                      Written{0.1 + 0.2, ".", "0.3"}, Written{1234567.25, ",", "1234567,25"},
                      Written{1.0 / 3, ".", "0.333333333333333"},
                      Written{123456789012345, ".", "123456789012345"}, Written{1e20, ".", "1E+20"},
                      Written{2.5e-7, ",", "2,5E-07"}, Written{3600, ".", "3600"}));

struct Named {
    const char* name;
    const char* separator;
};
void PrintTo(const Named& n, std::ostream* os) {
    *os << '"' << n.name << '"';
}

class SeparatorOfLocale : public ::testing::TestWithParam<Named> {};

TEST_P(SeparatorOfLocale, FollowsTheLocale) {
    EXPECT_EQ(decimalSeparatorOf(GetParam().name), GetParam().separator) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, SeparatorOfLocale,
                         ::testing::Values(Named{"de_DE.UTF-8", ","}, Named{"de_DE", ","},
                                           Named{"fr_FR@euro", ","}, Named{"en_US.UTF-8", "."},
                                           Named{"de_CH.UTF-8", "."}, Named{"C", "."},
                                           Named{"C.UTF-8", "."}, Named{"POSIX", "."},
                                           Named{"", "."}, Named{"xx_YY", "."}));

struct Environment {
    const char* lcAll;
    const char* lcNumeric;
    const char* lang;
    const char* separator;
};
void PrintTo(const Environment& e, std::ostream* os) {
    auto shown = [](const char* v) { return v != nullptr ? v : "unset"; };
    *os << shown(e.lcAll) << ' ' << shown(e.lcNumeric) << ' ' << shown(e.lang);
}

class SeparatorFromEnvironment : public ::testing::TestWithParam<Environment> {};

TEST_P(SeparatorFromEnvironment, FirstSetVariableWins) {
    const Environment& e = GetParam();
    ScopedEnv lcAll("LC_ALL", e.lcAll);
    ScopedEnv lcNumeric("LC_NUMERIC", e.lcNumeric);
    ScopedEnv lang("LANG", e.lang);
    EXPECT_EQ(regionalDecimalSeparator(), e.separator);
    EXPECT_EQ(regionalNumberText(12.5), std::string("12") + e.separator + "5");
}

INSTANTIATE_TEST_SUITE_P(Variables, SeparatorFromEnvironment,
                         ::testing::Values(Environment{"de_DE.UTF-8", "en_US.UTF-8", "en_US.UTF-8",
                                                       ","},
                                           Environment{"C", "de_DE.UTF-8", "de_DE.UTF-8", "."},
                                           Environment{"", "de_DE.UTF-8", "en_US.UTF-8", ","},
                                           Environment{nullptr, "en_US.UTF-8", "de_DE.UTF-8", "."},
                                           Environment{nullptr, nullptr, "de_AT.UTF-8", ","},
                                           Environment{nullptr, nullptr, nullptr, "."}));

}  // namespace
