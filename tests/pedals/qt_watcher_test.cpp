#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QEventLoop>

#include "HubFixture.h"
#include "QtFdWatcher.h"

// The pedals on Qt's event loop: a node that ends is let go from within its own notice.

namespace {

void runEvents() {
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

using PedalsOnTheQtLoop = BasicHubFixture<QtFdWatcher>;

TEST_F(PedalsOnTheQtLoop, APedalThatVanishesIsLetGoFromItsOwnNotice) {
    plugPCsensor("event1");
    start();
    tree.key("event1", KEY_B, true);
    runEvents();
    tree.cut("event1");
    runEvents();
    plugVec("hidraw2");
    runEvents();
    tree.report("hidraw2", {0x01});
    runEvents();
    EXPECT_EQ(told, (Told{"middle+", "middle-", "left+"}));
    EXPECT_FALSE(tree.heldOpen("event1"));
    EXPECT_EQ(log.count("gone"), 1);
}

}  // namespace
