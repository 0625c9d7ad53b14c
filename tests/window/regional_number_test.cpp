#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "RegionalNumber.h"

namespace {

// A test name that shows a number's text: "1.5e3" becomes "1Point5e3".
std::string caseName(const std::string& text, std::size_t index) {
    static const std::map<char, std::string> words = {
        {' ', "Blank"}, {'\t', "Tab"},  {'\n', "Newline"}, {'-', "Minus"},
        {'+', "Plus"},  {'.', "Point"}, {',', "Comma"},    {'&', "Amp"}};
    std::string name;
    for (char c : text.substr(0, 24)) {
        const auto word = words.find(c);
        if (word != words.end())
            name += word->second;
        else
            name += std::isalnum(static_cast<unsigned char>(c)) ? std::string(1, c) : "X";
    }
    return (name.empty() ? "Empty" : name) + "_" + std::to_string(index);
}

using Reading = std::pair<std::string, double>;

class LenientReading : public ::testing::TestWithParam<Reading> {};

TEST_P(LenientReading, TakesTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(lenientNumber(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LenientReading,
    ::testing::Values(Reading{"95s", 95}, Reading{"1 30", 130}, Reading{"+7", 7},
                      Reading{"&H1F", 31}, Reading{"&hff", 255}, Reading{"&O17", 15},
                      Reading{"&o19", 1}, Reading{"&HG", 0}, Reading{" \t\n-\t1.5e 3x", -1500},
                      Reading{".5", 0.5}, Reading{"5.", 5}, Reading{"1.2.3", 1.2}, Reading{"1e", 1},
                      Reading{"1e+", 1}, Reading{"2E-1", 0.2}, Reading{"--5", 0},
                      Reading{"1e-999", 0}, Reading{"0.000e999", 0}),
    [](const auto& param) { return caseName(param.param.first, param.index); });

class LenientOverflow : public ::testing::TestWithParam<std::string> {};

TEST_P(LenientOverflow, IsReported) {
    EXPECT_THROW(lenientNumber(GetParam()), std::out_of_range);
}

INSTANTIATE_TEST_SUITE_P(Texts, LenientOverflow,
                         ::testing::Values("1e999", "-1e999", "1 e 9 9 9", std::string(400, '9'),
                                           "&H" + std::string(300, 'F'), "0.01e311"),
                         [](const auto& param) { return caseName(param.param, param.index); });

// A value, the separator and the text written.
using Written = std::tuple<double, std::string, std::string>;

class RegionalText : public ::testing::TestWithParam<Written> {};

TEST_P(RegionalText, IsShortestWithTheSeparator) {
    const auto& [value, separator, text] = GetParam();
    EXPECT_EQ(regionalNumberText(value, separator), text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegionalText,
    ::testing::Values(Written{-0.0, ".", "0"}, Written{-5, ",", "-5"}, Written{12.5, ",", "12,5"},
                      Written{-0.5, ",", "-0,5"}, Written{0.1 + 0.2, ".", "0.3"},
                      Written{1234567.25, ",", "1234567,25"},
                      Written{1.0 / 3, ".", "0.333333333333333"},
                      Written{123456789012345, ".", "123456789012345"}, Written{1e20, ".", "1E+20"},
                      Written{2.5e-7, ",", "2,5E-07"}),
    [](const auto& param) { return caseName(std::get<2>(param.param), param.index); });

// What the go-to writes into its field is read back as the target, so every finite double's
// text must read back, and close to the double: 15 digits are all the text keeps.
TEST(ReadBack, GivesTheNumberAgain) {
    using Limits = std::numeric_limits<double>;
    for (const double value : {Limits::max(), -Limits::max(), Limits::denorm_min(), -1e-300}) {
        const std::string text = regionalNumberText(value, ".");
        double back = 0.0;
        ASSERT_NO_THROW(back = lenientNumber(text)) << text;
        EXPECT_LE(std::abs(back - value), std::abs(value) * 1e-14) << text;
        EXPECT_EQ(regionalNumberText(back, "."), text);
    }
}

}  // namespace
