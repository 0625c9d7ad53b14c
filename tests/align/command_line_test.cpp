// How pellucor --align is read from the command line, and how its line is written.
#include <gtest/gtest.h>

#include "AlignCommand.h"
#include "CommandLine.h"
#include "NamedCases.h"

namespace {

class AlignOption : public ::testing::Test {};

TEST_F(AlignOption, CarriesItsTwoFiles) {
    const CommandLine line = parseCommandLine({"pellucor", "--align", "a.wav", "--b.mp4"});
    EXPECT_EQ(line.action, CommandLine::Action::Align);
    EXPECT_EQ(line.files, (std::vector<std::string>{"a.wav", "--b.mp4"}));
}

struct WrongLineCase {
    const char* name;
    std::vector<std::string> arguments;
};

class WrongAlignLine : public ::testing::TestWithParam<WrongLineCase> {};

TEST_P(WrongAlignLine, IsAnError) {
    EXPECT_EQ(parseCommandLine(GetParam().arguments).action, CommandLine::Action::Error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WrongAlignLine,
    ::testing::Values(WrongLineCase{"NoFile", {"pellucor", "--align"}},
                      WrongLineCase{"OneFile", {"pellucor", "--align", "a.wav"}},
                      WrongLineCase{"ThreeFiles", {"pellucor", "--align", "a", "b", "c"}},
                      WrongLineCase{"AfterAnotherOption",
                                    {"pellucor", "--play", "--align", "a", "b"}}),
    byName);

TEST_F(AlignOption, IsInTheHelp) {
    EXPECT_NE(helpText().find("--align FILE1 FILE2"), std::string::npos);
}

struct LineCase {
    const char* name;
    Alignment alignment;
    const char* line;
};

class AlignmentLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(AlignmentLine, IsAlwaysSigned) {
    EXPECT_EQ(alignmentLine(GetParam().alignment), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AlignmentLine,
    ::testing::Values(
        LineCase{
            "Positive", {7.34604, 125.04, 0.934}, "offset=+7.3460 drift_ppm=+125.0 score=0.93"},
        LineCase{"Negative", {-7.34596, -0.36, 1.0}, "offset=-7.3460 drift_ppm=-0.4 score=1.00"},
        LineCase{
            "RoundsToZero", {-0.00004, -0.04, 0.5}, "offset=+0.0000 drift_ppm=+0.0 score=0.50"},
        LineCase{
            "Large", {-3599.99996, 300, 0.2}, "offset=-3600.0000 drift_ppm=+300.0 score=0.20"}),
    byName);

}  // namespace
