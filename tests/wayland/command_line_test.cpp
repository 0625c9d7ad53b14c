// What each command line asks for: the window with or without files, a command (or a speed) for
// the running window, an alignment, Qt's own options let through, and what is refused before any
// window is made.
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
    Words files = {};
    std::optional<double> speed = std::nullopt;  // for SetSpeed
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
    EXPECT_EQ(line.speed, GetParam().speed);
}

const std::string kOnlyOne = "give only one of the options";
const std::string kNoFiles = "files are opened only by the window, without an option";

INSTANTIATE_TEST_SUITE_P(
    Files, CommandLines,
    testing::Values(
        Case{"None", {}, Action::Window, ""}, Case{"One", {"a.wav"}, Action::Window, "", {"a.wav"}},
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
        Case{"ALoneDoubleDash", {"--"}, Action::Window, ""},
        Case{
            "Three", {"a", "b", "c"}, Action::Error, "give at most two files, one for each player"},
        Case{"WithACommand", {"--play", "a.wav"}, Action::Error, kNoFiles}),
    byName);

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLines,
    testing::Values(
        Case{"Play", {"--play"}, Action::Send, "Play"},
        Case{"Back", {"--back"}, Action::Send, "Back"},
        Case{"CopyTime", {"--copy-time"}, Action::Send, "CopyTime"},
        Case{"SameCommandTwice", {"--pause", "--pause"}, Action::Send, "Pause"},
        Case{"Help", {"-h"}, Action::Help, ""}, Case{"Version", {"--version"}, Action::Version, ""},
        Case{"TwoCommands", {"--play", "--copy-time"}, Action::Error, kOnlyOne},
        Case{"HelpAndVersion", {"--help", "--version"}, Action::Error, kOnlyOne},
        Case{"Misspelt", {"--plya"}, Action::Error, "unknown option '--plya'"},
        Case{"UnknownAfterAKnownOne", {"--play", "-x"}, Action::Error, "unknown option '-x'"},
        Case{"ALoneDash", {"-"}, Action::Error, "unknown option '-'"},
        Case{"QtFlagWithAValue", {"-reverse=1"}, Action::Error, "unknown option '-reverse=1'"},
        Case{"QtOptionWithoutItsValue",
             {"a.wav", "-display"},
             Action::Error,
             "option '-display' needs a value"}),
    byName);

const std::string kOutside = "' is outside 0.5 to 2.0";
const std::string kNotANumber = "' is not a number";

// A speed the players cannot take is refused here, before anything reaches the window.
INSTANTIATE_TEST_SUITE_P(
    Speeds, CommandLines,
    testing::Values(
        Case{"ThreeQuarters", {"--speed", "0.75"}, Action::Send, "SetSpeed", {}, 0.75},
        Case{"Slowest", {"--speed", "0.5"}, Action::Send, "SetSpeed", {}, 0.5},
        Case{"Fastest", {"--speed=2"}, Action::Send, "SetSpeed", {}, 2.0},
        Case{"WithADecimalComma", {"--speed", "1,25"}, Action::Send, "SetSpeed", {}, 1.25},
        Case{"Slower", {"--slower"}, Action::Send, "Slower"},
        Case{"Faster", {"--faster"}, Action::Send, "Faster"},
        Case{"SameSpeedTwice", {"--speed", "1", "--speed=1.0"}, Action::Send, "SetSpeed", {}, 1.0},
        Case{"BelowTheSlowest", {"--speed", "0.45"}, Action::Error, "the speed '0.45" + kOutside},
        Case{"AboveTheFastest", {"--speed", "2.05"}, Action::Error, "the speed '2.05" + kOutside},
        Case{"Infinite", {"--speed", "inf"}, Action::Error, "the speed 'inf" + kNotANumber},
        Case{"NaN", {"--speed", "nan"}, Action::Error, "the speed 'nan" + kNotANumber},
        Case{"AWord", {"--speed", "fast"}, Action::Error, "the speed 'fast" + kNotANumber},
        Case{"TrailingText", {"--speed", "0.75x"}, Action::Error, "the speed '0.75x" + kNotANumber},
        Case{"Empty", {"--speed="}, Action::Error, "the speed '" + kNotANumber},
        Case{"WithoutAValue", {"--speed"}, Action::Error, "option '--speed' needs a value"},
        Case{"TwoSpeeds", {"--speed", "1", "--speed", "1.5"}, Action::Error, kOnlyOne},
        Case{"SpeedAndPlay", {"--speed", "1", "--play"}, Action::Error, kOnlyOne},
        Case{"SlowerAndFaster", {"--slower", "--faster"}, Action::Error, kOnlyOne}),
    byName);

// The two files are the rest of the line, even when they look like options.
INSTANTIATE_TEST_SUITE_P(
    Align, CommandLines,
    testing::Values(
        Case{"TwoFiles", {"--align", "a.wav", "--b.mp4"}, Action::Align, "", {"a.wav", "--b.mp4"}},
        Case{"NoFile", {"--align"}, Action::Error, "--align takes exactly two files"},
        Case{"OneFile", {"--align", "a.wav"}, Action::Error, "--align takes exactly two files"},
        Case{"ThreeFiles",
             {"--align", "a", "b", "c"},
             Action::Error,
             "--align takes exactly two files"},
        Case{"AfterAnotherOption", {"--play", "--align", "a", "b"}, Action::Error, kOnlyOne}),
    byName);

// Qt reads these itself; their values are not files.
INSTANTIATE_TEST_SUITE_P(
    QtOptions, CommandLines,
    testing::Values(
        Case{"Platform", {"-platform", "xcb", "a.wav"}, Action::Window, "", {"a.wav"}},
        Case{"DisplayWithTwoDashes", {"--display", ":1"}, Action::Window, ""},
        Case{"Style", {"-style", "fusion"}, Action::Window, ""},
        Case{"StyleJoined", {"-style=fusion", "a.wav"}, Action::Window, "", {"a.wav"}},
        Case{"Session", {"-session", "1234_5", "a", "b"}, Action::Window, "", {"a", "b"}},
        Case{"Reverse", {"-reverse"}, Action::Window, ""},
        Case{"WithACommand", {"-platform", "xcb", "--play"}, Action::Send, "Play"}),
    byName);

TEST(Usage, OpensTheHelpAndNamesEveryOption) {
    const std::string help = helpText();
    EXPECT_EQ(help.rfind(usageText(), 0), 0u);
    for (const char* option :
         {"--play", "--pause", "--back", "--copy-time", "--speed", "--slower", "--faster",
          "--align FILE1 FILE2", "--help", "--version", "FILE1", "FILE2"})
        EXPECT_NE(usageText().find(option), std::string::npos) << option;
}

}  // namespace
