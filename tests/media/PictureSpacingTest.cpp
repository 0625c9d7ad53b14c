#include "PictureSpacing.h"

#include <gtest/gtest.h>

#include <optional>

#include "NamedCases.h"

namespace {

struct Rate {
    const char* name;
    std::optional<double> perSecond;
    bool stillPicture;
    bool filled;
};

class PictureSpacingRate : public testing::TestWithParam<Rate> {};

TEST_P(PictureSpacingRate, FillsInOnlyPicturesFurtherApartThanAQuarterSecond) {
    PictureSpacing spacing;
    EXPECT_EQ(spacing.rateReported(GetParam().perSecond, GetParam().stillPicture),
              GetParam().filled);
    EXPECT_EQ(spacing.filled(), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(Rates, PictureSpacingRate,
                         testing::Values(Rate{"RegularVideo", 25.0, false, false},
                                         Rate{"FilmRate", 23.976, false, false},
                                         Rate{"FourASecondIsNotSparse", 4.0, false, false},
                                         Rate{"ThreeASecond", 3.0, false, true},
                                         Rate{"OneEveryFiveSeconds", 0.2, false, true},
                                         Rate{"StillPictureOfASoundFile", 0.2, true, false},
                                         Rate{"NoEstimateYet", std::nullopt, false, false},
                                         Rate{"ZeroMeansUnknown", 0.0, false, false}),
                         byName);

// One file's pictures, filled in: libmpv then reports the copies' rate, and a seek has it
// estimate afresh.
class PictureSpacingFile : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(spacing.rateReported(0.2, false)); }
    PictureSpacing spacing;
};

TEST_F(PictureSpacingFile, StaysFilledInWhenTheCopiesAreReportedAndAsksOnlyOnce) {
    EXPECT_FALSE(spacing.rateReported(PictureSpacing::kFilledRate, false));
    EXPECT_FALSE(spacing.rateReported(std::nullopt, false));
    EXPECT_FALSE(spacing.rateReported(0.2, false));
    EXPECT_TRUE(spacing.filled());
}

TEST_F(PictureSpacingFile, TheNextFileStartsRegularAndIsFilledInOnlyIfItIsSparseToo) {
    EXPECT_TRUE(spacing.fileOpening());
    EXPECT_FALSE(spacing.filled());
    EXPECT_FALSE(spacing.fileOpening()) << "nothing left to undo";
    EXPECT_FALSE(spacing.rateReported(25.0, false));
    EXPECT_TRUE(spacing.rateReported(0.5, false));
}

}  // namespace
