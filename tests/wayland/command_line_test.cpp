// What each command line asks for: the window with or without files, a command for the running
// window, Qt's own options let through, and what is refused before any window is made.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "NamedCases.h"

namespace {

using Action = CommandLine::Action;
using Words = std::vector<std::string>;

struct Case {
    const char* name;
    Words arguments;  // after the program's name
    Action action;
    std::string commandOrError;  // the command for Send, the error for Error
    Words files;
};

class CommandLines : public testing::TestWithParam<Case> {};

TEST_P(CommandLines, AskForTheirAction) {
    Words arguments = {"pellucor"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const CommandLine line = parseCommandLine(arguments);
    EXPECT_EQ(line.action, GetParam().action);
    if (line.action == Action::Send) {
        EXPECT_EQ(line.command, GetParam().commandOrError);
    } else if (line.action == Action::Error) {
        EXPECT_EQ(line.error, GetParam().commandOrError);
    }
    EXPECT_EQ(line.files, GetParam().files);
}

const std::string kOnlyOne = "give only one of the options";
const std::string kNoFiles = "files are opened only by the window, without an option";

INSTANTIATE_TEST_SUITE_P(
    Files, CommandLines,
    testing::Values(Case{"None", {}, Action::Window, "", {}},
                    Case{"One", {"a.wav"}, Action::Window, "", {"a.wav"}},
                    Case{"Two", {"/m/a.wav", "b.mp4"}, Action::Window, "", {"/m/a.wav", "b.mp4"}},
                    Case{"AfterDoubleDashEvenWithADash",
                         {"--", "-take1.wav", "--play"},
                         Action::Window,
                         "",
                         {"-take1.wav", "--play"}},
                    Case{"BeforeAndAfterDoubleDash",
                         {"a.wav", "--", "-b.wav"},
                         Action::Window,
                         "",
                         {"a.wav", "-b.wav"}},
                    Case{"ALoneDoubleDash", {"--"}, Action::Window, "", {}},
                    Case{"Three",
                         {"a", "b", "c"},
                         Action::Error,
                         "give at most two files, one for each player",
                         {}},
                    Case{"WithACommand", {"--play", "a.wav"}, Action::Error, kNoFiles, {}},
                    Case{"WithCopyTime", {"a.wav", "--copy-time"}, Action::Error, kNoFiles, {}},
                    Case{"WithHelp", {"a.wav", "--help"}, Action::Error, kNoFiles, {}}),
    byName);

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLines,
    testing::Values(
        Case{"Play", {"--play"}, Action::Send, "Play", {}},
        Case{"Back", {"--back"}, Action::Send, "Back", {}},
        Case{"CopyTime", {"--copy-time"}, Action::Send, "CopyTime", {}},
        Case{"SameCommandTwice", {"--pause", "--pause"}, Action::Send, "Pause", {}},
        Case{"Help", {"-h"}, Action::Help, "", {}},
        Case{"Version", {"--version"}, Action::Version, "", {}},
        Case{"TwoCommands", {"--play", "--copy-time"}, Action::Error, kOnlyOne, {}},
        Case{"HelpAndVersion", {"--help", "--version"}, Action::Error, kOnlyOne, {}},
        Case{"Misspelt", {"--plya"}, Action::Error, "unknown option '--plya'", {}},
        Case{"UnknownAfterAKnownOne", {"--play", "-x"}, Action::Error, "unknown option '-x'", {}},
        Case{"ALoneDash", {"-"}, Action::Error, "unknown option '-'", {}},
        Case{"QtFlagWithAValue", {"-reverse=1"}, Action::Error, "unknown option '-reverse=1'", {}},
        Case{"QtOptionWithoutItsValue",
             {"a.wav", "-display"},
             Action::Error,
             "option '-display' needs a value",
             {}}),
    byName);

struct SpeedCase {
    const char* name;
    Words arguments;
    std::string commandOrError;
    std::optional<double> speed;
};

class SpeedLines : public testing::TestWithParam<SpeedCase> {};

// A speed the players cannot take is refused here, before anything reaches the window.
TEST_P(SpeedLines, CarryASpeedInRangeOrAreRefused) {
    Words arguments = {"pellucor"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const CommandLine line = parseCommandLine(arguments);
    const bool sent = GetParam().speed.has_value() || GetParam().commandOrError == "Slower" ||
                      GetParam().commandOrError == "Faster";
    ASSERT_EQ(line.action, sent ? Action::Send : Action::Error);
    EXPECT_EQ(sent ? line.command : line.error, GetParam().commandOrError);
    EXPECT_EQ(line.speed, GetParam().speed);
}

const std::string kOutside = "' is outside 0.5 to 2.0";

INSTANTIATE_TEST_SUITE_P(
    , SpeedLines,
    testing::Values(
        SpeedCase{"ThreeQuarters", {"--speed", "0.75"}, "SetSpeed", 0.75},
        SpeedCase{"Slowest", {"--speed", "0.5"}, "SetSpeed", 0.5},
        SpeedCase{"Fastest", {"--speed=2"}, "SetSpeed", 2.0},
        SpeedCase{"WithADecimalComma", {"--speed", "1,25"}, "SetSpeed", 1.25},
        SpeedCase{"Slower", {"--slower"}, "Slower", std::nullopt},
        SpeedCase{"Faster", {"--faster"}, "Faster", std::nullopt},
        SpeedCase{"SameSpeedTwice", {"--speed", "1", "--speed=1.0"}, "SetSpeed", 1.0},
        SpeedCase{"BelowTheSlowest", {"--speed", "0.45"}, "the speed '0.45" + kOutside, {}},
        SpeedCase{"AboveTheFastest", {"--speed", "2.05"}, "the speed '2.05" + kOutside, {}},
        SpeedCase{"Negative", {"--speed", "-1"}, "the speed '-1" + kOutside, {}},
        SpeedCase{"Infinite", {"--speed", "inf"}, "the speed 'inf' is not a number", {}},
        SpeedCase{"NaN", {"--speed", "nan"}, "the speed 'nan' is not a number", {}},
        SpeedCase{"AWord", {"--speed", "fast"}, "the speed 'fast' is not a number", {}},
        SpeedCase{"TrailingText", {"--speed", "0.75x"}, "the speed '0.75x' is not a number", {}},
        SpeedCase{"Empty", {"--speed="}, "the speed '' is not a number", {}},
        SpeedCase{"WithoutAValue", {"--speed"}, "option '--speed' needs a value", {}},
        SpeedCase{"TwoSpeeds", {"--speed", "1", "--speed", "1.5"}, kOnlyOne, {}},
        SpeedCase{"SpeedAndPlay", {"--speed", "1", "--play"}, kOnlyOne, {}},
        SpeedCase{"SlowerAndFaster", {"--slower", "--faster"}, kOnlyOne, {}},
        SpeedCase{"WithAFile", {"--faster", "a.wav"}, kNoFiles, {}}),
    byName);

// Qt reads these itself; their values are not files.
INSTANTIATE_TEST_SUITE_P(
    QtOptions, CommandLines,
    testing::Values(
        Case{"Platform", {"-platform", "xcb", "a.wav"}, Action::Window, "", {"a.wav"}},
        Case{"DisplayWithTwoDashes", {"--display", ":1"}, Action::Window, "", {}},
        Case{"Style", {"-style", "fusion"}, Action::Window, "", {}},
        Case{"StyleJoined", {"-style=fusion", "a.wav"}, Action::Window, "", {"a.wav"}},
        Case{"Session", {"-session", "1234_5", "a", "b"}, Action::Window, "", {"a", "b"}},
        Case{"Reverse", {"-reverse"}, Action::Window, "", {}},
        Case{"WithACommand", {"-platform", "xcb", "--play"}, Action::Send, "Play", {}}),
    byName);

TEST(Usage, OpensTheHelpAndNamesEveryOption) {
    const std::string help = helpText();
    EXPECT_EQ(help.rfind(usageText(), 0), 0u);
    for (const char* option : {"--play", "--pause", "--back", "--copy-time", "--speed", "--slower",
                               "--faster", "--help", "--version", "FILE1", "FILE2"})
        EXPECT_NE(usageText().find(option), std::string::npos) << option;
}

}  // namespace
