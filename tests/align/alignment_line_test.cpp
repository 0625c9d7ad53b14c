// The line pellucor --align writes for its result.
#include <gtest/gtest.h>

#include "AlignCommand.h"
#include "NamedCases.h"

namespace {

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
