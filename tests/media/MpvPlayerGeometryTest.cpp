#include <gtest/gtest.h>

#include "PlayerHarness.h"

namespace {

// A player without a file: it can be placed, and every media operation refuses.
class EmptyPlayerTest : public testing::Test {
protected:
    PlayerHarness harness{1};
    MpvPlayer& player = harness.player(0);
};

TEST_F(EmptyPlayerTest, StartsWithTheHostsGeometryAndReadsBackAsWritten) {
    EXPECT_FLOAT_EQ(player.Left(), 120.0f);
    EXPECT_FLOAT_EQ(player.Width(), 4335.0f);
    EXPECT_FLOAT_EQ(player.Height(), 3015.0f);
    // Steps of 100 twips are not whole pixels: the value read back must not drift.
    player.setLeft(player.Left() - 100.0f);
    player.setWidth(player.Width() + 100.0f);
    player.setHeight(player.Height() - 100.0f);
    EXPECT_FLOAT_EQ(player.Left(), 20.0f);
    EXPECT_FLOAT_EQ(player.Width(), 4435.0f);
    EXPECT_FLOAT_EQ(player.Height(), 2915.0f);
    EXPECT_EQ(harness.host(0).geometry(), QRect(1, 8, 296, 194));
}

TEST_F(EmptyPlayerTest, RefusesEveryMediaOperationWithPlayerError) {
    EXPECT_THROW(player.play(), PlayerError);
    EXPECT_THROW(player.pause(), PlayerError);
    EXPECT_THROW(player.currentPosition(), PlayerError);
    EXPECT_THROW(player.setCurrentPosition(1.0), PlayerError);
    EXPECT_THROW(player.playState(), PlayerError);
}

}  // namespace
