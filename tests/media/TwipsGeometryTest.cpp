#include <gtest/gtest.h>

#include <string>

#include "NamedCases.h"
#include "TwipsGeometry.h"

namespace {

using Side = TwipsGeometry::Side;

struct TwipsCase {
    std::string name;
    float twips;
    int pixels;  // as the widget took it
};

class TwipsWritten : public testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsWritten, ReadsBackExactlyWhileTheWidgetStandsWhereItPutIt) {
    TwipsGeometry geometry;
    geometry.written(Side::Width, GetParam().twips, GetParam().pixels);
    EXPECT_EQ(geometry.read(Side::Width, GetParam().pixels), GetParam().twips);
}

INSTANTIATE_TEST_SUITE_P(Values, TwipsWritten,
                         testing::Values(TwipsCase{"WholePixels", 4335.0f, 289},
                                         TwipsCase{"StepSmallerThanAPixel", 4435.0f, 296},
                                         TwipsCase{"Fraction", 7.5f, 1},
                                         TwipsCase{"NegativeTakenAsNothing", -100.0f, 0}),
                         byName);

TEST(TwipsGeometryTest, WidgetMeasuredOtherwiseReadsTheWidget) {
    TwipsGeometry geometry;
    EXPECT_EQ(geometry.read(Side::Left, 8), 120.0f) << "nothing written";
    geometry.written(Side::Left, 20.0f, 1);
    EXPECT_EQ(geometry.read(Side::Left, 3), 45.0f) << "moved since";
    EXPECT_EQ(geometry.read(Side::Height, 1), 15.0f) << "each side apart";
}

}  // namespace
