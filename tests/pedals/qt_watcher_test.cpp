#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <string>
#include <vector>

#include "FakeDeviceTree.h"
#include "PedalHub.h"
#include "QtFdWatcher.h"
#include "RecordingPedalLog.h"

// The pedals on Qt's event loop: a node that ends is let go from within its own notice.

namespace {

void runEvents() {
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TEST(PedalsOnTheQtLoop, APedalThatVanishesIsLetGoFromItsOwnNotice) {
    FakeDeviceTree tree;
    QtFdWatcher watcher;
    RecordingPedalLog log;
    PedalHub hub(tree, tree, watcher, log);
    std::vector<std::string> told;
    tree.plug("event1", 0x0c45, 0x7403, "input");
    hub.start([&told](std::span<const PedalChange> changes) {
        for (const PedalChange& c : changes)
            told.push_back(std::string(roleName(c.role)) + (c.pressed ? "+" : "-"));
    });
    tree.key("event1", KEY_B, true);
    runEvents();
    tree.cut("event1");
    runEvents();
    tree.plug("hidraw2", 0x05f3, 0x00ff, "hidraw");
    runEvents();
    tree.report("hidraw2", {0x01});
    runEvents();
    EXPECT_EQ(told, (std::vector<std::string>{"middle+", "middle-", "left+"}));
    EXPECT_FALSE(tree.heldOpen("event1"));
    EXPECT_EQ(log.count("gone"), 1);
}

}  // namespace
