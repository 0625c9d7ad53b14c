#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "MpvPlayer.h"
#include "PlayerGroups.h"
#include "ProcessSetup.h"

namespace {

// A player without a file: it can be placed, and every media operation refuses.
class EmptyPlayerTest : public testing::Test {
protected:
    EmptyPlayerTest() {
        prepareProcessWithoutMain();
        window.resize(800, 400);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    static QWidget* placedHost(QWidget* window) {
        auto* host = new QWidget(window);
        host->setGeometry(8, 96, 289, 201);
        return host;
    }

    QWidget window;
    QWidget* host = placedHost(&window);
    PlayerGroups groups;
    MpvPlayer player{host, groups};
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
    EXPECT_EQ(host->geometry(), QRect(1, 96, 296, 194));
}

TEST_F(EmptyPlayerTest, RefusesEveryMediaOperationWithPlayerError) {
    EXPECT_THROW(player.play(), PlayerError);
    EXPECT_THROW(player.pause(), PlayerError);
    EXPECT_THROW(player.currentPosition(), PlayerError);
    EXPECT_THROW(player.setCurrentPosition(1.0), PlayerError);
    EXPECT_THROW(player.playState(), PlayerError);
}

}  // namespace
